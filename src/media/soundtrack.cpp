#include "soundtrack.h"

#include "espeakspeech.h"

#include <algorithm>

namespace q47 {

PcmClip clipFromSpeech(const SpeechSamples &speech) {
    PcmClip clip;
    if (speech.sampleRate <= 0 || speech.samples.empty())
        return clip;
    const qint64 in = qint64(speech.samples.size());
    const qint64 out = in * kTrackRate / speech.sampleRate;
    clip.samples.resize(size_t(out) * kTrackChannels);
    // Linear steps between the voice's samples: its highest notes are far below either rate's
    // limit, so nothing audible folds back.
    const double step = double(speech.sampleRate) / kTrackRate;
    for (qint64 i = 0; i < out; ++i) {
        const double at = double(i) * step;
        const qint64 k = std::min<qint64>(qint64(at), in - 1);
        const double frac = at - double(k);
        const double a = speech.samples[size_t(k)];
        const double b = speech.samples[size_t(std::min(k + 1, in - 1))];
        const float v = float((a + (b - a) * frac) / 32768.0);
        clip.samples[size_t(i) * 2] = v;
        clip.samples[size_t(i) * 2 + 1] = v;
    }
    return clip;
}

void SoundTrack::place(int lane, qint64 at, std::shared_ptr<const PcmClip> clip) {
    for (Placed &p : placed_)
        if (p.lane == lane && p.end > at)
            p.end = std::max(p.start, at);
    const qint64 end = at + (clip ? clip->frames() : 0);
    const auto where = std::upper_bound(placed_.begin(), placed_.end(), at,
                                        [](qint64 t, const Placed &p) { return t < p.start; });
    placed_.insert(where, Placed{lane, at, end, std::move(clip)});
}

void SoundTrack::mix(qint64 from, qint64 count, float *out) const {
    std::fill(out, out + count * kTrackChannels, 0.0f);
    const qint64 to = from + count;
    for (const Placed &p : placed_) {
        if (p.start >= to)
            break;
        if (p.end <= from || !p.clip)
            continue;
        const qint64 first = std::max(from, p.start);
        const qint64 last = std::min(to, p.end);
        const float *src = p.clip->samples.data() + (first - p.start) * kTrackChannels;
        float *dst = out + (first - from) * kTrackChannels;
        for (qint64 i = 0; i < (last - first) * kTrackChannels; ++i)
            dst[i] += src[i];
    }
    for (qint64 i = 0; i < count * kTrackChannels; ++i)
        out[i] = std::clamp(out[i], -1.0f, 1.0f);
}

qint64 SoundTrack::laneEnd(int lane) const {
    qint64 end = 0;
    for (const Placed &p : placed_)
        if (p.lane == lane)
            end = p.end;
    return end;
}

qint64 SoundTrack::end() const {
    qint64 end = 0;
    for (const Placed &p : placed_)
        end = std::max(end, p.end);
    return end;
}

} // namespace q47
