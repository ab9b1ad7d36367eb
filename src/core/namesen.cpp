#include "namesen.h"

#include "regularfile.h"
#include "spreadsheetcsv.h"

#include <QStringList>

#include <algorithm>

namespace q47 {

namespace csv = q47::spreadsheetcsv;

QHash<QString, QString> readEnglishNames(const QByteArray &bytes) {
    const QString header = QString::fromUtf8(kEnglishNamesHeader);
    const QString headerName = header.section(QLatin1Char(','), 0, 0);
    const csv::Rows rows = csv::splitRows(csv::decode(bytes, csv::Encoding::Utf8).text);
    QHash<QString, QString> names;
    bool first = true;
    for (const csv::Row &row : rows.rows) {
        if (row.blank())
            continue;
        const QString name = row.fields.value(0);
        const bool isHeader = first && name == headerName;
        first = false;
        if (isHeader || (!row.firstQuoted && name.startsWith(QLatin1Char('#'))))
            continue;
        const QString english = row.fields.value(1).trimmed();
        if (!name.isEmpty() && !english.isEmpty())
            names.insert(name, english);
    }
    return names;
}

QHash<QString, QString> loadEnglishNames(const QString &path) {
    const RegularFileRead read = readRegularFile(path, kMaxEnglishNamesBytes);
    return read ? readEnglishNames(read.bytes) : QHash<QString, QString>();
}

namespace {

QString nameLine(const QString &stop, const QString &english, const QString &eol) {
    // Quoted, a name starting with '#' is not read as a comment.
    QString field = csv::quoteField(stop);
    if (field.startsWith(QLatin1Char('#')))
        field = QLatin1Char('"') + field + QLatin1Char('"');
    return field + QLatin1Char(',') + csv::quoteField(english) + eol;
}

} // namespace

QByteArray writeEnglishNames(const QHash<QString, QString> &names) {
    QStringList stops = names.keys();
    std::sort(stops.begin(), stops.end());
    const QString eol = QStringLiteral("\n");
    QString text = QString::fromUtf8(kEnglishNamesHeader) + eol;
    for (const QString &stop : stops)
        text += nameLine(stop, names.value(stop), eol);
    return text.toUtf8();
}

QByteArray addEnglishNames(const QByteArray &existing,
                           const QList<std::pair<QString, QString>> &names) {
    const QHash<QString, QString> known = readEnglishNames(existing);
    const QString eol = existing.contains("\r\n") ? QStringLiteral("\r\n") : QStringLiteral("\n");
    QString added;
    for (const auto &[stop, english] : names)
        if (!stop.isEmpty() && !english.trimmed().isEmpty() &&
            known.value(stop) != english.trimmed())
            added += nameLine(stop, english.trimmed(), eol);
    if (added.isEmpty())
        return existing;
    QByteArray out = existing;
    if (out.trimmed().isEmpty())
        out = QByteArray(kEnglishNamesHeader) + eol.toUtf8();
    else if (!out.endsWith('\n'))
        out += eol.toUtf8();
    return out + added.toUtf8();
}

} // namespace q47
