#include "midisynth.h"

#include "logging.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <fluidsynth.h>
#include <gst/app/gstappsrc.h>

#include <dlfcn.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace q47 {

// One synthesizer, four sounds at once: its 64 MIDI channels form four blocks, and channel c of
// the file in block b plays on synthesizer channel 4c + b. fluidsynth mixes channel n into audio
// channel n mod 4 and effects unit n mod 4, so each block comes out as a stereo pair of its own
// with its own reverb and chorus, and goes to the pipeline of the channel that plays it.
// Each sound has its own fluid_player, whose events the playback callback moves into its
// block. Players are never stopped or sought, since that silences every channel of the
// synthesizer; they are deleted and their block silenced instead. Several small synthesizers
// would each load the sound font, and players sharing one synthesizer's sixteen channels
// would change each other's instruments.
//
// libfluidsynth is opened on the first MIDI sound rather than linked: it brings some thirty
// libraries (JACK, PulseAudio, SDL, libsndfile...) that every start-up would otherwise load.
//
// The worker thread creates no QObject (no QFile, QSettings or QLibrary): Qt would adopt the
// thread and free what it keeps for it at exit, before the thread ends.

namespace {

constexpr const char *kGmSoundFonts[] = {
    "/usr/share/sounds/sf2/default-GM.sf2",
    "/usr/share/sounds/sf2/FluidR3_GM.sf2",
};

constexpr int kBlocks = 4; // one per channel "S1" to "S4"
constexpr int kFileChannels = 16;
constexpr int kDrumChannel = 9;
constexpr int kRate = 44100;
constexpr int kPeriod = 512; // frames rendered at a time, 11.6 ms
constexpr quint64 kFrameBytes = 2 * sizeof(float);
constexpr qint64 kLeadFrames = kRate / 10; // queued ahead of each sink
constexpr qint64 kTailLimitFrames = kRate; // rings on after the file's last event at most
constexpr qint64 kDrainLimitFrames = 3 * kRate;
constexpr float kEndLevel = 1e-3f;   // -60 dB: the sound has rung out
constexpr float kQuietLevel = 1e-4f; // -80 dB: nothing left to leak into the next sound there

// MIDI status bytes as the player's events carry them.
enum : int {
    kNoteOff = 0x80,
    kNoteOn = 0x90,
    kKeyPressure = 0xA0,
    kControlChange = 0xB0,
    kProgramChange = 0xC0,
    kChannelPressure = 0xD0,
    kPitchBend = 0xE0,
};

int synthChannel(int block, int fileChannel) {
    return fileChannel * kBlocks + block;
}

#define Q47_FLUID_FUNCTIONS(X)                                                                     \
    X(fluid_set_log_function)                                                                      \
    X(new_fluid_settings)                                                                          \
    X(delete_fluid_settings)                                                                       \
    X(fluid_settings_setint)                                                                       \
    X(fluid_settings_setnum)                                                                       \
    X(new_fluid_synth)                                                                             \
    X(delete_fluid_synth)                                                                          \
    X(fluid_synth_sfload)                                                                          \
    X(fluid_synth_process)                                                                         \
    X(fluid_synth_set_channel_type)                                                                \
    X(fluid_synth_noteon)                                                                          \
    X(fluid_synth_noteoff)                                                                         \
    X(fluid_synth_key_pressure)                                                                    \
    X(fluid_synth_cc)                                                                              \
    X(fluid_synth_program_change)                                                                  \
    X(fluid_synth_channel_pressure)                                                                \
    X(fluid_synth_pitch_bend)                                                                      \
    X(fluid_synth_pitch_wheel_sens)                                                                \
    X(fluid_synth_all_sounds_off)                                                                  \
    X(fluid_synth_unset_program)                                                                   \
    X(fluid_synth_get_channel_preset)                                                              \
    X(fluid_synth_get_voicelist)                                                                   \
    X(fluid_synth_get_polyphony)                                                                   \
    X(new_fluid_player)                                                                            \
    X(delete_fluid_player)                                                                         \
    X(fluid_player_set_playback_callback)                                                          \
    X(fluid_player_add_mem)                                                                        \
    X(fluid_player_play)                                                                           \
    X(fluid_player_get_status)                                                                     \
    X(fluid_player_get_current_tick)                                                               \
    X(fluid_player_get_total_ticks)                                                                \
    X(fluid_midi_event_get_type)                                                                   \
    X(fluid_midi_event_get_channel)                                                                \
    X(fluid_midi_event_get_key)                                                                    \
    X(fluid_midi_event_get_velocity)                                                               \
    X(fluid_midi_event_get_control)                                                                \
    X(fluid_midi_event_get_value)                                                                  \
    X(fluid_midi_event_get_program)                                                                \
    X(fluid_midi_event_get_pitch)

// The library's functions, resolved when it is opened.
struct Fluid {
#define Q47_FLUID_POINTER(name) decltype(&::name) name = nullptr;
    Q47_FLUID_FUNCTIONS(Q47_FLUID_POINTER)
#undef Q47_FLUID_POINTER

