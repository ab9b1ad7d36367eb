#include "routecsv.h"

#include "cp932.h"

#include <algorithm>

namespace q47::routecsv {

namespace {

using spreadsheetcsv::Row;
using spreadsheetcsv::toInt16;

QString decodeText(const QByteArray &bytes, Encoding encoding) {
    // A chosen CP932 holds even against a byte-order mark.
    if (encoding == Encoding::Cp932)
        return fromCp932(bytes);
    return spreadsheetcsv::decode(bytes, encoding).text;
}

// The rows that can be stops: empty lines and unquoted '#' comments are not.
QList<Row> stopRows(const QString &text, QStringList &errors, const QString &file) {
    spreadsheetcsv::Rows split = spreadsheetcsv::splitRows(text);
    if (split.unclosedQuoteLine != 0)
        errors.append(QStringLiteral("%1:%2: a quoted field is not closed")
                          .arg(file)
                          .arg(split.unclosedQuoteLine));
    if (split.longLine != 0)
        errors.append(QStringLiteral("%1:%2: the line is longer than %3 characters")
                          .arg(file)
                          .arg(split.longLine)
                          .arg(spreadsheetcsv::kMaxLineChars));
    split.rows.removeIf([](const Row &row) {
        return row.blank() || (!row.firstQuoted && row.fields[0].startsWith(QLatin1Char('#')));
    });
    return split.rows;
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

// The reader skips rows starting with '#', so a name starting with one is quoted too; such a
// name that needs no other quoting holds no '"' to double.
QString quoted(const QString &name) {
    const QString field = spreadsheetcsv::quoteField(name);
    if (field == name && name.startsWith(QLatin1Char('#')))
        return QLatin1Char('"') + name + QLatin1Char('"');
    return field;
}

} // namespace

ParseResult parse(const QByteArray &bytes, const QString &fileName, Encoding encoding) {
    ParseResult result;
    const QList<Row> rows = stopRows(decodeText(bytes, encoding), result.errors, fileName);
    auto error = [&](int line, int field, const QString &what) {
        result.errors.append(QStringLiteral("%1:%2:%3: %4: %5")
                                 .arg(fileName)
                                 .arg(line)
                                 .arg(field)
                                 .arg(columnName(field), what));
    };
    for (qsizetype r = 0; r < rows.size(); ++r) {
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
    return spreadsheetcsv::toUtf8WithBom(out);
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
