#pragma once

#include <QString>

#include <gst/gst.h>

namespace q47 {

// The audio sink every player of this program plays into, from a GStreamer description such
// as "fakesink sync=true". An empty description means the environment variable
// kAudioSinkVariable, else "autoaudiosink"; a description that does not parse falls back to
// "autoaudiosink". Returns a floating reference, nullptr when not even that sink can be made.
GstElement *makeAudioSink(const QString &description);

} // namespace q47
