#pragma once

#include <QString>

#include <array>

namespace q47 {

// The device a sound file is opened with, chosen by its name alone.
enum class SoundDevice {
    None,      // not a sound this program plays
    WaveAudio, // "WAV"
    MpegVideo, // "MP3"
    Sequencer, // "MID"
};

inline constexpr std::array<const char *, 4> kSoundChannels{"S1", "S2", "S3", "S4"};

// The last three characters of the path, upper-cased and trimmed: "x.wav " is not a WAV,
// "x.midi" is not MIDI, and a name without a dot such as "xwav" is one.
SoundDevice soundDeviceForPath(const QString &path);

// "waveaudio", "mpegvideo", "sequencer"; empty for None.
QString soundDeviceName(SoundDevice device);

// 0 to 3 for "S1" to "S4" in any letter case, -1 otherwise.
int soundChannelSlot(const QString &channel);

// The program's base name followed directly by the channel name ("Q47S2"). Read afresh on
// every call, as the channel's device name.
QString soundChannelAlias(const QString &channel);

} // namespace q47
