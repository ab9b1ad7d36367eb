#include "feedcsv.h"

#include "cp932.h"
#include "spreadsheetcsv.h"

#include <utility>

namespace q47::gtfs {

namespace {

constexpr qsizetype kChunk = 64 * 1024;
const QByteArray kBom("\xEF\xBB\xBF");

QByteArrayView trimmedBlanks(QByteArrayView v) {
    while (!v.isEmpty() && (v.front() == ' ' || v.front() == '\t'))
        v = v.sliced(1);
    while (!v.isEmpty() && (v.back() == ' ' || v.back() == '\t'))
        v.chop(1);
    return v;
}

} // namespace

CsvReader::CsvReader(ByteStream &in, TextEncoding encoding) : in_(in), encoding_(encoding) {}

CsvReader::CsvReader(QByteArrayView bytes)
    : owned_(std::make_unique<BytesStream>(bytes.toByteArray())), in_(*owned_),
      encoding_(TextEncoding::Utf8) {}

void CsvReader::fail(int line, QString text) {
    if (failed_)
        return;
    failed_ = true;
    failure_ = {line, std::move(text)};
}

// One more piece of the stream into the buffer, behind the record being read. False at the
// end, on a failure, or when the bytes turn out not to be the encoding being read.
bool CsvReader::fill() {
    if (atEnd_ || failed_ || wantsCp932_)
        return false;
    if (recStart_ > 0) {
        buf_.remove(0, recStart_);
        recStart_ = 0;
    }
    const qsizetype old = buf_.size();
    buf_.resize(old + kChunk);
    const qint64 n = in_.read(buf_.data() + old, kChunk);
    buf_.resize(old + std::max<qsizetype>(qsizetype(n), 0));
    if (n < 0) {
        fail(0, in_.errorString());
        return false;
    }
    if (n == 0) {
        atEnd_ = true;
        scan_.finish();
    } else {
        bytesRead_ += n;
        scan_.add(QByteArrayView(buf_).sliced(old));
    }
    if (!bomChecked_ && (buf_.size() >= kBom.size() || atEnd_)) {
        bomChecked_ = true;
        bom_ = buf_.startsWith(kBom);
        if (bom_)
            recStart_ = kBom.size();
    }
    return checkScan() && n > 0;
}

bool CsvReader::checkScan() {
    if (scan_.firstNulLine() != 0) {
        fail(scan_.firstNulLine(), QStringLiteral("a NUL byte: this is no text"));
        return false;
    }
    if (encoding_ == TextEncoding::Utf8 && !scan_.utf8()) {
        settleEncoding();
        return false;
    }
    if (encoding_ == TextEncoding::Cp932 && !scan_.cp932()) {
        fail(scan_.firstBadCp932Line(),
             QStringLiteral("bytes that are neither UTF-8 nor Shift_JIS (CP932)"));
        return false;
    }
    return true;
}

// Bytes that UTF-8 does not allow: the rest of the stream is only looked at, to tell a
// Shift_JIS file from a UTF-8 one with a fault.
void CsvReader::settleEncoding() {
    QByteArray chunk(kChunk, Qt::Uninitialized);
    while (!atEnd_) {
        const qint64 n = in_.read(chunk.data(), kChunk);
        if (n < 0) {
            fail(0, in_.errorString());
            return;
        }
        if (n == 0) {
            atEnd_ = true;
            scan_.finish();
        } else {
            bytesRead_ += n;
            scan_.add(QByteArrayView(chunk).first(qsizetype(n)));
        }
    }
    if (scan_.firstNulLine() != 0)
        fail(scan_.firstNulLine(), QStringLiteral("a NUL byte: this is no text"));
    else if (bom_ || scan_.mostlyUtf8())
        fail(scan_.firstBadUtf8Line(),
             QStringLiteral("bytes that are not UTF-8, in a file that is UTF-8 elsewhere"));
    else if (scan_.cp932())
        wantsCp932_ = true;
    else
        fail(scan_.firstBadCp932Line(),
             QStringLiteral("bytes that are neither UTF-8 nor Shift_JIS (CP932)"));
}

bool CsvReader::next() {
    while (readRecord())
        for (qsizetype i = 0; i < fieldCount(); ++i)
            if (!field(i).isEmpty())
                return true;
    return false;
}

// One record from recStart_: fields up to an unquoted line end, scanned once however the
// stream cuts it.
bool CsvReader::readRecord() {
    while (!bomChecked_ && fill()) {
    }
    if (failed_ || wantsCp932_)
        return false;
    fields_.clear();
    scratch_.clear();
    recordLine_ = line_;
    at_ = At::FieldStart;
    scanPos_ = fieldStart_ = 0;
    escaped_ = false;
    for (;;) {
        const char *d = buf_.constData() + recStart_;
        const qsizetype avail = buf_.size() - recStart_;
        qsizetype pos = scanPos_;
        while (pos < avail) {
            switch (at_) {
            case At::FieldStart: {
                const char c = d[pos];
                if (c == ' ' || c == '\t') {
                    ++pos;
                    break;
                }
                if (c == '"') {
                    at_ = At::Quoted;
                    quoteLine_ = line_;
                    fieldStart_ = ++pos;
                    escaped_ = false;
                    break;
                }
                at_ = At::Unquoted;
                fieldStart_ = pos;
                [[fallthrough]];
            }
            case At::Unquoted: {
                while (pos < avail && d[pos] != ',' && d[pos] != '\n')
                    ++pos;
                if (pos == avail)
                    break;
                qsizetype end = pos;
                if (d[pos] == '\n' && end > fieldStart_ && d[end - 1] == '\r')
                    --end;
                fields_.push_back({false, false, fieldStart_, end - fieldStart_});
                at_ = At::FieldStart;
                if (d[pos] == '\n')
                    return endRecord(pos + 1);
                ++pos;
                break;
            }
            case At::Quoted:
                while (pos < avail && d[pos] != '"') {
                    if (d[pos] == '\n')
                        ++line_;
                    ++pos;
                }
                if (pos < avail) {
                    at_ = At::QuoteSeen;
                    quoteEnd_ = pos++;
                }
                break;
            case At::QuoteSeen:
                if (d[pos] == '"') {
                    escaped_ = true;
                    at_ = At::Quoted;
                    ++pos;
                    break;
                }
                fields_.push_back({escaped_, false, fieldStart_, quoteEnd_ - fieldStart_});
                at_ = At::AfterQuote;
                [[fallthrough]];
            case At::AfterQuote: {
                const char c = d[pos];
                if (c == ',') {
                    at_ = At::FieldStart;
                } else if (c == '\n') {
                    at_ = At::FieldStart;
                    return endRecord(pos + 1);
                } else if (c != ' ' && c != '\t' && c != '\r') {
                    // Readers that drop such text silently lose whatever a missing quote
                    // swallowed.
                    if (quoteLine_ == line_)
                        fail(line_, QStringLiteral("text after the closing quote of a field"));
                    else
                        fail(quoteLine_, QStringLiteral("the quoted field opened on this line "
                                                        "closes on line %1 with text after "
                                                        "its quote: a quote is missing")
                                             .arg(line_));
                    return false;
                }
                ++pos;
                break;
            }
            }
        }
        scanPos_ = pos;
        if (scanPos_ > kMaxRecordBytes) {
            if (at_ == At::Quoted)
                fail(quoteLine_,
                     QStringLiteral("the quote opened on this line is not closed within 1 MiB"));
            else
                fail(recordLine_, QStringLiteral("the line is longer than 1 MiB"));
            return false;
        }
        if (!fill()) {
            if (failed_ || wantsCp932_)
                return false;
            return endOfInput();
        }
    }
}

// The stream has ended inside the record being scanned.
bool CsvReader::endOfInput() {
    const char *d = buf_.constData() + recStart_;
    switch (at_) {
    case At::Quoted:
        fail(quoteLine_, QStringLiteral("the quote opened on this line is never closed"));
        return false;
    case At::QuoteSeen:
        fields_.push_back({escaped_, false, fieldStart_, quoteEnd_ - fieldStart_});
        break;
    case At::FieldStart:
        if (scanPos_ == 0)
            return false; // nothing after the last line end
        fieldStart_ = scanPos_;
        [[fallthrough]];
    case At::Unquoted: {
        qsizetype end = scanPos_;
        if (end > fieldStart_ && d[end - 1] == '\r')
            --end;
        fields_.push_back({false, false, fieldStart_, end - fieldStart_});
        break;
    }
    case At::AfterQuote:
        break;
    }
    return endRecord(scanPos_);
}

// The record's fields as UTF-8: quoted ones unescaped, Shift_JIS converted.
bool CsvReader::endRecord(qsizetype length) {
    recordBase_ = recStart_;
    recStart_ += length;
    if (length > 0 && buf_[recordBase_ + length - 1] == '\n')
        ++line_;
    const char *rec = buf_.constData() + recordBase_;
    for (Span &s : fields_) {
        if (s.escaped) {
            const qsizetype at = scratch_.size();
            for (qsizetype k = s.offset; k < s.offset + s.size; ++k) {
                scratch_.append(rec[k]);
                if (rec[k] == '"')
                    ++k;
            }
            s = {false, true, at, scratch_.size() - at};
        }
        if (encoding_ == TextEncoding::Cp932) {
            const QByteArray raw = QByteArrayView(s.inScratch ? scratch_.constData() : rec)
                                       .sliced(s.offset, s.size)
                                       .toByteArray();
            const QString text = fromCp932(raw);
            if (!spreadsheetcsv::decodesCleanly(raw, text)) {
                fail(recordLine_, QStringLiteral("bytes that are not Shift_JIS (CP932) text"));
                return false;
            }
            const qsizetype at = scratch_.size();
            scratch_.append(text.toUtf8());
            s = {false, true, at, scratch_.size() - at};
        }
    }
    return true;
}

QByteArrayView CsvReader::field(qsizetype i) const {
    if (i < 0 || i >= fieldCount())
        return {};
    const Span &s = fields_[size_t(i)];
    const char *from = s.inScratch ? scratch_.constData() : buf_.constData() + recordBase_;
    return trimmedBlanks(QByteArrayView(from + s.offset, s.size));
}

CsvTable::CsvTable(ByteStream &in, QString fileName, TextEncoding encoding)
    : reader_(in, encoding), fileName_(std::move(fileName)) {
    if (!reader_.next())
        return;
    for (qsizetype i = 0; i < reader_.fieldCount(); ++i) {
        const QByteArray name = reader_.field(i).toByteArray();
        if (!name.isEmpty() && !columns_.contains(name))
            columns_.insert(name, int(i));
    }
}

} // namespace q47::gtfs
