#pragma once

#include <QGroupBox>

#include <array>

class QPushButton;

namespace q47 {

// Frame2 "バックライト": the backlight switch, three graphical option buttons "OFF", "ON1" and
// "ON2" (Option4(0..2)) of which exactly one stays pressed; "OFF" at start. It shows the
// panel's row and tells which the operator pressed.
class BacklightFrame : public QGroupBox {
    Q_OBJECT
public:
    explicit BacklightFrame(QWidget *parent = nullptr);

    QPushButton *backlightButton(int i) const { return option4_.at(static_cast<size_t>(i)); }
    // Row `row` pressed, without telling.
    void showRow(int row);

Q_SIGNALS:
    // Button `index` became the pressed one.
    void optionSelected(int index);

private:
    std::array<QPushButton *, 3> option4_{};
};

} // namespace q47
