#pragma once

#include <QString>

#include <gst/gst.h>

namespace q47 {

// The audio sink every player of this program plays into, from a GStreamer description such
// as "fakesink sync=true". An empty description means the environment variable
// kAudioSinkVariable, else "autoaudiosink"; a description that does not parse falls back to
// "autoaudiosink". Returns a floating reference, nullptr when not even that sink can be made.
GstElement *makeAudioSink(const QString &description);

// appsrc ! volume ! audioconvert ! audioresample ! sink, for audio this program makes itself:
// buffers of `caps` with time stamps, queued without limit so that pushing never blocks.
struct SourcePipeline {
    GstElement *pipeline = nullptr; // the caller's reference; nullptr when it cannot be built
    GstElement *source = nullptr;   // the elements are the pipeline's
    GstElement *volume = nullptr;
    GstElement *sink = nullptr;
};
SourcePipeline makeSourcePipeline(const char *name, GstCaps *caps, const QString &sinkDescription);

// What an error message on a player's bus says, in GStreamer's words.
QString busErrorText(GstMessage *message);

} // namespace q47
