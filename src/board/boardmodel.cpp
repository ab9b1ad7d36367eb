#include "boardmodel.h"

#include "degitmodel.h"

namespace q47 {

namespace {

bool isCell(int cell) {
    return cell >= 1 && cell <= kBoardCells;
}

} // namespace

void BoardModel::setCellValue(int cell, const QVariant &value) {
    if (!isCell(cell))
        return;
    content_.cells[size_t(cell)] = value;
    Q_EMIT cellChanged(cell);
}

void BoardModel::resetCell(int cell, qint16 mode) {
    if (!isCell(cell))
        return;
    const qint16 keta = content_.formats[size_t(cell)].keta;
    content_.cells[size_t(cell)] =
        mode == -1 ? QVariant(QString(keta, QLatin1Char('8'))) : QVariant(QString());
    Q_EMIT cellReset(cell, mode);
}

void BoardModel::setCellFormat(int cell, const CellFormat &format) {
    if (!isCell(cell))
        return;
    // The digit control's own range rules: a state file may hold any value, and every board
    // must show what the LED cell shows for it.
    DegitModel rules;
    rules.setKeta(format.keta);
    rules.setZeroMode(format.zeroMode);
    rules.setShift(format.shift);
    rules.setFillZero(format.fillZero);
    const CellFormat held{rules.ZeroMode(), rules.FillZero(), rules.Shift(), rules.Keta()};
    if (content_.formats[size_t(cell)] == held)
        return;
    content_.formats[size_t(cell)] = held;
    Q_EMIT contentChanged();
}

void BoardModel::setStopName(const QString &name) {
    content_.stopName = name;
    content_.stopWritten = !name.isEmpty() && name == writtenFor_ ? written_ : QString();
    content_.stopForms = {};
    Q_EMIT stopNameChanged();
}

void BoardModel::setStopWritten(const QString &name, const QString &written) {
    writtenFor_ = name;
    written_ = written == name ? QString() : written;
}

void BoardModel::setStopForms(const NameForms &forms) {
    if (content_.stopForms == forms)
        return;
    content_.stopForms = forms;
    Q_EMIT contentChanged();
}

void BoardModel::setRoute(const RouteOnBoard &route) {
    if (content_.route == route)
        return;
    content_.route = route;
    Q_EMIT contentChanged();
}

void BoardModel::setNumbering(int style, bool zeroPad) {
    if (content_.numberingStyle == style && content_.zeroPad == zeroPad)
        return;
    content_.numberingStyle = style;
    content_.zeroPad = zeroPad;
    Q_EMIT contentChanged();
}

void BoardModel::setBacklight(int row) {
    if (content_.backlight == row)
        return;
    content_.backlight = row;
    Q_EMIT contentChanged();
}

void BoardModel::setClockShown(bool shown) {
    content_.cleared = !shown;
    Q_EMIT clockShownChanged(shown);
}

} // namespace q47