    // Never closed: the synthesizer lives until the process ends.
    bool open() {
        void *library = dlopen(Q47_FLUIDSYNTH_SONAME, RTLD_LAZY | RTLD_LOCAL);
        if (!library)
            return false;
        bool complete = true;
#define Q47_FLUID_RESOLVE(name)                                                                    \
    name = reinterpret_cast<decltype(name)>(dlsym(library, #name));                                \
    complete = complete && name;
        Q47_FLUID_FUNCTIONS(Q47_FLUID_RESOLVE)
#undef Q47_FLUID_RESOLVE
        return complete;
    }
};

#undef Q47_FLUID_FUNCTIONS

void postError(GstElement *source, const char *what) {
    GError *error = g_error_new_literal(GST_STREAM_ERROR, GST_STREAM_ERROR_DECODE, what);
    gst_element_post_message(source, gst_message_new_error(GST_OBJECT(source), error, nullptr));
    g_error_free(error);
}

} // namespace

QStringList soundFontCandidates() {
    QStringList fonts;
    const QString chosen = QSettings().value(QLatin1String(kSoundFontSetting)).toString();
    if (!chosen.isEmpty())
        fonts << chosen;
    for (const char *font : kGmSoundFonts)
        fonts << QString::fromLatin1(font);
    return fonts;
}

GstCaps *midiStreamCaps() {
    return gst_caps_new_simple("audio/x-raw", "format", G_TYPE_STRING,
                               G_BYTE_ORDER == G_LITTLE_ENDIAN ? "F32LE" : "F32BE", "rate",
                               G_TYPE_INT, kRate, "channels", G_TYPE_INT, 2, "layout",
                               G_TYPE_STRING, "interleaved", nullptr);
}

struct MidiSynth::Impl {
    struct Command {
        enum class Kind { Start, Stop } kind;
        quint64 stream;
        QString path;
        GstElement *source; // a reference of its own, for Start
    };

    struct Block {
        enum class State { Free, Playing, Draining } state = State::Free;
        quint64 stream = 0;
        GstElement *source = nullptr;
        fluid_player_t *player = nullptr;
        quint64 frames = 0; // pushed into the source
        qint64 tail = 0;    // frames since the file's last event, or since it was cut off
        quint64 freedAt = 0;
        bool loaded = false;
    };

    // What the playback callback gets back.
    struct Link {
        Impl *impl;
        int block;
    };

    explicit Impl(QStringList soundFonts) : fonts(std::move(soundFonts)) {
        for (int b = 0; b < kBlocks; ++b)
            links[b] = {this, b};
        for (auto &channel : planar)
            channel.resize(kPeriod);
        for (int b = 0; b < kBlocks; ++b) {
            out[2 * b] = planar[2 * b].data();
            out[2 * b + 1] = planar[2 * b + 1].data();
            // Reverb and chorus of unit b are mixed into the block's own pair.
            for (int effect = 0; effect < 2; ++effect) {
                fx[(b * 2 + effect) * 2] = out[2 * b];
                fx[(b * 2 + effect) * 2 + 1] = out[2 * b + 1];
            }
        }
        worker = std::thread([this] { run(); });
    }

    ~Impl() {
        {
            std::lock_guard lock(mutex);
            quit = true;
        }
        cv.notify_all();
        worker.join();
    }

