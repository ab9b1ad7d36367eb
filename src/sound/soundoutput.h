#pragma once

#include <QString>

namespace q47 {

// What callers of the sound channels need: play a file on one of "S1" to "S4", optionally
// waiting for its end, and close every channel at exit. The control panel and the
// announcement tape take this by reference, so that their tests can record the calls instead.
class SoundOutput {
public:
    virtual ~SoundOutput() = default;

    // Wait: 0 returns at once, anything else returns after the sound has ended and then
    // sleeps Pause milliseconds. Failures are silent.
    virtual void PlaySnd(const QString &Path, const QString &Channel, qint16 Wait,
                         qint16 Pause) = 0;
    virtual void CloseSnd() = 0;
};

} // namespace q47
