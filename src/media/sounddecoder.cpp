#include "sounddecoder.h"

#include "midisynth.h"
#include "regularfile.h"
#include "soundchannels.h"
#include "soundfiletype.h"

#include <gst/app/gstappsink.h>
#include <gst/app/gstappsrc.h>
#include <gst/gst.h>

namespace q47 {

namespace {

// What every decoding ends in: the track's own format, as fast as the decoders go.
const char *const kToTrack = "audioconvert ! audioresample ! "
                             "audio/x-raw,format=F32LE,rate=48000,channels=2,layout=interleaved ! "
                             "appsink name=out sync=false";

QString gstError(GstMessage *message) {
    GError *error = nullptr;
    gst_message_parse_error(message, &error, nullptr);
    const QString text = error ? QString::fromUtf8(error->message) : QStringLiteral("error");
    if (error)
        g_error_free(error);
    return text;
}

// Pulls the pipeline's samples to its end; the pipeline is playing. A failure is the decoder's
// words.
Expected<PcmClip, QString> pullAll(GstElement *pipeline) {
    QString error;
    PcmClip clip;
    GstElement *out = gst_bin_get_by_name(GST_BIN(pipeline), "out");
    GstBus *bus = gst_element_get_bus(pipeline);
    const qint64 most = qint64(kMaxSoundSeconds) * kTrackRate * kTrackChannels;
    for (;;) {
        if (GstSample *sample =
                gst_app_sink_try_pull_sample(GST_APP_SINK(out), 100 * GST_MSECOND)) {
            GstMapInfo map;
            GstBuffer *buffer = gst_sample_get_buffer(sample);
            if (buffer && gst_buffer_map(buffer, &map, GST_MAP_READ)) {
                const auto *f = reinterpret_cast<const float *>(map.data);
                const qint64 n = std::min<qint64>(qint64(map.size / sizeof(float)),
                                                  most - qint64(clip.samples.size()));
                clip.samples.insert(clip.samples.end(), f, f + n);
                gst_buffer_unmap(buffer, &map);
            }
            gst_sample_unref(sample);
            if (qint64(clip.samples.size()) >= most)
                break;
            continue;
        }
        if (gst_app_sink_is_eos(GST_APP_SINK(out)))
            break;
        if (GstMessage *m = gst_bus_timed_pop_filtered(bus, 0, GST_MESSAGE_ERROR)) {
            error = gstError(m);
            gst_message_unref(m);
            break;
        }
    }
    gst_object_unref(bus);
    gst_object_unref(out);
    if (!error.isEmpty())
        return error;
    return clip;
}

GstElement *launch(const QString &description, QString &error) {
    GError *failure = nullptr;
    GstElement *pipeline = gst_parse_launch(description.toUtf8().constData(), &failure);
    if (failure) {
        error = QString::fromUtf8(failure->message);
        g_error_free(failure);
        if (pipeline)
            gst_object_unref(pipeline);
        return nullptr;
    }
    if (!pipeline)
        error = QStringLiteral("GStreamer cannot make the decoder");
    return pipeline;
}

} // namespace

Result<PcmClip> decodeSoundFile(const QString &path) {
    const SoundDevice device = soundDeviceForPath(path);
    if (device == SoundDevice::None)
        return Error(Error::Kind::Invalid,
                     QStringLiteral("not a sound the program plays (WAV, MP3, MID)"))
            .in(path);
    Result<QByteArray> file = readRegularFile(path, kMaxSoundFileBytes);
    if (!file)
        return file.error();
    if (!SoundChannels::available())
        return Error(Error::Kind::Unavailable, QStringLiteral("GStreamer is missing")).in(path);
    QString error;
    const bool midi = device == SoundDevice::Sequencer;
    const QString description =
        (midi ? QStringLiteral("appsrc name=in format=time ! ")
              : QStringLiteral("appsrc name=in ! decodebin caps=audio/x-raw "
                               "expose-all-streams=false ! ")) +
        QLatin1String(kToTrack);
    GstElement *pipeline = launch(description, error);
    if (!pipeline)
        return Error(Error::Kind::Unavailable, error).in(path);
    GstElement *in = gst_bin_get_by_name(GST_BIN(pipeline), "in");
    quint64 stream = 0;
    if (midi) {
        GstCaps *caps = midiStreamCaps();
        g_object_set(in, "caps", caps, "max-bytes", guint64{0}, "block", FALSE, nullptr);
        gst_caps_unref(caps);
    }
    Expected<PcmClip, QString> decoded = QStringLiteral("GStreamer cannot start the decoder");
    if (gst_element_set_state(pipeline, GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE) {
        if (midi) {
            stream = MidiSynth::shared().start(path, in);
        } else {
            gst_app_src_push_buffer(GST_APP_SRC(in),
                                    gst_buffer_new_memdup(file->constData(), gsize(file->size())));
            file->clear();
            gst_app_src_end_of_stream(GST_APP_SRC(in));
        }
        decoded = pullAll(pipeline);
    }
    if (midi) {
        // The synthesizer lets go of the source before the pipeline goes.
        MidiSynth::shared().stop(stream);
        MidiSynth::shared().sync();
    }
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(in);
    gst_object_unref(pipeline);
    if (!decoded)
        return Error(Error::Kind::Invalid, decoded.error()).in(path);
    return std::move(decoded).value();
}

} // namespace q47
