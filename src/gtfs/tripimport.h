#pragma once

#include "gtfsfeed.h"
#include "namesen.h"
#include "routedata.h"
#include "routesidefile.h"
#include "tapelist.h"
#include "timetable.h"

#include <QList>
#include <QString>

#include <optional>
#include <utility>
#include <vector>

namespace q47::gtfs {

// Which trip becomes which route, and which part of it (stop_sequence values, inclusive).
struct ImportRequest {
    QString tripId;
    int route = 1;
    std::optional<int> from;
    std::optional<int> to;
};

struct PlannedStop {
    QString name;        // as the feed writes it
    QString reading;     // katakana as the announcements speak it; empty when the feed has none
    QString feedReading; // the feed's kana reading made plain (plainKanaReading)
    NameForms forms;     // the kana (feedReading) and the names in other languages
    QString headsign;    // as the trip shows it at this stop, with 行 where it needs one
    int sequence = 0;
    qint16 seiriNo = 0;
    bool boarding = true;
};

// Everything an import writes, worked out before anything is written.
struct ImportPlan {
    QString tripId;
    QString routeId;
    int route = 0;
    QString headsign; // where the first announcement says the bus goes
    QString feedName;
    std::vector<PlannedStop> stops;
    int sections = 0;
    std::vector<StopRecord> records;
    RouteSideFile side; // the route's name, colours, headsigns and real stop names
    QList<TapeEntry> announcements;
    Timetable timetable; // the trip's times at its stops, as the feed gives them
    QList<std::pair<QString, QString>> readings; // word, katakana
    QList<std::pair<QString, NameForms>> names;  // stop name, its forms, for names.csv
    // Where a trip too long for one route is best cut (stop_sequence values): its first part
    // is `from` to `to`, the next starts at `to`.
    std::optional<std::pair<int, int>> proposedPart;
    Diagnostics diagnostics;

    bool ok() const { return !hasError(diagnostics); }
};

ImportPlan planImport(const Feed &feed, const ImportRequest &request);

// Fare sections: `fare(j, i)` is the fare from stop j to a later stop i (nullopt: none known).
// A boarding stop opens a new section unless its fares to every later stop equal those of the
// current section's first stop. Returns the first stop of each section, and each stop's
// section number in `seiriNo` (0 before the first section).
using FareFn = std::function<std::optional<int>(int from, int to)>;
std::vector<int> fareSections(int stopCount, const std::vector<bool> &boarding, const FareFn &fare,
                              std::vector<qint16> &seiriNo);

// A feed's kana reading as the reading dictionary takes it: made plain (a bracketed code left
// out, "～" a long vowel), katakana, with pauses (、) for spaces, brackets and dots, numbers and
// Latin letters spelled out. Empty when some character cannot be spoken.
QString speakableReading(const QString &feedReading);

// The headsign as a board shows it: "行" added where the text does not already say where the
// bus goes. Not added to a headsign ending in 行, 行き, ゆき, 方面, 止まり, 経由 or 回り (右回り,
// 内回り...), nor to a loop's name (holding 循環, or one of `routeNames`), nor to one without
// kana or kanji.
QString boardHeadsign(const QString &headsign, const QStringList &routeNames);

} // namespace q47::gtfs
