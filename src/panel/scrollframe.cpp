#include "scrollframe.h"

#include "panelwidgets.h"

#include <QCheckBox>
#include <QLabel>
#include <QScrollBar>
#include <QSignalBlocker>

namespace q47 {

ScrollFrame::ScrollFrame(QWidget *parent) : QFrame(parent) {
    setObjectName(QStringLiteral("Frame6"));
    setGeometry(twipsRect(3450, 780, 1725, 1410));
    setFrameShape(QFrame::Box);

    check2_ = new QCheckBox(QStringLiteral("深夜料金"), this);
    check2_->setObjectName(QStringLiteral("Check2"));
    check2_->setGeometry(twipsRect(90, 60, 1500, 270));
    connect(check2_, &QCheckBox::toggled, this, &ScrollFrame::lateNightToggled);

    const char *names[2] = {"ｽｸﾛｰﾙ速度", "ｽｸﾛｰﾙ間隔"};
    const int ranges[2][2] = {{1, 2000}, {0, 3000}};
    for (int i = 0; i < 2; ++i) {
        const int top = 390 + i * 480;
        auto *name = new QLabel(QString::fromUtf8(names[i]), this);
        name->setGeometry(twipsRect(90, top, 900, 210));
        auto *value = new QLabel(QString::number(ranges[i][0]), this);
        value->setObjectName(QStringLiteral("Label1_%1").arg(i));
        value->setGeometry(twipsRect(990, top, 600, 210));
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label1_[static_cast<size_t>(i)] = value;
        auto *bar = new QScrollBar(Qt::Horizontal, this);
        bar->setObjectName(QStringLiteral("HScroll1_%1").arg(i));
        bar->setRange(ranges[i][0], ranges[i][1]);
        bar->setValue(ranges[i][0]);
        bar->setGeometry(twipsRect(90, top + 210, 1530, 225));
        connect(bar, &QScrollBar::valueChanged, this,
                [this, i](int value) { Q_EMIT scrollChosen(i, value); });
        hscroll1_[static_cast<size_t>(i)] = bar;
    }
}

void ScrollFrame::showScroll(int speed, int interval) {
    const int values[2] = {speed, interval};
    for (int i = 0; i < 2; ++i) {
        QScrollBar *bar = scrollBar(i);
        {
            const QSignalBlocker quiet(bar);
            bar->setValue(values[i]);
        }
        scrollValue(i)->setText(QString::number(bar->value()));
    }
}

void ScrollFrame::showLateNight(bool on) {
    const QSignalBlocker quiet(check2_);
    check2_->setChecked(on);
}

} // namespace q47
