#pragma once

#include "error.h"
#include "speechengine.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace q47 {

// Speech as samples, for a recording: signed 16-bit mono at eSpeak's rate.
struct SpeechSamples {
    int sampleRate = 0;
    std::vector<qint16> samples;
};

// One of eSpeak NG's voice parameters: its range and its own default.
struct VoiceRange {
    int min;
    int max;
    int standard;
};
inline constexpr VoiceRange kVoiceRate{80, 450, 175}; // words per minute
inline constexpr VoiceRange kVoicePitch{0, 100, 50};
inline constexpr VoiceRange kVoiceVolume{0, 200, 100};

struct VoiceSettings {
    QString voice = QStringLiteral("ja"); // an eSpeak voice name, e.g. "ja+f2"
    int rate = kVoiceRate.standard;
    int pitch = kVoicePitch.standard;
    int volume = kVoiceVolume.standard;

    bool operator==(const VoiceSettings &) const = default;
};

// For tests and measurements.
struct SpeechStatus {
    bool speaking = false;     // an entry is being read, synthesized, played or silenced
    quint64 buffers = 0;       // audio buffers of the latest entry that reached the sink
    qint64 firstBufferUs = -1; // from that entry's speak() to its first buffer at the sink
    quint64 utterances = 0;    // entries whose audio was started, since creation
};

// Japanese text spoken by eSpeak NG: the text is turned into kana (eSpeak skips kanji), the
// kana synthesized, and the samples streamed into a GStreamer pipeline of its own while they
// are made. This channel is independent of the sound channels "S1" to "S4".
//
// eSpeak keeps its state in process-wide globals, so all eSpeak work runs on one thread that
// lives until the process exits, and at most one engine exists at a time. Every public call
// may be made from any thread and returns without waiting for synthesis or GStreamer.
class EspeakSpeech final : public SpeechEngine {
public:
    // `readingsFile` names the author's reading dictionary ("word,reading" lines); it is asked
    // again, on the caller's thread, at every speak(), and the file is reloaded when its name
    // or modification time changed. An empty sink description means the environment variable
    // kAudioSinkVariable, else "autoaudiosink". Unavailable when eSpeak's Japanese voice or
    // MeCab's dictionary is not installed, or when another engine exists.
    // Creation only looks for them: eSpeak, GStreamer and MeCab start on the speech thread at
    // the first prepare(), speak(), voices() or settings(), so that an engine nobody uses
    // costs neither time nor memory. One that cannot start then stays silent.
    static Result<std::unique_ptr<EspeakSpeech>> create(std::function<QString()> readingsFile,
                                                        const QString &sinkDescription = {});
    ~EspeakSpeech() override;
    EspeakSpeech(const EspeakSpeech &) = delete;
    EspeakSpeech &operator=(const EspeakSpeech &) = delete;

    // Starts eSpeak, GStreamer and MeCab in the background, if they have not started.
    void prepare() override;
    // Empty text, or text with nothing readable, speaks nothing.
    void speak(const QString &text) override;
    // Mutes at once; synthesis is abandoned and the pipeline torn down within milliseconds.
    void stop() override;
    std::optional<qint32> state() const override { return std::nullopt; }
    bool speaking() const override { return status().speaking; }
    // Calls the hook the UI side installed; does nothing without one.
    void showSettings(QObject *owner, const QString &title) override;

    void setSettingsHook(std::function<void(QObject *owner, const QString &title)> hook);

    // The Japanese voices offered, "ja" first. Waits for the start.
    QStringList voices() const;
    // Waits for the start, which checks the voice set before it.
    VoiceSettings settings() const;
    // Values are clamped to their ranges, an unknown voice becomes "ja". Applies from the next
    // entry on.
    void setSettings(const VoiceSettings &settings);

    // The text's speech as samples, made on the speech thread as speak() would say it, with
    // the current settings; nothing when the engine cannot start or the text says nothing.
    // Waits for the synthesis (faster than real time), and for an entry being synthesized.
    std::optional<SpeechSamples> synthesize(const QString &text);

    SpeechStatus status() const;
    // True once nothing is being spoken; false when that did not happen within the timeout.
    bool waitIdle(int timeoutMs) const;

    // Speech pipelines not yet freed, in the whole process.
    static int pipelinesAlive();

private:
    struct Impl;
    explicit EspeakSpeech(std::shared_ptr<Impl> impl);
    std::shared_ptr<Impl> d;
};

} // namespace q47
