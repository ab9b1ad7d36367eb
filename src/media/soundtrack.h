#pragma once

#include <QtGlobal>

#include <memory>
#include <vector>

namespace q47 {

struct SpeechSamples;

// The one format a recording's sound is mixed in.
inline constexpr int kTrackRate = 48000;
inline constexpr int kTrackChannels = 2;

// Sound as the track mixes it: interleaved stereo 32-bit float at kTrackRate.
struct PcmClip {
    std::vector<float> samples;
    qint64 frames() const { return qint64(samples.size()) / kTrackChannels; }
};

// Speech samples (mono, at eSpeak's rate) made into a clip: resampled and put on both sides.
PcmClip clipFromSpeech(const SpeechSamples &speech);

// The sounds of a recording on one timeline, mixed only as the encoder asks for each stretch,
// so that a long ride keeps no more than its clips in memory. A lane stands for a sound channel
// ("S1" to "S4") or the voice: a sound put on a lane cuts off the one before it there, as a
// channel or the voice does when a new sound starts.
class SoundTrack {
public:
    // `clip` from frame `at` (frames of kTrackRate) on, in order of time per lane.
    void place(int lane, qint64 at, std::shared_ptr<const PcmClip> clip);
    // Frames [from, from + count) mixed into `out` (count * kTrackChannels floats), each
    // sample held to -1 ... 1.
    void mix(qint64 from, qint64 count, float *out) const;
    // Where the sound placed last on `lane` ends, or ended when cut; 0 for none.
    qint64 laneEnd(int lane) const;
    // Where the last sound of all ends.
    qint64 end() const;

private:
    struct Placed {
        int lane;
        qint64 start;
        qint64 end;
        std::shared_ptr<const PcmClip> clip;
    };
    std::vector<Placed> placed_; // by start
};

} // namespace q47
