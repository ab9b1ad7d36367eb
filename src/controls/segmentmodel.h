#pragma once

#include "olecolor.h"

#include <QString>
#include <QVariant>

namespace q47 {

// Geometry of one size class: font size, the box of one digit position and the control height.
struct DigitSizeClass {
    int fontPt;
    int cellTwips;
    int heightTwips;
};

DigitSizeClass digitSizeClass(qint16 digitSize);

// What a segment-digit cell shows for a value, after the zero rule, zero fill, shift and the
// rightmost-DigitCount cut. Pure so that hosts and tests can ask without a control.
QString digitDisplayText(const QVariant &value, qint16 zeroMode, qint16 fillZero, qint16 shift,
                         qint16 digitCount);

// State of one segment-digit control with the range rules of its setters.
// Each setter reports what the control must do afterwards.
class SegmentModel {
public:
    enum class Effect { None, Redraw, ResizeRedraw };

    static constexpr OleColor kDefaultBaseForeColor = 0x969696;
    static constexpr OleColor kDefaultDigitForeColor = 0x72D2F8;
    static constexpr OleColor kDefaultBackColor = 0x808080;

    OleColor BaseForeColor() const { return baseForeColor_; }
    OleColor DigitForeColor() const { return digitForeColor_; }
    OleColor BackColor() const { return backColor_; }
    qint16 FillZero() const { return fillZero_; }
    qint16 ZeroMode() const { return zeroMode_; }
    qint16 Shift() const { return shift_; }
    qint16 DigitCount() const { return digitCount_; }
    qint16 DigitSize() const { return digitSize_; }
    qint16 DigitStyle() const { return digitStyle_; }
    const QVariant &Value() const { return value_; }
    bool UserSet() const { return userSet_; }

    Effect setBaseForeColor(OleColor c);
    Effect setDigitForeColor(OleColor c);
    Effect setBackColor(OleColor c);
    Effect setFillZero(qint16 v);
    Effect setZeroMode(qint16 v);
    Effect setShift(qint16 v);
    Effect setDigitCount(qint16 v);
    Effect setDigitSize(qint16 v);
    Effect setDigitStyle(qint16 v);
    Effect setValue(const QVariant &v);
    Effect setUserSet(bool v);

    // Taken back from the settings dialog as they are: no range rules.
    void takeDialogValues(qint16 zeroMode, qint16 shift, qint16 fillZero);

    // Rightmost DigitCount characters to light, as the redraw shows them.
    QString displayText() const;
    DigitSizeClass sizeClass() const { return digitSizeClass(digitSize_); }

private:
    OleColor baseForeColor_ = kDefaultBaseForeColor;
    OleColor digitForeColor_ = kDefaultDigitForeColor;
    OleColor backColor_ = kDefaultBackColor;
    qint16 fillZero_ = 0;
    qint16 zeroMode_ = 0;
    qint16 shift_ = 0;
    qint16 digitCount_ = 4;
    qint16 digitSize_ = 0;
    qint16 digitStyle_ = 0;
    QVariant value_ = 0;
    bool userSet_ = true;
};

} // namespace q47
