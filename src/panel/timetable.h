#pragma once

#include "error.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <optional>
#include <vector>

namespace q47 {

// When the bus is at each stop of a route, kept beside the route as "N.timetable.csv" (UTF-8):
//
//   stop,name,arrival,departure
//   1,駅前,09:00,09:00
//   2,本町一丁目,09:03,09:03:30
//
// One row per stop of the route file, in its order: `stop` is the stop's number (1, 2, ...).
// Times are H:MM or H:MM:SS from the service day's midnight, with hours past 24 for a trip that
// runs after midnight ("25:10" is ten past one the next morning). Either time may be empty
// (then it is the other one), or both, for a stop the timetable gives no time: the ride puts
// it between its neighbours. `name` is for the people who write the file and may be left out;
// the program takes the stops' names from the route. Blank rows and rows starting with # are
// skipped. A timetable with times has them at its first and last stop, and they never go back.
struct TimetableStop {
    std::optional<qint32> arrival; // seconds from midnight
    std::optional<qint32> departure;
    QString name;

    bool operator==(const TimetableStop &) const = default;
};

struct Timetable {
    std::vector<TimetableStop> stops;

    // Whether any stop has a time: a timetable without one rides at a fixed interval.
    bool hasTimes() const;
    bool operator==(const Timetable &) const = default;
};

inline constexpr qint64 kMaxTimetableBytes = 1024 * 1024;
// The latest time a timetable may give: four days after its service day starts.
inline constexpr qint32 kMaxServiceSeconds = 96 * 3600 - 1;

// "12.timetable.csv" for route "00012".
QString timetableFileName(const QString &routeText);

// "9:05", "09:05:30", "25:10:00" in seconds; nothing for anything else.
std::optional<qint32> parseServiceTime(QStringView text);
// "09:05:30", "25:10:00".
QString formatServiceTime(qint32 seconds);

// The table in `bytes`, or an Invalid Error at the line of its fault (0: the file as a whole).
Result<Timetable> parseTimetable(QByteArrayView bytes);
// The same for the ordinary file at `path`, of at most kMaxTimetableBytes; the Error names it.
Result<Timetable> loadTimetable(const QString &path);
// UTF-8, LF line ends, times as H:MM:SS, the name column when a stop has a name.
QByteArray encodeTimetable(const Timetable &table);

} // namespace q47
