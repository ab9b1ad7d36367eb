#include "segmentmodel.h"

#include <cmath>

namespace q47 {

namespace {

bool isNumber(const QVariant &v) {
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Bool:
        return true;
    default:
        return false;
    }
}

bool isEmptyValue(const QVariant &v) {
    return !v.isValid() || v.isNull();
}

// Variant comparison as the zero rules need it: an empty value equals 0 and "";
// a string never equals a number.
bool equalsNumber(const QVariant &v, double n) {
    if (isEmptyValue(v))
        return n == 0;
    return isNumber(v) && v.toDouble() == n;
}

bool equalsEmptyString(const QVariant &v) {
    if (isEmptyValue(v))
        return true;
    return v.typeId() == QMetaType::QString && v.toString().isEmpty();
}

bool readsAsNumber(const QVariant &v, double &out) {
    if (isEmptyValue(v))
        return false;
    if (isNumber(v)) {
        out = v.toDouble();
        return std::isfinite(out);
    }
    if (v.typeId() != QMetaType::QString)
        return false;
    bool ok = false;
    out = v.toString().trimmed().toDouble(&ok);
    return ok && std::isfinite(out);
}

QString numberText(double d) {
    if (std::isfinite(d) && d == std::trunc(d) && std::fabs(d) < 1e15)
        return QString::number(static_cast<qlonglong>(d));
    return QString::number(d, 'g', 15);
}

QString plainText(const QVariant &v) {
    if (isEmptyValue(v))
        return {};
    if (v.typeId() == QMetaType::Bool)
        return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    if (isNumber(v))
        return numberText(v.toDouble());
    return v.toString();
}

// The integer r in decimal, however large: fifteen significant digits, then zeros, as a
// double's digits beyond those are noise.
QString integerDigits(double r) {
    if (r < 1e15)
        return QString::number(r, 'f', 0);
    const QString e = QString::number(r, 'e', 14); // "d.dddddddddddddde+NN"
    const int exponent = e.mid(e.indexOf(QLatin1Char('e')) + 1).toInt();
    return e.left(1) + e.mid(2, 14) + QString(exponent - 14, QLatin1Char('0'));
}

// At least `digits` digits, no decimals, rounded half away from zero.
QString zeroFilled(double d, int digits) {
    const double r = std::round(d);
    const QString body = integerDigits(std::fabs(r));
    QString padded = body.rightJustified(digits, QLatin1Char('0'));
    return r < 0 ? QLatin1Char('-') + padded : padded;
}

} // namespace

DigitSizeClass digitSizeClass(qint16 digitSize) {
    switch (digitSize) {
    case 1:
        return {24, 255, 390};
    case 2:
        return {27, 285, 435};
    case 3:
        return {14, 165, 225};
    default:
        return {18, 195, 300};
    }
}

QString digitDisplayText(const QVariant &value, qint16 zeroMode, qint16 fillZero, qint16 shift,
                         qint16 digitCount) {
    QVariant v = value;
    switch (zeroMode) {
    case 0:
        if (equalsNumber(v, 0) || equalsEmptyString(v))
            v = QString();
        break;
    case 1:
        if (equalsNumber(v, 0) || equalsEmptyString(v))
            v = 0;
        break;
    case 2:
        if (equalsNumber(v, -1))
            v = 0;
        else if (equalsNumber(v, 0))
            v = QString();
        break;
    case 3:
        if (equalsNumber(v, -1) || equalsNumber(v, 0) || equalsEmptyString(v))
            v = 0;
        break;
    default:
        break;
    }

    QString text;
    double number = 0;
    if (fillZero > 0 && readsAsNumber(v, number))
        text = zeroFilled(number, fillZero);
    else
        text = plainText(v);

    if (shift >= 1)
        text += QString(shift, QLatin1Char(' '));
    if (digitCount >= 0 && text.size() > digitCount)
        text = text.right(digitCount);
    return text;
}

SegmentModel::Effect SegmentModel::setBaseForeColor(OleColor c) {
    baseForeColor_ = c;
    return Effect::Redraw;
}

SegmentModel::Effect SegmentModel::setDigitForeColor(OleColor c) {
    digitForeColor_ = c;
    return Effect::Redraw;
}

SegmentModel::Effect SegmentModel::setBackColor(OleColor c) {
    backColor_ = c;
    return Effect::Redraw;
}

SegmentModel::Effect SegmentModel::setFillZero(qint16 v) {
    fillZero_ = v > digitCount_ ? digitCount_ : v;
    return Effect::None;
}

SegmentModel::Effect SegmentModel::setZeroMode(qint16 v) {
    zeroMode_ = v >= 4 ? 0 : v;
    return Effect::None;
}

SegmentModel::Effect SegmentModel::setShift(qint16 v) {
    if (v > digitCount_ - 1)
        v = static_cast<qint16>(digitCount_ - 1);
    shift_ = v < 0 ? 0 : v;
    return Effect::None;
}

SegmentModel::Effect SegmentModel::setDigitCount(qint16 v) {
    digitCount_ = (v < 1 || v > 15) ? 4 : v;
    return Effect::ResizeRedraw;
}

SegmentModel::Effect SegmentModel::setDigitSize(qint16 v) {
    digitSize_ = (v >= 1 && v <= 3) ? v : 0;
    return Effect::ResizeRedraw;
}

SegmentModel::Effect SegmentModel::setDigitStyle(qint16 v) {
    digitStyle_ = v;
    return Effect::Redraw;
}

SegmentModel::Effect SegmentModel::setValue(const QVariant &v) {
    value_ = v;
    return Effect::Redraw;
}

SegmentModel::Effect SegmentModel::setUserSet(bool v) {
    userSet_ = v;
    return Effect::None;
}

void SegmentModel::takeDialogValues(qint16 zeroMode, qint16 shift, qint16 fillZero) {
    zeroMode_ = zeroMode;
    shift_ = shift;
    fillZero_ = fillZero;
}

QString SegmentModel::displayText() const {
    return digitDisplayText(value_, zeroMode_, fillZero_, shift_, digitCount_);
}

} // namespace q47
