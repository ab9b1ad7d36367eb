#include "routecsv.h"

#include "cp932.h"

#include <QStringDecoder>

#include <algorithm>

namespace q47::routecsv {

namespace {

QString decode(const QByteArray &bytes, Encoding encoding) {
    static const QByteArray bom("\xEF\xBB\xBF");
    if (encoding == Encoding::Cp932)
        return fromCp932(bytes);
    if (bytes.startsWith(bom))
        return QString::fromUtf8(bytes.mid(3));
    if (encoding == Encoding::Utf8)
        return QString::fromUtf8(bytes);
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    return utf8.hasError() ? fromCp932(bytes) : text;
}

struct Row {
    int line;
    QStringList fields;
};

// RFC 4180 fields: quotes around a field let it hold commas, quotes ("") and line breaks.
std::vector<Row> splitRows(const QString &text, QStringList &errors, const QString &file) {
    std::vector<Row> rows;
    QStringList fields;
    QString field;
    bool quoted = false, wasQuoted = false, firstQuoted = false;
    int line = 1, rowLine = 1;
    auto endField = [&] {
        if (fields.isEmpty())
            firstQuoted = wasQuoted;
        fields.append(wasQuoted ? field : field.trimmed());
        field.clear();
        wasQuoted = false;
    };
    auto endRow = [&] {
        endField();
        const bool blank = fields.size() == 1 && fields[0].isEmpty();
        const bool comment = !firstQuoted && fields[0].startsWith(QLatin1Char('#'));
        if (!blank && !comment)
            rows.push_back({rowLine, fields});
        fields.clear();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < text.size() && text[i + 1] == QLatin1Char('"')) {
                    field += c;
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                if (c == QLatin1Char('\n'))
                    ++line;
                field += c;
            }
        } else if (c == QLatin1Char('"') && field.trimmed().isEmpty()) {
            quoted = wasQuoted = true;
            field.clear();
        } else if (c == QLatin1Char(',')) {
            endField();
        } else if (c == QLatin1Char('\n')) {
            endRow();
            rowLine = ++line;
        } else if (c != QLatin1Char('\r')) {
            field += c;
        }
    }
    if (quoted)
        errors.append(QStringLiteral("%1:%2: a quoted field is not closed").arg(file).arg(rowLine));
    if (!field.isEmpty() || !fields.isEmpty())
        endRow();
    return rows;
}

bool toInt16(const QString &s, qint16 &out) {
    bool ok = false;
    const int v = s.toInt(&ok);
    if (!ok || v < -32768 || v > 32767)
        return false;
    out = static_cast<qint16>(v);
    return true;
}

QString columnName(int field) {
    if (field == 1)
        return QStringLiteral("stop name");
    if (field == 2)
        return QStringLiteral("ticket number");
    const int col = field - 2;
    return col <= kFareCells ? QStringLiteral("column %1 (fare for ticket %1)").arg(col)
                             : QStringLiteral("column %1").arg(col);
}

QString quoted(const QString &s) {
    const bool needs = s.contains(QLatin1Char(',')) || s.contains(QLatin1Char('"')) ||
                       s.contains(QLatin1Char('\n')) || s.contains(QLatin1Char('\r')) ||
                       s != s.trimmed() || s.startsWith(QLatin1Char('#'));
    if (!needs)
        return s;
    QString e = s;
    e.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + e + QLatin1Char('"');
}

} // namespace

