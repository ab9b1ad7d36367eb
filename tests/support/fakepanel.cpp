#include "fakepanel.h"

namespace q47 {

void RecordingBoard::setCellValue(int cell, const QVariant &value) {
    cells[cell] = value;
    log.append(QStringLiteral("cell %1 = %2").arg(cell).arg(value.toString()));
}

void RecordingBoard::resetCell(int cell, qint16 mode) {
    cells[cell] = mode == -1 ? QVariant(QStringLiteral("8888")) : QVariant(QString());
    log.append(QStringLiteral("reset %1 %2").arg(cell).arg(mode));
}

void RecordingBoard::showName(const QString &text) {
    name = text;
    log.append(QStringLiteral("name ") + text);
}

void RecordingBoard::stopClock() {
    log.append(QStringLiteral("clock off"));
}

void RecordingBoard::resumeClock() {
    log.append(QStringLiteral("clock on"));
}

void FakeRuntime::sleep(int ms) {
    log_.append(QStringLiteral("sleep %1").arg(ms));
    if (duringSleep)
        duringSleep(ms);
}

} // namespace q47
