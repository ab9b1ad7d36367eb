#pragma once

#include <QFrame>

#include <array>

class QCheckBox;
class QLabel;
class QScrollBar;

namespace q47 {

// Frame6: the late-night fare switch "深夜料金" (Check2) and the two place-name scroll
// settings, "ｽｸﾛｰﾙ速度" (HScroll1(0), 1 to 2000) and "ｽｸﾛｰﾙ間隔" (HScroll1(1), 0 to 3000),
// each with its value shown in Label1. It shows the panel's settings and tells what the
// operator chose.
class ScrollFrame : public QFrame {
    Q_OBJECT
public:
    explicit ScrollFrame(QWidget *parent = nullptr);

    QCheckBox *lateNightBox() const { return check2_; }
    QScrollBar *scrollBar(int i) const { return hscroll1_.at(static_cast<size_t>(i)); }
    QLabel *scrollValue(int i) const { return label1_.at(static_cast<size_t>(i)); }

    // The bars and their values, and the switch, as the panel holds them.
    void showScroll(int speed, int interval);
    void showLateNight(bool on);

Q_SIGNALS:
    // Bar `index` was moved to `value`.
    void scrollChosen(int index, int value);
    void lateNightToggled(bool on);

private:
    QCheckBox *check2_ = nullptr;
    std::array<QScrollBar *, 2> hscroll1_{};
    std::array<QLabel *, 2> label1_{};
};

} // namespace q47
