#pragma once

#include "gtfsfeed.h"
#include "routedata.h"
#include "tapelist.h"

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
    QString name;    // as the feed writes it
    QString reading; // katakana as the announcements speak it; empty when the feed has none
    QString feedReading;
    QString english; // the feed's English name, empty when it has none
    int sequence = 0;
    qint16 seiriNo = 0;
    bool boarding = true;
};

// Everything an import writes, worked out before anything is written.
struct ImportPlan {
    QString tripId;
    QString routeId;
    int route = 0;
    QString headsign;
    QString feedName;
    std::vector<PlannedStop> stops;
    int sections = 0;
    std::vector<StopRecord> records;
    QList<TapeEntry> announcements;
    QList<std::pair<QString, QString>> readings;     // word, katakana
    QList<std::pair<QString, QString>> englishNames; // stop name, English name
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

// A feed's kana reading as the reading dictionary takes it: katakana, with pauses (、) for
// spaces, brackets and dots, numbers and Latin letters spelled out. Empty when some character
// cannot be spoken.
QString speakableReading(const QString &feedReading);

} // namespace q47::gtfs
