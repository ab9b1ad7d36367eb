#pragma once

#include <QWidget>

#include <array>

class QPushButton;

namespace q47 {

// The middle column's top: "表示消去" (Check1, a toggle) over "データ戻し" and "データ送り"
// (Command2(0..1)). All three stay disabled until the first route is set; stepping waits
// while the display is cleared.
class StepButtons : public QWidget {
    Q_OBJECT
public:
    explicit StepButtons(QWidget *parent = nullptr);

    QPushButton *clearButton() const { return check1_; }
    QPushButton *stepButton(int i) const { return command2_.at(static_cast<size_t>(i)); }

    // Whether a route has been set and the display is cleared.
    void showStepping(bool routeSet, bool cleared);

Q_SIGNALS:
    void stepClicked(int index);
    void clearToggled(bool on);

private:
    QPushButton *check1_ = nullptr;
    std::array<QPushButton *, 2> command2_{};
};

} // namespace q47
