#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>
#include <vector>

namespace q47::soundgen {

// How a note sounds in the synthesised WAV; the MIDI file names a General MIDI program.
enum class Timbre {
    Bell,    // long, inharmonic partials: the chimes
    Marimba, // short wooden knock: the step sound
    Click,   // a few milliseconds: the key sound
};

struct Note {
    double start = 0;  // seconds
    double length = 0; // seconds until release
    int key = 69;      // MIDI key number; 69 is A4, 440 Hz
    int velocity = 100;
};

// One sample sound, from which the WAV, the MP3 and the MIDI file are made.
struct SoundSpec {
    QString name;
    Timbre timbre = Timbre::Bell;
    int program = 0; // General MIDI program, 0-based
    double duration = 0;
    QList<Note> notes;
};

// The sample sounds that ship with the program.
QList<SoundSpec> sampleSounds();

// The three pre-announcement chimes an announcement list can ask for, "pre1" to "pre3";
// written as WAV only.
QList<SoundSpec> preAnnouncementSounds();

// 16-bit mono PCM.
struct Pcm {
    int rate = 22050;
    std::vector<std::int16_t> samples;
};

double keyFrequency(int key);

// Renders the notes for exactly `duration` seconds, peak-normalised below full scale.
Pcm render(const SoundSpec &spec, int rate = 22050);

// A plain sine of `seconds`, for tests and measurements that need a sound of known length.
Pcm sine(double frequency, double seconds, int rate = 22050);

// A canonical 44-byte-header RIFF/WAVE file.
QByteArray wavFile(const Pcm &pcm);

// A standard MIDI file, format 0, one track, 480 ticks per quarter note at 120 beats per
// minute, on channel 1.
QByteArray midiFile(const SoundSpec &spec);

// The variable-length quantity of MIDI delta times; `value` must fit in 28 bits.
QByteArray midiVarLen(std::uint32_t value);

} // namespace q47::soundgen
