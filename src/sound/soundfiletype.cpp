#include "soundfiletype.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace q47 {

SoundDevice soundDeviceForPath(const QString &path) {
    const QString ext = path.right(3).toUpper().trimmed();
    if (ext == u"WAV")
        return SoundDevice::WaveAudio;
    if (ext == u"MP3")
        return SoundDevice::MpegVideo;
    if (ext == u"MID")
        return SoundDevice::Sequencer;
    return SoundDevice::None;
}

QString soundDeviceName(SoundDevice device) {
    switch (device) {
    case SoundDevice::WaveAudio:
        return QStringLiteral("waveaudio");
    case SoundDevice::MpegVideo:
        return QStringLiteral("mpegvideo");
    case SoundDevice::Sequencer:
        return QStringLiteral("sequencer");
    case SoundDevice::None:
        break;
    }
    return {};
}

QString soundChannelName(SoundChannel channel) {
    return QStringLiteral("S%1").arg(static_cast<int>(channel) + 1);
}

QString soundChannelAlias(SoundChannel channel) {
    // Without an application object (tools, benchmarks) the running executable still names it.
    const QString program = QCoreApplication::instance()
                                ? QCoreApplication::applicationFilePath()
                                : QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
    return QFileInfo(program).completeBaseName() + soundChannelName(channel);
}

} // namespace q47
