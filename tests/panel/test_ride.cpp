#include "ride.h"
#include "timetable.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <utility>

using namespace q47;

namespace {

constexpr qint32 hms(int h, int m, int s = 0) {
    return h * 3600 + m * 60 + s;
}

// Writes down what the ride did and when (real ms); each announcement sounds `speechMs`.
class LogTarget final : public RideTarget {
public:
    explicit LogTarget(const ManualRideClock &clock) : clock_(clock) {}
    void showStartStop(int stop) override { add(QStringLiteral("start %1").arg(stop)); }
    void stepForward() override { add(QStringLiteral("step")); }
    void announceNext(int stop) override { speak(QStringLiteral("next %1").arg(stop)); }
    void announceApproaching(int stop) override { speak(QStringLiteral("soon %1").arg(stop)); }
    bool announcing() const override { return clock_.nowMs() < speechEnd_; }
    void showPhase(RidePhase, int) override {}
    void showTime(qint32 seconds) override { time = seconds; }
    void rideStateChanged(RideState state) override {
        if (state == RideState::Finished)
            add(QStringLiteral("end"));
    }

    QStringList log;
    qint64 speechMs = 0;
    qint32 time = -1;

private:
    void add(const QString &what) {
        log.append(QStringLiteral("%1 %2").arg(clock_.nowMs()).arg(what));
    }
    void speak(const QString &what) {
        add(what);
        speechEnd_ = clock_.nowMs() + speechMs;
    }
    const ManualRideClock &clock_;
    qint64 speechEnd_ = 0;
};

// Three stops: leave at 9:00, at the second from 9:02 to 9:02:30, arrive at 9:05.
Timetable threeStops() {
    Timetable t;
    t.stops = {
        {hms(9, 0), hms(9, 0), {}}, {hms(9, 2), hms(9, 2, 30), {}}, {hms(9, 5), hms(9, 5), {}}};
    return t;
}

struct Rig {
    explicit Rig(const RideOptions &options, std::optional<Timetable> table = threeStops(),
                 int stops = 3)
        : ride(clock, target, makeRideSchedule(table, stops, 1, options), options) {}
    ManualRideClock clock;
    LogTarget target{clock};
    Ride ride;
};

} // namespace

// Ten seconds at the first stop, "まもなく" 30 s before each arrival, a step at each departure,
// the end at the last arrival; at 10× everything comes ten times sooner.
TEST(Ride, FollowsTheTimetableAtItsSpeed) {
    for (const double speed : {1.0, 10.0}) {
        RideOptions options;
        options.speed = speed;
        Rig rig(options);
        rig.ride.start();
        rig.clock.advanceTo(400000);
        const auto at = [&](qint64 rideSeconds) { return qint64(rideSeconds * 1000 / speed); };
        EXPECT_EQ(rig.target.log, (QStringList{QStringLiteral("%1 step").arg(at(10)),
                                               QStringLiteral("%1 next 2").arg(at(10)),
                                               QStringLiteral("%1 soon 2").arg(at(100)),
                                               QStringLiteral("%1 step").arg(at(160)),
                                               QStringLiteral("%1 next 3").arg(at(160)),
                                               QStringLiteral("%1 soon 3").arg(at(280)),
                                               QStringLiteral("%1 end").arg(at(310))}))
            << speed;
        EXPECT_EQ(rig.target.time, hms(9, 5));
        EXPECT_EQ(rig.ride.state(), RideState::Finished);
    }
}

// A "まもなく" due while "次は" still sounds waits for its end; the later step keeps its time.
TEST(Ride, NeverCutsAnAnnouncement) {
    Rig rig(RideOptions{});
    rig.target.speechMs = 95000;
    rig.ride.start();
    rig.clock.advanceTo(150000);
    ASSERT_EQ(rig.target.log.size(), 3);
    const qint64 soon = rig.target.log[2].section(u' ', 0, 0).toLongLong();
    EXPECT_GE(soon, 105000);
    EXPECT_LE(soon, 105000 + RideOptions{}.pollMs);
    rig.target.speechMs = 0;
    rig.clock.advanceTo(290000); // "まもなく" ended at 200 s
    EXPECT_EQ(rig.target.log[3], QStringLiteral("200000 step"));
}

// Paused, the ride's time stands still; a speed change goes on from where the ride is.
TEST(Ride, PausesResumesAndChangesSpeed) {
    Rig rig(RideOptions{});
    rig.ride.start();
    rig.clock.advanceTo(50000);
    rig.ride.pause();
    rig.clock.advanceTo(200000);
    EXPECT_EQ(rig.target.log.size(), 2);
    rig.ride.resume(); // the ride's time is 8:59:50 + 50 s: "まもなく" 50 s later
    rig.clock.advanceTo(240000);
    rig.ride.setSpeed(2); // 10 s of the ride's time left, at 2×
    rig.clock.advanceTo(246000);
    EXPECT_EQ(rig.target.log.last(), QStringLiteral("245000 soon 2"));
}

