#include "soundsynth.h"

#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace q47::soundgen {

namespace {

constexpr int kTicksPerQuarter = 480;
constexpr int kTempoUsPerQuarter = 500000; // 120 bpm
constexpr double kTicksPerSecond = kTicksPerQuarter * 1e6 / kTempoUsPerQuarter;
constexpr double kPeak = 0.7; // of full scale, leaving room for the MP3 encoder's overshoot

struct Partial {
    double ratio;
    double gain;
    double decay; // amplitude falls by e every `decay` seconds
};

QList<Partial> partials(Timbre timbre) {
    switch (timbre) {
    case Timbre::Bell:
        return {{1.0, 1.0, 1.2},
                {2.0, 0.45, 0.8},
                {3.01, 0.25, 0.5},
                {4.17, 0.12, 0.3},
                {5.43, 0.06, 0.2}};
    case Timbre::Marimba:
        return {{1.0, 1.0, 0.12}, {3.93, 0.3, 0.04}, {9.8, 0.08, 0.015}};
    case Timbre::Click:
        return {{1.0, 1.0, 0.008}, {2.76, 0.5, 0.005}};
    }
    return {};
}

void appendBigEndian(QByteArray &out, std::uint32_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i)
        out.append(static_cast<char>((value >> (8 * i)) & 0xFF));
}

void appendLittleEndian(QByteArray &out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.append(static_cast<char>((value >> (8 * i)) & 0xFF));
}

std::uint32_t ticks(double seconds) {
    return static_cast<std::uint32_t>(std::lround(seconds * kTicksPerSecond));
}

} // namespace

QList<SoundSpec> sampleSounds() {
    // Keys: 72 C5, 76 E5, 79 G5, 84 C6, 81 A5, 96 C7.
    return {
        // Two falling tones, the classic pre-announcement chime.
        {QStringLiteral("chime1"),
         Timbre::Bell,
         14,
         1.6,
         {{0.0, 0.45, 76, 100}, {0.45, 1.0, 72, 100}}},
        // Three rising tones, for the route-set sound.
        {QStringLiteral("chime2"),
         Timbre::Bell,
         14,
         1.6,
         {{0.0, 0.3, 72, 96}, {0.3, 0.3, 76, 96}, {0.6, 0.9, 79, 100}}},
        // One knock on each stop step, exactly half a second.
        {QStringLiteral("step"), Timbre::Marimba, 12, 0.5, {{0.0, 0.4, 81, 110}}},
        // A short tick for the keypad and the lists.
        {QStringLiteral("key"), Timbre::Click, 115, 0.08, {{0.0, 0.06, 96, 90}}},
    };
}

QList<SoundSpec> preAnnouncementSounds() {
    // Short, and told apart by their number of tones, so that a passenger hears which
    // kind of announcement follows. Keys: 72 C5, 76 E5, 79 G5, 84 C6.
    return {
        {QStringLiteral("pre1"), Timbre::Bell, 14, 0.9, {{0.0, 0.6, 79, 100}}},
        {QStringLiteral("pre2"),
         Timbre::Bell,
         14,
         1.1,
         {{0.0, 0.25, 72, 96}, {0.25, 0.7, 79, 100}}},
        {QStringLiteral("pre3"),
         Timbre::Bell,
         14,
         1.2,
         {{0.0, 0.18, 84, 96}, {0.18, 0.18, 79, 96}, {0.36, 0.7, 76, 100}}},
    };
}

double keyFrequency(int key) {
    return 440.0 * std::pow(2.0, (key - 69) / 12.0);
}

Pcm render(const SoundSpec &spec, int rate) {
    const auto count = static_cast<std::size_t>(std::lround(spec.duration * rate));
    std::vector<double> mix(count, 0.0);
    const QList<Partial> parts = partials(spec.timbre);
    const double attack = 0.004 * rate;
    for (const Note &note : spec.notes) {
        const double base = keyFrequency(note.key);
        const double gain = note.velocity / 127.0;
        const auto first = static_cast<std::size_t>(std::lround(note.start * rate));
        for (std::size_t i = first; i < count; ++i) {
            const double t = static_cast<double>(i - first) / rate;
            double v = 0;
            for (const Partial &p : parts) {
                if (base * p.ratio >= rate / 2.0)
                    continue; // would alias
                v += p.gain * std::exp(-t / p.decay) *
                     std::sin(2 * std::numbers::pi * base * p.ratio * t);
            }
            // A short ramp in keeps the onset from clicking.
            const double ramp = std::min(1.0, static_cast<double>(i - first) / attack);
            mix[i] += gain * ramp * v;
        }
    }
    // Fade the last 10 ms so that a sound cut at its length ends without a click.
    const auto fade = std::min(count, static_cast<std::size_t>(0.01 * rate));
    for (std::size_t i = 0; i < fade; ++i)
        mix[count - 1 - i] *= static_cast<double>(i) / static_cast<double>(fade);

    double peak = 0;
    for (double v : mix)
        peak = std::max(peak, std::abs(v));
    const double scale = peak > 0 ? kPeak * 32767.0 / peak : 0;
    Pcm pcm;
    pcm.rate = rate;
    pcm.samples.reserve(count);
    for (double v : mix)
        pcm.samples.push_back(static_cast<std::int16_t>(std::lround(v * scale)));
    return pcm;
}