    void post(Command command) {
        std::lock_guard lock(mutex);
        commands.push_back(std::move(command));
        ++posted;
        cv.notify_all();
    }

    void run();
    void handle(Command &command);
    void start(Command &command);
    bool createSynth();
    int pickBlock() const;
    void reset(int block);
    void release(int block);
    std::chrono::milliseconds render();
    void renderPeriod();
    void feed(int block, float peak);
    int countVoices();
    int onEvent(int block, fluid_midi_event_t *event);

    static int onMidiEvent(void *data, fluid_midi_event_t *event) {
        auto *link = static_cast<Link *>(data);
        return link->impl->onEvent(link->block, event);
    }

    const QStringList fonts;

    // Shared with the callers.
    std::mutex mutex;
    std::condition_variable cv;
    std::deque<Command> commands;
    quint64 posted = 0;
    quint64 done = 0;
    bool quit = false;
    std::atomic<quint64> nextStream{0};
    std::atomic<int> voices{0};

    // The worker's own.
    enum class Synth { NotYet, Ready, Failed } state = Synth::NotYet;
    Fluid fl;
    fluid_settings_t *settings = nullptr;
    fluid_synth_t *synth = nullptr;
    std::array<Block, kBlocks> blocks;
    std::array<Link, kBlocks> links;
    std::array<std::vector<float>, 2 * kBlocks> planar;
    std::array<float *, 2 * kBlocks> out{};
    std::array<float *, 4 * kBlocks> fx{};
    std::vector<fluid_voice_t *> voiceList;
    quint64 freeings = 0;
    std::thread worker; // last, so that it starts after the rest exists
};

void MidiSynth::Impl::run() {
    std::unique_lock lock(mutex);
    std::chrono::milliseconds wait{0};
    for (;;) {
        const auto ready = [this] { return quit || !commands.empty(); };
        if (wait.count() < 0)
            cv.wait(lock, ready);
        else if (wait.count() > 0)
            cv.wait_for(lock, wait, ready);
        if (quit)
            break;
        std::deque<Command> batch;
        batch.swap(commands);
        const quint64 upTo = posted;
        lock.unlock();
        for (Command &command : batch)
            handle(command);
        wait = render();
        voices = countVoices();
        lock.lock();
        done = upTo;
        cv.notify_all();
    }
    std::deque<Command> unheard;
    unheard.swap(commands);
    lock.unlock();

    for (Command &command : unheard) {
        if (command.source)
            gst_object_unref(command.source);
    }
    for (int b = 0; b < kBlocks; ++b) {
        if (blocks[b].state == Block::State::Playing)
            release(b);
    }
    if (synth)
        fl.delete_fluid_synth(synth);
    if (settings)
        fl.delete_fluid_settings(settings);
}

void MidiSynth::Impl::handle(Command &command) {
    if (command.kind == Command::Kind::Start) {
        start(command);
        return;
    }
    for (int b = 0; b < kBlocks; ++b) {
        if (blocks[b].state == Block::State::Playing && blocks[b].stream == command.stream)
            release(b);
    }
}

void MidiSynth::Impl::start(Command &command) {
    GstElement *source = std::exchange(command.source, nullptr);
    gchar *contents = nullptr;
    gsize length = 0;
    QByteArray bytes;
    if (g_file_get_contents(QFile::encodeName(command.path).constData(), &contents, &length,
                            nullptr))
        bytes = QByteArray(contents, static_cast<qsizetype>(length));
    g_free(contents);
    const int b = pickBlock();
    const char *failure = nullptr;
    if (!bytes.startsWith("MThd"))
        failure = "not a MIDI file";
    else if (!createSynth())
        failure = "no MIDI synthesizer";
    else if (b < 0)
        failure = "every MIDI block in use";
    if (failure) {
        postError(source, failure);
        gst_object_unref(source);
        return;
    }

    Block &block = blocks[b];
    if (block.state == Block::State::Draining)
        block.state = Block::State::Free;
    reset(b);
    block.player = fl.new_fluid_player(synth);
    fl.fluid_player_set_playback_callback(block.player, onMidiEvent, &links[b]);
    fl.fluid_player_add_mem(block.player, bytes.constData(), static_cast<size_t>(bytes.size()));
    fl.fluid_player_play(block.player);
    block.state = Block::State::Playing;
    block.stream = command.stream;
    block.source = source;
    block.frames = 0;
    block.tail = 0;
    block.loaded = false;
}

bool MidiSynth::Impl::createSynth() {
    if (state != Synth::NotYet)
        return state == Synth::Ready;
    state = Synth::Failed;
    const auto failed = [](const QString &why) {
        logPassedOver(logSound, Error(Error::Kind::Unavailable,
                                      QStringLiteral("MIDI sounds stay silent: ") + why));
        return false;
    };
    if (!fl.open())
        return failed(QStringLiteral("libfluidsynth cannot be opened"));
    // Sound failures are silent; the library would print its own.
    for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level)
        fl.fluid_set_log_function(level, nullptr, nullptr);
    settings = fl.new_fluid_settings();
    if (!settings)
        return failed(QStringLiteral("no synthesizer settings"));
    fl.fluid_settings_setint(settings, "synth.midi-channels", kFileChannels * kBlocks);
    fl.fluid_settings_setint(settings, "synth.audio-channels", kBlocks);
    fl.fluid_settings_setint(settings, "synth.audio-groups", kBlocks);
    fl.fluid_settings_setint(settings, "synth.effects-groups", kBlocks);
    fl.fluid_settings_setint(settings, "synth.dynamic-sample-loading", 1);
    // Locked samples would count against a user's small lock limit.
    fl.fluid_settings_setint(settings, "synth.lock-memory", 0);
    // At the end of each file the player would reset every channel, the other sounds' too.
    fl.fluid_settings_setint(settings, "player.reset-synth", 0);
    fl.fluid_settings_setnum(settings, "synth.sample-rate", kRate);
    synth = fl.new_fluid_synth(settings);
    if (!synth)
        return failed(QStringLiteral("no synthesizer"));
    bool loaded = false;
    for (const QString &font : fonts) {
        // Without choosing presets: that would load the piano and the drum kit on every
        // channel before any sound asks for them.
        if (QFileInfo(font).isFile() &&
            fl.fluid_synth_sfload(synth, QFile::encodeName(font).constData(), 0) != FLUID_FAILED) {
            loaded = true;
            break;
        }
        logPassedOver(
            logSound,
            Error(Error::Kind::Invalid, QStringLiteral("not a sound font that loads")).in(font));
    }
    if (!loaded)
        return failed(QStringLiteral("no sound font"));
    for (int channel = 0; channel < kFileChannels * kBlocks; ++channel) {
        fl.fluid_synth_set_channel_type(synth, channel,
                                        channel / kBlocks == kDrumChannel ? CHANNEL_TYPE_DRUM
                                                                          : CHANNEL_TYPE_MELODIC);
    }
    voiceList.resize(static_cast<size_t>(std::max(1, fl.fluid_synth_get_polyphony(synth))));
    state = Synth::Ready;
    return true;
}

// The block free the longest, so that whatever of its last sound still rings in its reverb has
// had the most time to fade; a fading one only when none is free.
int MidiSynth::Impl::pickBlock() const {
    int best = -1;
    for (Block::State wanted : {Block::State::Free, Block::State::Draining}) {
        for (int b = 0; b < kBlocks; ++b) {
            if (blocks[b].state == wanted && (best < 0 || blocks[b].freedAt < blocks[best].freedAt))
                best = b;
        }
        if (best >= 0)
            return best;
    }
    return -1;
}

// The block's channels as a fresh synthesizer has them, without instruments: one is chosen
// when the file asks for it or plays its first note.
void MidiSynth::Impl::reset(int block) {
    for (int c = 0; c < kFileChannels; ++c) {
        const int channel = synthChannel(block, c);
        fl.fluid_synth_cc(synth, channel, 121, 0); // reset all controllers
        fl.fluid_synth_cc(synth, channel, 0, 0);   // bank
        fl.fluid_synth_cc(synth, channel, 32, 0);
        fl.fluid_synth_cc(synth, channel, 7, 100); // volume
        fl.fluid_synth_cc(synth, channel, 10, 64); // pan
        for (int effect = 91; effect <= 95; ++effect)
            fl.fluid_synth_cc(synth, channel, effect, 0);
        fl.fluid_synth_pitch_wheel_sens(synth, channel, 2);
    }
}

// Ends the block's sound at once and lets go of its instruments, whose samples are unloaded
// unless another sound uses them; its reverb fades while the block drains.
void MidiSynth::Impl::release(int block) {
    Block &b = blocks[block];
    fl.delete_fluid_player(b.player);
    b.player = nullptr;
    for (int c = 0; c < kFileChannels; ++c) {
        fl.fluid_synth_all_sounds_off(synth, synthChannel(block, c));
        fl.fluid_synth_unset_program(synth, synthChannel(block, c));
    }
    gst_object_unref(b.source);
    b.source = nullptr;
    b.state = Block::State::Draining;
    b.tail = 0;
}

// Renders while a playing sound has less than its lead queued, or, with none playing, until
// the fading blocks are quiet. Returns how long to wait before looking again; negative: until
// asked.
std::chrono::milliseconds MidiSynth::Impl::render() {
    using std::chrono::milliseconds;
    // Never so many periods at once that a stop waits for them.
    for (int period = 0; period < 8; ++period) {
        qint64 shortest = -1;
        bool draining = false;
        for (const Block &b : blocks) {
            if (b.state == Block::State::Playing) {
                const auto queued = static_cast<qint64>(
                    gst_app_src_get_current_level_bytes(GST_APP_SRC(b.source)) / kFrameBytes);
                shortest = shortest < 0 ? queued : std::min(shortest, queued);
            }
            draining = draining || b.state == Block::State::Draining;
        }
        if (shortest < 0 && !draining)
            return milliseconds(-1);
        if (shortest >= kLeadFrames) {
            // Look again when the shortest queue is about to run below its lead.
            const qint64 spare = (shortest - kLeadFrames) * 1000 / kRate;
            return milliseconds(std::clamp<qint64>(spare, 2, 40));
        }
        renderPeriod();
    }
    return milliseconds(0);
}

void MidiSynth::Impl::renderPeriod() {
    for (auto &channel : planar)
        std::fill(channel.begin(), channel.end(), 0.0f);
    fl.fluid_synth_process(synth, kPeriod, static_cast<int>(fx.size()), fx.data(),
                           static_cast<int>(out.size()), out.data());
    for (int b = 0; b < kBlocks; ++b) {
        float peak = 0;
        for (int side = 0; side < 2; ++side) {
            for (float sample : planar[2 * b + side])
                peak = std::max(peak, std::abs(sample));
        }
        Block &block = blocks[b];
        if (block.state == Block::State::Playing) {
            feed(b, peak);
        } else if (block.state == Block::State::Draining) {
            block.tail += kPeriod;
            if (peak < kQuietLevel || block.tail >= kDrainLimitFrames) {
                block.state = Block::State::Free;
                block.freedAt = ++freeings;
            }
        }
    }
}

// Hands the block's period to its source, and ends the sound once the file has played and
// what it left ringing has faded.
void MidiSynth::Impl::feed(int block, float peak) {
    Block &b = blocks[block];
    const int total = fl.fluid_player_get_total_ticks(b.player);
    if (!b.loaded) {
        // The player reads the file in its first period; one it cannot read ends it at once.
        if (total <= 0 || fl.fluid_player_get_status(b.player) == FLUID_PLAYER_DONE) {
            postError(b.source, "unreadable MIDI file");
            release(block);
            return;
        }
        b.loaded = true;
    }

    GstBuffer *buffer = gst_buffer_new_allocate(nullptr, kPeriod * kFrameBytes, nullptr);
    GstMapInfo map;
    if (gst_buffer_map(buffer, &map, GST_MAP_WRITE)) {
        auto *samples = reinterpret_cast<float *>(map.data);
        const float *left = planar[2 * block].data();
        const float *right = planar[2 * block + 1].data();
        for (int i = 0; i < kPeriod; ++i) {
            samples[2 * i] = left[i];
            samples[2 * i + 1] = right[i];
        }
        gst_buffer_unmap(buffer, &map);
    }
    GST_BUFFER_PTS(buffer) = gst_util_uint64_scale(b.frames, GST_SECOND, kRate);
    b.frames += kPeriod;
    GST_BUFFER_DURATION(buffer) =
        gst_util_uint64_scale(b.frames, GST_SECOND, kRate) - GST_BUFFER_PTS(buffer);
    // A source that no longer takes buffers belongs to a pipeline that has gone or failed.
    if (gst_app_src_push_buffer(GST_APP_SRC(b.source), buffer) != GST_FLOW_OK) {
        release(block);
        return;
    }

    // The player's status stays "playing" after the last event in this fluidsynth; its tick
    // says when the file is through.
    if (fl.fluid_player_get_current_tick(b.player) < total)
        return;
    b.tail += kPeriod;
    if (peak < kEndLevel || b.tail >= kTailLimitFrames) {
        gst_app_src_end_of_stream(GST_APP_SRC(b.source));
        release(block);
    }
}

int MidiSynth::Impl::countVoices() {
    if (!synth)
        return 0;
    std::fill(voiceList.begin(), voiceList.end(), nullptr);
    fl.fluid_synth_get_voicelist(synth, voiceList.data(), static_cast<int>(voiceList.size()), -1);
    return static_cast<int>(
        std::count_if(voiceList.begin(), voiceList.end(), [](auto *v) { return v != nullptr; }));
}

int MidiSynth::Impl::onEvent(int block, fluid_midi_event_t *event) {
    const int channel = synthChannel(block, fl.fluid_midi_event_get_channel(event) % kFileChannels);
    switch (fl.fluid_midi_event_get_type(event)) {
    case kNoteOff:
        return fl.fluid_synth_noteoff(synth, channel, fl.fluid_midi_event_get_key(event));
    case kNoteOn:
        // A file that plays before choosing an instrument gets the piano, or the standard kit
        // on its drum channel.
        if (!fl.fluid_synth_get_channel_preset(synth, channel))
            fl.fluid_synth_program_change(synth, channel, 0);
        return fl.fluid_synth_noteon(synth, channel, fl.fluid_midi_event_get_key(event),
                                     fl.fluid_midi_event_get_velocity(event));
    case kKeyPressure:
        return fl.fluid_synth_key_pressure(synth, channel, fl.fluid_midi_event_get_key(event),
                                           fl.fluid_midi_event_get_value(event));
    case kControlChange:
        return fl.fluid_synth_cc(synth, channel, fl.fluid_midi_event_get_control(event),
                                 fl.fluid_midi_event_get_value(event));
    case kProgramChange:
        return fl.fluid_synth_program_change(synth, channel,
                                             fl.fluid_midi_event_get_program(event));
    case kChannelPressure:
        // The player keeps the pressure where a program number would be.
        return fl.fluid_synth_channel_pressure(synth, channel,
                                               fl.fluid_midi_event_get_program(event));
    case kPitchBend:
        return fl.fluid_synth_pitch_bend(synth, channel, fl.fluid_midi_event_get_pitch(event));
    default:
        // System exclusive and reset messages would reach the other sounds' channels too.
        return FLUID_OK;
    }
}

namespace {
std::atomic<MidiSynth *> sharedSynth{nullptr};
} // namespace

MidiSynth &MidiSynth::shared() {
    static MidiSynth synth;
    sharedSynth = &synth;
    return synth;
}

int MidiSynth::sharedVoices() {
    const MidiSynth *synth = sharedSynth;
    return synth ? synth->voices() : 0;
}

// The user's settings are read here, on the caller's thread.
MidiSynth::MidiSynth() : d(std::make_unique<Impl>(soundFontCandidates())) {}

MidiSynth::~MidiSynth() {
    sharedSynth = nullptr;
}

quint64 MidiSynth::start(const QString &path, GstElement *source) {
    const quint64 stream = ++d->nextStream;
    d->post({Impl::Command::Kind::Start, stream, path, GST_ELEMENT(gst_object_ref(source))});
    return stream;
}

void MidiSynth::stop(quint64 stream) {
    d->post({Impl::Command::Kind::Stop, stream, {}, nullptr});
}

void MidiSynth::sync() {
    std::unique_lock lock(d->mutex);
    const quint64 upTo = d->posted;
    d->cv.wait(lock, [&] { return d->done >= upTo; });
}

int MidiSynth::voices() const {
    return d->voices;
}

} // namespace q47
