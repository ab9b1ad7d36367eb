#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include <functional>
#include <vector>

namespace q47 {

// What a video file holds, decoded as a player would: to check a recording.
struct VideoReadBack {
    bool video = false;     // it has a picture stream, and
    bool sound = false;     // a sound stream
    qint64 frames = 0;      // frames decoded
    qint64 endMs = 0;       // where the last frame ends
    std::vector<float> pcm; // the sound, interleaved stereo float at kTrackRate
};

// Decodes `path`, handing each frame (of `size`) with its time in ms to `frame`.
VideoReadBack readVideoFile(const QString &path, QSize size,
                            const std::function<void(qint64 ms, const QImage &)> &frame = {});

} // namespace q47
