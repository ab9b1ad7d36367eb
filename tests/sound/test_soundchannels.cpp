#include "eventually.h"
#include "logging.h"
#include "midisynth.h"
#include "soundchannels.h"
#include "soundsynth.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLoggingCategory>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <functional>

using q47::kSoundChannels;
using q47::MidiSynth;
using q47::SoundChannel;
using q47::soundChannelName;
using q47::SoundChannels;
using q47::SoundChannelStatus;
using q47::SoundDevice;
using q47::SoundWait;

namespace {

// A 440 Hz tone of the given length as t.wav in `dir`; empty when it cannot be written.
QString writeTone(const QTemporaryDir &dir, double seconds) {
    const QString path = dir.filePath(QStringLiteral("t.wav"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write(q47::soundgen::wavFile(q47::soundgen::sine(440, seconds)));
    return path;
}

using q47::eventually;

const QString kSamples = QStringLiteral(Q47_SAMPLE_SOUND_DIR);

class Channels : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // ctest sets this; running the binary by hand must not make noise either.
        if (qEnvironmentVariableIsEmpty(q47::kAudioSinkVariable))
            qputenv(q47::kAudioSinkVariable, "fakesink sync=true");
    }

    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        ASSERT_TRUE(SoundChannels::available());
        half_ = write(QStringLiteral("half.wav"), wav(0.5));
        long_ = write(QStringLiteral("long.wav"), wav(3.0));
        longMid_ = write(QStringLiteral("long.mid"), organ(3.0));
    }

    // A chord held for `seconds` on an organ, which sounds undiminished until released.
    static QByteArray organ(double seconds) {
        q47::soundgen::SoundSpec spec;
        spec.program = 19;
        spec.duration = seconds;
        spec.notes = {{0, seconds, 60, 100}, {0, seconds, 67, 100}};
        return q47::soundgen::midiFile(spec);
    }

    // A sink that writes what a channel renders to `path`, as 16-bit mono samples at
    // kRecordingRate; a clocked one takes as long as the sound lasts.
    static constexpr int kRecordingRate = 22050;
    static QString recordingSink(const QString &path, bool clocked) {
        return QStringLiteral("audioconvert ! audioresample ! "
                              "audio/x-raw,format=S16LE,channels=1,rate=%1 ! filesink sync=%2 "
                              "location=%3")
            .arg(kRecordingRate)
            .arg(clocked ? QLatin1String("true") : QLatin1String("false"), path);
    }
    // The loudest sample between the two times, -1 when the recording is shorter.
    static int peak(const QString &recording, double fromSeconds, double toSeconds) {
        QFile file(recording);
        if (!file.open(QIODevice::ReadOnly))
            return -1;
        const QByteArray bytes = file.readAll();
        const auto *samples = reinterpret_cast<const qint16 *>(bytes.constData());
        const auto from = static_cast<qsizetype>(fromSeconds * kRecordingRate);
        const auto to =
            std::min(bytes.size() / 2, static_cast<qsizetype>(toSeconds * kRecordingRate));
        if (to <= from)
            return -1;
        int top = 0;
        for (qsizetype i = from; i < to; ++i)
            top = std::max(top, std::abs(int{samples[i]}));
        return top;
    }

    static QByteArray wav(double seconds) {
        return q47::soundgen::wavFile(q47::soundgen::sine(660, seconds));
    }

