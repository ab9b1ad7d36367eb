#pragma once

#include "soundoutput.h"

#include <QString>

namespace q47 {

// The device a sound file is opened with, chosen by its name alone.
enum class SoundDevice {
    None,      // not a sound this program plays
    WaveAudio, // "WAV"
    MpegVideo, // "MP3"
    Sequencer, // "MID"
};

// The last three characters of the path, upper-cased and trimmed: "x.wav " is not a WAV,
// "x.midi" is not MIDI, and a name without a dot such as "xwav" is one.
SoundDevice soundDeviceForPath(const QString &path);

// "waveaudio", "mpegvideo", "sequencer"; empty for None.
QString soundDeviceName(SoundDevice device);

// "S1" to "S4".
QString soundChannelName(SoundChannel channel);

// The program's base name followed directly by the channel name ("Q47S2"). Read afresh on
// every call, as the channel's device name.
QString soundChannelAlias(SoundChannel channel);

} // namespace q47
