#pragma once

#include "error.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>

// CSV as spreadsheets save it, read and written the same way by every tool.
namespace q47::spreadsheetcsv {

enum class Encoding { Detect, Utf8, Cp932 };

// The most a spreadsheet file may hold, and one line of it: far above any route, list or
// names file, far below what would strain the memory of the program reading it.
inline constexpr qint64 kMaxFileBytes = 16 * 1024 * 1024;
inline constexpr qsizetype kMaxLineChars = 1024 * 1024;

// Reads a whole spreadsheet file of at most `maxBytes`. Only ordinary files are read: a named
// pipe or a device in the file's place is refused at once. The failure says why: not an
// ordinary file, too large, the system's words.
Result<QByteArray> readFile(const QString &path, qint64 maxBytes = kMaxFileBytes);

// Spreadsheets recognise UTF-8 by its byte-order mark.
bool hasBom(QByteArrayView bytes);
QByteArray toUtf8WithBom(const QString &text);

bool isUtf8(QByteArrayView bytes);

// fromCp932 turns every byte it cannot decode into '?', and a '?' byte is never inside a
// double-byte character, so more '?' after decoding means bytes that are not CP932 text.
bool decodesCleanly(QByteArrayView cp932, const QString &decoded);

struct Decoded {
    QString text;
    QSet<int> badLines; // lines with bytes that the encoding taken does not allow
};

// A byte-order mark means UTF-8 whatever was chosen. Detect takes CP932 only for bytes that
// are CP932 and not UTF-8, nor mostly UTF-8 with a few bad bytes (those are bad lines of UTF-8
// text); otherwise UTF-8.
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
    int longLine = 0;          // the first line past kMaxLineChars, where reading stopped, or 0
};

// RFC 4180: quotes around a field let it hold commas, quotes ("") and line breaks.
Rows splitRows(const QString &text);
// The same, one row at a time, keeping none: memory stays near the text's size however many
// rows it has. `row` returns false to stop. The result holds no rows.
Rows forEachRow(const QString &text, const std::function<bool(const Row &)> &row);

// A whole number from -32768 to 32767; an empty field is none.
bool toInt16(const QString &text, qint16 &out);

// The field quoted where a reader would otherwise split it or trim its blanks.
QString quoteField(const QString &field);

} // namespace q47::spreadsheetcsv
