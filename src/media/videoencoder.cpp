#include "videoencoder.h"

#include "soundchannels.h"
#include "soundtrack.h"

#include <QFileInfo>

#include <gst/app/gstappsrc.h>
#include <gst/gst.h>

#include <algorithm>
#include <vector>

namespace q47 {

namespace {

// How long finish() waits for the muxer's last bytes after the streams end.
constexpr GstClockTime kFinishTimeout = 120 * GST_SECOND;

QString encoders(VideoFormat format) {
    // Board pictures hold still for seconds: quality-based rates spend little on them. Neither
    // encoder looks ahead, so that frames leave it as they come and memory stays flat.
    switch (format) {
    case VideoFormat::WebM:
        return QStringLiteral(
            "vp9enc deadline=1 cpu-used=8 row-mt=true threads=2 lag-in-frames=0 end-usage=cq "
            "cq-level=30 target-bitrate=4000000 keyframe-max-dist=%1 ! queue max-size-bytes=0 "
            "max-size-buffers=0 "
            "max-size-time=0 ! mux. "
            "AUDIO ! audioconvert ! opusenc bitrate=128000 ! queue max-size-bytes=0 "
            "max-size-buffers=0 max-size-time=0 ! mux. webmmux name=mux");
    case VideoFormat::Mp4:
    case VideoFormat::Matroska:
        return QStringLiteral(
                   "x264enc speed-preset=veryfast tune=zerolatency pass=qual quantizer=23 "
                   "threads=2 key-int-max=%1 ! video/x-h264,profile=high ! queue "
                   "max-size-bytes=0 max-size-buffers=0 max-size-time=0 ! mux. "
                   "AUDIO ! audioconvert ! avenc_aac bitrate=128000 ! queue max-size-bytes=0 "
                   "max-size-buffers=0 max-size-time=0 ! mux. %2 name=mux")
            .arg(QStringLiteral("%1"), format == VideoFormat::Mp4 ? QStringLiteral("mp4mux")
                                                                  : QStringLiteral("matroskamux"));
    }
    return {};
}

QString messageText(GstMessage *message) {
    GError *error = nullptr;
    gst_message_parse_error(message, &error, nullptr);
    const QString text = error ? QString::fromUtf8(error->message) : QStringLiteral("error");
    if (error)
        g_error_free(error);
    return text;
}

void releaseImage(gpointer image) {
    delete static_cast<QImage *>(image);
}

} // namespace

std::optional<VideoFormat> videoFormatForPath(const QString &path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("mp4"))
        return VideoFormat::Mp4;
    if (suffix == QLatin1String("webm"))
        return VideoFormat::WebM;
    if (suffix == QLatin1String("mkv"))
        return VideoFormat::Matroska;
    return {};
}

struct VideoEncoder::Impl {
    PendingFile file;
    VideoSettings settings;
    GstElement *pipeline = nullptr;
    GstElement *video = nullptr;
    GstElement *audio = nullptr;
    qint64 frames = 0;      // video frames pushed
    qint64 soundFrames = 0; // sound frames pushed
    std::optional<Error> failed;

    Error fail(const QString &reason) {
        if (!failed)
            failed = Error(Error::Kind::WriteFailed, reason).in(file.path());
        stop();
        return *failed;
    }
    // The pipeline's own error, if it has one, else `reason`.
    Error failFromBus(const QString &reason) {
        QString why = reason;
        if (pipeline) {
            GstBus *bus = gst_element_get_bus(pipeline);
            if (GstMessage *m = gst_bus_timed_pop_filtered(bus, 0, GST_MESSAGE_ERROR)) {
                why = messageText(m);
                gst_message_unref(m);
            }
            gst_object_unref(bus);
        }
        return fail(why);
    }
    Error notOpen() const {
        return failed ? *failed : Error(Error::Kind::WriteFailed, QStringLiteral("not open"));
    }
    void stop() {
        if (pipeline) {
            gst_element_set_state(pipeline, GST_STATE_NULL);
            gst_object_unref(video);
            gst_object_unref(audio);
            gst_object_unref(pipeline);
        }
        pipeline = video = audio = nullptr;
        file = PendingFile(); // the temporary file goes
    }
};

