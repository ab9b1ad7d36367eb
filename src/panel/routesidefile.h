#pragma once

#include "error.h"

#include <QByteArray>
#include <QColor>
#include <QList>
#include <QString>

#include <optional>
#include <utility>
#include <vector>

namespace q47 {

// What a route file cannot hold, kept beside it as "N.route.json" (UTF-8 JSON):
//   {"format":1,"name":"循環","color":"#1E90FF","textColor":"#FFFFFF",
//    "stops":[{"name":"𠮷野家前","headsign":"○○経由 駅前行"}, ...]}
// the route's name as its operator gives it, its colours, and per stop of the route file, in
// order, the stop's real name and the headsign the trip shows there. Every key but "format"
// and "stops" may be left out.
struct RouteSideFile {
    struct Stop {
        QString name;
        QString headsign;
    };
    QString name;
    QColor color; // invalid when not given as "#RRGGBB"
    QColor textColor;
    std::vector<Stop> stops;
};

// "12.route.json" for route "00012".
QString routeSideFileName(const QString &routeText);
inline constexpr qint64 kMaxRouteSideFileBytes = 4 * 1024 * 1024;

// Invalid for bytes that are not such a file: no JSON object, another format, a key of the
// wrong kind.
Result<RouteSideFile> parseRouteSideFile(const QByteArray &bytes);
// The side file at `path` when it is an ordinary file within the limit, well formed, and has
// one entry for each of the route's `stopCount` stops; else nothing, logged under q47.route,
// and the route shows as its file has it.
std::optional<RouteSideFile> loadRouteSideFile(const QString &path, int stopCount);

// The file as parseRouteSideFile takes it back: UTF-8, one stop to a line; the colours as
// "#RRGGBB" and only when valid, and the name and each headsign only when not empty.
QByteArray encodeRouteSideFile(const RouteSideFile &side);

// The stops' names and headsigns that CP932 cannot hold, each after what CP932 makes of it
// ("?野家前", "𠮷野家前"), as the route's CP932 files hold them.
QList<std::pair<QString, QString>> cp932Substitutes(const RouteSideFile &side);

// The name to show for a stop the route file names `routeName`: the side file's `realName`
// when the route file holds what CP932 makes of it, so that a name edited in the route file
// wins; else `routeName`.
QString writtenStopName(const QString &routeName, const QString &realName);

} // namespace q47
