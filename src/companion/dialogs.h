#pragma once

#include <QDialog>

class QSpinBox;
class QRadioButton;

namespace q47 {

// Per-cell digit settings: the zero rule, the shift and the zero fill of one segment cell.
class Dlg100 : public QDialog {
    Q_OBJECT
public:
    Dlg100(QWidget *owner, qint16 keta, qint16 zeroMode, qint16 shift, qint16 fillZero);

    qint16 zeroMode() const;
    qint16 shift() const;
    qint16 fillZero() const;

    void setZeroMode(qint16 mode);
    void setShift(qint16 shift);
    void setFillZero(qint16 fill);

private:
    QRadioButton *modes_[4] = {};
    QSpinBox *shift_ = nullptr;
    QSpinBox *fill_ = nullptr;
};

// Shows Dlg100 modally. Returns 1 when confirmed; the three values are then the chosen ones.
// Any other result leaves them as they were.
int Call_dlg100(QWidget *owner, qint16 keta, qint16 &zeroMode, qint16 &shift, qint16 &fillZero);

// The about box: the about text in a modal box with an OK button.
void Call_dlg110(QWidget *owner, const QString &aboutText);

} // namespace q47
