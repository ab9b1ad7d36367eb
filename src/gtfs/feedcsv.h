#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QString>

#include <vector>

namespace q47::gtfs {

// Reads one table of a feed record by record, without copying it: CR LF or LF, a UTF-8
// byte-order mark, quoted fields holding commas, "" and line breaks. The bytes must outlive
// the reader.
class CsvReader {
public:
    explicit CsvReader(QByteArrayView bytes);

    // The next record with at least one non-empty field; false at the end.
    bool next();
    // The line the current record starts on, from 1.
    int line() const { return line_; }
    qsizetype fieldCount() const { return qsizetype(fields_.size()); }
    // Field i without its quotes and surrounding blanks; empty past the last field.
    QByteArrayView field(qsizetype i) const;
    // How far through the bytes the reader is, 0 to 1.
    double progress() const;
    // A quoted field ran to the end of the bytes.
    bool unclosedQuote() const { return unclosedQuote_; }

private:
    struct Span {
        bool unescaped; // in scratch_ rather than in the bytes
        qsizetype offset;
        qsizetype size;
    };
    bool readRecord();

    QByteArrayView bytes_;
    qsizetype pos_ = 0;
    int nextLine_ = 1;
    int line_ = 0;
    bool unclosedQuote_ = false;
    std::vector<Span> fields_;
    QByteArray scratch_;
};

// A table with its header row: columns are found by name, in whatever order the feed has them.
class CsvTable {
public:
    CsvTable(QByteArrayView bytes, QString fileName);

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
    double progress() const { return reader_.progress(); }
    const QString &fileName() const { return fileName_; }
    const CsvReader &reader() const { return reader_; }

private:
    CsvReader reader_;
    QString fileName_;
    QHash<QByteArray, int> columns_;
};

} // namespace q47::gtfs
