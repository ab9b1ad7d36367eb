#include "eventually.h"
#include "mdlsndapi.h"
#include "soundsynth.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <functional>

using q47::mdlSndAPI;
using q47::SoundChannelStatus;
using q47::SoundDevice;

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

class SoundChannels : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // ctest sets this; running the binary by hand must not make noise either.
        if (qEnvironmentVariableIsEmpty(q47::kAudioSinkVariable))
            qputenv(q47::kAudioSinkVariable, "fakesink sync=true");
    }

    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        ASSERT_TRUE(mdlSndAPI::available());
        half_ = write(QStringLiteral("half.wav"), wav(0.5));
        long_ = write(QStringLiteral("long.wav"), wav(3.0));
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
    void startLong(const QString &channel) {
        snd_.PlaySnd(long_, channel, 0, 0);
        ASSERT_TRUE(eventually([&] { return snd_.status(channel).buffers > 0; }));
    }

    QTemporaryDir dir_;
    QString half_;
    QString long_;
    mdlSndAPI snd_;
};

// --- waiting and not waiting ---------------------------------------------------------------

struct Format {
    const char *file;
    SoundDevice device;
};

void PrintTo(const Format &f, std::ostream *os) {
    *os << f.file;
}

class WaitedPlayback : public SoundChannels, public ::testing::WithParamInterface<Format> {};

TEST_P(WaitedPlayback, LastsAboutAsLongAsTheSoundAndLeavesTheChannelOpen) {
    const QString path = kSamples + u'/' + QLatin1String(GetParam().file);
    ASSERT_TRUE(QFileInfo::exists(path)) << path.toStdString();
    // How long the wait lasts is measured in bench/sound_bench; here: it ended at the end.
    snd_.PlaySnd(path, QStringLiteral("S2"), -1, 0);
    const SoundChannelStatus s = snd_.status(QStringLiteral("S2"));
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
    QTemporaryDir out;
    const QString rendered = out.filePath(QStringLiteral("rendered.raw"));
    mdlSndAPI recorder(QStringLiteral("audioconvert ! audio/x-raw,format=S16LE,channels=1 ! "
                                      "filesink location=") +
                       rendered);
    recorder.PlaySnd(kSamples + u'/' + QLatin1String(GetParam().file), QStringLiteral("S2"), -1, 0);
    recorder.CloseSnd();
    QFile file(rendered);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    ASSERT_GT(bytes.size(), 1000);
    const auto *samples = reinterpret_cast<const qint16 *>(bytes.constData());
    int peak = 0;
    for (qsizetype i = 0; i < bytes.size() / 2; ++i)
        peak = std::max(peak, std::abs(int{samples[i]}));
    EXPECT_GT(peak, 300) << "silence";
}

TEST_F(SoundChannels, UnwaitedReturnsWhileTheSoundStillPlays) {
    snd_.PlaySnd(long_, QStringLiteral("S1"), 0, 1000);
    EXPECT_TRUE(snd_.status(QStringLiteral("S1")).playing);
    ASSERT_TRUE(eventually([&] { return snd_.status(QStringLiteral("S1")).buffers > 0; }));
    EXPECT_TRUE(snd_.status(QStringLiteral("S1")).playing);
}

TEST_F(SoundChannels, UnwaitedSoundEndsOnItsOwnAndStaysOpen) {
    snd_.PlaySnd(half_, QStringLiteral("S1"), 0, 0);
    ASSERT_TRUE(eventually([&] { return !snd_.status(QStringLiteral("S1")).playing; }));
    const SoundChannelStatus s = snd_.status(QStringLiteral("S1"));
    EXPECT_TRUE(s.open);
    EXPECT_FALSE(s.failed);
    EXPECT_GT(s.buffers, 0u);
}

TEST_F(SoundChannels, NegativePauseIsNoPause) {
    // A literal conversion to an unsigned sleep would block for weeks.
    snd_.PlaySnd(half_, QStringLiteral("S3"), 1, -1);
    const SoundChannelStatus s = snd_.status(QStringLiteral("S3"));
    EXPECT_FALSE(s.playing);
    EXPECT_GT(s.buffers, 0u);
}

// --- channels ------------------------------------------------------------------------------

