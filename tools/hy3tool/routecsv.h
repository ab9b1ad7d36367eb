#pragma once

#include "routedata.h"
#include "spreadsheetcsv.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace q47::routecsv {

// A route in a spreadsheet: one row per stop with the name, the ticket number and then the
// data columns 1, 2, ... (missing columns are 0). A first row whose ticket-number field is not
// a number is a header. Lines starting with '#' and empty lines are skipped.
struct ParseResult {
    std::vector<StopRecord> stops;
    QStringList errors; // "file:line:field: message"
    bool ok() const { return errors.isEmpty(); }
};

using Encoding = spreadsheetcsv::Encoding;

ParseResult parse(const QByteArray &bytes, const QString &fileName,
                  Encoding encoding = Encoding::Detect);

// UTF-8 with a byte-order mark (so that spreadsheets recognise it), a header row, and as many
// columns as the widest stop needs but at least the fifty fares.
QByteArray write(const std::vector<StopRecord> &stops);

// Problems of a decoded route file that the board would refuse or show wrongly.
QStringList check(const QByteArray &hy3, const QString &fileName);

} // namespace q47::routecsv
