// Writes the sample sounds: for each sound a WAV synthesised here, a MIDI file with the same
// notes, and an MP3 encoded from the WAV by GStreamer's LAME encoder; and the
// pre-announcement chimes as WAV.
//
//   q47_soundgen <output folder>

#include "safefile.h"
#include "soundsynth.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gst/gst.h>

#include <cstdio>

namespace {

bool written(const q47::Result<> &written) {
    if (!written)
        std::fprintf(stderr, "cannot write %s\n", qPrintable(written.error().text()));
    return bool(written);
}

bool writeFile(const QString &path, const QByteArray &bytes) {
    return written(q47::writeFileSafely(path, bytes));
}

// The encoder writes into a folder of this run's own; the safe writer puts the MP3 in place.
bool encodeMp3(const QString &wavPath, const QString &mp3Path) {
    const QTemporaryDir encoded;
    const QString encodedPath = encoded.filePath(QStringLiteral("encoded.mp3"));
    if (!encoded.isValid()) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(encoded.path()),
                     qPrintable(encoded.errorString()));
        return false;
    }
    GError *error = nullptr;
    GstElement *pipeline =
        gst_parse_launch("filesrc name=in ! wavparse ! audioconvert ! audioresample ! "
                         "lamemp3enc target=bitrate bitrate=64 cbr=true ! filesink name=out",
                         &error);
    if (error) {
        std::fprintf(stderr, "mp3 pipeline: %s\n", error->message);
        g_error_free(error);
        if (pipeline)
            gst_object_unref(pipeline);
        return false;
    }
    GstElement *in = gst_bin_get_by_name(GST_BIN(pipeline), "in");
    GstElement *out = gst_bin_get_by_name(GST_BIN(pipeline), "out");
    g_object_set(in, "location", QFile::encodeName(wavPath).constData(), nullptr);
    g_object_set(out, "location", QFile::encodeName(encodedPath).constData(), nullptr);
    gst_object_unref(in);
    gst_object_unref(out);

    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    GstBus *bus = gst_element_get_bus(pipeline);
    GstMessage *msg = gst_bus_timed_pop_filtered(
        bus, GST_CLOCK_TIME_NONE, static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    bool ok = msg && GST_MESSAGE_TYPE(msg) == GST_MESSAGE_EOS;
    if (msg && !ok) {
        GError *err = nullptr;
        gst_message_parse_error(msg, &err, nullptr);
        std::fprintf(stderr, "mp3 encoding of %s: %s\n", qPrintable(wavPath),
                     err ? err->message : "?");
        if (err)
            g_error_free(err);
    }
    if (msg)
        gst_message_unref(msg);
    gst_object_unref(bus);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
    return ok && written(q47::copyFileSafely(encodedPath, mp3Path));
}

} // namespace

int main(int argc, char **argv) {
    gst_init(&argc, &argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    const QDir dir(QFile::decodeName(argv[1]));
    if (!dir.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    using namespace q47::soundgen;
    for (const SoundSpec &spec : sampleSounds()) {
        const QString wav = dir.filePath(spec.name + QStringLiteral(".wav"));
        if (!writeFile(wav, wavFile(render(spec))) ||
            !writeFile(dir.filePath(spec.name + QStringLiteral(".mid")), midiFile(spec)) ||
            !encodeMp3(wav, dir.filePath(spec.name + QStringLiteral(".mp3"))))
            return 1;
        std::printf("%s\n", qPrintable(spec.name));
    }
    for (const SoundSpec &spec : preAnnouncementSounds()) {
        if (!writeFile(dir.filePath(spec.name + QStringLiteral(".wav")), wavFile(render(spec))))
            return 1;
        std::printf("%s\n", qPrintable(spec.name));
    }
    return 0;
}
