#pragma once

#include <QtGlobal>

#include <chrono>
#include <functional>

namespace q47 {

// Where the place-name strip stands inside its window, as a function of time.
//
// A scroll moves the strip up by Speed/200 pixel per step at a fixed step rate, pauses
// before its first step, and once the name has left the window and travelled one more
// window height, puts the strip back just below the window and pauses again. Time comes
// from an injected clock, so the position follows elapsed time exactly, however often the
// display asks for it.
class DotNameScroll {
public:
    using Clock = std::function<std::chrono::nanoseconds()>;

    static constexpr double kStepsPerSecond = 6000;
    static constexpr double kSpeedUnitsPerPixel = 200;

    explicit DotNameScroll(Clock clock = {});

    // The strip's top inside the window, in whole pixels.
    int top() const { return top_; }
    // Places the strip. A running scroll keeps its own position and returns to it at its
    // next step, as a loop holding the position in a local variable would.
    void setTop(int top) { top_ = top; }
    // Sizes the wrap test uses.
    void setExtent(int stripHeight, int windowHeight);

    bool running() const { return phase_ != Phase::Stopped; }
    bool pausing() const { return phase_ == Phase::StartPause || phase_ == Phase::WrapPause; }
    // Milliseconds left of the current pause (0 when not pausing).
    qint64 pauseRemainingMs() const;

    // Starts a scroll: pause, then read the strip's top and move from there.
    // Speed below 1 moves as 1; a negative wait counts as 0.
    void start(qint16 speed, qint32 waitMs);
    void stop() { phase_ = Phase::Stopped; }
    // Takes effect from now on: the time before is accounted at the old speed.
    void setSpeed(qint16 speed);
    void setWait(qint32 waitMs) { waitMs_ = qMax(0, waitMs); }

    // Brings the strip up to the clock's time. True when its top has changed.
    bool advance();
    // Position before rounding to whole pixels.
    double position() const { return p_; }
    // Pixels per second at the current speed.
    double velocity() const { return speed_ * kStepsPerSecond / kSpeedUnitsPerPixel; }

private:
    enum class Phase { Stopped, StartPause, Moving, WrapPause };

    std::chrono::nanoseconds now() const { return clock_(); }
    void beginPause(Phase phase, std::chrono::nanoseconds from);

    Clock clock_;
    Phase phase_ = Phase::Stopped;
    std::chrono::nanoseconds last_{0};     // time the position belongs to
    std::chrono::nanoseconds pauseEnd_{0}; // when the current pause ends
    double p_ = 0;
    int top_ = 0;
    int stripHeight_ = 0;
    int windowHeight_ = 0;
    qint16 speed_ = 1;
    qint32 waitMs_ = 0;
};

} // namespace q47
