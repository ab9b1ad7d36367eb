#pragma once

#include "safefile.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace q47 {

class SoundTrack;

// What a video file holds, chosen by its name: ".mp4" H.264 with AAC, ".webm" VP9 with Opus,
// ".mkv" H.264 with AAC in Matroska (the faster pair, in the container that takes any).
enum class VideoFormat { Mp4, WebM, Matroska };
std::optional<VideoFormat> videoFormatForPath(const QString &path);

struct VideoSettings {
    QSize size{1920, 1080}; // even numbers, as the encoders' colour planes need
    int fps = 30;
    VideoFormat format = VideoFormat::Mp4;
};

// Frames and sound into a video file through GStreamer (appsrc, the encoders, the muxer). The
// file is written beside its place under a temporary name by the program's file writer and
// takes its place only when finish() has it complete; a failure, cancel() or the encoder's end
// before finish() removes it, and an older file of that name stays as it was. Frames and
// sound go in in time order, one frame then its stretch of sound, so that neither queue
// runs far ahead of the other; each push waits while the encoders catch up.
class VideoEncoder {
public:
    VideoEncoder();
    ~VideoEncoder();
    VideoEncoder(const VideoEncoder &) = delete;
    VideoEncoder &operator=(const VideoEncoder &) = delete;

    Result<> open(const QString &path, const VideoSettings &settings);
    // The next frame, scaled to the size when it has another; shown for 1/fps s.
    Result<> addFrame(const QImage &frame);
    // The next `frames` frames of sound: interleaved stereo float at kTrackRate.
    Result<> addSound(const float *samples, qint64 frames);
    // Ends both streams, waits for the file to be complete and puts it in its place.
    Result<> finish();
    // Stops at once and leaves nothing behind.
    void cancel();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// A whole recording: `frames` frames from `frameAt(k)` (the picture at k / fps seconds; the
// same QImage again costs nothing) with the track's sound beside them. `progress` hears the
// fraction done after each frame and stops the recording, leaving nothing behind, by
// returning false.
struct RecordingJob {
    QString path;
    VideoSettings video;
    qint64 frames = 0;
    std::function<QImage(qint64 frame)> frameAt;
    const SoundTrack *sound = nullptr; // none: silence
    std::function<bool(double done)> progress;
};

enum class RecordingOutcome { Written, Cancelled, Failed };

struct RecordingResult {
    RecordingOutcome outcome = RecordingOutcome::Failed;
    std::optional<Error> failure; // for Failed
};

RecordingResult recordVideo(const RecordingJob &job);

} // namespace q47
