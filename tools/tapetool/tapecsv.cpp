#include "tapecsv.h"

#include "cp932.h"

#include <algorithm>

namespace q47::tapecsv {

namespace {

using spreadsheetcsv::decodesCleanly;
using spreadsheetcsv::isUtf8;
using spreadsheetcsv::Row;

// Unreadable problems block a conversion; the others are about the words themselves.
void add(Errors &problems, int line, const QString &message, bool unreadable = false) {
    problems.push_back(
        Error(unreadable ? Error::Kind::Invalid : Error::Kind::BadValue, message).at(line));
}

QString notHeld(const QString &text) {
    QStringList chars;
    for (const char32_t c : text.toUcs4()) {
        const QString one = QString::fromUcs4(&c, 1);
        if (c != U'?' && toCp932(one) == "?" && !chars.contains(one))
            chars.append(one);
    }
    return chars.join(QLatin1Char(' '));
}

// What the words of an entry must be, wherever they come from.
void checkText(const QString &text, int line, bool checkQuestionMarks, Errors &out) {
    if (text.trimmed().isEmpty())
        add(out, line, QStringLiteral("the text is empty, so the entry speaks nothing"));
    if (text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r')))
        add(out, line, QStringLiteral("a line break in the text: an entry is one line"));
    if (text.contains(QLatin1Char('"')))
        add(out, line,
            QStringLiteral("a double quote in the text: a list cannot hold one (use 「」 or ”)"));
    if (checkQuestionMarks && text.contains(QLatin1Char('?')))
        add(out, line,
            QStringLiteral("a '?' in the text: lists show characters lost in conversion so; "
                           "write ？ (full width) for a question mark"));
    const QString lost = notHeld(text);
    if (!lost.isEmpty())
        add(out, line, QStringLiteral("characters CP932 cannot hold: %1").arg(lost));
}

const char *fieldName(int field) {
    return field == 2 ? "link" : "sound";
}

// True when a quoted text field is followed by more than blanks before its comma: the
// reader ends the text at the second quote and drops the rest.
bool textRunsPastQuote(QByteArrayView line) {
    qsizetype i = 0;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
        ++i;
    if (i >= line.size() || line[i] != '"')
        return false;
    const qsizetype close = line.indexOf('"', i + 1);
    if (close < 0)
        return false;
    for (i = close + 1; i < line.size() && line[i] != ','; ++i)
        if (line[i] != ' ' && line[i] != '\t')
            return true;
    return false;
}

// Every row is an entry but the blank lines at the end, which editors often leave.
QList<Row> splitRows(const QString &text, Errors &problems) {
    spreadsheetcsv::Rows split = spreadsheetcsv::splitRows(text);
    if (split.unclosedQuoteLine != 0)
        add(problems, split.unclosedQuoteLine, QStringLiteral("a quoted field is not closed"),
            true);
    if (split.longLine != 0)
        add(problems, split.longLine,
            QStringLiteral("the line is longer than %1 characters")
                .arg(spreadsheetcsv::kMaxLineChars),
            true);
    while (!split.rows.isEmpty() && split.rows.last().blank())
        split.rows.removeLast();
    return split.rows;
}

// An empty link or sound is 0.
bool toInt16(const QString &s, qint16 &out) {
    if (s.isEmpty()) {
        out = 0;
        return true;
    }
    return spreadsheetcsv::toInt16(s, out);
}

bool hasDigit(const QString &s) {
    return std::any_of(s.begin(), s.end(), [](QChar c) { return c.isDigit(); });
}

} // namespace

bool ParseResult::readable() const {
    return std::none_of(problems.begin(), problems.end(),
                        [](const Error &p) { return p.what == Error::Kind::Invalid; });
}

QStringList ParseResult::messages(const QString &fileName) const {
    QStringList out;
    for (const Error &p : problems)
        out.append(p.in(fileName).text());
    return out;
}

bool cp932Holds(const QString &text) {
    return toCp932(text).count('?') == text.count(QLatin1Char('?'));
}

ParseResult parseCsv(const QByteArray &bytes, Encoding encoding) {
    ParseResult result;
    const spreadsheetcsv::Decoded decoded = spreadsheetcsv::decode(bytes, encoding);
    for (const int line : decoded.badLines)
        add(result.problems, line, QStringLiteral("bytes that are neither UTF-8 nor CP932 text"),
            true);
    const QList<Row> rows = splitRows(decoded.text, result.problems);
    for (qsizetype r = 0; r < rows.size(); ++r) {
        const Row &row = rows[r];
        // A header names its columns; a data row's link is a number or empty.
        if (r == 0 && row.fields.size() >= 2 && !row.fields[1].isEmpty() &&
            !hasDigit(row.fields[1]))
            continue;
        TapeEntry entry;
        entry.TapeText = row.fields[0];
        checkText(entry.TapeText, row.line, !decoded.badLines.contains(row.line), result.problems);
        qint16 *numbers[] = {&entry.TapeLink, &entry.TapeSound};
        for (int f = 1; f < 3 && f < row.fields.size(); ++f)
            if (!toInt16(row.fields[f], *numbers[f - 1]))
                add(result.problems, row.line,
                    QStringLiteral("the %1 \"%2\" is not a whole number from -32768 to 32767")
                        .arg(QLatin1String(fieldName(f + 1)), row.fields[f]));
        const QStringList extra = row.fields.mid(3);
        if (std::any_of(extra.begin(), extra.end(), [](const QString &s) { return !s.isEmpty(); }))
            add(result.problems, row.line,
                QStringLiteral("%1 extra fields: an entry has three (text, link, sound)")
                    .arg(extra.size()));
        result.entries.append(entry);
        result.lines.append(row.line);
    }
    std::stable_sort(result.problems.begin(), result.problems.end(),
                     [](const Error &a, const Error &b) { return a.line < b.line; });
    return result;
}

QByteArray writeCsv(const QList<TapeEntry> &entries) {
    QString out = QStringLiteral("放送文,停留所連動,前チャイム\n");
    for (const TapeEntry &e : entries)
        out += spreadsheetcsv::quoteField(e.TapeText) + QLatin1Char(',') +
               QString::number(e.TapeLink) + QLatin1Char(',') + QString::number(e.TapeSound) +
               QLatin1Char('\n');
    return spreadsheetcsv::toUtf8WithBom(out);
}

ParseResult readList(const QByteArray &bytes) {
    ParseResult result;
    // Japanese saved as UTF-8 would otherwise come out as a line of garbage per entry.
    const bool nonAscii = std::any_of(bytes.begin(), bytes.end(), [](char c) { return c & 0x80; });
    if (spreadsheetcsv::hasBom(bytes) || (nonAscii && isUtf8(bytes))) {
        add(result.problems, 1,
            QStringLiteral("the list is UTF-8 text, but the program reads CP932: convert it "
                           "with tapetool to-tp"),
            true);
        return result;
    }
    const QList<QByteArrayView> lines = splitTapeLines(bytes);
    if (lines.isEmpty())
        add(result.problems, 1,
            QStringLiteral("the list is empty, so the program switches the announcements off"),
            true);
    int number = 0;
    for (const QByteArrayView line : lines) {
        ++number;
        const TapeLine read = parseTapeLine(line);
        result.entries.append(read.entry);
        result.lines.append(number);
        auto problem = [&](const QString &message) { add(result.problems, number, message, true); };
        if (read.unclosedQuote)
            problem(QStringLiteral("a quoted field is not closed"));
        if (read.error != TapeLine::Error::None)
            problem(QStringLiteral("the %1 is %2, so the program refuses the whole list")
                        .arg(QLatin1String(fieldName(read.errorField)),
                             read.error == TapeLine::Error::NotANumber
                                 ? QStringLiteral("not a number")
                                 : QStringLiteral("out of range (-32768 to 32767)")));
        if (read.extraFields > 0)
            problem(QStringLiteral("%1 extra fields after the sound, which the program ignores")
                        .arg(read.extraFields));
        if (textRunsPastQuote(line))
            problem(QStringLiteral("a double quote inside the text: the text ends there and the "
                                   "rest is dropped"));
        const bool clean = decodesCleanly(line, fromCp932(line.toByteArray()));
        if (!clean)
            problem(QStringLiteral("bytes that are not CP932 text (read as '?')"));
        checkText(read.entry.TapeText, number, clean, result.problems);
    }
    return result;
}

QByteArray writeList(const QList<TapeEntry> &entries) {
    return formatTapeList(entries);
}

} // namespace q47::tapecsv