ParseResult parse(const QByteArray &bytes, const QString &fileName, Encoding encoding) {
    ParseResult result;
    const std::vector<Row> rows = splitRows(decode(bytes, encoding), result.errors, fileName);
    auto error = [&](int line, int field, const QString &what) {
        result.errors.append(QStringLiteral("%1:%2:%3: %4: %5")
                                 .arg(fileName)
                                 .arg(line)
                                 .arg(field)
                                 .arg(columnName(field), what));
    };
    for (size_t r = 0; r < rows.size(); ++r) {
        const Row &row = rows[r];
        qint16 seiri = 0;
        if (r == 0 && (row.fields.size() < 2 || !toInt16(row.fields[1], seiri)))
            continue; // header
        if (row.fields.size() > 2 + kDataColumns) {
            error(row.line, 3 + kDataColumns,
                  QStringLiteral("a stop has at most %1 data columns, this row has %2")
                      .arg(kDataColumns)
                      .arg(row.fields.size() - 2));
            continue;
        }
        StopRecord stop;
        stop.StopName = row.fields[0];
        if (fromCp932(toCp932(stop.StopName)) != stop.StopName)
            error(row.line, 1,
                  QStringLiteral("\"%1\" has characters that the board's character set (CP932) "
                                 "cannot hold")
                      .arg(stop.StopName));
        if (toCp932(stop.StopName).size() > 32767)
            error(row.line, 1, QStringLiteral("the name is too long"));
        for (int f = 1; f < row.fields.size(); ++f) {
            qint16 v = 0;
            const QString &text = row.fields[f];
            if (text.isEmpty())
                continue; // an empty cell is 0, as a missing one
            if (!toInt16(text, v)) {
                error(
                    row.line, f + 1,
                    QStringLiteral("\"%1\" is not a whole number from -32768 to 32767").arg(text));
                continue;
            }
            if (f == 1)
                stop.SeiriNo = v;
            else
                stop.setDataCol(f - 1, v);
        }
        result.stops.push_back(stop);
    }
    if (result.stops.empty() && result.errors.isEmpty())
        result.errors.append(QStringLiteral("%1: the route has no stops").arg(fileName));
    if (result.stops.size() > static_cast<size_t>(kRouteSlots))
        result.errors.append(QStringLiteral("%1:%2: a route has at most %3 stops, this one has %4")
                                 .arg(fileName)
                                 .arg(rows.back().line)
                                 .arg(kRouteSlots)
                                 .arg(result.stops.size()));
    return result;
}

QByteArray write(const std::vector<StopRecord> &stops) {
    int columns = kFareCells;
    for (const StopRecord &s : stops)
        for (int k = kDataColumns; k > columns; --k)
            if (s.DataCol(k) != 0) {
                columns = k;
                break;
            }
    QString out;
    out += QStringLiteral("停留所名,整理券番号");
    for (int k = 1; k <= columns; ++k)
        out += (k <= kFareCells ? QStringLiteral(",運賃%1") : QStringLiteral(",列%1")).arg(k);
    out += QLatin1Char('\n');
    for (const StopRecord &s : stops) {
        out += quoted(s.StopName) + QLatin1Char(',') + QString::number(s.SeiriNo);
        for (int k = 1; k <= columns; ++k)
            out += QLatin1Char(',') + QString::number(s.DataCol(k));
        out += QLatin1Char('\n');
    }
    return QByteArray("\xEF\xBB\xBF") + out.toUtf8();
}

QStringList check(const QByteArray &hy3, const QString &fileName) {
    QStringList problems;
    const RouteFileContents c = decodeRouteFile(hy3);
    switch (c.status) {
    case RouteFileContents::Status::NegativeCount:
        problems.append(
            QStringLiteral("%1: the stop count is negative (%2)").arg(fileName).arg(c.count));
        return problems;
    case RouteFileContents::Status::TooManyRecords:
        problems.append(QStringLiteral("%1: %2 stops, the board holds at most %3")
                            .arg(fileName)
                            .arg(c.count)
                            .arg(kRouteSlots));
        return problems;
    case RouteFileContents::Status::Truncated:
        problems.append(QStringLiteral("%1: the file ends inside stop %2 of %3 (%4 bytes in all)")
                            .arg(fileName)
                            .arg(c.recordsRead + 1)
                            .arg(c.count)
                            .arg(hy3.size()));
        return problems;
    case RouteFileContents::Status::Ok:
        break;
    }
    if (c.count == 0)
        problems.append(QStringLiteral("%1: the route has no stops").arg(fileName));
    else if (c.count == 1)
        problems.append(
            QStringLiteral("%1: a route needs at least two stops to be set").arg(fileName));
    const QByteArray again = encodeRouteFile(c.stops);
    if (again.size() < hy3.size())
        problems.append(QStringLiteral("%1: %2 bytes after the last stop")
                            .arg(fileName)
                            .arg(hy3.size() - again.size()));
    return problems;
}

} // namespace q47::routecsv
