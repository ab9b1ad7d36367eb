#include "tapelist.h"

#include "cp932.h"

#include <cmath>

namespace q47 {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

struct Field {
    QByteArrayView bytes;
    bool unclosed = false;
};

// Reads the field at `pos` and moves `pos` past its comma; `more` tells whether one followed.
// Commas and quotes never occur inside a CP932 double-byte character, so bytes suffice.
Field nextField(QByteArrayView line, qsizetype &pos, bool &more) {
    while (pos < line.size() && isBlank(line[pos]))
        ++pos;
    Field field;
    if (pos < line.size() && line[pos] == '"') {
        const qsizetype start = pos + 1;
        const qsizetype close = line.indexOf('"', start);
        if (close < 0) {
            field.bytes = line.sliced(start);
            field.unclosed = true;
            pos = line.size();
        } else {
            field.bytes = line.sliced(start, close - start);
            pos = close + 1;
        }
        // Anything between the closing quote and the comma is not part of the field.
        const qsizetype comma = line.indexOf(',', pos);
        pos = comma < 0 ? line.size() : comma;
    } else {
        const qsizetype start = pos;
        const qsizetype comma = line.indexOf(',', pos);
        pos = comma < 0 ? line.size() : comma;
        qsizetype end = pos;
        while (end > start && isBlank(line[end - 1]))
            --end;
        field.bytes = line.sliced(start, end - start);
    }
    more = pos < line.size();
    if (more)
        ++pos;
    return field;
}

// A signed 16-bit number as a decimal text; a fraction rounds half to even.
TapeLine::Error readNumber(QByteArrayView text, qint16 &out) {
    const QByteArray trimmed = text.toByteArray().trimmed();
    if (trimmed.isEmpty()) {
        out = 0;
        return TapeLine::Error::None;
    }
    qsizetype i = 0;
    if (trimmed[0] == '+' || trimmed[0] == '-')
        ++i;
    bool digits = false;
    bool point = false;
    for (; i < trimmed.size(); ++i) {
        const char c = trimmed[i];
        if (c >= '0' && c <= '9')
            digits = true;
        else if (c == '.' && !point)
            point = true;
        else
            return TapeLine::Error::NotANumber;
    }
    if (!digits)
        return TapeLine::Error::NotANumber;
    if (trimmed.size() > 40)
        return TapeLine::Error::OutOfRange;
    const double value = std::nearbyint(trimmed.toDouble());
    if (!(value >= -32768.0 && value <= 32767.0))
        return TapeLine::Error::OutOfRange;
    out = static_cast<qint16>(value);
    return TapeLine::Error::None;
}

} // namespace

Result<> checkTapeList(QByteArrayView bytes) {
    TapeLineReader reader(bytes);
    QByteArrayView line;
    for (int number = 1; reader.next(line); ++number) {
        const TapeLine read = parseTapeLine(line, false);
        if (read.error != TapeLine::Error::None)
            return Error(Error::Kind::Invalid, QStringLiteral("field %1 is %2")
                                                   .arg(read.errorField)
                                                   .arg(read.error == TapeLine::Error::NotANumber
                                                            ? QStringLiteral("not a number")
                                                            : QStringLiteral("out of range")))
                .at(number);
    }
    return {};
}

bool TapeLineReader::next(QByteArrayView &line) {
    if (pos_ >= bytes_.size())
        return false;
    qsizetype end = pos_;
    while (end < bytes_.size() && bytes_[end] != '\r' && bytes_[end] != '\n')
        ++end;
    line = bytes_.sliced(pos_, end - pos_);
    pos_ = end;
    if (pos_ < bytes_.size() && bytes_[pos_++] == '\r' && pos_ < bytes_.size() &&
        bytes_[pos_] == '\n')
        ++pos_;
    return true;
}

TapeLineIndex::TapeLineIndex(QByteArrayView bytes) {
    TapeLineReader reader(bytes);
    QByteArrayView line;
    for (qsizetype start = 0; reader.next(line); start = reader.position()) {
        if (count_ % kStride == 0)
            sampled_.push_back(static_cast<quint32>(start));
        ++count_;
    }
}

QByteArrayView TapeLineIndex::line(QByteArrayView bytes, qsizetype index) const {
    if (index < 0 || index >= count_)
        return {};
    const qsizetype from = sampled_[static_cast<size_t>(index / kStride)];
    TapeLineReader reader(bytes.sliced(from));
    QByteArrayView line;
    for (qsizetype k = 0; k <= index % kStride; ++k)
        reader.next(line);
    return line;
}

QList<QByteArrayView> splitTapeLines(QByteArrayView bytes) {
    QList<QByteArrayView> lines;
    TapeLineReader reader(bytes);
    for (QByteArrayView line; reader.next(line);)
        lines.append(line);
    return lines;
}

TapeLine parseTapeLine(QByteArrayView cp932Line, bool withText) {
    TapeLine result;
    qsizetype pos = 0;
    bool more = true;
    const Field text = nextField(cp932Line, pos, more);
    if (withText)
        result.entry.TapeText = fromCp932(text.bytes.toByteArray());
    result.unclosedQuote = text.unclosed;
    qint16 *numbers[] = {&result.entry.TapeLink, &result.entry.TapeSound};
    for (int k = 0; k < 2 && more; ++k) {
        const Field field = nextField(cp932Line, pos, more);
        result.unclosedQuote = result.unclosedQuote || field.unclosed;
        const TapeLine::Error error = readNumber(field.bytes, *numbers[k]);
        if (error != TapeLine::Error::None) {
            result.error = error;
            result.errorField = k + 2;
            return result;
        }
    }
    while (more) {
        nextField(cp932Line, pos, more);
        ++result.extraFields;
    }
    return result;
}

QByteArray formatTapeLine(const TapeEntry &entry) {
    QByteArray text = toCp932(entry.TapeText);
    // A quote cannot be written inside a quoted field; the closest mark keeps the words.
    text.replace('"', '\'');
    return '"' + text + "\"," + QByteArray::number(entry.TapeLink) + ',' +
           QByteArray::number(entry.TapeSound);
}

QByteArray formatTapeList(const QList<TapeEntry> &entries) {
    QByteArray out;
    for (const TapeEntry &e : entries)
        out += formatTapeLine(e) + "\r\n";
    return out;
}

TapeEntryKind tapeEntryKind(qint16 link) {
    switch (link) {
    case kStepLink:
        return TapeEntryKind::Step;
    case kApproachingLink:
        return TapeEntryKind::Approaching;
    default:
        return TapeEntryKind::Plain;
    }
}

int stopEntry(int count, const std::function<qint16(int)> &linkAt, int stop, TapeEntryKind kind) {
    if (stop < 2 || kind == TapeEntryKind::Plain)
        return 0;
    int steps = 0; // step entries passed: the stop the entries now belong to is steps + 1
    for (int pos = 1; pos <= count; ++pos) {
        const TapeEntryKind here = tapeEntryKind(linkAt(pos));
        if (here == TapeEntryKind::Step && ++steps > stop - 1)
            return 0;
        if (here == kind && steps == stop - 1)
            return pos;
    }
    return 0;
}

} // namespace q47
