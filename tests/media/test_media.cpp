#include "espeakspeech.h"
#include "sounddecoder.h"
#include "soundtrack.h"
#include "videoencoder.h"
#include "videoreadback.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace q47;

namespace {

std::shared_ptr<const PcmClip> constant(qint64 frames, float value) {
    auto clip = std::make_shared<PcmClip>();
    clip->samples.assign(size_t(frames) * kTrackChannels, value);
    return clip;
}

float peak(const std::vector<float> &samples, qint64 fromFrame, qint64 toFrame) {
    float p = 0;
    for (qint64 i = fromFrame * kTrackChannels;
         i < std::min<qint64>(toFrame * kTrackChannels, qint64(samples.size())); ++i)
        p = std::max(p, std::abs(samples[size_t(i)]));
    return p;
}

QStringList namesIn(const QString &folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

// Two seconds at 320 x 180: red, then blue from 1 s on, and a 880 Hz tone from 1 s to 1.5 s.
RecordingJob shortRecording(const QString &path, const SoundTrack &track) {
    RecordingJob job;
    job.path = path;
    job.video.size = QSize(320, 180);
    job.video.fps = 30;
    job.video.format = *videoFormatForPath(path);
    job.frames = 60;
    QImage red(job.video.size, QImage::Format_RGB32), blue(red);
    red.fill(Qt::red);
    blue.fill(Qt::blue);
    job.frameAt = [red, blue](qint64 k) { return k < 30 ? red : blue; };
    job.sound = &track;
    return job;
}

SoundTrack toneAtOneSecond() {
    auto tone = std::make_shared<PcmClip>();
    for (int i = 0; i < kTrackRate / 2; ++i) {
        const float v = 0.5f * std::sin(2 * std::numbers::pi_v<float> * 880 * i / kTrackRate);
        tone->samples.push_back(v);
        tone->samples.push_back(v);
    }
    SoundTrack track;
    track.place(0, kTrackRate, tone);
    return track;
}

} // namespace

// A sound on a lane cuts the one before it there; lanes sound together, held to full scale.
TEST(SoundTrack, MixesLanesAndCutsWithinALane) {
    SoundTrack track;
    track.place(0, 0, constant(100, 0.25f));
    track.place(0, 50, constant(100, 0.5f)); // cuts the first at 50
    track.place(1, 20, constant(10, 0.75f));
    std::vector<float> out(200 * kTrackChannels);
    track.mix(0, 200, out.data());
    EXPECT_FLOAT_EQ(out[10 * 2], 0.25f);
    EXPECT_FLOAT_EQ(out[25 * 2 + 1], 1.0f); // 0.25 + 0.75, held at 1
    EXPECT_FLOAT_EQ(out[60 * 2], 0.5f);
    EXPECT_FLOAT_EQ(out[160 * 2], 0.0f);
    EXPECT_EQ(track.laneEnd(0), 150);
    EXPECT_EQ(track.end(), 150);
    // A stretch that starts inside a sound.
    track.mix(140, 20, out.data());
    EXPECT_FLOAT_EQ(out[5 * 2], 0.5f);
    EXPECT_FLOAT_EQ(out[15 * 2], 0.0f);
}

// Every kind of sound the program plays, and speech, become sound on the track.
TEST(SoundDecoder, DecodesWavMp3MidiAndSpeech) {
    for (const char *name : {"step.wav", "step.mp3", "chime1.mid"}) {
        const Result<PcmClip> d = decodeSoundFile(QDir(Q47_SAMPLE_SOUND_DIR).filePath(name));
        ASSERT_TRUE(d) << name << ": " << d.error().text().toStdString();
        EXPECT_GT(d->frames(), kTrackRate / 10) << name;
        EXPECT_GT(peak(d->samples, 0, d->frames()), 0.05f) << name;
    }
    EXPECT_FALSE(decodeSoundFile(QDir(Q47_SAMPLE_SOUND_DIR).filePath("none.wav")));
    EXPECT_FALSE(decodeSoundFile(QStringLiteral("/dev/null")));

    auto speech = EspeakSpeech::create({});
    ASSERT_TRUE(speech) << speech.error().text().toStdString();
    const std::optional<SpeechSamples> said =
        (*speech)->synthesize(QStringLiteral("次は、本町です。"));
    ASSERT_TRUE(said);
    const PcmClip clip = clipFromSpeech(*said);
    EXPECT_GT(clip.frames(), kTrackRate / 2);
    EXPECT_GT(peak(clip.samples, 0, clip.frames()), 0.05f);
}

// A short video in each format reads back with both streams, its length, the picture that
// changes at 1 s and the tone from 1 s.
TEST(VideoEncoder, WritesAVideoThatReadsBack) {
    const SoundTrack track = toneAtOneSecond();
    for (const char *name : {"ride.mp4", "ride.webm"}) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QString::fromLatin1(name));
        const RecordingResult result = recordVideo(shortRecording(path, track));
        ASSERT_EQ(result.outcome, RecordingOutcome::Written)
            << name << ": " << result.failure.value_or(Error{}).text().toStdString();
        EXPECT_EQ(namesIn(dir.path()), QStringList{QString::fromLatin1(name)});

        const VideoReadBack back =
            readVideoFile(path, QSize(320, 180), [&](qint64 ms, const QImage &frame) {
                const QColor c = frame.pixelColor(160, 90);
                const bool red = c.red() > 200 && c.blue() < 60;
                const bool blue = c.blue() > 200 && c.red() < 60;
                if (ms < 950 || ms > 1050) {
                    EXPECT_EQ(red, ms < 950) << name << " at " << ms;
                    EXPECT_EQ(blue, ms > 1050) << name << " at " << ms;
                }
            });
        ASSERT_GE(back.frames, 55) << name;
        EXPECT_NEAR(back.endMs, 2000, 50) << name;
        ASSERT_GE(back.pcm.size(), size_t(kTrackRate * 19 / 10 * kTrackChannels)) << name;
        // Encoders add a little delay; the tone stays well inside its half second.
        EXPECT_LT(peak(back.pcm, kTrackRate / 5, kTrackRate * 4 / 5), 0.02f) << name;
        EXPECT_GT(peak(back.pcm, kTrackRate * 11 / 10, kTrackRate * 14 / 10), 0.3f) << name;
    }
}

// Cancelled halfway, or refused at a link, a recording leaves the folder as it was.
TEST(VideoEncoder, LeavesNothingBehind) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ride.mkv"));
    ASSERT_TRUE(QFile(path).open(QIODevice::WriteOnly));
    const SoundTrack track;
    RecordingJob job = shortRecording(path, track);
    job.progress = [](double done) { return done < 0.5; };
    EXPECT_EQ(recordVideo(job).outcome, RecordingOutcome::Cancelled);
    EXPECT_EQ(namesIn(dir.path()), QStringList{QStringLiteral("ride.mkv")});
    EXPECT_EQ(QFileInfo(path).size(), 0);

    const QString link = dir.filePath(QStringLiteral("link.mp4"));
    ASSERT_TRUE(QFile::link(path, link));
    const RecordingResult refused = recordVideo(shortRecording(link, track));
    EXPECT_EQ(refused.outcome, RecordingOutcome::Failed);
    EXPECT_EQ(namesIn(dir.path()),
              (QStringList{QStringLiteral("link.mp4"), QStringLiteral("ride.mkv")}));
}
