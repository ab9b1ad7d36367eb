#include "panelrules.h"

#include "settingsstore.h"

namespace q47 {

std::optional<qint16> stepTarget(const RouteTable &table, int index) {
    const int pos = table.CurStopPos;
    if (index == 0)
        return pos <= 0 ? std::nullopt : std::optional<qint16>(static_cast<qint16>(pos - 1));
    // Forward stops at the last record actually held, whatever the announced count says.
    if (pos + 1 > table.lastStopPos())
        return std::nullopt;
    return static_cast<qint16>(pos + 1);
}

QString stepSound(const SettingsStore &settings, const RouteTable &table, int pos) {
    if (settings.isSelected(setting::StepSoundFixed))
        return settings.text(setting::StepSoundFile);
    const int list = settings.listIndex(setting::StepSoundColumn);
    if (list < 0)
        return {}; // no column chosen: no sound
    const qint16 code = table.at(pos + 1).DataCol(list + 1);
    if (code < 1 || code > 3)
        return {};
    return settings.text(setting::StepSounds[static_cast<size_t>(code - 1)]);
}

bool stepSoundWaits(const SettingsStore &settings) {
    return settings.isSelected(setting::StepSoundWaited);
}

InfoDigitOptions infoDigitOptions(const SettingsStore &s) {
    InfoDigitOptions o;
    o.showStopOrder = s.flag(setting::ShowStopOrder) == 1;
    o.stopOrderCell = s.listIndex(setting::StopOrderCell) + 1;
    o.stopOrderFromZero = s.flag(setting::StopOrderFromZero) == 1;
    o.showSeiriNo = s.flag(setting::ShowTicketNumber) == 1;
    o.seiriNoCell = s.listIndex(setting::TicketNumberCell) + 1;
    o.showRoute = s.flag(setting::ShowRouteNumber) == 1;
    o.routeCell = s.listIndex(setting::RouteNumberCell) + 1;
    o.showColumn = s.flag(setting::ShowDataColumn) == 1;
    o.columnCell = s.listIndex(setting::DataColumnCell) + 1;
    o.column = s.listIndex(setting::InfoDataColumn) + 1;
    return o;
}

QString routeDate(const SettingsStore &s, const QDate &today) {
    if (s.isSelected(setting::DateAtEachPrint) || s.isSelected(setting::DateAtRouteSetting))
        return ticketDateText(today);
    return s.text(setting::FixedDate);
}

QString ticketDate(const SettingsStore &s, const QString &routeDate, const QDate &today) {
    if (s.isSelected(setting::DateAtEachPrint))
        return ticketDateText(today);
    if (s.isSelected(setting::DateAtRouteSetting))
        return routeDate;
    return s.text(setting::FixedDate);
}

QString aboutText(const QString &model, const QString &version, int year) {
    const QString crlf = QStringLiteral("\r\n");
    return QStringLiteral("型番：") + model + crlf + QStringLiteral("バージョン：") + version +
           crlf + crlf + QStringLiteral("配布：路線バス運賃表示器 愛好会") + crlf +
           QStringLiteral("開発：Q47 開発チーム  (C) %1").arg(year) + crlf;
}

const std::vector<OperatorKey> &operatorKeys() {
    static const std::vector<OperatorKey> keys = [] {
        std::vector<OperatorKey> list = {
            {Qt::Key_Right, OperatorAction::StepForward},
            {Qt::Key_Space, OperatorAction::StepForward},
            {Qt::Key_Left, OperatorAction::StepBack},
            {Qt::Key_Return, OperatorAction::KeypadEnter},
            {Qt::Key_Enter, OperatorAction::KeypadEnter},
            {Qt::Key_N, OperatorAction::speakNext},
            {Qt::Key_B, OperatorAction::speakPrevious},
            {Qt::Key_Escape, OperatorAction::stopSpeaking},
        };
        for (int key = Qt::Key_0; key <= Qt::Key_9; ++key)
            list.push_back({key, OperatorAction::KeypadDigit});
        return list;
    }();
    return keys;
}

QString operatorKeysHelp() {
    const QString crlf = QStringLiteral("\r\n");
    return QStringLiteral("キー操作：") + crlf +
           QStringLiteral("　→ または Space：データ送り　　←：データ戻し") + crlf +
           QStringLiteral("　0～9：系統番号、Enter で区間へ、区間の後の Enter でリセット") + crlf +
           QStringLiteral("　N：放送の送り　　B：放送の戻し　　Esc：放送の停止") + crlf +
           QStringLiteral("　運賃表示器で F11：全画面表示　　Ctrl + ＋／－／0：表示倍率") + crlf;
}

} // namespace q47
