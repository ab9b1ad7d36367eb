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
    if (settings.choice(QStringLiteral("Option2"), 0) != 0)
        return settings.text(QStringLiteral("txtSelectSound"), 7);
    const int list = settings.listIndex(QStringLiteral("Combo1"));
    if (list < 0)
        return {}; // no column chosen: no sound
    const qint16 code = table.at(pos + 1).DataCol(list + 1);
    if (code < 1 || code > 3)
        return {};
    return settings.text(QStringLiteral("txtSelectSound"), 7 + code);
}

bool stepSoundWaits(const SettingsStore &settings) {
    return settings.choice(QStringLiteral("Option6"), 0) != 0;
}

InfoDigitOptions infoDigitOptions(const SettingsStore &s) {
    const QString check = QStringLiteral("Check3"), combo = QStringLiteral("Combo4");
    InfoDigitOptions o;
    o.showStopOrder = s.flag(check, 0) == 1;
    o.stopOrderCell = s.listIndex(combo, 0) + 1;
    o.stopOrderFromZero = s.flag(check, 4) == 1;
    o.showSeiriNo = s.flag(check, 1) == 1;
    o.seiriNoCell = s.listIndex(combo, 1) + 1;
    o.showRoute = s.flag(check, 2) == 1;
    o.routeCell = s.listIndex(combo, 2) + 1;
    o.showColumn = s.flag(check, 3) == 1;
    o.columnCell = s.listIndex(combo, 3) + 1;
    o.column = s.listIndex(combo, 4) + 1;
    return o;
}

QString routeDate(const SettingsStore &s, const QDate &today) {
    if (s.choice(QStringLiteral("Option4"), 0) != 0 || s.choice(QStringLiteral("Option4"), 1) != 0)
        return ticketDateText(today);
    return s.text(QStringLiteral("Label10"));
}

QString ticketDate(const SettingsStore &s, const QString &routeDate, const QDate &today) {
    if (s.choice(QStringLiteral("Option4"), 0) != 0)
        return ticketDateText(today);
    if (s.choice(QStringLiteral("Option4"), 1) != 0)
        return routeDate;
    return s.text(QStringLiteral("Label10"));
}

QString aboutText(const QString &model, const QString &version, int year) {
    const QString crlf = QStringLiteral("\r\n");
    return QStringLiteral("型番：") + model + crlf + QStringLiteral("バージョン：") + version +
           crlf + crlf + QStringLiteral("配布：路線バス運賃表示器 愛好会") + crlf +
           QStringLiteral("開発：Q47 開発チーム  (C) %1").arg(year) + crlf;
}

} // namespace q47
