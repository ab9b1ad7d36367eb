#include "timetable.h"

#include "regularfile.h"
#include "spreadsheetcsv.h"

#include <QStringList>

#include <algorithm>
#include <array>

namespace q47 {

namespace csv = spreadsheetcsv;

namespace {

Error failure(int line, const QString &reason) {
    return Error(Error::Kind::Invalid, reason).at(line);
}

// Digits only: a sign or a blank is no part of a time.
std::optional<int> digits(QStringView text, qsizetype minimum, qsizetype maximum) {
    if (text.size() < minimum || text.size() > maximum)
        return std::nullopt;
    int value = 0;
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

} // namespace

bool Timetable::hasTimes() const {
    return std::any_of(stops.begin(), stops.end(),
                       [](const TimetableStop &s) { return s.arrival || s.departure; });
}

QString timetableFileName(const QString &routeText) {
    bool ok = false;
    const int number = routeText.toInt(&ok);
    return (ok ? QString::number(number) : routeText) + QStringLiteral(".timetable.csv");
}

std::optional<qint32> parseServiceTime(QStringView text) {
    const QList<QStringView> parts = text.trimmed().split(u':');
    if (parts.size() < 2 || parts.size() > 3)
        return std::nullopt;
    const std::optional<int> hours = digits(parts[0], 1, 2);
    const std::optional<int> minutes = digits(parts[1], 2, 2);
    const std::optional<int> seconds = parts.size() == 3 ? digits(parts[2], 2, 2) : 0;
    if (!hours || !minutes || !seconds || *minutes > 59 || *seconds > 59)
        return std::nullopt;
    const qint32 total = *hours * 3600 + *minutes * 60 + *seconds;
    return total <= kMaxServiceSeconds ? std::optional<qint32>(total) : std::nullopt;
}

QString formatServiceTime(qint32 seconds) {
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

Result<Timetable> parseTimetable(QByteArrayView bytes) {
    if (bytes.size() > kMaxTimetableBytes)
        return Error(Error::Kind::TooLarge,
                     QStringLiteral("larger than %1").arg(sizeText(kMaxTimetableBytes)));
    const csv::Decoded text = csv::decode(bytes.toByteArray(), csv::Encoding::Utf8);
    const csv::Rows rows = csv::splitRows(text.text);
    if (rows.unclosedQuoteLine)
        return failure(rows.unclosedQuoteLine, QStringLiteral("a quote is not closed"));
    if (rows.longLine)
        return failure(rows.longLine, QStringLiteral("the line is too long"));

    enum Column { Stop, Name, Arrival, Departure };
    static constexpr std::array<const char *, 4> kColumns{"stop", "name", "arrival", "departure"};
    std::array<qsizetype, 4> at{-1, -1, -1, -1};
    bool header = false;
    Timetable table;
    for (const csv::Row &row : rows.rows) {
        if (row.blank() ||
            (!row.firstQuoted && row.fields.front().trimmed().startsWith(QLatin1Char('#'))))
            continue;
        if (text.badLines.contains(row.line))
            return failure(row.line, QStringLiteral("not UTF-8 text"));
        if (!header) {
            for (qsizetype i = 0; i < row.fields.size(); ++i) {
                const QString name = row.fields[i].trimmed().toLower();
                const auto known = std::find_if(kColumns.begin(), kColumns.end(),
                                                [&](const char *c) { return name == c; });
                if (known == kColumns.end())
                    return failure(row.line, QStringLiteral("unknown column \"%1\"; the columns "
                                                            "are stop, name, arrival, departure")
                                                 .arg(row.fields[i]));
                if (at[size_t(known - kColumns.begin())] >= 0)
                    return failure(row.line, QStringLiteral("column %1 appears twice").arg(name));
                at[size_t(known - kColumns.begin())] = i;
            }
            for (Column needed : {Stop, Arrival, Departure})
                if (at[needed] < 0)
                    return failure(row.line, QStringLiteral("the first row names no column %1")
                                                 .arg(QLatin1String(kColumns[needed])));
            header = true;
            continue;
        }
        const auto field = [&](Column c) {
            return at[c] >= 0 && at[c] < row.fields.size() ? row.fields[at[c]].trimmed()
                                                           : QString();
        };
        const int expected = int(table.stops.size()) + 1;
        if (digits(field(Stop), 1, 5) != expected)
            return failure(row.line, QStringLiteral("stop \"%1\" where stop %2 was expected")
                                         .arg(field(Stop))
                                         .arg(expected));
        TimetableStop stop;
        stop.name = field(Name);
        for (Column c : {Arrival, Departure}) {
            const QString written = field(c);
            if (written.isEmpty())
                continue;
            const std::optional<qint32> time = parseServiceTime(written);
            if (!time)
                return failure(row.line,
                               QStringLiteral("\"%1\" is no time (H:MM or H:MM:SS)").arg(written));
            (c == Arrival ? stop.arrival : stop.departure) = time;
        }
        if (!stop.arrival)
            stop.arrival = stop.departure;
        if (!stop.departure)
            stop.departure = stop.arrival;
        table.stops.push_back(stop);
    }
    if (!header)
        return failure(0, QStringLiteral("no header row (stop,arrival,departure)"));
    if (table.stops.empty())
        return failure(0, QStringLiteral("no stops"));
    if (table.hasTimes()) {
        if (!table.stops.front().departure || !table.stops.back().arrival)
            return failure(0, QStringLiteral("the first and the last stop need their times"));
        qint32 last = 0;
        for (size_t i = 0; i < table.stops.size(); ++i) {
            for (const std::optional<qint32> &t :
                 {table.stops[i].arrival, table.stops[i].departure}) {
                if (t && *t < last)
                    return failure(0, QStringLiteral("the time of stop %1 is earlier than the "
                                                     "one before it")
                                          .arg(i + 1));
                last = t.value_or(last);
            }
        }
    }
    return table;
}

Result<Timetable> loadTimetable(const QString &path) {
    const Result<QByteArray> file = csv::readFile(path, kMaxTimetableBytes);
    if (!file)
        return file.error();
    Result<Timetable> table = parseTimetable(*file);
    if (!table)
        return table.error().in(path);
    return table;
}

QByteArray encodeTimetable(const Timetable &table) {
    const bool names = std::any_of(table.stops.begin(), table.stops.end(),
                                   [](const TimetableStop &s) { return !s.name.isEmpty(); });
    QString text = names ? QStringLiteral("stop,name,arrival,departure\n")
                         : QStringLiteral("stop,arrival,departure\n");
    const auto time = [](const std::optional<qint32> &t) {
        return t ? formatServiceTime(*t) : QString();
    };
    for (size_t i = 0; i < table.stops.size(); ++i) {
        const TimetableStop &s = table.stops[i];
        QStringList fields{QString::number(i + 1)};
        if (names)
            fields << csv::quoteField(s.name);
        fields << time(s.arrival) << time(s.departure);
        text += fields.join(QLatin1Char(',')) + QLatin1Char('\n');
    }
    return text.toUtf8();
}

} // namespace q47
