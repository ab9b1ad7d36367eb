#pragma once

#include "error.h"
#include "soundfiletype.h"
#include "soundoutput.h"

#include <QString>

#include <array>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

namespace q47 {

// Names the GStreamer sink description every channel plays into, e.g. "fakesink sync=true"
// on machines without a sound card. Unset or empty: "autoaudiosink".
inline constexpr const char *kAudioSinkVariable = "Q47_AUDIO_SINK";

// What one channel holds, for tests and measurements.
struct SoundChannelStatus {
    QString alias;                          // the device name it was opened under ("Q47S1")
    QString path;                           // the file it holds; empty when closed
    SoundDevice device = SoundDevice::None; // None when closed
    bool open = false;
    bool playing = false;      // started and neither at its end nor failed
    bool failed = false;       // the player reported an error
    quint64 buffers = 0;       // audio buffers that reached the sink
    qint64 firstBufferUs = -1; // from the play request to the first buffer at the sink
    quint64 opens = 0;         // times this channel was opened since construction
};

// The four sound channels "S1" to "S4", each a GStreamer player of its own. A new sound on a
// channel ends the one before on that channel only; a channel keeps its finished player until
// the next sound there or closeAll(), as a device stays open.
class SoundChannels final : public SoundOutput {
public:
    // An empty sink description means: the environment variable, else "autoaudiosink".
    explicit SoundChannels(const QString &sinkDescription = {});
    ~SoundChannels() override;
    SoundChannels(const SoundChannels &) = delete;
    SoundChannels &operator=(const SoundChannels &) = delete;

    void play(const QString &path, SoundChannel channel, SoundWait wait, int pauseMs) override;
    void closeAll() override;

    SoundChannelStatus status(SoundChannel channel) const;

    // A waited sound whose position has not moved for this long is given up, so that a stuck
    // audio device cannot freeze the program. Loading the MIDI sound font counts as no
    // movement, hence the generous default.
    void setStallTimeoutMs(int ms) { stallTimeoutMs_ = ms; }

    // GStreamer, started once for the whole run, or why it cannot start. Without it every call
    // is a no-op, silent but for the q47.sound log.
    static Result<> start();
    static bool available() { return bool(start()); }

    // Players' pipelines that have not been freed yet, in the whole process.
    static int pipelinesAlive();

private:
    class Player;
    void close(size_t slot);
    void retire(std::unique_ptr<Player> player);
    void waitRetired();

    QString sinkDescription_;
    std::array<std::unique_ptr<Player>, kSoundChannels.size()> players_;
    std::array<quint64, kSoundChannels.size()> opens_{};
    int stallTimeoutMs_ = 10000;

    // Tearing a player down can take a while (a MIDI player still loading its sound font must
    // finish first), so a replaced player is muted at once and destroyed on this thread.
    std::thread retirer_;
    std::mutex retireMutex_;
    std::condition_variable retireCv_;
    std::deque<std::unique_ptr<Player>> retiring_;
    bool retiringBusy_ = false;
    bool stopRetirer_ = false;
};

} // namespace q47
