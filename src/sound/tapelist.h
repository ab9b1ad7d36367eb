#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

namespace q47 {

// One announcement: the words, whether stepping onto it steps the stop too (1), and which
// pre-announcement sound goes before it (1 to 3).
struct TapeEntry {
    QString TapeText;
    qint16 TapeLink = 0;
    qint16 TapeSound = 0;

    bool operator==(const TapeEntry &) const = default;
};

// What reading one line of a list found.
struct TapeLine {
    enum class Error { None, NotANumber, OutOfRange };

    TapeEntry entry;
    // The field (1 to 3) whose number could not be read; the fields before it are in `entry`.
    Error error = Error::None;
    int errorField = 0;
    bool unclosedQuote = false; // a quoted field ran to the end of the line
    int extraFields = 0;        // fields after the third, which are ignored
};

// Lines of an announcement list: CR LF, CR or LF ends a line, and text after the last line
// end is a line of its own. Lists written on Windows and those edited here both read.
QList<QByteArrayView> splitTapeLines(QByteArrayView bytes);

// The three comma-separated fields of a CP932 line. A field may be enclosed in double
// quotes and then hold commas; leading spaces are skipped; the two numbers are signed 16-bit
// decimals (an empty number is 0). A line may leave out trailing fields.
TapeLine parseTapeLine(QByteArrayView cp932Line);

// The line as a list stores it: text quoted, numbers plain, without the line end.
QByteArray formatTapeLine(const TapeEntry &entry);
// A whole list as the program reads it: the lines, each ended by CR LF.
QByteArray formatTapeList(const QList<TapeEntry> &entries);

} // namespace q47
