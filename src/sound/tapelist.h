#pragma once

#include "error.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <functional>
#include <vector>

namespace q47 {

// What an entry's link number makes of it. A list is read in the order of the route's stops:
// the k-th entry linked to the step announces the way to stop k + 1 ("次は…"), and an entry
// marked as approaching after it, before the next linked one, is that stop's "まもなく" entry,
// spoken in the last moments before the bus arrives. Every other number is a plain entry, so
// that a reader that knows only the step link takes an approaching entry for a plain one.
enum class TapeEntryKind {
    Plain,
    Step,        // stepping onto it steps the stop too
    Approaching, // "まもなく、<stop>です。"
};
inline constexpr qint16 kStepLink = 1;
inline constexpr qint16 kApproachingLink = 2;
TapeEntryKind tapeEntryKind(qint16 link);

// The entry (1-based) of `kind` that belongs to `stop` (1-based) in a list of `count` entries
// whose links `linkAt(1 .. count)` gives: the step entry announcing the way to the stop, or its
// approaching entry; 0 when the list has none (the first stop has neither).
int stopEntry(int count, const std::function<qint16(int)> &linkAt, int stop, TapeEntryKind kind);

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

// The lines of a list one after the other, without their line ends.
class TapeLineReader {
public:
    explicit TapeLineReader(QByteArrayView bytes) : bytes_(bytes) {}
    // Where the next line begins.
    qsizetype position() const { return pos_; }
    // False after the last line.
    bool next(QByteArrayView &line);

private:
    QByteArrayView bytes_;
    qsizetype pos_ = 0;
};

// Where the lines of a list begin, for a list kept whole in memory. Only every kStride-th
// start is kept, so that a list of bare line ends costs a sixteenth of its size besides its
// bytes; finding a line skips at most kStride - 1 lines from the nearest kept start.
class TapeLineIndex {
public:
    static constexpr qsizetype kStride = 64;

    TapeLineIndex() = default;
    explicit TapeLineIndex(QByteArrayView bytes);

    qsizetype count() const { return count_; }
    // Line `index` (0-based) of the bytes the index was made from, without its line end.
    QByteArrayView line(QByteArrayView bytes, qsizetype index) const;

private:
    std::vector<quint32> sampled_; // the start of lines 0, kStride, 2 kStride, ...
    qsizetype count_ = 0;
};

// The three comma-separated fields of a CP932 line. A field may be enclosed in double
// quotes and then hold commas; leading spaces are skipped; the two numbers are signed 16-bit
// decimals (an empty number is 0). A line may leave out trailing fields. Without `withText`
// the words are left empty, for a reader that only checks the numbers.
TapeLine parseTapeLine(QByteArrayView cp932Line, bool withText = true);

// Every line of a list, checked for its numbers: nothing, or the first line that does not read
// (Invalid, with its line and field).
Result<> checkTapeList(QByteArrayView bytes);

// The line as a list stores it: text quoted, numbers plain, without the line end.
QByteArray formatTapeLine(const TapeEntry &entry);
// A whole list as the program reads it: the lines, each ended by CR LF.
QByteArray formatTapeList(const QList<TapeEntry> &entries);

} // namespace q47
