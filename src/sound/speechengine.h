#pragma once

#include <QString>

#include <optional>

class QObject;

namespace q47 {

// A text-to-speech engine as the announcement tape uses it: four operations.
class SpeechEngine {
public:
    virtual ~SpeechEngine() = default;
    // Entries will be spoken soon: an engine that starts lazily starts now, in the background.
    virtual void prepare() {}
    // Starts speaking and returns at once; whatever was being spoken stops first.
    virtual void speak(const QString &text) = 0;
    // Silences the voice at once.
    virtual void stop() = 0;
    // Whether an entry is still being spoken: a ride waits for its end.
    virtual bool speaking() const { return false; }
    // The engine's 32-bit state property; nullopt when the engine has none.
    virtual std::optional<qint32> state() const = 0;
    // The engine's own settings, in a dialog modal to `owner` (a QWidget) with this title.
    virtual void showSettings(QObject *owner, const QString &title) = 0;
};

} // namespace q47
