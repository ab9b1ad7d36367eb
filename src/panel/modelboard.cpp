#include "modelboard.h"

#include "boardmodel.h"

namespace q47 {

void ModelBoard::setCellValue(int cell, const QVariant &value) {
    board_.setCellValue(cell, value);
}

void ModelBoard::resetCell(int cell, qint16 mode) {
    board_.resetCell(cell, mode);
}

void ModelBoard::showName(const QString &name) {
    board_.setStopName(name);
}

void ModelBoard::stopClock() {
    board_.setClockShown(false);
}

void ModelBoard::resumeClock() {
    board_.setClockShown(true);
}

void ModelBoard::showRoute(const RouteOnBoard &route) {
    board_.setRoute(route);
}

void ModelBoard::showStopWritten(const QString &name, const QString &written) {
    board_.setStopWritten(name, written);
}

void ModelBoard::setNameScroll(qint16 speed, int startWait) {
    board_.setNameScroll(speed, startWait);
}

} // namespace q47
