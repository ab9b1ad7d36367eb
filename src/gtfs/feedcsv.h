#pragma once

#include "feedsource.h"
#include "textencoding.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QString>

#include <memory>
#include <vector>

namespace q47::gtfs {

enum class TextEncoding { Utf8, Cp932 };

// A record (a line, or the lines a quoted field spans) longer than this is refused: no feed
// needs one, and holding it is what a reader must not be made to do.
inline constexpr qsizetype kMaxRecordBytes = 1 << 20;

// Why a table could not be read to its end: the line it names (0: the file as a whole).
struct CsvFailure {
    int line = 0;
    QString text;
};

// Reads one table of a feed record by record from a stream, holding no more than one record:
// CR LF or LF, a UTF-8 byte-order mark, quoted fields holding commas, "" and line breaks. It is
// strict where a guess would lose data: a quote that is never closed, text after a closing
// quote, a record past kMaxRecordBytes, a NUL byte and bytes of no encoding end the reading
// with a failure naming the line.
class CsvReader {
public:
    // Reads `in`, which must outlive the reader, as UTF-8, or as Shift_JIS when told so after
    // wantsCp932(). A byte-order mark always means UTF-8.
    explicit CsvReader(ByteStream &in, TextEncoding encoding = TextEncoding::Utf8);
    // Bytes in memory, as UTF-8.
    explicit CsvReader(QByteArrayView bytes);

    // The next record with at least one non-empty field; false at the end or on a failure.
    bool next();
    // The line the current record starts on, from 1.
    int line() const { return recordLine_; }
    qsizetype fieldCount() const { return qsizetype(fields_.size()); }
    // Field i without its quotes and surrounding blanks, as UTF-8; empty past the last field.
    QByteArrayView field(qsizetype i) const;
    // Bytes taken from the stream so far, for progress.
    qint64 bytesRead() const { return bytesRead_; }

    bool failed() const { return failed_; }
    const CsvFailure &failure() const { return failure_; }
    // The bytes are no UTF-8 but Shift_JIS (CP932) text: read them again, from the start, with
    // TextEncoding::Cp932. No record past the first bad byte was given out.
    bool wantsCp932() const { return wantsCp932_; }

private:
    struct Span {
        bool escaped;   // quoted with "" inside, to be unescaped
        bool inScratch; // unescaped or converted, in scratch_, rather than in the record
        qsizetype offset;
        qsizetype size;
    };
    enum class At { FieldStart, Unquoted, Quoted, QuoteSeen, AfterQuote };

    bool readRecord();
    bool endOfInput();
    bool endRecord(qsizetype length);
    bool fill();
    bool checkScan();
    void settleEncoding();
    void fail(int line, QString text);

    std::unique_ptr<ByteStream> owned_;
    ByteStream &in_;
    TextEncoding encoding_;
    EncodingScan scan_;
    bool bom_ = false, bomChecked_ = false, atEnd_ = false;
    bool failed_ = false, wantsCp932_ = false;
    CsvFailure failure_;
    qint64 bytesRead_ = 0;

    QByteArray buf_;
    qsizetype recStart_ = 0;   // the next record's first byte in buf_
    qsizetype scanPos_ = 0;    // how far its scan has come, from recStart_
    qsizetype recordBase_ = 0; // the current record's first byte in buf_, for its fields
    int line_ = 1;             // the line at scanPos_
    int recordLine_ = 0, quoteLine_ = 0;
    At at_ = At::FieldStart;
    qsizetype fieldStart_ = 0, quoteEnd_ = 0; // from recStart_
    bool escaped_ = false;
    std::vector<Span> fields_;
    QByteArray scratch_;
};

// A table with its header row: columns are found by name, in whatever order the feed has them.
class CsvTable {
public:
    CsvTable(ByteStream &in, QString fileName, TextEncoding encoding = TextEncoding::Utf8);

    // The next data record; false at the end.
    bool next() { return reader_.next(); }
    bool hasHeader() const { return !columns_.isEmpty(); }
    // The column's index, -1 when the header does not name it.
    int column(QByteArrayView name) const { return columns_.value(name.toByteArray(), -1); }
    QByteArrayView field(int column) const {
        return column < 0 ? QByteArrayView() : reader_.field(column);
    }
    QString text(int column) const { return QString::fromUtf8(field(column)); }
    int line() const { return reader_.line(); }
    const QString &fileName() const { return fileName_; }
    const CsvReader &reader() const { return reader_; }

private:
    CsvReader reader_;
    QString fileName_;
    QHash<QByteArray, int> columns_;
};

} // namespace q47::gtfs
