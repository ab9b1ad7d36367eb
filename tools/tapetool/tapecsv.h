#pragma once

#include "spreadsheetcsv.h"
#include "tapelist.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace q47::tapecsv {

struct ParseResult {
    QList<TapeEntry> entries;
    QList<int> lines; // the line each entry starts on
    // What is wrong with a line of a list or a row of a spreadsheet, with its line: Invalid
    // when the line could not be read as written (rather than read but worded wrongly), so that
    // a conversion would lose or invent something; BadValue for the words themselves.
    Errors problems;

    bool ok() const { return problems.empty(); }
    bool readable() const;
    // Each problem as "file:line: message".
    QStringList messages(const QString &fileName) const;
};

using Encoding = spreadsheetcsv::Encoding;

// A spreadsheet's CSV: one row per entry with the text, the link and the sound; a first row
// whose second field is not a number is a header. Fields may be quoted ("..." with "" for a
// quote). Every row is an entry; an empty line at the very end is not.
ParseResult parseCsv(const QByteArray &bytes, Encoding encoding = Encoding::Detect);

// UTF-8 with a byte-order mark (so that spreadsheets recognise it) and a header row.
QByteArray writeCsv(const QList<TapeEntry> &entries);

// An announcement list as the program reads it, with everything that would make it speak
// other than meant.
ParseResult readList(const QByteArray &bytes);

// CP932 lines ending in CR LF.
QByteArray writeList(const QList<TapeEntry> &entries);

// True when CP932 holds every character of the text.
bool cp932Holds(const QString &text);

} // namespace q47::tapecsv
