#include "spreadsheetcsv.h"

#include "cp932.h"
#include "regularfile.h"
#include "textencoding.h"

#include <QStringDecoder>

namespace q47::spreadsheetcsv {

namespace {

const QByteArray kBom("\xEF\xBB\xBF");

} // namespace

bool hasBom(QByteArrayView bytes) {
    return bytes.startsWith(kBom);
}

QByteArray toUtf8WithBom(const QString &text) {
    return kBom + text.toUtf8();
}

Result<QByteArray> readFile(const QString &path, qint64 maxBytes) {
    return readRegularFile(path, maxBytes);
}

bool isUtf8(QByteArrayView bytes) {
    EncodingScan scan;
    scan.add(bytes);
    scan.finish();
    return scan.utf8();
}

bool decodesCleanly(QByteArrayView cp932, const QString &decoded) {
    return decoded.count(QLatin1Char('?')) == cp932.count('?');
}

namespace {

// Line by line, so that bytes the encoding does not allow are reported where they are; LF
// never occurs inside a CP932 or UTF-8 character.
Decoded decodeLines(QByteArrayView bytes, bool cp932) {
    Decoded d;
    d.text.reserve(bytes.size());
    int number = 1;
    for (qsizetype start = 0; start <= bytes.size(); ++number) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            end = bytes.size();
        const QByteArrayView line = bytes.sliced(start, end - start);
        bool clean = true;
        if (cp932) {
            const QString text = fromCp932(line.toByteArray());
            clean = decodesCleanly(line, text);
            d.text += text;
        } else {
            clean = isUtf8(line);
            d.text += QString::fromUtf8(line);
        }
        if (!clean)
            d.badLines.insert(number);
        if (end < bytes.size())
            d.text += QLatin1Char('\n');
        start = end + 1;
    }
    return d;
}

} // namespace

Decoded decode(const QByteArray &bytes, Encoding encoding) {
    if (hasBom(bytes))
        return decodeLines(QByteArrayView(bytes).sliced(kBom.size()), false);
    if (encoding == Encoding::Cp932)
        return decodeLines(bytes, true);
    EncodingScan scan;
    scan.add(bytes);
    scan.finish();
    if (scan.utf8())
        return {QString::fromUtf8(bytes), {}};
    return decodeLines(bytes, encoding == Encoding::Detect && scan.isCp932Text());
}

Rows splitRows(const QString &text) {
    QList<Row> rows;
    Rows out = forEachRow(text, [&rows](const Row &row) {
        rows.append(row);
        return true;
    });
    out.rows = std::move(rows);
    return out;
}

Rows forEachRow(const QString &text, const std::function<bool(const Row &)> &take) {
    Rows out;
    Row row{1, {}, false};
    qsizetype lineStart = 0;
    QString field;
    bool quoted = false, wasQuoted = false;
    bool blank = true; // the field holds only white space so far, so a quote may open it
    int line = 1;
    auto endField = [&] {
        if (row.fields.isEmpty())
            row.firstQuoted = wasQuoted;
        row.fields.append(wasQuoted ? field : field.trimmed());
        field.clear();
        wasQuoted = false;
        blank = true;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (i - lineStart > kMaxLineChars) {
            out.longLine = line;
            return out;
        }
        if (c == QLatin1Char('\n'))
            lineStart = i + 1;
        if (quoted) {
            if (c == QLatin1Char('"') && i + 1 < text.size() && text[i + 1] == QLatin1Char('"')) {
                field += c;
                ++i;
            } else if (c == QLatin1Char('"')) {
                quoted = false;
                blank = field.trimmed().isEmpty();
            } else {
                line += c == QLatin1Char('\n');
                field += c;
            }
        } else if (c == QLatin1Char('"') && blank) {
            quoted = wasQuoted = true;
            field.clear();
        } else if (c == QLatin1Char(',')) {
            endField();
        } else if (c == QLatin1Char('\n')) {
            endField();
            if (!take(row))
                return out;
            row = {++line, {}, false};
        } else if (c != QLatin1Char('\r')) {
            field += c;
            blank = blank && c.isSpace();
        }
    }
    if (quoted)
        out.unclosedQuoteLine = row.line;
    if (!field.isEmpty() || wasQuoted || !row.fields.isEmpty()) {
        endField();
        take(row);
    }
    return out;
}

bool toInt16(const QString &text, qint16 &out) {
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok || v < -32768 || v > 32767)
        return false;
    out = static_cast<qint16>(v);
    return true;
}

QString quoteField(const QString &field) {
    const bool needs = field.contains(QLatin1Char(',')) || field.contains(QLatin1Char('"')) ||
                       field.contains(QLatin1Char('\n')) || field.contains(QLatin1Char('\r')) ||
                       field != field.trimmed();
    if (!needs)
        return field;
    QString e = field;
    e.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + e + QLatin1Char('"');
}

} // namespace q47::spreadsheetcsv
