#include "gstsink.h"

#include "mdlsndapi.h"

namespace q47 {

namespace {

constexpr const char *kDefaultSink = "autoaudiosink";

GstElement *parseSink(const QString &description) {
    GError *error = nullptr;
    GstElement *sink =
        gst_parse_bin_from_description(description.toUtf8().constData(), TRUE, &error);
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

} // namespace q47
