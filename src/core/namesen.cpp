#include "namesen.h"

#include "logging.h"
#include "regularfile.h"
#include "spreadsheetcsv.h"

#include <QStringList>
#include <QVarLengthArray>

#include <algorithm>
#include <optional>

namespace q47 {

namespace csv = q47::spreadsheetcsv;

QLatin1StringView nameLanguageTag(NameLanguage language) {
    switch (language) {
    case NameLanguage::Kana:
        return QLatin1StringView("ja-Hrkt");
    case NameLanguage::English:
        return QLatin1StringView("en");
    case NameLanguage::ChineseHans:
        return QLatin1StringView("zh-Hans");
    case NameLanguage::ChineseHant:
        return QLatin1StringView("zh-Hant");
    case NameLanguage::Korean:
        return QLatin1StringView("ko");
    }
    return {};
}

std::optional<NameLanguage> nameLanguageOf(QStringView tag) {
    const QStringList parts = tag.trimmed()
                                  .toString()
                                  .toLower()
                                  .replace(QLatin1Char('_'), QLatin1Char('-'))
                                  .split(QLatin1Char('-'));
    const QString &primary = parts.front();
    const auto has = [&parts](std::initializer_list<const char *> subtags) {
        for (qsizetype i = 1; i < parts.size(); ++i)
            for (const char *s : subtags)
                if (parts[i] == QLatin1StringView(s))
                    return true;
        return false;
    };
    // A script subtag has four letters; a region two letters or three digits.
    const auto hasScript = [&parts] {
        return std::any_of(parts.cbegin() + 1, parts.cend(),
                           [](const QString &p) { return p.size() == 4 && p.front().isLetter(); });
    };
    if (primary == QLatin1StringView("ja"))
        return has({"hrkt", "kana", "hira"}) ? std::optional(NameLanguage::Kana) : std::nullopt;
    if (primary == QLatin1StringView("en"))
        return NameLanguage::English;
    if (primary == QLatin1StringView("ko"))
        return NameLanguage::Korean;
    if (primary != QLatin1StringView("zh"))
        return std::nullopt;
    if (has({"hans"}))
        return NameLanguage::ChineseHans;
    if (has({"hant"}))
        return NameLanguage::ChineseHant;
    if (hasScript())
        return std::nullopt;
    if (has({"tw", "hk", "mo"}))
        return NameLanguage::ChineseHant;
    return NameLanguage::ChineseHans;
}

void NameForms::overlay(const NameForms &over) {
    for (size_t i = 0; i < text.size(); ++i)
        if (!over.text[i].isEmpty())
            text[i] = over.text[i];
}

namespace {

// One field of a row as it stands in the file: without its quotes, "" not yet undone.
struct FieldSpan {
    QByteArrayView raw;
    bool quoted = false;
};

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

QByteArrayView trimmed(QByteArrayView v) {
    while (!v.isEmpty() && isBlank(v.front()))
        v = v.sliced(1);
    while (!v.isEmpty() && isBlank(v.back()))
        v.chop(1);
    return v;
}

// The field's bytes as its text: quoted ones as written with "" undone, the others trimmed.
// Points into the file unless a quote had to be undone.
QByteArray fieldBytes(const FieldSpan &field) {
    const QByteArrayView v = field.quoted ? field.raw : trimmed(field.raw);
    QByteArray bytes = QByteArray::fromRawData(v.data(), v.size());
    if (field.quoted && v.contains("\"\""))
        bytes.replace("\"\"", "\"");
    return bytes;
}

// Calls each(index, field) for every field of the row starting at `pos`; returns where the
// next row starts. A quote left open runs to the end of the file.
template <typename Each> qsizetype scanRow(QByteArrayView bytes, qsizetype pos, Each &&each) {
    const qsizetype n = bytes.size();
    for (int index = 0;; ++index) {
        FieldSpan field;
        const auto toDelimiter = [&] {
            while (pos < n && bytes[pos] != ',' && bytes[pos] != '\n')
                ++pos;
        };
        if (pos < n && bytes[pos] == '"') {
            const qsizetype start = ++pos;
            while (pos < n && !(bytes[pos] == '"' && (pos + 1 >= n || bytes[pos + 1] != '"')))
                pos += bytes[pos] == '"' ? 2 : 1;
            field = {bytes.sliced(start, pos - start), true};
            toDelimiter(); // what follows the closing quote is not part of the field
        } else {
            const qsizetype start = pos;
            toDelimiter();
            field = {bytes.sliced(start, pos - start), false};
        }
        each(index, field);
        if (pos >= n)
            return n;
        if (bytes[pos++] == '\n')
            return pos;
    }
}

// Calls each(start, name) for every row that is neither blank nor a comment, in file order:
// where it starts and its first field.
template <typename Each> void forEachRow(QByteArrayView bytes, Each &&each) {
    qsizetype pos = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (pos < bytes.size()) {
        const qsizetype start = pos;
        FieldSpan first;
        int fields = 0;
        pos = scanRow(bytes, pos, [&](int index, const FieldSpan &field) {
            if (index == 0)
                first = field;
            ++fields;
        });
        const QByteArray name = fieldBytes(first);
        if ((fields == 1 && name.isEmpty()) || (!first.quoted && name.startsWith('#')))
            continue;
        each(start, name);
    }
}

size_t nameHash(QByteArrayView name) {
    return qHash(name, 0);
}

} // namespace

NameTable NameTable::fromNamesFile(QByteArray bytes) {
    NameTable table;
    table.bytes_ = std::move(bytes);
    bool header = true;
    table.rows_.reserve(size_t(table.bytes_.count('\n')) + 1);
    forEachRow(table.bytes_, [&table, &header](qsizetype start, const QByteArray &name) {
        if (!header) {
            table.rows_.emplace_back(nameHash(name), start);
            return;
        }
        header = false;
        scanRow(table.bytes_, start, [&table](int index, const FieldSpan &field) {
            const QString tag = QString::fromUtf8(fieldBytes(field)).trimmed();
            for (int l = 0; l < kNameLanguages && index > 0; ++l) {
                int &column = table.columns_[size_t(l)];
                if (column < 0 &&
                    tag.compare(nameLanguageTag(NameLanguage(l)), Qt::CaseInsensitive) == 0)
                    column = index;
            }
        });
    });
    if (std::all_of(table.columns_.begin(), table.columns_.end(), [](int c) { return c < 0; }))
        return {};
    std::sort(table.rows_.begin(), table.rows_.end());
    return table;
}

NameTable NameTable::fromEnglishNames(QByteArray bytes) {
    NameTable table;
    table.bytes_ = std::move(bytes);
    table.columns_[size_t(NameLanguage::English)] = 1;
    const QByteArray headerName = QByteArray(kEnglishNamesHeader).split(',').constFirst();
    bool first = true;
    table.rows_.reserve(size_t(table.bytes_.count('\n')) + 1);
    forEachRow(table.bytes_, [&](qsizetype start, const QByteArray &name) {
        if (!std::exchange(first, false) && name == headerName)
            return;
        table.rows_.emplace_back(nameHash(name), start);
    });
    std::sort(table.rows_.begin(), table.rows_.end());
    return table;
}

namespace {

// The bytes of a names file, or nothing, logged: the names are then not known.
std::optional<QByteArray> readNamesFile(const QString &path) {
    Result<QByteArray> read = readRegularFile(path, NameTable::kMaxBytes);
    if (read)
        return std::move(*read);
    if (!path.isEmpty())
        logPassedOver(logLcd, read.error());
    return std::nullopt;
}

} // namespace

NameTable NameTable::loadNamesFile(const QString &path) {
    std::optional<QByteArray> bytes = readNamesFile(path);
    return bytes ? fromNamesFile(std::move(*bytes)) : NameTable();
}

NameTable NameTable::loadEnglishNames(const QString &path) {
    std::optional<QByteArray> bytes = readNamesFile(path);
    return bytes ? fromEnglishNames(std::move(*bytes)) : NameTable();
}

NameForms NameTable::lookUp(const QString &name) const {
    NameForms forms;
    const QByteArray key = name.trimmed().toUtf8();
    const size_t hash = nameHash(key);
    auto at = std::lower_bound(rows_.begin(), rows_.end(), std::pair<size_t, qsizetype>(hash, 0));
    for (; at != rows_.end() && at->first == hash; ++at) {
        QVarLengthArray<FieldSpan, 8> fields;
        scanRow(bytes_, at->second,
                [&fields](int, const FieldSpan &field) { fields.append(field); });
        if (fieldBytes(fields[0]) != key)
            continue;
        for (int l = 0; l < kNameLanguages; ++l) {
            const int column = columns_[size_t(l)];
            if (column < 0 || column >= fields.size())
                continue;
            const QString text = QString::fromUtf8(fieldBytes(fields[column])).trimmed();
            if (!text.isEmpty())
                forms.text[size_t(l)] = text;
        }
    }
    return forms;
}

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
    const Result<QByteArray> read = readRegularFile(path, kMaxEnglishNamesBytes);
    return read ? readEnglishNames(*read) : QHash<QString, QString>();
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

std::optional<QByteArray> addStopNames(const QByteArray &existing,
                                       const QList<std::pair<QString, NameForms>> &names) {
    QByteArray out = existing;
    const bool empty = out.trimmed().isEmpty() || out.trimmed() == "\xEF\xBB\xBF";
    const QByteArray eol = existing.contains("\r\n") ? "\r\n" : "\n";
    std::array<int, kNameLanguages> columns{-1, -1, -1, -1, -1};
    int fields = 1;
    NameTable known;
    if (empty) {
        out.clear();
        QStringList header{QStringLiteral("name")};
        for (int l = 0; l < kNameLanguages; ++l) {
            columns[size_t(l)] = l + 1;
            header.append(nameLanguageTag(NameLanguage(l)));
        }
        fields = kNameLanguages + 1;
        out = header.join(QLatin1Char(',')).toUtf8() + eol;
    } else {
        known = NameTable::fromNamesFile(existing);
        if (known.columns_ == decltype(known.columns_){-1, -1, -1, -1, -1})
            return std::nullopt;
        columns = known.columns_;
        // The header's own fields, and where its line ends, for the columns it lacks.
        qsizetype headerEnd = -1;
        forEachRow(QByteArrayView(existing), [&](qsizetype start, const QByteArray &) {
            if (headerEnd >= 0)
                return;
            fields = 0;
            headerEnd = scanRow(existing, start, [&](int, const FieldSpan &) { ++fields; });
        });
        while (headerEnd > 0 &&
               (existing[headerEnd - 1] == '\n' || existing[headerEnd - 1] == '\r'))
            --headerEnd;
        QByteArray added;
        for (int l = 0; l < kNameLanguages; ++l)
            if (columns[size_t(l)] < 0) {
                columns[size_t(l)] = fields++;
                added += ',' + QByteArray(nameLanguageTag(NameLanguage(l)).data());
            }
        out.insert(headerEnd, added);
        if (!out.endsWith('\n'))
            out += eol;
    }
    QByteArray rows;
    QSet<QString> written;
    for (const auto &[name, forms] : names) {
        const QString stop = name.trimmed();
        if (stop.isEmpty() || written.contains(stop))
            continue;
        const NameForms before = known.lookUp(stop);
        NameForms after = before;
        after.overlay(forms);
        if (after == before)
            continue;
        written.insert(stop);
        QStringList cells(fields);
        cells[0] = nameLine(stop, {}, {}).chopped(1);
        for (int l = 0; l < kNameLanguages; ++l)
            cells[columns[size_t(l)]] = csv::quoteField(forms.text[size_t(l)].trimmed());
        rows += cells.join(QLatin1Char(',')).toUtf8() + eol;
    }
    if (rows.isEmpty())
        return existing;
    return out + rows;
}

} // namespace q47
