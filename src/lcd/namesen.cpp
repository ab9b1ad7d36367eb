#include "namesen.h"

#include "spreadsheetcsv.h"

#include <QFile>
#include <QStringList>

#include <algorithm>

namespace q47::lcd {

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
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return readEnglishNames(file.readAll());
}

QByteArray writeEnglishNames(const QHash<QString, QString> &names) {
    QStringList stops = names.keys();
    std::sort(stops.begin(), stops.end());
    QString text = QString::fromUtf8(kEnglishNamesHeader) + QLatin1Char('\n');
    for (const QString &stop : stops) {
        // Quoted, a name starting with '#' is not read as a comment.
        QString field = csv::quoteField(stop);
        if (field.startsWith(QLatin1Char('#')))
            field = QLatin1Char('"') + field + QLatin1Char('"');
        text += field + QLatin1Char(',') + csv::quoteField(names.value(stop)) + QLatin1Char('\n');
    }
    return text.toUtf8();
}

} // namespace q47::lcd
