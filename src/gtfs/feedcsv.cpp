#include "feedcsv.h"

#include <utility>

namespace q47::gtfs {

namespace {

QByteArrayView trimmedBlanks(QByteArrayView v) {
    while (!v.isEmpty() && (v.front() == ' ' || v.front() == '\t'))
        v = v.sliced(1);
    while (!v.isEmpty() && (v.back() == ' ' || v.back() == '\t'))
        v.chop(1);
    return v;
}

} // namespace

CsvReader::CsvReader(QByteArrayView bytes) : bytes_(bytes) {
    if (bytes_.startsWith("\xEF\xBB\xBF"))
        pos_ = 3;
}

bool CsvReader::next() {
    while (pos_ < bytes_.size()) {
        if (!readRecord())
            return false;
        for (qsizetype i = 0; i < fieldCount(); ++i)
            if (!field(i).isEmpty())
                return true;
    }
    return false;
}

// One record from pos_: fields up to an unquoted line end. Quoted fields are copied into the
// scratch buffer only when they hold "" (the quotes must go); otherwise they stay views.
bool CsvReader::readRecord() {
    fields_.clear();
    scratch_.clear();
    line_ = nextLine_;
    const char *data = bytes_.data();
    const qsizetype end = bytes_.size();
    for (;;) {
        qsizetype start = pos_;
        while (start < end && (data[start] == ' ' || data[start] == '\t'))
            ++start;
        if (start < end && data[start] == '"') {
            qsizetype i = start + 1;
            const qsizetype open = i;
            bool escaped = false;
            for (;;) {
                if (i >= end) {
                    unclosedQuote_ = true;
                    break;
                }
                if (data[i] == '"') {
                    if (i + 1 < end && data[i + 1] == '"') {
                        escaped = true;
                        i += 2;
                        continue;
                    }
                    break;
                }
                if (data[i] == '\n')
                    ++nextLine_;
                ++i;
            }
            const qsizetype close = i;
            if (escaped) {
                const qsizetype at = scratch_.size();
                for (qsizetype k = open; k < close; ++k) {
                    scratch_.append(data[k]);
                    if (data[k] == '"')
                        ++k;
                }
                fields_.push_back({true, at, scratch_.size() - at});
            } else {
                fields_.push_back({false, open, close - open});
            }
            // Text after the closing quote up to the separator is dropped, as readers do.
            pos_ = close < end ? close + 1 : end;
            while (pos_ < end && data[pos_] != ',' && data[pos_] != '\n')
                ++pos_;
        } else {
            qsizetype i = start;
            while (i < end && data[i] != ',' && data[i] != '\n')
                ++i;
            qsizetype stop = i;
            if (stop > start && data[stop - 1] == '\r')
                --stop;
            fields_.push_back({false, start, stop - start});
            pos_ = i;
        }
        if (pos_ >= end)
            return true;
        if (data[pos_] == '\n') {
            ++pos_;
            ++nextLine_;
            return true;
        }
        ++pos_; // the comma
        if (pos_ >= end) {
            fields_.push_back({false, end, 0});
            return true;
        }
    }
}

QByteArrayView CsvReader::field(qsizetype i) const {
    if (i < 0 || i >= fieldCount())
        return {};
    const Span &s = fields_[size_t(i)];
    const QByteArrayView from = s.unescaped ? QByteArrayView(scratch_) : bytes_;
    return trimmedBlanks(from.sliced(s.offset, s.size));
}

double CsvReader::progress() const {
    return bytes_.isEmpty() ? 1.0 : double(pos_) / double(bytes_.size());
}

CsvTable::CsvTable(QByteArrayView bytes, QString fileName)
    : reader_(bytes), fileName_(std::move(fileName)) {
    if (!reader_.next())
        return;
    for (qsizetype i = 0; i < reader_.fieldCount(); ++i) {
        const QByteArray name = reader_.field(i).toByteArray();
        if (!name.isEmpty() && !columns_.contains(name))
            columns_.insert(name, int(i));
    }
}

} // namespace q47::gtfs