    QString write(const QString &name, const QByteArray &bytes) {
        const QString path = dir_.filePath(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    QString copy(const QString &from, const QString &name) {
        QFile in(from);
        EXPECT_TRUE(in.open(QIODevice::ReadOnly)) << from.toStdString();
        return write(name, in.readAll());
    }

    // Starts the long sound on `channel` and waits until it is heard.
    void startLong(SoundChannel channel) {
        snd_.play(long_, channel, SoundWait::No, 0);
        ASSERT_TRUE(eventually([&] { return snd_.status(channel).buffers > 0; }));
    }

    QTemporaryDir dir_;
    QString half_;
    QString long_;
    QString longMid_;
    SoundChannels snd_;
};

// The channel tests that matter for every kind of player: WAV through playbin, MIDI through
// the program's one synthesizer.
class EveryPlayer : public Channels, public ::testing::WithParamInterface<SoundDevice> {
protected:
    bool midi() const { return GetParam() == SoundDevice::Sequencer; }
    // Three seconds, and half a second.
    QString longSound() const { return midi() ? longMid_ : long_; }
    QString shortSound() const { return midi() ? kSamples + QStringLiteral("/step.mid") : half_; }
    void startLong(SoundChannel channel) {
        snd_.play(longSound(), channel, SoundWait::No, 0);
        ASSERT_TRUE(eventually([&] { return snd_.status(channel).buffers > 0; }));
    }
};

// --- waiting and not waiting ---------------------------------------------------------------

struct Format {
    const char *file;
    SoundDevice device;
};

void PrintTo(const Format &f, std::ostream *os) {
    *os << f.file;
}

class WaitedPlayback : public Channels, public ::testing::WithParamInterface<Format> {};

TEST_P(WaitedPlayback, LastsAboutAsLongAsTheSoundAndLeavesTheChannelOpen) {
    const QString path = kSamples + u'/' + QLatin1String(GetParam().file);
    ASSERT_TRUE(QFileInfo::exists(path)) << path.toStdString();
    // How long the wait lasts is measured in bench/sound_bench; here: it ended at the end.
    snd_.play(path, SoundChannel::S2, SoundWait::UntilEnd, 0);
    const SoundChannelStatus s = snd_.status(SoundChannel::S2);
    EXPECT_TRUE(s.open);
    EXPECT_FALSE(s.playing);
    EXPECT_FALSE(s.failed);
    EXPECT_GT(s.buffers, 0u);
    EXPECT_EQ(s.device, GetParam().device);
    EXPECT_EQ(s.path, path);
}

INSTANTIATE_TEST_SUITE_P(
    EveryType, WaitedPlayback,
    ::testing::Values(Format{"step.wav", SoundDevice::WaveAudio},
                      Format{"step.mp3", SoundDevice::MpegVideo},
                      Format{"step.mid", SoundDevice::Sequencer}),
    [](const auto &info) {
        return QString::fromLatin1(info.param.file).replace(u'.', u'_').toStdString();
    });

// Records what the channel renders, to tell a sound from silence (a MIDI file played without
// a sound font still flows, but as zeros).
TEST_P(WaitedPlayback, RendersAudibleSound) {
    const QString rendered = dir_.filePath(QStringLiteral("rendered.raw"));
    SoundChannels recorder(recordingSink(rendered, false));
    recorder.play(kSamples + u'/' + QLatin1String(GetParam().file), SoundChannel::S2,
                  SoundWait::UntilEnd, 0);
    recorder.closeAll();
    EXPECT_GT(peak(rendered, 0, 10), 300) << "silence";
}

TEST_F(Channels, UnwaitedReturnsWhileTheSoundStillPlays) {
    snd_.play(long_, SoundChannel::S1, SoundWait::No, 1000);
    EXPECT_TRUE(snd_.status(SoundChannel::S1).playing);
    ASSERT_TRUE(eventually([&] { return snd_.status(SoundChannel::S1).buffers > 0; }));
    EXPECT_TRUE(snd_.status(SoundChannel::S1).playing);
}

TEST_F(Channels, UnwaitedSoundEndsOnItsOwnAndStaysOpen) {
    snd_.play(half_, SoundChannel::S1, SoundWait::No, 0);
    ASSERT_TRUE(eventually([&] { return !snd_.status(SoundChannel::S1).playing; }));
    const SoundChannelStatus s = snd_.status(SoundChannel::S1);
    EXPECT_TRUE(s.open);
    EXPECT_FALSE(s.failed);
    EXPECT_GT(s.buffers, 0u);
}

TEST_F(Channels, NegativePauseIsNoPause) {
    // A literal conversion to an unsigned sleep would block for weeks.
    snd_.play(half_, SoundChannel::S3, SoundWait::UntilEnd, -1);
    const SoundChannelStatus s = snd_.status(SoundChannel::S3);
    EXPECT_FALSE(s.playing);
    EXPECT_GT(s.buffers, 0u);
}

// --- channels ------------------------------------------------------------------------------

TEST_P(EveryPlayer, SecondSoundOnTheSameChannelCutsOffTheFirst) {
    startLong(SoundChannel::S1);
    snd_.play(shortSound(), SoundChannel::S1, SoundWait::No, 0);
    const SoundChannelStatus s = snd_.status(SoundChannel::S1);
    EXPECT_EQ(s.path, shortSound());
    EXPECT_EQ(s.opens, 2u);
    EXPECT_TRUE(s.playing);
    // The half-second sound ends although the three-second one would still be playing.
    ASSERT_TRUE(eventually([&] { return !snd_.status(SoundChannel::S1).playing; }));
    EXPECT_FALSE(snd_.status(SoundChannel::S1).failed);
    // Nor does the synthesizer still hold the organ's notes.
    EXPECT_EQ(MidiSynth::sharedVoices(), 0);
}

TEST_P(EveryPlayer, DifferentChannelsPlayTogether) {
    startLong(SoundChannel::S3);
    startLong(SoundChannel::S2);
    const quint64 s3Before = snd_.status(SoundChannel::S3).buffers;
    const quint64 s2Before = snd_.status(SoundChannel::S2).buffers;
    ASSERT_TRUE(eventually([&] {
        return snd_.status(SoundChannel::S3).buffers > s3Before &&
               snd_.status(SoundChannel::S2).buffers > s2Before;
    }));
    EXPECT_TRUE(snd_.status(SoundChannel::S3).playing);
    EXPECT_TRUE(snd_.status(SoundChannel::S2).playing);
    EXPECT_EQ(snd_.status(SoundChannel::S3).path, longSound());
}

// Nothing of a sound may outlive its channel: a pipeline held by a stray reference, or a voice
// the synthesizer still plays, would stay for the rest of a run that plays thousands of sounds.
TEST_P(EveryPlayer, CloseAllClosesAllFourAndFreesEveryPlayer) {
    const QString key =
        kSamples + (midi() ? QStringLiteral("/key.mid") : QStringLiteral("/key.wav"));
    for (int i = 0; i < 3; ++i)
        snd_.play(key, SoundChannel::S1, SoundWait::UntilEnd, 0);
    for (const SoundChannel channel : kSoundChannels)
        startLong(channel);
    if (midi()) {
        EXPECT_GT(MidiSynth::sharedVoices(), 0);
    }
    snd_.closeAll();
    for (const SoundChannel channel : kSoundChannels) {
        const SoundChannelStatus s = snd_.status(channel);
        EXPECT_FALSE(s.open) << s.alias.toStdString();
        EXPECT_FALSE(s.playing) << s.alias.toStdString();
        EXPECT_TRUE(s.path.isEmpty()) << s.alias.toStdString();
    }
    // A streaming or synthesizer thread may still be letting go of its last reference to a
    // pipeline it was posting from; a pipeline that is never freed fails here all the same.
    EXPECT_TRUE(eventually([] { return SoundChannels::pipelinesAlive() == 0; }, 2000))
        << SoundChannels::pipelinesAlive();
    EXPECT_EQ(MidiSynth::sharedVoices(), 0);
}

INSTANTIATE_TEST_SUITE_P(WavAndMidi, EveryPlayer,
                         ::testing::Values(SoundDevice::WaveAudio, SoundDevice::Sequencer),
                         [](const auto &info) {
                             return info.param == SoundDevice::Sequencer ? "mid" : "wav";
                         });

// Two MIDI sounds share the synthesizer but not their fate: one cut off, replaced and closed
// leaves the other sounding to its end. Heard on a clocked recording of the other.
TEST_F(Channels, MidiStoppedOnOneChannelLeavesTheOtherSounding) {
    const QString recording = dir_.filePath(QStringLiteral("s2.raw"));
    SoundChannels recorded(recordingSink(recording, true));
    recorded.play(longMid_, SoundChannel::S2, SoundWait::No, 0);
    snd_.play(longMid_, SoundChannel::S3, SoundWait::No, 0);
    ASSERT_TRUE(eventually([&] { return snd_.status(SoundChannel::S3).buffers > 0; }));
    snd_.play(kSamples + QStringLiteral("/step.mid"), SoundChannel::S3, SoundWait::UntilEnd, 0);
    snd_.closeAll();
    ASSERT_TRUE(recorded.status(SoundChannel::S2).playing) << "ended before the other stopped";
    ASSERT_TRUE(eventually([&] { return !recorded.status(SoundChannel::S2).playing; }));
    EXPECT_FALSE(recorded.status(SoundChannel::S2).failed);
    recorded.closeAll();
    // The organ holds its chord for three seconds; the other channel was done within about one.
    EXPECT_GT(peak(recording, 2.0, 2.9), 1000);
    EXPECT_EQ(MidiSynth::sharedVoices(), 0);
}

TEST_F(Channels, AChannelOpensUnderTheProgramsNameAndLeavesTheOthersClosed) {
    snd_.play(half_, SoundChannel::S4, SoundWait::No, 0);
    const SoundChannelStatus s4 = snd_.status(SoundChannel::S4);
    EXPECT_TRUE(s4.open);
    EXPECT_EQ(
        s4.alias,
        QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget()).completeBaseName() +
            QStringLiteral("S4"));
    for (const SoundChannel other : {SoundChannel::S1, SoundChannel::S2, SoundChannel::S3})
        EXPECT_FALSE(snd_.status(other).open) << soundChannelName(other).toStdString();
}

// --- file names ----------------------------------------------------------------------------

struct NamedFile {
    const char *name;
    const char *content; // a file in samples/sound, or "" for the half-second sine WAV
    SoundDevice device;
};

void PrintTo(const NamedFile &f, std::ostream *os) {
    *os << f.name;
}

class FileNames : public Channels, public ::testing::WithParamInterface<NamedFile> {};

TEST_P(FileNames, PlayExactlyWhenTheLastThreeCharactersNameAType) {
    const NamedFile &f = GetParam();
    const QString path =
        *f.content ? copy(kSamples + u'/' + QLatin1String(f.content), QString::fromUtf8(f.name))
                   : write(QString::fromUtf8(f.name), wav(0.5));
    // Something is playing on the channel before, so that closing it is visible.
    startLong(SoundChannel::S2);
    snd_.play(path, SoundChannel::S2, SoundWait::UntilEnd, 0);
    const SoundChannelStatus s = snd_.status(SoundChannel::S2);
    if (f.device == SoundDevice::None) {
        EXPECT_FALSE(s.open);
        EXPECT_TRUE(s.path.isEmpty());
        EXPECT_EQ(s.opens, 1u);
    } else {
        EXPECT_TRUE(s.open);
        EXPECT_EQ(s.device, f.device);
        EXPECT_EQ(s.path, path);
        EXPECT_FALSE(s.failed);
        EXPECT_GT(s.buffers, 0u);
    }
}

INSTANTIATE_TEST_SUITE_P(Extensions, FileNames,
                         ::testing::Values(NamedFile{"x.wav", "", SoundDevice::WaveAudio},
                                           NamedFile{"X.WAV", "", SoundDevice::WaveAudio},
                                           NamedFile{"y.Wav", "", SoundDevice::WaveAudio},
                                           NamedFile{"xwav", "", SoundDevice::WaveAudio},
                                           NamedFile{"a b/c d.wav", "", SoundDevice::WaveAudio},
                                           NamedFile{"音 #1%20.wav", "", SoundDevice::WaveAudio},
                                           NamedFile{"X.MP3", "key.mp3", SoundDevice::MpegVideo},
                                           NamedFile{"x.Mid", "key.mid", SoundDevice::Sequencer},
                                           NamedFile{"x.wave", "", SoundDevice::None},
                                           NamedFile{"x.midi", "key.mid", SoundDevice::None},
                                           NamedFile{"x.ogg", "", SoundDevice::None}),
                         [](const auto &info) { return "case" + std::to_string(info.index); });

TEST_F(Channels, EmptyOrMissingPathLeavesTheChannelAlone) {
    startLong(SoundChannel::S1);
    const QString missing = dir_.filePath(QStringLiteral("missing.wav"));
    const QString folder = dir_.filePath(QStringLiteral("folder.wav"));
    ASSERT_TRUE(QDir().mkpath(folder));
    for (const QString &path :
         {QString(), missing, folder, dir_.filePath(QStringLiteral("*.wav"))}) {
        snd_.play(path, SoundChannel::S1, SoundWait::UntilEnd, 0);
        const SoundChannelStatus s = snd_.status(SoundChannel::S1);
        EXPECT_EQ(s.path, long_) << path.toStdString();
        EXPECT_TRUE(s.playing) << path.toStdString();
        EXPECT_EQ(s.opens, 1u) << path.toStdString();
    }
}

// --- failures ------------------------------------------------------------------------------

struct CorruptFile {
    const char *name;
    QByteArray bytes;
};

void PrintTo(const CorruptFile &f, std::ostream *os) {
    *os << f.name << ", " << f.bytes.size() << " bytes";
}

class CorruptFiles : public Channels, public ::testing::WithParamInterface<CorruptFile> {};

TEST_P(CorruptFiles, AreSilentAndTheChannelStillPlaysTheNextSound) {
    const QString bad = write(QString::fromLatin1(GetParam().name), GetParam().bytes);
    snd_.play(bad, SoundChannel::S3, SoundWait::UntilEnd, 0);
    SoundChannelStatus s = snd_.status(SoundChannel::S3);
    EXPECT_FALSE(s.playing);
    EXPECT_TRUE(s.failed);
    EXPECT_EQ(s.buffers, 0u);

    const bool midi = bad.endsWith(QLatin1String(".mid"));
    snd_.play(midi ? kSamples + QStringLiteral("/step.mid") : half_, SoundChannel::S3,
              SoundWait::UntilEnd, 0);
    s = snd_.status(SoundChannel::S3);
    EXPECT_FALSE(s.failed);
    EXPECT_GT(s.buffers, 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Variants, CorruptFiles,
    ::testing::Values(
        CorruptFile{"bad.wav", QByteArray()}, CorruptFile{"bad.wav", QByteArray(5000, '\x5a')},
        CorruptFile{"bad.wav", QByteArray("RIFF\x10\0\0\0WAVEfmt \xff\xff\xff\x7f", 20)},
        CorruptFile{"bad.wav", q47::soundgen::wavFile(q47::soundgen::sine(440, 0.5)).left(30)},
        CorruptFile{"bad.mid", QByteArray(5000, '\x5a')},
        // A header, then a track that claims more than the file holds.
        CorruptFile{"bad.mid",
                    QByteArray("MThd\0\0\0\x06\0\0\0\x01\x01\xe0MTrk\0\0\x10\0\0\x90", 24)}));

namespace {

QStringList logged; // "category: text"

void keepQ47Messages(QtMsgType, const QMessageLogContext &context, const QString &text) {
    if (context.category && QByteArrayView(context.category).startsWith("q47."))
        logged << QString::fromLatin1(context.category) + QStringLiteral(": ") + text;
}

void showQ47(QLoggingCategory *category) {
    if (QByteArrayView(category->categoryName()).startsWith("q47."))
        category->setEnabled(QtInfoMsg, true);
}

} // namespace

// A sound that stays silent says why under q47.sound, once the log is asked for, and not before.
TEST_F(Channels, ASilentSoundIsLoggedWithWhy) {
    EXPECT_FALSE(q47::logSound().isInfoEnabled());
    EXPECT_FALSE(q47::logSound().isWarningEnabled());
    const QString missing = dir_.filePath(QStringLiteral("missing.wav"));
    const QString bad = write(QStringLiteral("bad.wav"), QByteArray(5000, '\x5a'));
    const QLoggingCategory::CategoryFilter filter = QLoggingCategory::installFilter(showQ47);
    const QtMessageHandler handler = qInstallMessageHandler(keepQ47Messages);
    snd_.play(missing, SoundChannel::S2, SoundWait::UntilEnd, 0);
    snd_.play(bad, SoundChannel::S3, SoundWait::UntilEnd, 0);
    qInstallMessageHandler(handler);
    QLoggingCategory::installFilter(filter);
    ASSERT_GE(logged.size(), 2) << qPrintable(logged.join(u'\n'));
    EXPECT_EQ(logged[0], QStringLiteral("q47.sound: %1: S2: no such sound file").arg(missing));
    EXPECT_TRUE(logged[1].startsWith(QStringLiteral("q47.sound: %1: S3: ").arg(bad)))
        << qPrintable(logged[1]);
    EXPECT_FALSE(q47::logSound().isInfoEnabled());
}

// The user's settings may name a sound font of their own; Debian's General MIDI fonts follow,
// so that one that cannot be loaded still leaves MIDI sounds playing.
TEST(SoundFont, TheUsersChoiceComesBeforeDebiansGeneralMidiFonts) {
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName(QStringLiteral("q47-test"));
    QCoreApplication::setApplicationName(QStringLiteral("sound"));
    const QStringList debians{QStringLiteral("/usr/share/sounds/sf2/default-GM.sf2"),
                              QStringLiteral("/usr/share/sounds/sf2/FluidR3_GM.sf2")};
    QSettings().remove(QLatin1String(q47::kSoundFontSetting));
    EXPECT_EQ(q47::soundFontCandidates(), debians);
    const QString chosen = QStringLiteral("/home/operator/fonts/チャイム.sf2");
    QSettings().setValue(QLatin1String(q47::kSoundFontSetting), chosen);
    EXPECT_EQ(q47::soundFontCandidates(), QStringList{chosen} + debians);
    QSettings().remove(QLatin1String(q47::kSoundFontSetting));
}

TEST(SoundChannelsSink, SinkFromTheEnvironment) {
    QTemporaryDir dir;
    const QString path = writeTone(dir, 0.5);
    ASSERT_FALSE(path.isEmpty());
    // A sink that cannot start fails the channel: proof that the variable was read.
    qputenv(q47::kAudioSinkVariable, "filesink location=/nonexistent/folder/out.raw");
    SoundChannels failing;
    failing.play(path, SoundChannel::S1, SoundWait::UntilEnd, 0);
    EXPECT_TRUE(failing.status(SoundChannel::S1).failed);
    qputenv(q47::kAudioSinkVariable, "fakesink sync=true");
    SoundChannels working;
    working.play(path, SoundChannel::S1, SoundWait::UntilEnd, 0);
    EXPECT_FALSE(working.status(SoundChannel::S1).failed);
    EXPECT_GT(working.status(SoundChannel::S1).buffers, 0u);
}

TEST(SoundChannelsSink, FailingDeviceIsSilentAndDoesNotBlock) {
    QTemporaryDir dir;
    const QString path = writeTone(dir, 0.5);
    ASSERT_FALSE(path.isEmpty());
    // A sink that cannot start, like an audio device that is not there.
    SoundChannels snd(QStringLiteral("filesink location=/nonexistent/folder/out.raw"));
    snd.play(path, SoundChannel::S2, SoundWait::UntilEnd, 0);
    const SoundChannelStatus s = snd.status(SoundChannel::S2);
    EXPECT_TRUE(s.failed);
    EXPECT_FALSE(s.playing);
}

TEST(SoundChannelsSink, StuckDeviceIsGivenUp) {
    QTemporaryDir dir;
    const QString path = writeTone(dir, 0.5);
    ASSERT_FALSE(path.isEmpty());
    // Each buffer is held for a second and a half: the position stops moving.
    SoundChannels snd(QStringLiteral("identity sleep-time=1500000 ! fakesink sync=true"));
    snd.setStallTimeoutMs(300);
    snd.play(path, SoundChannel::S2, SoundWait::UntilEnd, 0);
    const SoundChannelStatus s = snd.status(SoundChannel::S2);
    EXPECT_TRUE(s.failed);
    EXPECT_FALSE(s.playing);
}

} // namespace
