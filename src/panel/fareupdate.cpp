#include "fareupdate.h"

#include <algorithm>
#include <cstdint>

namespace q47 {

namespace {
bool isCell(int cell) {
    return cell >= 0 && cell <= kFareCells;
}
} // namespace

std::vector<CellWrite> fareWrites(const RouteTable &table, int n, bool lateNight,
                                  const InfoDigitOptions &info) {
    std::vector<CellWrite> writes;
    const StopRecord &stop = table.at(n);
    for (int k = std::max<int>(table.StartSection, 1); k <= kFareCells; ++k) {
        // Widened: a doubled 16-bit fare can leave the 16-bit range and must still show.
        const int fare = stop.DataCol(k);
        writes.push_back({k, (lateNight && fare != -1) ? 2 * fare : fare});
    }
    if (info.showStopOrder && isCell(info.stopOrderCell))
        writes.push_back({info.stopOrderCell, info.stopOrderFromZero ? n - 1 : n});
    if (info.showSeiriNo && isCell(info.seiriNoCell))
        writes.push_back({info.seiriNoCell, static_cast<int>(stop.SeiriNo)});
    if (info.showRoute && isCell(info.routeCell))
        writes.push_back({info.routeCell, table.RouteText});
    if (info.showColumn && isCell(info.columnCell) && info.column >= 1 &&
        info.column <= kDataColumns)
        writes.push_back({info.columnCell, static_cast<int>(stop.DataCol(info.column))});
    return writes;
}

std::bitset<kFareCells + 1> infoDigitCells(const InfoDigitOptions &info) {
    std::bitset<kFareCells + 1> cells;
    for (const auto &[shown, cell] :
         {std::pair{info.showStopOrder, info.stopOrderCell},
          std::pair{info.showSeiriNo, info.seiriNoCell}, std::pair{info.showRoute, info.routeCell},
          std::pair{info.showColumn, info.columnCell}})
        if (shown && cell >= 1 && cell <= kFareCells)
            cells.set(size_t(cell));
    return cells;
}

qint32 routeNumberValue(const QString &routeText) {
    qint64 value = 0;
    for (QChar c : routeText.trimmed()) {
        if (c < u'0' || c > u'9')
            break;
        value = std::min<qint64>(value * 10 + (c.unicode() - u'0'), INT32_MAX);
    }
    return static_cast<qint32>(value);
}

QString ticketDateText(const QDate &date) {
    return date.toString(QStringLiteral("MM-dd-yyyy"));
}

} // namespace q47
