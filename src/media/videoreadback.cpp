#include "videoreadback.h"

#include "soundchannels.h"

#include <QFile>

#include <gst/app/gstappsink.h>
#include <gst/gst.h>

namespace q47 {

VideoReadBack readVideoFile(const QString &path, QSize size,
                            const std::function<void(qint64 ms, const QImage &)> &frame) {
    VideoReadBack back;
    if (!SoundChannels::available())
        return back;
    const QString description =
        QStringLiteral("filesrc name=file ! decodebin name=d "
                       "d. ! queue max-size-buffers=0 max-size-time=0 max-size-bytes=0 ! "
                       "videoconvert ! video/x-raw,format=BGRx ! appsink name=v sync=false "
                       "d. ! queue max-size-buffers=0 max-size-time=0 max-size-bytes=0 ! "
                       "audioconvert ! audioresample ! "
                       "audio/x-raw,format=F32LE,channels=2,rate=48000 ! appsink name=a "
                       "sync=false");
    GstElement *pipeline = gst_parse_launch(description.toUtf8().constData(), nullptr);
    if (!pipeline)
        return back;
    GstElement *file = gst_bin_get_by_name(GST_BIN(pipeline), "file");
    g_object_set(file, "location", QFile::encodeName(path).constData(), nullptr);
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    GstElement *sinks[2] = {gst_bin_get_by_name(GST_BIN(pipeline), "v"),
                            gst_bin_get_by_name(GST_BIN(pipeline), "a")};
    // Both streams at once, so that neither queue holds the other up.
    bool open[2] = {true, true};
    while (open[0] || open[1]) {
        bool pulled = false;
        for (int s = 0; s < 2; ++s) {
            if (!open[s])
                continue;
            GstSample *sample =
                gst_app_sink_try_pull_sample(GST_APP_SINK(sinks[s]), 10 * GST_MSECOND);
            if (!sample) {
                open[s] = !gst_app_sink_is_eos(GST_APP_SINK(sinks[s]));
                continue;
            }
            pulled = true;
            GstBuffer *b = gst_sample_get_buffer(sample);
            GstMapInfo map;
            if (b && gst_buffer_map(b, &map, GST_MAP_READ)) {
                if (s == 0) {
                    back.video = true;
                    ++back.frames;
                    if (frame && qsizetype(map.size) >= qsizetype(size.width()) * size.height() * 4)
                        frame(qint64(GST_BUFFER_PTS(b) / GST_MSECOND),
                              QImage(map.data, size.width(), size.height(), QImage::Format_RGB32));
                    back.endMs = qint64((GST_BUFFER_PTS(b) + GST_BUFFER_DURATION(b)) / GST_MSECOND);
                } else {
                    back.sound = true;
                    const auto *f = reinterpret_cast<const float *>(map.data);
                    back.pcm.insert(back.pcm.end(), f, f + map.size / sizeof(float));
                }
                gst_buffer_unmap(b, &map);
            }
            gst_sample_unref(sample);
        }
        if (!pulled) {
            // A stream the file does not have never ends on its own.
            GstBus *bus = gst_element_get_bus(pipeline);
            GstMessage *m = gst_bus_timed_pop_filtered(
                bus, 0, GstMessageType(GST_MESSAGE_ERROR | GST_MESSAGE_EOS));
            gst_object_unref(bus);
            if (m) {
                gst_message_unref(m);
                break;
            }
        }
    }
    gst_element_set_state(pipeline, GST_STATE_NULL);
    for (GstElement *sink : sinks)
        gst_object_unref(sink);
    gst_object_unref(file);
    gst_object_unref(pipeline);
    return back;
}

} // namespace q47
