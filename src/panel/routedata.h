#pragma once

#include "error.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <vector>

namespace q47 {

inline constexpr int kRouteSlots = 301;
// The route numbers a route can have: the panel's five digits, where 00000 is none.
inline constexpr int kFirstRoute = 1;
inline constexpr int kLastRoute = 99999;
inline constexpr int kDataColumns = 150;
inline constexpr int kFareCells = 50;

// One stop of a route, as the route file holds it.
struct StopRecord {
    QString StopName;
    qint16 SeiriNo = 0;
    std::array<qint16, kDataColumns> cols{};

    // Data column k, 1-based as the file numbers them; 0 outside 1..150.
    qint16 DataCol(int k) const { return (k >= 1 && k <= kDataColumns) ? cols[k - 1] : 0; }
    void setDataCol(int k, qint16 v) {
        if (k >= 1 && k <= kDataColumns)
            cols[k - 1] = v;
    }
    bool operator==(const StopRecord &) const = default;
};

// The loaded route: 301 slots, the counters and the entry it was set with.
struct RouteTable {
    std::array<StopRecord, kRouteSlots> slots{};
    qint16 StopCount = 0;    // as the file announced it, also for a refused file
    int loaded = 0;          // records actually held in the slots
    qint16 CurStopPos = 0;   // 0-based current stop
    qint16 StartSection = 1; // starting stop order number, 1..300
    QString RouteText;
    QString RouteDate;

    // Slot i (1-based). Indices outside 1..301 read an empty record: no caller may ever
    // address memory outside the table, whatever the counters hold.
    const StopRecord &at(int i) const;

    // Highest stop position that stepping may reach: the last record the table holds.
    int lastStopPos() const;
};

// The most a route file can hold: the count and 301 stops with names of 65535 bytes.
inline constexpr qint64 kMaxRouteFileBytes = 2 + kRouteSlots * (2 + 65535 + 2 + 2 * kDataColumns);

// The byte layout of a route data file: a signed 16-bit count, then per stop a 16-bit name
// length, the CP932 name, the signed 16-bit ticket number and 150 signed 16-bit columns.
QByteArray encodeRouteFile(const std::vector<StopRecord> &stops);

struct RouteFileContents {
    enum class Status { Ok, Truncated, TooManyRecords, NegativeCount };
    Status status = Status::Ok;
    qint16 count = 0;
    std::vector<StopRecord> stops;
    int recordsRead = 0; // complete records before a truncation
};

// Decodes every record the count announces. Never reads past the data.
RouteFileContents decodeRouteFile(const QByteArray &bytes);

// The route file name: the route number without leading zeros, then ".hy3".
QString routeFileName(const QString &routeText);
// The route number as a number, written back as decimal text ("00012" -> "12").
QString routeName(const QString &routeText);
// A folder text ending in the separator; empty stays empty (the current folder).
QString normalizeFolder(const QString &folder);
// A starting stop order number clamped to 1..300.
qint16 clampStartSection(int section);

// Route setting from a file into the table. A refusal is a Route's failure: the file missing
// (NotFound), a folder, no ordinary file, too large, not readable (NoPermission, or the system's
// reason), cut short (Truncated), no stops (Empty), the section past the data (OutOfRange), more
// stops than slots (TooMany, the count as its detail).
Result<> loadRoute(RouteTable &table, const QString &dataFolder, const QString &routeText,
                   int startSection);

} // namespace q47
