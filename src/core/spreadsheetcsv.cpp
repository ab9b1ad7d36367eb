#include "spreadsheetcsv.h"

#include "cp932.h"

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

bool isUtf8(QByteArrayView bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    return !utf8.hasError();
}

bool decodesCleanly(QByteArrayView cp932, const QString &decoded) {
    return decoded.count(QLatin1Char('?')) == cp932.count('?');
}

Decoded decode(const QByteArray &bytes, Encoding encoding) {
    Decoded d;
    if (hasBom(bytes)) {
        d.text = QString::fromUtf8(bytes.mid(kBom.size()));
        return d;
    }
    if (encoding == Encoding::Utf8 || (encoding == Encoding::Detect && isUtf8(bytes))) {
        d.text = QString::fromUtf8(bytes);
        return d;
    }
    // Line by line, so that undecodable bytes are reported where they are; LF never occurs
    // inside a CP932 character.
    const QList<QByteArray> lines = bytes.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = fromCp932(lines[i]);
        if (!decodesCleanly(lines[i], line))
            d.badLines.insert(static_cast<int>(i + 1));
        d.text += line;
        if (i + 1 < lines.size())
            d.text += QLatin1Char('\n');
    }
    return d;
}

Rows splitRows(const QString &text) {
    Rows out;
    Row row{1, {}, false};
    QString field;
    bool quoted = false, wasQuoted = false;
    int line = 1;
    auto endField = [&] {
        if (row.fields.isEmpty())
            row.firstQuoted = wasQuoted;
        row.fields.append(wasQuoted ? field : field.trimmed());
        field.clear();
        wasQuoted = false;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == QLatin1Char('"') && i + 1 < text.size() && text[i + 1] == QLatin1Char('"')) {
                field += c;
                ++i;
            } else if (c == QLatin1Char('"')) {
                quoted = false;
            } else {
                line += c == QLatin1Char('\n');
                field += c;
            }
        } else if (c == QLatin1Char('"') && field.trimmed().isEmpty()) {
            quoted = wasQuoted = true;
            field.clear();
        } else if (c == QLatin1Char(',')) {
            endField();
        } else if (c == QLatin1Char('\n')) {
            endField();
            out.rows.append(row);
            row = {++line, {}, false};
        } else if (c != QLatin1Char('\r')) {
            field += c;
        }
    }
    if (quoted)
        out.unclosedQuoteLine = row.line;
    if (!field.isEmpty() || wasQuoted || !row.fields.isEmpty()) {
        endField();
        out.rows.append(row);
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
