#pragma once

#include "error.h"
#include "soundtrack.h"

#include <QString>

namespace q47 {

inline constexpr qint64 kMaxSoundFileBytes = 64 * 1024 * 1024;
inline constexpr int kMaxSoundSeconds = 600;

// A sound of the program decoded into a clip for the track: a WAV or an MP3 through
// GStreamer's decoders, a MIDI file rendered by the program's synthesizer as fast as it goes,
// each told by its name as the channels tell them. The file is read whole first, and only an
// ordinary file within kMaxSoundFileBytes; a sound is cut at kMaxSoundSeconds.
Result<PcmClip> decodeSoundFile(const QString &path);

} // namespace q47
