#include "boardmodel.h"

#include "dotnamemodel.h"
#include "segmentmodel.h"
#include "seirikennum.h"

#include <tuple>
#include <utility>

namespace q47 {

// A board on a fresh model looks as its controls do on their own.
static_assert(DigitColours{}.back == SegmentModel::kDefaultBackColor &&
              DigitColours{}.unlit == SegmentModel::kDefaultBaseForeColor &&
              DigitColours{}.lit == SegmentModel::kDefaultDigitForeColor);
static_assert(NameLook{}.back == DotNameModel::kDefaultBackColor &&
              NameLook{}.dots == DotNameModel::kDefaultForeColor &&
              NameLook{}.fontMode == DotNameModel::kDefaultFontMode &&
              NameLook{}.scrollSpeed == DotNameModel::kDefaultSpeed &&
              NameLook{}.scrollStartWait == DotNameModel::kDefaultScrollStartWait);

namespace {

bool isCell(int cell) {
    return cell >= 1 && cell <= kBoardCells;
}

} // namespace

CellFormat heldFormat(const CellFormat &format) {
    SegmentModel rules;
    rules.setDigitCount(format.digitCount);
    rules.setZeroMode(format.zeroMode);
    rules.setShift(format.shift);
    rules.setFillZero(format.fillZero);
    return {rules.ZeroMode(), rules.FillZero(), rules.Shift(), rules.DigitCount()};
}

std::array<QString, kBoardCells + 1> TicketLabels::startTexts() {
    std::array<QString, kBoardCells + 1> texts;
    for (int k = 1; k <= kBoardCells; ++k)
        texts[size_t(k)] = seirikenNumberText(k, false);
    return texts;
}

BoardModel::BoardModel() {
    content_.backlight = 0;
}

template <typename T> void BoardModel::change(T &field, const T &value) {
    if (field == value)
        return;
    field = value;
    Q_EMIT contentChanged();
}

void BoardModel::setContent(const BoardContent &content) {
    const BoardContent was = std::exchange(content_, content);
    BoardContent others = was;
    others.cells = content.cells;
    others.stopName = content.stopName;
    others.cleared = content.cleared;
    if (others != content)
        Q_EMIT contentChanged();
    if (was.stopName != content.stopName)
        Q_EMIT stopNameChanged();
    for (int k = 1; k <= kBoardCells; ++k) {
        const auto at = size_t(k);
        if (was.cells[at] != content.cells[at] || was.formats[at] != content.formats[at])
            Q_EMIT cellChanged(k);
    }
    if (was.cleared != content.cleared)
        Q_EMIT clockShownChanged(!content.cleared);
}

void BoardModel::setCellValue(int cell, const QVariant &value) {
    if (!isCell(cell))
        return;
    content_.cells[size_t(cell)] = value;
    Q_EMIT cellChanged(cell);
}

void BoardModel::resetCell(int cell, qint16 mode) {
    if (!isCell(cell))
        return;
    const qint16 digitCount = content_.formats[size_t(cell)].digitCount;
    content_.cells[size_t(cell)] =
        mode == -1 ? QVariant(QString(digitCount, QLatin1Char('8'))) : QVariant(QString());
    Q_EMIT cellReset(cell, mode);
}

void BoardModel::setCellFormat(int cell, const CellFormat &format) {
    if (isCell(cell))
        change(content_.formats[size_t(cell)], heldFormat(format));
}

void BoardModel::setEveryCellFormat(const CellFormat &format) {
    const CellFormat held = heldFormat(format);
    for (int k = 1; k <= kBoardCells; ++k)
        content_.formats[size_t(k)] = held;
    Q_EMIT contentChanged();
    // Each cell shows its value again in the new format.
    for (int k = 1; k <= kBoardCells; ++k)
        Q_EMIT cellChanged(k);
}

void BoardModel::setDigitColours(const DigitColours &colours) {
    change(content_.digits, colours);
}

void BoardModel::setNumbering(int style, bool zeroPad) {
    TicketLabels labels = content_.labels;
    labels.style = style;
    labels.zeroPad = zeroPad;
    const SeirikenNumbering numbering = seirikenNumbering(style, zeroPad);
    labels.label1DigitFace = numbering.digitFaceOnLabel1;
    if (numbering.label1Word)
        labels.texts[1] = *numbering.label1Word;
    for (int k = 1; k <= kBoardCells; ++k) {
        if (const std::optional<QString> &caption = numbering.captions[size_t(k)])
            labels.texts[size_t(k)] = *caption;
    }
    change(content_.labels, labels);
}

void BoardModel::setLabelsShown(bool shown) {
    change(content_.labels.shown, shown);
}

void BoardModel::setLabelColour(const QColor &colour) {
    change(content_.labels.colour, colour);
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
    change(content_.stopForms, forms);
}

void BoardModel::setNameColours(OleColor back, OleColor dots) {
    NameLook look = content_.nameLook;
    std::tie(look.back, look.dots) = std::pair(back, dots);
    change(content_.nameLook, look);
}

void BoardModel::setNameFace(qint16 fontMode, bool bold) {
    NameLook look = content_.nameLook;
    std::tie(look.fontMode, look.bold) = std::pair(fontMode, bold);
    change(content_.nameLook, look);
}

void BoardModel::setNameScroll(qint16 speed, int startWait) {
    NameLook look = content_.nameLook;
    std::tie(look.scrollSpeed, look.scrollStartWait) = std::pair(speed, startWait);
    change(content_.nameLook, look);
}

void BoardModel::setRoute(const RouteOnBoard &route) {
    change(content_.route, route);
}

void BoardModel::setBacklight(int row) {
    change(content_.backlight, row);
}

void BoardModel::setPicture(const BoardPicture &picture) {
    change(content_.picture, picture);
}

void BoardModel::setRideTime(const QTime &time) {
    change(content_.rideTime, time);
}

void BoardModel::setApproaching(bool approaching) {
    change(content_.approaching, approaching);
}

QTime BoardModel::clockTime() const {
    return content_.rideTime.isValid() ? content_.rideTime : QTime::currentTime();
}

void BoardModel::setClockShown(bool shown) {
    content_.cleared = !shown;
    Q_EMIT clockShownChanged(shown);
}

} // namespace q47
