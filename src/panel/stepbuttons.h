#pragma once

#include <QWidget>

#include <array>

class QPushButton;

namespace q47 {

// The middle column's top: "表示消去" (Check1, a toggle) over "データ戻し" and "データ送り"
// (Command2(0..1)). All three stay disabled until the first route is set.
class StepButtons : public QWidget {
    Q_OBJECT
public:
    explicit StepButtons(QWidget *parent = nullptr);

    QPushButton *Check1() const { return check1_; }
    QPushButton *Command2(int i) const { return command2_.at(static_cast<size_t>(i)); }

    // The first route has been set: stepping and the display clear become usable.
    void enableStepping();

Q_SIGNALS:
    void stepClicked(int index);
    void clearToggled();

private:
    QPushButton *check1_ = nullptr;
    std::array<QPushButton *, 2> command2_{};
};

} // namespace q47
