#pragma once

#include <QString>

#include <array>

namespace q47 {

// The four sound channels; a new sound on one ends the one before on that channel only.
enum class SoundChannel { S1, S2, S3, S4 };
inline constexpr std::array kSoundChannels{SoundChannel::S1, SoundChannel::S2, SoundChannel::S3,
                                           SoundChannel::S4};

// Whether a call to play returns at once or once the sound has ended.
enum class SoundWait { No, UntilEnd };

// What callers of the sound channels need: play a file on a channel, optionally waiting for
// its end, and close every channel at exit. The control panel and the announcement tape take
// this by reference, so that their tests can record the calls instead.
class SoundOutput {
public:
    virtual ~SoundOutput() = default;

    // A waited sound is followed by a sleep of `pauseMs` (none when not positive). Failures
    // are silent.
    virtual void play(const QString &path, SoundChannel channel, SoundWait wait, int pauseMs) = 0;
    virtual void closeAll() = 0;
};

} // namespace q47