TEST_F(SoundChannels, SecondSoundOnTheSameChannelCutsOffTheFirst) {
    startLong(QStringLiteral("S1"));
    snd_.PlaySnd(half_, QStringLiteral("S1"), 0, 0);
    const SoundChannelStatus s = snd_.status(QStringLiteral("S1"));
    EXPECT_EQ(s.path, half_);
    EXPECT_EQ(s.opens, 2u);
    EXPECT_TRUE(s.playing);
    // The half-second sound ends although the three-second one would still be playing.
    ASSERT_TRUE(eventually([&] { return !snd_.status(QStringLiteral("S1")).playing; }));
    EXPECT_FALSE(snd_.status(QStringLiteral("S1")).failed);
}

TEST_F(SoundChannels, DifferentChannelsPlayTogether) {
    startLong(QStringLiteral("S3"));
    startLong(QStringLiteral("S2"));
    const quint64 s3Before = snd_.status(QStringLiteral("S3")).buffers;
    const quint64 s2Before = snd_.status(QStringLiteral("S2")).buffers;
    ASSERT_TRUE(eventually([&] {
        return snd_.status(QStringLiteral("S3")).buffers > s3Before &&
               snd_.status(QStringLiteral("S2")).buffers > s2Before;
    }));
    EXPECT_TRUE(snd_.status(QStringLiteral("S3")).playing);
    EXPECT_TRUE(snd_.status(QStringLiteral("S2")).playing);
    EXPECT_EQ(snd_.status(QStringLiteral("S3")).path, long_);
}

// Nothing of a sound may outlive its channel: a pipeline held by a stray reference would stay
// for the rest of a run that plays thousands of sounds.
TEST_F(SoundChannels, CloseSndClosesAllFourAndFreesEveryPlayer) {
    for (int i = 0; i < 3; ++i)
        snd_.PlaySnd(kSamples + QStringLiteral("/key.wav"), QStringLiteral("S1"), -1, 0);
    for (const char *channel : q47::kSoundChannels)
        snd_.PlaySnd(long_, QLatin1String(channel), 0, 0);
    for (const char *channel : q47::kSoundChannels)
        ASSERT_TRUE(snd_.status(QLatin1String(channel)).open) << channel;
    snd_.CloseSnd();
    for (const char *channel : q47::kSoundChannels) {
        const SoundChannelStatus s = snd_.status(QLatin1String(channel));
        EXPECT_FALSE(s.open) << channel;
        EXPECT_FALSE(s.playing) << channel;
        EXPECT_TRUE(s.path.isEmpty()) << channel;
    }
    EXPECT_EQ(mdlSndAPI::pipelinesAlive(), 0);
}

TEST_F(SoundChannels, ChannelNamesAreTheFourAndIgnoreCase) {
    snd_.PlaySnd(half_, QStringLiteral("s4"), 0, 0);
    const SoundChannelStatus s4 = snd_.status(QStringLiteral("S4"));
    EXPECT_TRUE(s4.open);
    EXPECT_TRUE(s4.alias.endsWith(QStringLiteral("s4")));
    EXPECT_EQ(
        s4.alias.chopped(2),
        QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget()).completeBaseName());

    for (const QString &other : {QStringLiteral("S5"), QStringLiteral(""), QStringLiteral("S")}) {
        snd_.PlaySnd(half_, other, 1, 0);
        EXPECT_FALSE(snd_.status(other).open);
    }
    for (const char *channel : {"S1", "S2", "S3"})
        EXPECT_FALSE(snd_.status(QLatin1String(channel)).open) << channel;
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

class FileNames : public SoundChannels, public ::testing::WithParamInterface<NamedFile> {};

