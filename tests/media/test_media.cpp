#include "espeakspeech.h"
#include "sounddecoder.h"
#include "soundtrack.h"
#include "videoencoder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gst/app/gstappsink.h>
#include <gst/gst.h>
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

// What a video file holds, decoded as a player would: its frames (BGRx) with their times, and
// its sound as mono float at the track's rate.
struct ReadBack {
    std::vector<std::pair<qint64, QImage>> frames; // time in ms
    std::vector<float> sound;
    qint64 endMs = 0; // where the last frame ends
};

std::vector<GstSample *> pullAll(GstElement *sink) {
    std::vector<GstSample *> samples;
    while (!gst_app_sink_is_eos(GST_APP_SINK(sink)))
        if (GstSample *s = gst_app_sink_try_pull_sample(GST_APP_SINK(sink), 5 * GST_SECOND))
            samples.push_back(s);
        else
            break;
    return samples;
}

ReadBack readVideo(const QString &path, QSize size) {
    ReadBack back;
    const QString description =
        QStringLiteral("filesrc name=file ! decodebin name=d "
                       "d. ! queue ! videoconvert ! video/x-raw,format=BGRx ! appsink name=v "
                       "sync=false d. ! queue ! audioconvert ! audioresample ! "
                       "audio/x-raw,format=F32LE,channels=2,rate=48000 ! appsink name=a "
                       "sync=false");
    GstElement *pipeline = gst_parse_launch(description.toUtf8().constData(), nullptr);
    if (!pipeline)
        return back;
    GstElement *file = gst_bin_get_by_name(GST_BIN(pipeline), "file");
    g_object_set(file, "location", QFile::encodeName(path).constData(), nullptr);
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    for (const char *name : {"v", "a"}) {
        GstElement *sink = gst_bin_get_by_name(GST_BIN(pipeline), name);
        for (GstSample *s : pullAll(sink)) {
            GstBuffer *b = gst_sample_get_buffer(s);
            GstMapInfo map;
            gst_buffer_map(b, &map, GST_MAP_READ);
            if (name[0] == 'v') {
                const QImage frame(map.data, size.width(), size.height(), QImage::Format_RGB32);
                back.frames.emplace_back(GST_BUFFER_PTS(b) / GST_MSECOND, frame.copy());
                back.endMs = qint64((GST_BUFFER_PTS(b) + GST_BUFFER_DURATION(b)) / GST_MSECOND);
            } else {
                const auto *f = reinterpret_cast<const float *>(map.data);
                back.sound.insert(back.sound.end(), f, f + map.size / sizeof(float));
            }
            gst_buffer_unmap(b, &map);
            gst_sample_unref(s);
        }
        gst_object_unref(sink);
    }
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(file);
    gst_object_unref(pipeline);
    return back;
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
        const DecodedSound d = decodeSoundFile(QDir(Q47_SAMPLE_SOUND_DIR).filePath(name));
        ASSERT_TRUE(d.clip) << name << ": " << d.error.toStdString();
        EXPECT_GT(d.clip->frames(), kTrackRate / 10) << name;
        EXPECT_GT(peak(d.clip->samples, 0, d.clip->frames()), 0.05f) << name;
    }
    EXPECT_FALSE(decodeSoundFile(QDir(Q47_SAMPLE_SOUND_DIR).filePath("none.wav")).clip);
    EXPECT_FALSE(decodeSoundFile(QStringLiteral("/dev/null")).clip);

    auto speech = EspeakSpeech::create({});
    ASSERT_TRUE(speech);
    const std::optional<SpeechSamples> said =
        speech->synthesize(QStringLiteral("次は、本町です。"));
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
            << name << ": " << result.failure.value_or(WriteFailure{}).text().toStdString();
        EXPECT_EQ(namesIn(dir.path()), QStringList{QString::fromLatin1(name)});

        const ReadBack back = readVideo(path, QSize(320, 180));
        ASSERT_GE(back.frames.size(), 55u) << name;
        EXPECT_NEAR(back.endMs, 2000, 50) << name;
        for (const auto &[ms, frame] : back.frames) {
            const QColor c = frame.pixelColor(160, 90);
            const bool red = c.red() > 200 && c.blue() < 60;
            const bool blue = c.blue() > 200 && c.red() < 60;
            if (ms < 950 || ms > 1050) {
                EXPECT_EQ(red, ms < 950) << name << " at " << ms;
                EXPECT_EQ(blue, ms > 1050) << name << " at " << ms;
            }
        }
        ASSERT_GE(back.sound.size(), size_t(kTrackRate * 19 / 10 * kTrackChannels)) << name;
        // Encoders add a little delay; the tone stays well inside its half second.
        EXPECT_LT(peak(back.sound, kTrackRate / 5, kTrackRate * 4 / 5), 0.02f) << name;
        EXPECT_GT(peak(back.sound, kTrackRate * 11 / 10, kTrackRate * 14 / 10), 0.3f) << name;
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
