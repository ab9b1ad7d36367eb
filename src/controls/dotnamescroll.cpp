#include "dotnamescroll.h"

#include <cmath>

namespace q47 {

using std::chrono::nanoseconds;

DotNameScroll::DotNameScroll(Clock clock) : clock_(std::move(clock)) {
    if (!clock_)
        clock_ = [] {
            return std::chrono::duration_cast<nanoseconds>(
                std::chrono::steady_clock::now().time_since_epoch());
        };
}

void DotNameScroll::setExtent(int stripHeight, int windowHeight) {
    stripHeight_ = qMax(0, stripHeight);
    // A window of no height would make the strip wrap on the spot, over and over.
    windowHeight_ = qMax(1, windowHeight);
}

qint64 DotNameScroll::pauseRemainingMs() const {
    if (!pausing())
        return 0;
    const nanoseconds left = pauseEnd_ - now();
    if (left <= nanoseconds::zero())
        return 0;
    return std::chrono::ceil<std::chrono::milliseconds>(left).count();
}

void DotNameScroll::beginPause(Phase phase, nanoseconds from) {
    phase_ = phase;
    pauseEnd_ = from + std::chrono::milliseconds(waitMs_);
}

void DotNameScroll::start(qint16 speed, qint32 waitMs) {
    speed_ = qMax<qint16>(1, speed);
    setWait(waitMs);
    last_ = now();
    beginPause(Phase::StartPause, last_);
}

void DotNameScroll::setSpeed(qint16 speed) {
    advance();
    speed_ = qMax<qint16>(1, speed);
}

bool DotNameScroll::advance() {
    if (!running())
        return false;
    const nanoseconds target = now();
    const int before = top_;
    nanoseconds t = last_;
    while (t < target) {
        if (pausing()) {
            if (target < pauseEnd_)
                break;
            t = pauseEnd_;
            // The first step starts from wherever the strip stands when the pause is over.
            if (phase_ == Phase::StartPause)
                p_ = top_;
            phase_ = Phase::Moving;
            continue;
        }
        // The strip is placed at the nearest whole pixel, and it wraps once that top plus
        // its height reaches minus the window height: p has then fallen to wrapAt.
        const double wrapAt = -windowHeight_ - stripHeight_ + 0.5;
        const double v = velocity();
        const double secondsLeft = std::chrono::duration<double>(target - t).count();
        const double secondsToWrap = (p_ - wrapAt) / v;
        if (secondsLeft < secondsToWrap) {
            p_ -= v * secondsLeft;
            top_ = static_cast<int>(std::lround(p_));
            t = target;
        } else {
            t += std::chrono::duration_cast<nanoseconds>(
                std::chrono::duration<double>(qMax(0.0, secondsToWrap)));
            top_ = windowHeight_;
            p_ = top_;
            beginPause(Phase::WrapPause, t);
        }
    }
    last_ = target;
    return top_ != before;
}

} // namespace q47