VideoEncoder::VideoEncoder() : d(std::make_unique<Impl>()) {}

VideoEncoder::~VideoEncoder() {
    d->stop();
}

Result<> VideoEncoder::open(const QString &path, const VideoSettings &settings) {
    d->stop();
    d->failed.reset();
    d->settings = settings;
    d->frames = d->soundFrames = 0;
    const QSize size = settings.size;
    if (size.width() < 16 || size.height() < 16 || size.width() % 2 || size.height() % 2 ||
        size.width() > 7680 || size.height() > 4320 || settings.fps < 1 || settings.fps > 120)
        return Error(Error::Kind::BadValue, QStringLiteral("no size or rate a video can have"))
            .in(path);
    if (!SoundChannels::available())
        return Error(Error::Kind::Unavailable, QStringLiteral("GStreamer is missing")).in(path);
    if (Result<> opened = d->file.open(path); !opened)
        return opened;
    // Three frames queued at most; the sound a second ahead at most.
    const qint64 frameBytes = qint64(size.width()) * size.height() * 4;
    const QString description =
        QStringLiteral("appsrc name=video format=time block=true max-bytes=%1 "
                       "caps=video/x-raw,format=BGRx,width=%2,height=%3,framerate=%4/1 ! "
                       "videoconvert n-threads=2 ! video/x-raw,format=I420 ! ")
            .arg(3 * frameBytes)
            .arg(size.width())
            .arg(size.height())
            .arg(settings.fps) +
        encoders(settings.format)
            .arg(2 * settings.fps)
            .replace(QLatin1String("AUDIO"),
                     QStringLiteral("appsrc name=audio format=time block=true max-bytes=%1 "
                                    "caps=audio/x-raw,format=F32LE,rate=%2,channels=%3,"
                                    "layout=interleaved")
                         .arg(kTrackRate * kTrackChannels * 4)
                         .arg(kTrackRate)
                         .arg(kTrackChannels)) +
        QStringLiteral(" ! fdsink fd=%1 sync=false").arg(d->file.descriptor());
    GError *error = nullptr;
    d->pipeline = gst_parse_launch(description.toUtf8().constData(), &error);
    if (error) {
        const QString why = QString::fromUtf8(error->message);
        g_error_free(error);
        if (d->pipeline)
            gst_object_unref(d->pipeline);
        d->pipeline = nullptr;
        return d->fail(QStringLiteral("GStreamer cannot make the encoder (%1); its plug-ins "
                                      "may be missing")
                           .arg(why));
    }
    d->video = gst_bin_get_by_name(GST_BIN(d->pipeline), "video");
    d->audio = gst_bin_get_by_name(GST_BIN(d->pipeline), "audio");
    if (!d->video || !d->audio ||
        gst_element_set_state(d->pipeline, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE)
        return d->failFromBus(QStringLiteral("GStreamer cannot start the encoder"));
    return {};
}

Result<> VideoEncoder::addFrame(const QImage &frame) {
    if (!d->pipeline)
        return d->notOpen();
    const QSize size = d->settings.size;
    // The picture's own pixels go to the encoder, shared rather than copied.
    auto *kept = new QImage(
        frame.size() == size ? frame
                             : frame.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    if (kept->format() != QImage::Format_RGB32)
        *kept = kept->convertToFormat(QImage::Format_RGB32);
    const auto bytes = gsize(kept->sizeInBytes());
    GstBuffer *buffer = gst_buffer_new_wrapped_full(GST_MEMORY_FLAG_READONLY,
                                                    const_cast<uchar *>(kept->constBits()), bytes,
                                                    0, bytes, kept, releaseImage);
    const int fps = d->settings.fps;
    GST_BUFFER_PTS(buffer) = gst_util_uint64_scale(guint64(d->frames), GST_SECOND, guint64(fps));
    GST_BUFFER_DURATION(buffer) =
        gst_util_uint64_scale(guint64(d->frames + 1), GST_SECOND, guint64(fps)) -
        GST_BUFFER_PTS(buffer);
    ++d->frames;
    if (gst_app_src_push_buffer(GST_APP_SRC(d->video), buffer) != GST_FLOW_OK)
        return d->failFromBus(QStringLiteral("the video encoder stopped"));
    return {};
}

Result<> VideoEncoder::addSound(const float *samples, qint64 frames) {
    if (!d->pipeline)
        return d->notOpen();
    if (frames <= 0)
        return {};
    GstBuffer *buffer = gst_buffer_new_memdup(samples, gsize(frames) * kTrackChannels * 4);
    GST_BUFFER_PTS(buffer) = gst_util_uint64_scale(guint64(d->soundFrames), GST_SECOND, kTrackRate);
    d->soundFrames += frames;
    GST_BUFFER_DURATION(buffer) =
        gst_util_uint64_scale(guint64(d->soundFrames), GST_SECOND, kTrackRate) -
        GST_BUFFER_PTS(buffer);
    if (gst_app_src_push_buffer(GST_APP_SRC(d->audio), buffer) != GST_FLOW_OK)
        return d->failFromBus(QStringLiteral("the sound encoder stopped"));
    return {};
}

Result<> VideoEncoder::finish() {
    if (!d->pipeline)
        return d->notOpen();
    gst_app_src_end_of_stream(GST_APP_SRC(d->video));
    gst_app_src_end_of_stream(GST_APP_SRC(d->audio));
    GstBus *bus = gst_element_get_bus(d->pipeline);
    GstMessage *m = gst_bus_timed_pop_filtered(bus, kFinishTimeout,
                                               GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    gst_object_unref(bus);
    if (!m)
        return d->fail(QStringLiteral("the encoder did not finish"));
    const bool ended = GST_MESSAGE_TYPE(m) == GST_MESSAGE_EOS;
    const QString why = ended ? QString() : messageText(m);
    gst_message_unref(m);
    if (!ended)
        return d->fail(why);
    // The muxer has written its last bytes; the descriptor is the file's again.
    gst_element_set_state(d->pipeline, GST_STATE_NULL);
    gst_object_unref(d->video);
    gst_object_unref(d->audio);
    gst_object_unref(d->pipeline);
    d->pipeline = d->video = d->audio = nullptr;
    Result<> committed = d->file.commit();
    d->file = PendingFile();
    return committed;
}

void VideoEncoder::cancel() {
    d->stop();
}

RecordingResult recordVideo(const RecordingJob &job) {
    RecordingResult result;
    VideoEncoder encoder;
    Result<> step = encoder.open(job.path, job.video);
    std::vector<float> sound;
    const int fps = job.video.fps;
    for (qint64 k = 0; step && k < job.frames; ++k) {
        step = encoder.addFrame(job.frameAt(k));
        // The sound of this frame's time, to the sample.
        const qint64 from = k * kTrackRate / fps;
        const qint64 count = (k + 1) * kTrackRate / fps - from;
        sound.resize(size_t(count) * kTrackChannels);
        if (job.sound)
            job.sound->mix(from, count, sound.data());
        else
            std::fill(sound.begin(), sound.end(), 0.0f);
        if (step)
            step = encoder.addSound(sound.data(), count);
        if (step && job.progress && !job.progress(double(k + 1) / double(job.frames))) {
            encoder.cancel();
            result.outcome = RecordingOutcome::Cancelled;
            return result;
        }
    }
    if (step)
        step = encoder.finish();
    if (!step)
        result.failure = step.error();
    result.outcome = step ? RecordingOutcome::Written : RecordingOutcome::Failed;
    return result;
}

} // namespace q47
