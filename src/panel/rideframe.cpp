#include "rideframe.h"

#include "panelwidgets.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>

namespace q47 {

namespace {
// The frame's own origin on the panel, in twips: below the designed regions.
constexpr int kLeft = 30, kTop = 2595;
} // namespace

RideFrame::RideFrame(QWidget *parent) : QFrame(parent) {
    setObjectName(QStringLiteral("RideFrame"));
    setGeometry(twipsRect(kLeft, kTop, 5235, 660));
    setFrameShape(QFrame::Box);

    const auto place = [](QWidget *w, int left, int top, int width, int height) {
        w->setGeometry(twipsRect(left - kLeft, top - kTop, width, height));
    };
    auto *title = new QLabel(QStringLiteral("自動運行"), this);
    place(title, 90, 2640, 780, 270);
    start_ = new QPushButton(QStringLiteral("開始"), this);
    place(start_, 870, 2625, 690, 300);
    pause_ = new QPushButton(QStringLiteral("一時停止"), this);
    pause_->setCheckable(true);
    place(pause_, 1575, 2625, 900, 300);
    stop_ = new QPushButton(QStringLiteral("停止"), this);
    place(stop_, 2490, 2625, 690, 300);
    record_ = new QPushButton(QStringLiteral("録画..."), this);
    place(record_, 4200, 2625, 1020, 300);

    auto *speedName = new QLabel(QStringLiteral("速度"), this);
    place(speedName, 90, 2940, 450, 270);
    speed_ = new QSpinBox(this);
    speed_->setObjectName(QStringLiteral("RideSpeed"));
    speed_->setRange(int(RideOptions::kMinSpeed), int(RideOptions::kMaxSpeed));
    speed_->setSuffix(QStringLiteral("×"));
    place(speed_, 540, 2925, 780, 300);
    loop_ = new QCheckBox(QStringLiteral("繰り返し"), this);
    place(loop_, 1440, 2940, 1080, 270);
    auto *intervalName = new QLabel(QStringLiteral("時刻表なし"), this);
    place(intervalName, 2640, 2940, 1110, 270);
    interval_ = new QSpinBox(this);
    interval_->setObjectName(QStringLiteral("RideInterval"));
    interval_->setRange(1, 3600);
    interval_->setValue(RideOptions{}.intervalSeconds);
    interval_->setSuffix(QStringLiteral(" 秒"));
    place(interval_, 3765, 2925, 1020, 300);
    interval_->setToolTip(QStringLiteral("時刻表のない路線で停留所を進める間隔"));

    connect(start_, &QPushButton::clicked, this, &RideFrame::startClicked);
    connect(pause_, &QPushButton::toggled, this, &RideFrame::pauseToggled);
    connect(stop_, &QPushButton::clicked, this, &RideFrame::stopClicked);
    connect(record_, &QPushButton::clicked, this, &RideFrame::recordClicked);
    connect(speed_, &QSpinBox::valueChanged, this, &RideFrame::speedChosen);
    connect(loop_, &QCheckBox::toggled, this, &RideFrame::loopToggled);
    showRide(RideState::Idle, false);
}

int RideFrame::speed() const {
    return speed_->value();
}

bool RideFrame::loop() const {
    return loop_->isChecked();
}

int RideFrame::intervalSeconds() const {
    return interval_->value();
}

void RideFrame::showRide(RideState state, bool routeSet) {
    const bool running = state == RideState::Running || state == RideState::Paused;
    start_->setEnabled(routeSet && !running);
    record_->setEnabled(routeSet);
    pause_->setEnabled(running);
    stop_->setEnabled(running);
    const QSignalBlocker quiet(pause_);
    pause_->setChecked(state == RideState::Paused);
}

void RideFrame::showSettings(int speed, bool loop, int intervalSeconds) {
    const QSignalBlocker quietSpeed(speed_), quietLoop(loop_);
    speed_->setValue(speed);
    loop_->setChecked(loop);
    interval_->setValue(intervalSeconds);
}

} // namespace q47