TEST_P(FileNames, PlayExactlyWhenTheLastThreeCharactersNameAType) {
    const NamedFile &f = GetParam();
    const QString path =
        *f.content ? copy(kSamples + u'/' + QLatin1String(f.content), QString::fromUtf8(f.name))
                   : write(QString::fromUtf8(f.name), wav(0.5));
    // Something is playing on the channel before, so that closing it is visible.
    startLong(QStringLiteral("S2"));
    snd_.PlaySnd(path, QStringLiteral("S2"), -1, 0);
    const SoundChannelStatus s = snd_.status(QStringLiteral("S2"));
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

TEST_F(SoundChannels, EmptyOrMissingPathLeavesTheChannelAlone) {
    startLong(QStringLiteral("S1"));
    const QString missing = dir_.filePath(QStringLiteral("missing.wav"));
    const QString folder = dir_.filePath(QStringLiteral("folder.wav"));
    ASSERT_TRUE(QDir().mkpath(folder));
    for (const QString &path :
         {QString(), missing, folder, dir_.filePath(QStringLiteral("*.wav"))}) {
        snd_.PlaySnd(path, QStringLiteral("S1"), -1, 0);
        const SoundChannelStatus s = snd_.status(QStringLiteral("S1"));
        EXPECT_EQ(s.path, long_) << path.toStdString();
        EXPECT_TRUE(s.playing) << path.toStdString();
        EXPECT_EQ(s.opens, 1u) << path.toStdString();
    }
}

// --- failures ------------------------------------------------------------------------------

class CorruptFiles : public SoundChannels, public ::testing::WithParamInterface<QByteArray> {};

TEST_P(CorruptFiles, AreSilentAndTheChannelStillPlaysTheNextSound) {
    const QString bad = write(QStringLiteral("bad.wav"), GetParam());
    snd_.PlaySnd(bad, QStringLiteral("S3"), -1, 0);
    SoundChannelStatus s = snd_.status(QStringLiteral("S3"));
    EXPECT_FALSE(s.playing);
    EXPECT_TRUE(s.failed);
    EXPECT_EQ(s.buffers, 0u);

    snd_.PlaySnd(half_, QStringLiteral("S3"), -1, 0);
    s = snd_.status(QStringLiteral("S3"));
    EXPECT_FALSE(s.failed);
    EXPECT_GT(s.buffers, 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Variants, CorruptFiles,
    ::testing::Values(QByteArray(), QByteArray(5000, '\x5a'),
                      QByteArray("RIFF\x10\0\0\0WAVEfmt \xff\xff\xff\x7f", 20),
                      q47::soundgen::wavFile(q47::soundgen::sine(440, 0.5)).left(30)));

TEST(SoundChannelsSink, SinkFromTheEnvironment) {
    QTemporaryDir dir;
    const QString path = writeTone(dir, 0.5);
    ASSERT_FALSE(path.isEmpty());
    // A sink that cannot start fails the channel: proof that the variable was read.
    qputenv(q47::kAudioSinkVariable, "filesink location=/nonexistent/folder/out.raw");
    mdlSndAPI failing;
    failing.PlaySnd(path, QStringLiteral("S1"), -1, 0);
    EXPECT_TRUE(failing.status(QStringLiteral("S1")).failed);
    qputenv(q47::kAudioSinkVariable, "fakesink sync=true");
    mdlSndAPI working;
    working.PlaySnd(path, QStringLiteral("S1"), -1, 0);
    EXPECT_FALSE(working.status(QStringLiteral("S1")).failed);
    EXPECT_GT(working.status(QStringLiteral("S1")).buffers, 0u);
}

TEST(SoundChannelsSink, FailingDeviceIsSilentAndDoesNotBlock) {
    QTemporaryDir dir;
    const QString path = writeTone(dir, 0.5);
    ASSERT_FALSE(path.isEmpty());
    // A sink that cannot start, like an audio device that is not there.
    mdlSndAPI snd(QStringLiteral("filesink location=/nonexistent/folder/out.raw"));
    snd.PlaySnd(path, QStringLiteral("S2"), -1, 0);
    const SoundChannelStatus s = snd.status(QStringLiteral("S2"));
    EXPECT_TRUE(s.failed);
    EXPECT_FALSE(s.playing);
}

TEST(SoundChannelsSink, StuckDeviceIsGivenUp) {
    QTemporaryDir dir;
    const QString path = writeTone(dir, 0.5);
    ASSERT_FALSE(path.isEmpty());
    // Each buffer is held for a second and a half: the position stops moving.
    mdlSndAPI snd(QStringLiteral("identity sleep-time=1500000 ! fakesink sync=true"));
    snd.setStallTimeoutMs(300);
    snd.PlaySnd(path, QStringLiteral("S2"), -1, 0);
    const SoundChannelStatus s = snd.status(QStringLiteral("S2"));
    EXPECT_TRUE(s.failed);
    EXPECT_FALSE(s.playing);
}

} // namespace
