#include "ride.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace q47 {

namespace {

constexpr qint64 kMinuteMs = 60 * 1000;

// The whole minutes below `ms`, also for a time before midnight.
qint64 floorMinute(qint64 ms) {
    return ms >= 0 ? ms / kMinuteMs : -((-ms + kMinuteMs - 1) / kMinuteMs);
}

} // namespace

qint64 RideSchedule::approachMs(int stop, qint64 approach) const {
    const size_t i = size_t(stop - 1);
    const qint64 arrival = arrivalMs[i];
    if (i == 0)
        return arrival;
    const qint64 left = departureMs[i - 1];
    return std::max(arrival - approach, left + (arrival - left) / 2);
}

RideSchedule makeRideSchedule(const std::optional<Timetable> &timetable, int stopCount,
                              int startStop, const RideOptions &options) {
    RideSchedule s;
    const int n = std::max(stopCount, 1);
    s.startStop = std::clamp(startStop, 1, n);
    s.arrivalMs.resize(size_t(n));
    s.departureMs.resize(size_t(n));
    s.fromTimetable =
        timetable && timetable->hasTimes() && int(timetable->stops.size()) == stopCount;
    if (s.fromTimetable) {
        const std::vector<TimetableStop> &stops = timetable->stops;
        // The reader makes sure of times at the first and last stop.
        for (int i = 0; i < n; ++i) {
            const TimetableStop &t = stops[size_t(i)];
            if (t.arrival) {
                s.arrivalMs[size_t(i)] = qint64(*t.arrival) * 1000;
                s.departureMs[size_t(i)] = qint64(t.departure.value_or(*t.arrival)) * 1000;
                continue;
            }
            int before = i - 1;
            while (!stops[size_t(before)].departure)
                --before;
            int after = i + 1;
            while (!stops[size_t(after)].arrival)
                ++after;
            const qint64 from = qint64(*stops[size_t(before)].departure) * 1000;
            const qint64 to = qint64(*stops[size_t(after)].arrival) * 1000;
            s.arrivalMs[size_t(i)] = s.departureMs[size_t(i)] =
                from + (to - from) * (i - before) / (after - before);
        }
    } else {
        const qint64 interval = qint64(std::max(options.intervalSeconds, 1)) * 1000;
        const qint64 first =
            qint64(options.startTime) * 1000 + qint64(std::max(options.leadSeconds, 0)) * 1000;
        for (int i = 0; i < n; ++i)
            s.arrivalMs[size_t(i)] = s.departureMs[size_t(i)] =
                first + (i + 1 - s.startStop) * interval;
    }
    s.startMs = s.departureMs[size_t(s.startStop - 1)] - qint64(options.leadSeconds) * 1000;
    return s;
}

Ride::Ride(RideClock &clock, RideTarget &target, RideSchedule schedule, RideOptions options)
    : clock_(clock), target_(target), schedule_(std::move(schedule)), options_(options) {
    options_.speed = std::clamp(options_.speed, RideOptions::kMinSpeed, RideOptions::kMaxSpeed);
    stop_ = schedule_.startStop;
    anchorRide_ = schedule_.startMs;
}

Ride::~Ride() {
    clock_.cancelWake();
}

qint64 Ride::rideTimeMs() const {
    if (state_ != RideState::Running || restartAtMs_)
        return anchorRide_;
    return anchorRide_ + std::llround(double(clock_.nowMs() - anchorReal_) * options_.speed);
}

qint64 Ride::realAt(qint64 rideMs) const {
    return anchorReal_ + qint64(std::ceil(double(rideMs - anchorRide_) / options_.speed));
}

void Ride::setRideTime(qint64 rideMs) {
    anchorRide_ = rideMs;
    anchorReal_ = clock_.nowMs();
}

void Ride::start() {
    if (state_ == RideState::Running || state_ == RideState::Paused)
        return;
    if (stop_ != schedule_.startStop)
        target_.showStartStop(schedule_.startStop);
    state_ = RideState::Running;
    begin();
    target_.rideStateChanged(state_);
    run();
}

void Ride::begin() {
    stop_ = schedule_.startStop;
    phase_ = RidePhase::Next;
    approached_ = true; // the bus is at its first stop
    waiting_ = false;
    restartAtMs_.reset();
    setRideTime(schedule_.startMs);
    target_.showPhase(phase_, stop_);
}

void Ride::pause() {
    if (state_ != RideState::Running)
        return;
    if (restartAtMs_)
        restartAtMs_ = *restartAtMs_ - clock_.nowMs(); // kept as what is left of the pause
    else
        setRideTime(rideTimeMs());
    state_ = RideState::Paused;
    clock_.cancelWake();
    target_.rideStateChanged(state_);
}

void Ride::resume() {
    if (state_ != RideState::Paused)
        return;
    state_ = RideState::Running;
    if (restartAtMs_)
        restartAtMs_ = *restartAtMs_ + clock_.nowMs();
    else
        anchorReal_ = clock_.nowMs();
    target_.rideStateChanged(state_);
    run();
}

