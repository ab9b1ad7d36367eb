#include "panelride.h"

#include "boardmodel.h"
#include "logging.h"
#include "panelcontrol.h"
#include "routedata.h"
#include "settingsstore.h"
#include "tapelist.h"

#include <QFileInfo>
#include <QTime>

#include <algorithm>

namespace q47 {

std::optional<Timetable> routeTimetable(const SettingsStore &settings, const QString &routeText) {
    const QString path =
        normalizeFolder(settings.text(setting::DataFolder)) + timetableFileName(routeText);
    if (!QFileInfo::exists(path))
        return std::nullopt;
    Result<Timetable> read = loadTimetable(path);
    if (!read) {
        logPassedOver(logRoute, read.error().in(path));
        return std::nullopt;
    }
    return std::move(read).value();
}

RideOptions rideOptions(double speed, bool loop, int intervalSeconds) {
    RideOptions options;
    options.speed = std::clamp(speed, RideOptions::kMinSpeed, RideOptions::kMaxSpeed);
    options.loop = loop;
    options.intervalSeconds = intervalSeconds;
    options.startTime = QTime::currentTime().msecsSinceStartOfDay() / 1000;
    return options;
}

PanelRide::PanelRide(PanelControl &control, BoardModel &board, RideClock &clock)
    : control_(control), board_(board), clock_(clock) {}

PanelRide::~PanelRide() {
    // The ride goes first: it cancels its wake on the clock.
    ride_.reset();
}

bool PanelRide::start(std::optional<Timetable> timetable, const RideOptions &options,
                      int lastStop) {
    const RouteTable &route = control_.session().route();
    if (route.RouteText.isEmpty() || route.loaded == 0)
        return false;
    if (ride_)
        ride_->stop();
    const int routeStops = route.lastStopPos() + 1;
    const int stops = lastStop > 0 ? std::min(lastStop, routeStops) : routeStops;
    // A ride cut short keeps the timetable's rows up to its end.
    if (timetable && int(timetable->stops.size()) == routeStops) {
        timetable->stops.resize(size_t(stops));
        // Where the end has no time of its own the ride keeps its interval.
        if (!timetable->stops.back().arrival)
            timetable.reset();
    }
    if (timetable && timetable->hasTimes() && int(timetable->stops.size()) != stops)
        logPassedOver(logRoute,
                      Error(Error::Kind::Invalid,
                            QStringLiteral("the timetable has %1 stops and the route %2; the "
                                           "ride steps at its interval")
                                .arg(timetable->stops.size())
                                .arg(stops))
                          .in(timetableFileName(route.RouteText)));
    RideTarget &target = *this;
    ride_ = std::make_unique<Ride>(
        clock_, target, makeRideSchedule(timetable, stops, route.CurStopPos + 1, options), options);
    ride_->start();
    return true;
}

void PanelRide::pause() {
    if (ride_)
        ride_->pause();
}

void PanelRide::resume() {
    if (ride_)
        ride_->resume();
}

void PanelRide::stop() {
    if (ride_)
        ride_->stop();
}

void PanelRide::setSpeed(double speed) {
    if (ride_)
        ride_->setSpeed(speed);
}

void PanelRide::setLoop(bool loop) {
    if (ride_)
        ride_->setLoop(loop);
}

void PanelRide::operatorStepped(int stop) {
    if (ride_)
        ride_->operatorStepped(stop);
}

RideState PanelRide::state() const {
    return ride_ ? ride_->state() : RideState::Idle;
}

void PanelRide::showStartStop(int stop) {
    control_.session().moveTo(stop);
}

void PanelRide::stepForward() {
    control_.session().step(1);
}

void PanelRide::announceNext(int stop) {
    AnnouncementTape &tape = control_.tape();
    if (const int entry = tape.stopEntry(stop, TapeEntryKind::Step))
        tape.announceEntry(entry);
}

void PanelRide::announceApproaching(int stop) {
    AnnouncementTape &tape = control_.tape();
    if (const int entry = tape.stopEntry(stop, TapeEntryKind::Approaching))
        tape.announceEntry(entry);
}

bool PanelRide::announcing() const {
    return control_.tape().speaking();
}

void PanelRide::showPhase(RidePhase phase, int) {
    board_.setApproaching(phase == RidePhase::Approaching);
}

void PanelRide::showTime(qint32 seconds) {
    // Past midnight the clock starts the day again, as a bus's clock does.
    board_.setRideTime(QTime::fromMSecsSinceStartOfDay((seconds % 86400 + 86400) % 86400 * 1000));
}

void PanelRide::rideStateChanged(RideState state) {
    if (state == RideState::Idle || state == RideState::Finished) {
        board_.setApproaching(false);
        board_.setRideTime({});
    }
    Q_EMIT stateChanged(state);
}

} // namespace q47
