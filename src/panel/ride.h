#pragma once

#include "timetable.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <functional>
#include <optional>
#include <vector>

namespace q47 {

// The time a ride runs on and how it is woken. The real one is SteadyRideClock; tests and the
// recorder move a clock of their own.
class RideClock {
public:
    virtual ~RideClock() = default;
    // Real milliseconds on a clock that never goes back.
    virtual qint64 nowMs() const = 0;
    // Calls `wake` once, at or after `atMs`, in place of whatever was asked before.
    virtual void wakeAt(qint64 atMs, std::function<void()> wake) = 0;
    virtual void cancelWake() = 0;
};

// What the boards show of the way to the next stop.
enum class RidePhase {
    Next,        // "次は": from the departure on
    Approaching, // "まもなく": the last moments before the arrival
};

enum class RideState { Idle, Running, Paused, Finished };

// What a ride drives: the control panel, or the recorder. Every call comes on the thread the
// clock wakes the ride on.
class RideTarget {
public:
    virtual ~RideTarget() = default;
    // The board at the ride's first stop again, as setting the route from it leaves it; a loop
    // starting over calls it.
    virtual void showStartStop(int stop) = 0;
    // One stop forward, as "データ送り": fares, place name and the step sound.
    virtual void stepForward() = 0;
    // The announcement of the stop just stepped to: the list's linked entry for it ("次は…").
    virtual void announceNext(int stop) = 0;
    // The list's "まもなく" entry for the stop, where the list has one.
    virtual void announceApproaching(int stop) = 0;
    // Whether an announcement (its chime or its words) still sounds: the ride never cuts one.
    virtual bool announcing() const = 0;
    // The phase of the way to `stop` (1-based), for the boards.
    virtual void showPhase(RidePhase phase, int stop) = 0;
    // The ride's time for the board's clock: seconds from the service day's midnight, past
    // 24 h after midnight.
    virtual void showTime(qint32 seconds) = 0;
    virtual void rideStateChanged(RideState) {}
};

struct RideOptions {
    double speed = 1;           // 1 (real time) to 60
    bool loop = false;          // start again after the last stop
    qint64 loopPauseMs = 10000; // real time between the end and the start again
    int intervalSeconds = 30;   // between two stops when there is no timetable
    int leadSeconds = 10;       // at the first stop before its departure
    int approachSeconds = 30;   // the "まもなく" phase before each arrival
    qint32 startTime = 0;       // the clock's time at the start when there is no timetable
    qint64 pollMs = 50;         // how often a step waiting for an announcement looks again

    static constexpr double kMinSpeed = 1;
    static constexpr double kMaxSpeed = 60;
};

// When the bus is where, in milliseconds of the ride's time (from the service day's midnight).
// Index i is stop i + 1 of the route.
struct RideSchedule {
    std::vector<qint64> arrivalMs;
    std::vector<qint64> departureMs;
    qint64 startMs = 0; // the ride's time at its start
    int startStop = 1;
    bool fromTimetable = false;

    int stopCount() const { return int(arrivalMs.size()); }
    // When the "まもなく" phase of stop `stop` (1-based, after the first) begins: `approach`
    // before its arrival, but not before halfway from the departure before it, so that both
    // phases show on a short way.
    qint64 approachMs(int stop, qint64 approach) const;
};

// The schedule of a ride on a route of `stopCount` stops from `startStop` (1-based). The
// timetable is followed when it has times and a row for each stop; a stop without times lies
// between its neighbours in proportion to its place. Otherwise the stops follow each other at
// the options' interval from the options' start time.
RideSchedule makeRideSchedule(const std::optional<Timetable> &timetable, int stopCount,
                              int startStop, const RideOptions &options);

// A ride: the bus runs the route by itself on its schedule. The ride's time runs at `speed`
// times real time from the start stop's lead before its departure. At each stop's departure it
// steps forward and announces the next stop ("次は"); `approachSeconds` of the ride's time
// before the arrival it shows "まもなく" and speaks that entry; the arrival at the last stop ends
// the ride, or with `loop` the ride starts again from its first stop after `loopPauseMs`.
//
// An announcement is never cut: a step or a "まもなく" that falls due while one sounds waits for
// its end, looking again every `pollMs` (or at announcementEnded()). The ride's time runs on
// meanwhile, so that the ride catches up at the next dwell rather than drift from its timetable.
//
// The operator may step by hand at any time; operatorStepped() tells the ride, which then
// takes the bus to have just left the stop before the one now shown (the ride's time becomes
// that stop's departure, or the ride's start for the first stop) and goes on from there
// without announcing: the schedule stays the timetable's.
class Ride {
public:
    Ride(RideClock &clock, RideTarget &target, RideSchedule schedule, RideOptions options = {});
    ~Ride();
    Ride(const Ride &) = delete;
    Ride &operator=(const Ride &) = delete;

    void start();
    void pause();
    void resume();
    void stop();
    // Clamped to 1 to 60; the ride's time goes on from where it is.
    void setSpeed(double speed);
    void setLoop(bool loop) { options_.loop = loop; }
    // The board now shows stop `stop`, stepped there by the operator.
    void operatorStepped(int stop);
    // An announcement has ended: a waiting step need not wait for the next look.
    void announcementEnded();

    RideState state() const { return state_; }
    // The stop the board shows (1-based).
    int stop() const { return stop_; }
    RidePhase phase() const { return phase_; }
    // True while a due step or "まもなく" waits for an announcement to end.
    bool waiting() const { return waiting_; }
    // The ride's time now, in milliseconds.
    qint64 rideTimeMs() const;
    double speed() const { return options_.speed; }
    const RideSchedule &schedule() const { return schedule_; }

private:
    enum class Event { Depart, Approach, Arrive };
    // The next thing to do at the stop shown, and its ride time.
    std::pair<Event, qint64> nextEvent() const;
    void run();
    void setRideTime(qint64 rideMs);
    void begin();
    void finish();
    void showTime();
    qint64 realAt(qint64 rideMs) const;

    RideClock &clock_;
    RideTarget &target_;
    RideSchedule schedule_;
    RideOptions options_;
    RideState state_ = RideState::Idle;
    int stop_ = 1;
    RidePhase phase_ = RidePhase::Next;
    bool approached_ = false; // the "まもなく" of the stop shown has been given
    bool waiting_ = false;
    std::optional<qint64> restartAtMs_; // real time of a loop's start again
    // The ride's time was anchorRide_ at real time anchorReal_; it runs only while Running.
    qint64 anchorRide_ = 0;
    qint64 anchorReal_ = 0;
    qint32 shownSecond_ = -1;
};

// A clock that moves only when told: a recording's frames, or a test.
class ManualRideClock final : public RideClock {
public:
    qint64 nowMs() const override { return now_; }
    void wakeAt(qint64 atMs, std::function<void()> wake) override;
    void cancelWake() override { wake_ = nullptr; }
    // Moves to `ms`, waking the ride at every time it asked for on the way, each at its time.
    void advanceTo(qint64 ms);

private:
    qint64 now_ = 0;
    qint64 at_ = 0;
    std::function<void()> wake_;
};

// The real clock: a monotonic timer and a precise single-shot QTimer, on the thread it lives on.
class SteadyRideClock : public QObject, public RideClock {
public:
    explicit SteadyRideClock(QObject *parent = nullptr);
    qint64 nowMs() const override { return elapsed_.elapsed(); }
    void wakeAt(qint64 atMs, std::function<void()> wake) override;
    void cancelWake() override;

private:
    QElapsedTimer elapsed_;
    QTimer timer_;
    std::function<void()> wake_;
};

} // namespace q47