void Ride::stop() {
    if (state_ == RideState::Idle)
        return;
    setRideTime(rideTimeMs());
    state_ = RideState::Idle;
    waiting_ = false;
    restartAtMs_.reset();
    clock_.cancelWake();
    target_.rideStateChanged(state_);
}

void Ride::setSpeed(double speed) {
    setRideTime(rideTimeMs());
    options_.speed = std::clamp(speed, RideOptions::kMinSpeed, RideOptions::kMaxSpeed);
    if (state_ == RideState::Running)
        run();
}

void Ride::operatorStepped(int stop) {
    if (state_ != RideState::Running && state_ != RideState::Paused)
        return;
    stop_ = std::clamp(stop, 1, schedule_.stopCount());
    phase_ = RidePhase::Next;
    approached_ = stop_ == 1;
    waiting_ = false;
    restartAtMs_.reset();
    const qint64 lead = schedule_.departureMs[0] - qint64(options_.leadSeconds) * 1000;
    setRideTime(stop_ > 1 ? schedule_.departureMs[size_t(stop_ - 2)] : lead);
    shownSecond_ = -1;
    if (state_ == RideState::Running)
        run();
}

void Ride::announcementEnded() {
    if (state_ == RideState::Running && waiting_)
        run();
}

std::pair<Ride::Event, qint64> Ride::nextEvent() const {
    const size_t i = size_t(stop_ - 1);
    if (!approached_)
        return {Event::Approach,
                schedule_.approachMs(stop_, qint64(options_.approachSeconds) * 1000)};
    if (stop_ == schedule_.stopCount())
        return {Event::Arrive, schedule_.arrivalMs[i]};
    return {Event::Depart, schedule_.departureMs[i]};
}

void Ride::showTime() {
    const qint64 ms = rideTimeMs();
    const qint32 second = qint32(ms >= 0 ? ms / 1000 : (ms - 999) / 1000);
    if (second == shownSecond_)
        return;
    shownSecond_ = second;
    target_.showTime(second);
}

void Ride::run() {
    if (state_ != RideState::Running)
        return;
    const auto wake = [this] { run(); };
    if (restartAtMs_) {
        if (clock_.nowMs() < *restartAtMs_) {
            clock_.wakeAt(*restartAtMs_, wake);
            return;
        }
        target_.showStartStop(schedule_.startStop);
        begin();
    }
    for (;;) {
        showTime();
        const auto [event, at] = nextEvent();
        const qint64 now = rideTimeMs();
        if (now < at) {
            waiting_ = false;
            // The clock shows every minute of the ride.
            const qint64 minute = (floorMinute(now) + 1) * kMinuteMs;
            clock_.wakeAt(realAt(std::min(at, minute)), wake);
            return;
        }
        if (target_.announcing()) {
            waiting_ = true;
            clock_.wakeAt(clock_.nowMs() + options_.pollMs, wake);
            return;
        }
        waiting_ = false;
        switch (event) {
        case Event::Depart:
            target_.stepForward();
            ++stop_;
            phase_ = RidePhase::Next;
            approached_ = false;
            target_.showPhase(phase_, stop_);
            target_.announceNext(stop_);
            break;
        case Event::Approach:
            approached_ = true;
            phase_ = RidePhase::Approaching;
            target_.showPhase(phase_, stop_);
            target_.announceApproaching(stop_);
            break;
        case Event::Arrive:
            finish();
            return;
        }
    }
}

void Ride::finish() {
    setRideTime(rideTimeMs());
    if (options_.loop) {
        restartAtMs_ = clock_.nowMs() + options_.loopPauseMs;
        clock_.wakeAt(*restartAtMs_, [this] { run(); });
        return;
    }
    state_ = RideState::Finished;
    clock_.cancelWake();
    target_.rideStateChanged(state_);
}

void ManualRideClock::wakeAt(qint64 atMs, std::function<void()> wake) {
    at_ = atMs;
    wake_ = std::move(wake);
}

void ManualRideClock::advanceTo(qint64 ms) {
    while (wake_ && at_ <= ms) {
        now_ = std::max(now_, at_);
        std::exchange(wake_, nullptr)();
    }
    now_ = std::max(now_, ms);
}

SteadyRideClock::SteadyRideClock(QObject *parent) : QObject(parent) {
    elapsed_.start();
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, [this] {
        if (std::function<void()> wake = std::exchange(wake_, nullptr))
            wake();
    });
}

void SteadyRideClock::wakeAt(qint64 atMs, std::function<void()> wake) {
    wake_ = std::move(wake);
    timer_.start(int(std::clamp<qint64>(atMs - nowMs(), 0, 24 * 3600 * 1000)));
}

void SteadyRideClock::cancelWake() {
    timer_.stop();
    wake_ = nullptr;
}

} // namespace q47