Pcm sine(double frequency, double seconds, int rate) {
    Pcm pcm;
    pcm.rate = rate;
    const auto count = static_cast<std::size_t>(std::lround(seconds * rate));
    pcm.samples.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const double v = 0.5 * std::sin(2 * std::numbers::pi * frequency * i / rate);
        pcm.samples.push_back(static_cast<std::int16_t>(std::lround(v * 32767.0)));
    }
    return pcm;
}

QByteArray wavFile(const Pcm &pcm) {
    const auto dataBytes = static_cast<std::uint32_t>(pcm.samples.size() * 2);
    const auto rate = static_cast<std::uint32_t>(pcm.rate);
    QByteArray out;
    out.reserve(static_cast<qsizetype>(44 + dataBytes));
    out.append("RIFF");
    appendLittleEndian(out, 36 + dataBytes, 4);
    out.append("WAVEfmt ");
    appendLittleEndian(out, 16, 4); // fmt chunk size
    appendLittleEndian(out, 1, 2);  // PCM
    appendLittleEndian(out, 1, 2);  // mono
    appendLittleEndian(out, rate, 4);
    appendLittleEndian(out, rate * 2, 4); // bytes per second
    appendLittleEndian(out, 2, 2);        // block align
    appendLittleEndian(out, 16, 2);       // bits per sample
    out.append("data");
    appendLittleEndian(out, dataBytes, 4);
    for (std::int16_t s : pcm.samples)
        appendLittleEndian(out, static_cast<std::uint16_t>(s), 2);
    return out;
}

QByteArray midiVarLen(std::uint32_t value) {
    value &= 0x0FFFFFFF;
    std::uint8_t groups[4];
    int n = 0;
    do {
        groups[n++] = static_cast<std::uint8_t>(value & 0x7F);
        value >>= 7;
    } while (value != 0);
    QByteArray out;
    for (int i = n - 1; i >= 0; --i)
        out.append(static_cast<char>(groups[i] | (i > 0 ? 0x80 : 0x00)));
    return out;
}

QByteArray midiFile(const SoundSpec &spec) {
    struct Event {
        std::uint32_t tick;
        int order; // note-offs before note-ons at the same tick
        QByteArray bytes;
    };
    QList<Event> events;
    for (const Note &note : spec.notes) {
        const auto key = static_cast<char>(note.key);
        const auto velocity = static_cast<char>(std::clamp(note.velocity, 1, 127));
        events.append({ticks(note.start), 1, QByteArray{"\x90", 1} + key + velocity});
        events.append(
            {ticks(note.start + note.length), 0, QByteArray{"\x80", 1} + key + char{0x40}});
    }
    std::stable_sort(events.begin(), events.end(), [](const Event &a, const Event &b) {
        return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
    });

    QByteArray track;
    track.append(midiVarLen(0));
    track.append("\xFF\x51\x03", 3);
    appendBigEndian(track, kTempoUsPerQuarter, 3);
    track.append(midiVarLen(0));
    track.append(static_cast<char>(0xC0));
    track.append(static_cast<char>(spec.program & 0x7F));
    std::uint32_t now = 0;
    for (const Event &e : events) {
        track.append(midiVarLen(e.tick - now));
        track.append(e.bytes);
        now = e.tick;
    }
    // End the track at the sound's length, so that players report the same duration.
    const std::uint32_t end = std::max(now, ticks(spec.duration));
    track.append(midiVarLen(end - now));
    track.append("\xFF\x2F\x00", 3);

    QByteArray out("MThd");
    appendBigEndian(out, 6, 4);
    appendBigEndian(out, 0, 2); // format 0
    appendBigEndian(out, 1, 2); // one track
    appendBigEndian(out, kTicksPerQuarter, 2);
    out.append("MTrk");
    appendBigEndian(out, static_cast<std::uint32_t>(track.size()), 4);
    out.append(track);
    return out;
}

} // namespace q47::soundgen
