#include "gstsink.h"

#include "logging.h"
#include "soundchannels.h"

namespace q47 {

namespace {

constexpr const char *kDefaultSink = "autoaudiosink";

GstElement *parseSink(const QString &description) {
    GError *error = nullptr;
    GstElement *sink =
        gst_parse_bin_from_description(description.toUtf8().constData(), TRUE, &error);
    if (!sink || error)
        logPassedOver(logSound,
                      Error(Error::Kind::Unavailable,
                            QStringLiteral("no audio sink \"%1\": %2")
                                .arg(description, error ? QString::fromUtf8(error->message)
                                                        : QStringLiteral("GStreamer is missing"))));
    if (error) {
        g_error_free(error);
        if (sink)
            gst_object_unref(sink);
        return nullptr;
    }
    return sink;
}

} // namespace

GstElement *makeAudioSink(const QString &description) {
    QString wanted = description;
    if (wanted.isEmpty())
        wanted = qEnvironmentVariable(kAudioSinkVariable);
    if (wanted.trimmed().isEmpty())
        wanted = QLatin1String(kDefaultSink);
    GstElement *sink = parseSink(wanted);
    if (!sink && wanted != QLatin1String(kDefaultSink))
        sink = parseSink(QLatin1String(kDefaultSink));
    return sink;
}

SourcePipeline makeSourcePipeline(const char *name, GstCaps *caps, const QString &sinkDescription) {
    SourcePipeline built;
    GstElement *pipeline = gst_pipeline_new(name);
    gst_object_ref_sink(pipeline);
    GstElement *source = gst_element_factory_make("appsrc", nullptr);
    GstElement *volume = gst_element_factory_make("volume", nullptr);
    GstElement *convert = gst_element_factory_make("audioconvert", nullptr);
    GstElement *resample = gst_element_factory_make("audioresample", nullptr);
    GstElement *sink = makeAudioSink(sinkDescription);
    bool complete = true;
    for (GstElement *element : {source, volume, convert, resample, sink}) {
        if (element)
            gst_bin_add(GST_BIN(pipeline), element);
        else
            complete = false;
    }
    if (!complete || !gst_element_link_many(source, volume, convert, resample, sink, nullptr)) {
        gst_object_unref(pipeline);
        return built;
    }
    g_object_set(source, "caps", caps, "format", GST_FORMAT_TIME, "max-bytes", guint64{0}, "block",
                 FALSE, nullptr);
    built.pipeline = pipeline;
    built.source = source;
    built.volume = volume;
    built.sink = sink;
    return built;
}

QString busErrorText(GstMessage *message) {
    GError *error = nullptr;
    gst_message_parse_error(message, &error, nullptr);
    const QString text = error ? QString::fromUtf8(error->message) : QStringLiteral("an error");
    if (error)
        g_error_free(error);
    return text;
}

} // namespace q47
