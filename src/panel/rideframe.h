#pragma once

#include "ride.h"

#include <QFrame>

class QCheckBox;
class QPushButton;
class QSpinBox;

namespace q47 {

// "自動運行": the bus running the route by itself. Start, pause and stop, the speed (1× to 60×),
// the loop, and the interval between stops for a route without a timetable; "録画..." makes a
// video of the ride instead. It shows the ride's state and tells what the operator chose.
class RideFrame : public QFrame {
    Q_OBJECT
public:
    explicit RideFrame(QWidget *parent = nullptr);

    QPushButton *startButton() const { return start_; }
    QPushButton *pauseButton() const { return pause_; }
    QPushButton *stopButton() const { return stop_; }
    QPushButton *recordButton() const { return record_; }
    QSpinBox *speedBox() const { return speed_; }
    QCheckBox *loopBox() const { return loop_; }
    QSpinBox *intervalBox() const { return interval_; }

    int speed() const;
    bool loop() const;
    int intervalSeconds() const;

    // The ride's speed, loop and interval, as a ride started otherwise (the command line) has them.
    void showSettings(int speed, bool loop, int intervalSeconds);
    // Start and "録画..." want a route; pause and stop a ride under way.
    void showRide(RideState state, bool routeSet);

Q_SIGNALS:
    void startClicked();
    void pauseToggled(bool paused);
    void stopClicked();
    void speedChosen(int speed);
    void loopToggled(bool on);
    void recordClicked();

private:
    QPushButton *start_ = nullptr;
    QPushButton *pause_ = nullptr;
    QPushButton *stop_ = nullptr;
    QPushButton *record_ = nullptr;
    QSpinBox *speed_ = nullptr;
    QCheckBox *loop_ = nullptr;
    QSpinBox *interval_ = nullptr;
};

} // namespace q47
