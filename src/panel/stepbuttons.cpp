#include "stepbuttons.h"

#include "panelwidgets.h"

#include <QSignalBlocker>

namespace q47 {

namespace {
constexpr OleColor kYellow = 0x0000FFFF;
// The region's own origin on the panel, in twips.
constexpr int kLeft = 2070, kTop = 75;
} // namespace

StepButtons::StepButtons(QWidget *parent) : QWidget(parent) {
    setGeometry(twipsRect(kLeft, kTop, 1350, 1170));

    check1_ = new QPushButton(QStringLiteral("表示消去"), this);
    check1_->setObjectName(QStringLiteral("Check1"));
    check1_->setCheckable(true);
    check1_->setGeometry(twipsRect(2130 - kLeft, 75 - kTop, 1275, 375));
    check1_->setEnabled(false);
    connect(check1_, &QPushButton::toggled, this, &StepButtons::clearToggled);

    const char *captions[2] = {"データ戻し", "データ送り"};
    const QRect rects[2] = {twipsRect(2070 - kLeft, 495 - kTop, 645, 750),
                            twipsRect(2730 - kLeft, 495 - kTop, 690, 750)};
    for (int i = 0; i < 2; ++i) {
        auto *b = new WrapButton(QString::fromUtf8(captions[i]), this);
        b->setObjectName(QStringLiteral("Command2_%1").arg(i));
        b->setGeometry(rects[i]);
        paintButton(b, kYellow);
        b->setEnabled(false);
        connect(b, &QPushButton::clicked, this, [this, i] { Q_EMIT stepClicked(i); });
        command2_[static_cast<size_t>(i)] = b;
    }
}

void StepButtons::showStepping(bool routeSet, bool cleared) {
    for (QPushButton *step : command2_)
        step->setEnabled(routeSet && !cleared);
    check1_->setEnabled(routeSet);
    const QSignalBlocker quiet(check1_);
    check1_->setChecked(cleared);
}

} // namespace q47
