// A ride on the real clock at 1x: how far each step falls from its scheduled time. Ten stops
// two seconds apart, the event loop otherwise idle, as the panel's would be.
//   bench_ride [STOPS]    (default 10)
#include "ride.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace q47;

namespace {

class Timing final : public RideTarget {
public:
    Timing(const SteadyRideClock &clock, const RideSchedule &schedule)
        : clock_(clock), schedule_(schedule) {}
    void showStartStop(int) override {}
    void stepForward() override {
        // Ride time runs from the schedule's start at real time `started`.
        const qint64 due = started + (schedule_.departureMs[size_t(step_)] - schedule_.startMs);
        late.push_back(clock_.nowMs() - due);
        ++step_;
    }
    void announceNext(int) override {}
    void announceApproaching(int) override {}
    bool announcing() const override { return false; }
    void showPhase(RidePhase, int) override {}
    void showTime(qint32) override {}
    void rideStateChanged(RideState state) override {
        if (state == RideState::Finished)
            QCoreApplication::quit();
    }
    qint64 started = 0;
    std::vector<qint64> late;

private:
    const SteadyRideClock &clock_;
    const RideSchedule &schedule_;
    int step_ = 0;
};

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const int stops = argc > 1 ? std::max(2, std::atoi(argv[1])) : 10;
    RideOptions options;
    options.intervalSeconds = 2;
    options.leadSeconds = 1;
    const RideSchedule schedule = makeRideSchedule(std::nullopt, stops, 1, options);
    SteadyRideClock clock;
    Timing timing(clock, schedule);
    Ride ride(clock, timing, schedule, options);
    timing.started = clock.nowMs();
    ride.start();
    app.exec();
    std::vector<qint64> late = timing.late;
    std::sort(late.begin(), late.end());
    std::printf("%zu steps at 1x: from their scheduled time %lld ms (earliest), %lld ms "
                "(median), %lld ms (latest)\n",
                late.size(), static_cast<long long>(late.front()),
                static_cast<long long>(late[late.size() / 2]), static_cast<long long>(late.back()));
    return late.back() <= 50 && late.front() >= 0 ? 0 : 1;
}
