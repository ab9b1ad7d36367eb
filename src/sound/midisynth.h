#pragma once

#include <QString>
#include <QStringList>

#include <memory>

// GStreamer stays out of the users' includes.
typedef struct _GstCaps GstCaps;
typedef struct _GstElement GstElement;

namespace q47 {

// The user's own General MIDI sound font, a key of the program's user settings; read when the
// first MIDI sound of a run plays.
inline constexpr const char *kSoundFontSetting = "sound/soundFont";

// The sound fonts tried in turn: the one the user's settings name, if any, then Debian's
// alternative for the General MIDI font and the font it normally points to.
QStringList soundFontCandidates();

// What a MIDI stream delivers into its source: interleaved stereo 32-bit float.
GstCaps *midiStreamCaps();

// Standard MIDI files played by one fluidsynth synthesizer for the whole program, created on
// the first MIDI sound with its sound font loaded once. Samples are loaded per instrument as
// sounds select them and unloaded when those sounds end, so that a chime keeps a few megabytes
// of samples in memory rather than the whole font.
//
// Each sound streams into an appsrc of its own pipeline, so that a channel's sound is stopped,
// waited for and replaced through that pipeline as any other. The synthesizer renders on a
// thread of its own; every call returns without waiting for it, except sync().
class MidiSynth {
public:
    static MidiSynth &shared();
    // Sounding synthesizer voices, 0 before the synthesizer exists; for tests.
    static int sharedVoices();

    ~MidiSynth();
    MidiSynth(const MidiSynth &) = delete;
    MidiSynth &operator=(const MidiSynth &) = delete;

    // Plays the file into `source`, an appsrc with midiStreamCaps() in a pipeline that has
    // been set playing; the source gets end-of-stream when the sound has rung out. A file that
    // is not a MIDI file, a synthesizer that cannot be made and a fifth sound at once post an
    // error on the source instead. Returns the stream's number for stop().
    quint64 start(const QString &path, GstElement *source);
    // Cuts the stream off: its notes end at once and its source gets nothing more.
    void stop(quint64 stream);
    // Returns once everything asked before has been done.
    void sync();

    int voices() const;

private:
    MidiSynth();
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace q47
