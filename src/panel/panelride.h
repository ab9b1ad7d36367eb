#pragma once

#include "ride.h"
#include "timetable.h"

#include <QObject>

#include <memory>
#include <optional>

namespace q47 {

class BoardModel;
class PanelControl;
class SettingsStore;

// The timetable beside the route `routeText` in the data folder of the settings; none when
// the route has none, or when it cannot be read (logged under q47.route: the ride then steps
// at its interval).
std::optional<Timetable> routeTimetable(const SettingsStore &settings, const QString &routeText);

// A ride's options as a user gives them; a route without a timetable runs from the time of
// day it starts.
RideOptions rideOptions(double speed, bool loop, int intervalSeconds);

// The bus running the route on the board by itself: a ride whose steps are the panel's own
// ("データ送り", with its step sound), whose announcements are the list's entries for the stop,
// and whose phase and time the board's model shows. A step the operator makes meanwhile moves
// the ride with it; the panel's state and its manual behaviour stay as they are.
class PanelRide : public QObject, private RideTarget {
    Q_OBJECT
public:
    PanelRide(PanelControl &control, BoardModel &board, RideClock &clock);
    ~PanelRide() override;

    // Starts a ride of the route on the board from the stop shown to `lastStop` (1-based; 0:
    // the route's last), on `timetable` when it has times and a row per stop, else at the
    // options' interval. False when no route is set.
    bool start(std::optional<Timetable> timetable, const RideOptions &options, int lastStop = 0);
    void pause();
    void resume();
    // Ends the ride; the board keeps its stop and shows the time of day again.
    void stop();
    void setSpeed(double speed);
    void setLoop(bool loop);
    // The operator stepped to `stop` (1-based).
    void operatorStepped(int stop);

    RideState state() const;
    // Null while no ride was started.
    const Ride *ride() const { return ride_.get(); }

Q_SIGNALS:
    void stateChanged(RideState state);

private:
    void showStartStop(int stop) override;
    void stepForward() override;
    void announceNext(int stop) override;
    void announceApproaching(int stop) override;
    bool announcing() const override;
    void showPhase(RidePhase phase, int stop) override;
    void showTime(qint32 seconds) override;
    void rideStateChanged(RideState state) override;

    PanelControl &control_;
    BoardModel &board_;
    RideClock &clock_;
    std::unique_ptr<Ride> ride_;
};

} // namespace q47
