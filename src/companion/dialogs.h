#pragma once

#include <QDialog>

class QSpinBox;
class QRadioButton;

namespace q47 {

// Per-cell digit settings: the zero rule, the shift and the zero fill of one segment cell.
class CellFormatDialog : public QDialog {
    Q_OBJECT
public:
    CellFormatDialog(QWidget *owner, qint16 digitCount, qint16 zeroMode, qint16 shift,
                     qint16 fillZero);

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

// Shows CellFormatDialog modally. Returns true when confirmed, the three values then
// the chosen ones; a cancel leaves them as they were.
bool askForCellFormat(QWidget *owner, qint16 digitCount, qint16 &zeroMode, qint16 &shift,
                      qint16 &fillZero);

// The about box: the about text in a modal box with an OK button.
void showAboutBox(QWidget *owner, const QString &aboutText);

} // namespace q47