// With loop on, the ride starts again from its first stop after the pause.
TEST(Ride, LoopsAfterItsPause) {
    RideOptions options;
    options.loop = true;
    options.loopPauseMs = 20000;
    Rig rig(options);
    rig.ride.start();
    rig.clock.advanceTo(345000);
    EXPECT_EQ(rig.target.log.mid(6),
              (QStringList{QStringLiteral("330000 start 1"), QStringLiteral("340000 step"),
                           QStringLiteral("340000 next 2")}));
    EXPECT_EQ(rig.ride.state(), RideState::Running);
}

// Without a timetable the stops follow each other at the interval, from the start time; on a
// way shorter than twice the "まもなく" time, that phase takes its second half.
TEST(Ride, RidesAtAnIntervalWithoutATimetable) {
    RideOptions options;
    options.startTime = hms(8, 0);
    Rig rig(options, std::nullopt);
    rig.ride.start();
    rig.clock.advanceTo(100000);
    EXPECT_EQ(rig.target.log,
              (QStringList{"10000 step", "10000 next 2", "25000 soon 2", "40000 step",
                           "40000 next 3", "55000 soon 3", "70000 end"}));
    EXPECT_EQ(rig.target.time, hms(8, 1, 10));
}

// An operator's step takes the bus to have just left the stop before the one shown: the ride
// goes on from that departure, without announcing the step.
TEST(Ride, GoesOnFromAnOperatorsStep) {
    Rig rig(RideOptions{});
    rig.ride.start();
    rig.clock.advanceTo(50000);
    rig.ride.operatorStepped(3); // left the second stop at 9:02:30
    EXPECT_EQ(rig.target.time, hms(9, 2, 30));
    rig.clock.advanceTo(400000);
    EXPECT_EQ(rig.target.log.mid(2), (QStringList{"170000 soon 3", "200000 end"}));
}

// A stop without times lies between its neighbours; a timetable for another number of stops
// is not followed.
TEST(Ride, PlacesStopsWithoutTimesBetweenTheirNeighbours) {
    Timetable t = threeStops();
    t.stops.insert(t.stops.begin() + 1, TimetableStop{});
    const RideSchedule s = makeRideSchedule(t, 4, 1, RideOptions{});
    EXPECT_TRUE(s.fromTimetable);
    EXPECT_EQ(s.arrivalMs[1], hms(9, 1) * 1000LL);
    EXPECT_FALSE(makeRideSchedule(t, 5, 1, RideOptions{}).fromTimetable);
}

TEST(Timetable, ReadsWhatItWritesAndWhatPeopleWrite) {
    Timetable t = threeStops();
    t.stops[1].name = QStringLiteral("本町, 一丁目");
    t.stops[2].arrival = t.stops[2].departure = hms(25, 10); // after midnight
    const Result<Timetable> back = parseTimetable(encodeTimetable(t));
    ASSERT_TRUE(back) << back.error().text().toStdString();
    EXPECT_EQ(*back, t);

    // Columns in any order, H:MM, a time given once, a comment, a BOM and CR LF.
    const Result<Timetable> written = parseTimetable("\xEF\xBB\xBF# route 9\r\n"
                                                     "stop,departure,arrival,name\r\n"
                                                     "1,9:00,,駅前\r\n"
                                                     "2,,,\r\n"
                                                     "3,,9:05:30,北口\r\n");
    ASSERT_TRUE(written) << written.error().text().toStdString();
    EXPECT_EQ(written->stops[0].arrival, hms(9, 0));
    EXPECT_FALSE(written->stops[1].departure);
    EXPECT_EQ(written->stops[2].departure, hms(9, 5, 30));
}

TEST(Timetable, SaysWhereAFaultIs) {
    const std::pair<const char *, int> faults[] = {
        {"stop,arrival\n1,9:00\n", 1},                         // no departure column
        {"stop,arival,departure\n", 1},                        // a misspelt column
        {"stop,arrival,departure\n1,9:00,9:00\n3,9:05,\n", 3}, // a stop left out
        {"stop,arrival,departure\n1,9:00,9:00\n2,9:5,\n", 3},  // no time
        {"stop,arrival,departure\n1,9:00,9:60\n", 2},          // no minute
        {"stop,arrival,departure\n1,9:10,9:10\n2,9:05,\n", 0}, // time goes back
        {"stop,arrival,departure\n1,9:00,9:00\n2,,\n", 0},     // no time at the end
        {"# nothing\n", 0},
    };
    for (const auto &[bytes, line] : faults) {
        const Result<Timetable> read = parseTimetable(bytes);
        ASSERT_FALSE(read) << bytes;
        EXPECT_EQ(read.error().line, line) << bytes;
        EXPECT_FALSE(read.error().detail.isEmpty());
    }
    EXPECT_EQ(timetableFileName(QStringLiteral("00012")), QStringLiteral("12.timetable.csv"));
}
