#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

// CSV as spreadsheets save it, read and written the same way by every tool.
namespace q47::spreadsheetcsv {

enum class Encoding { Detect, Utf8, Cp932 };

// Spreadsheets recognise UTF-8 by its byte-order mark.
bool hasBom(QByteArrayView bytes);
QByteArray toUtf8WithBom(const QString &text);

bool isUtf8(QByteArrayView bytes);

// fromCp932 turns every byte it cannot decode into '?', and a '?' byte is never inside a
// double-byte character, so more '?' after decoding means bytes that are not CP932 text.
bool decodesCleanly(QByteArrayView cp932, const QString &decoded);

struct Decoded {
    QString text;
    QSet<int> badLines; // lines with bytes that are neither UTF-8 nor CP932
};

// A byte-order mark means UTF-8 whatever was chosen; Detect takes UTF-8 when the bytes are
// valid UTF-8 and CP932 otherwise.
Decoded decode(const QByteArray &bytes, Encoding encoding);

struct Row {
    int line = 0;             // the line the row starts on
    QStringList fields;       // quoted fields as written, the others trimmed
    bool firstQuoted = false; // so that a quoted "#..." is not taken for a comment

    // An empty line, or one holding nothing but "".
    bool blank() const { return fields == QStringList{QString()}; }
};

struct Rows {
    QList<Row> rows;           // every row, blank ones too
    int unclosedQuoteLine = 0; // the line of the row whose quote runs to the end, or 0
};

// RFC 4180: quotes around a field let it hold commas, quotes ("") and line breaks.
Rows splitRows(const QString &text);

// A whole number from -32768 to 32767; an empty field is none.
bool toInt16(const QString &text, qint16 &out);

// The field quoted where a reader would otherwise split it or trim its blanks.
QString quoteField(const QString &field);

} // namespace q47::spreadsheetcsv
