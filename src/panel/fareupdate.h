#pragma once

#include "routedata.h"

#include <QDate>
#include <QVariant>

#include <bitset>
#include <vector>

namespace q47 {

// The options that decide what a stop puts on the board besides its fares.
// Cells are 1-based (a list position plus one); a cell of 0 is the hidden spare.
struct InfoDigitOptions {
    bool showStopOrder = false;
    int stopOrderCell = 1;
    bool stopOrderFromZero = false;
    bool showSeiriNo = false;
    int seiriNoCell = 1;
    bool showRoute = false;
    int routeCell = 1;
    bool showColumn = false;
    int columnCell = 1;
    int column = 1; // 1..150
};

// One assignment to a fare cell, in the order the board receives them.
struct CellWrite {
    int cell;
    QVariant value;
    bool operator==(const CellWrite &) const = default;
};

// What stop n puts on the board: the fares from StartSection to 50 (doubled at night unless
// -1), then the information digits, each overwriting its cell.
std::vector<CellWrite> fareWrites(const RouteTable &table, int n, bool lateNight,
                                  const InfoDigitOptions &info);

// The cells 1 to 50 that the information digits take from the fares.
std::bitset<kFareCells + 1> infoDigitCells(const InfoDigitOptions &info);

// Ticket date as month-day-year with hyphens.
// The route number the ticket prints: the route text's leading digits as a number ("00012"
// is 12), 0 when it has none, the largest 32-bit number when it has too many.
qint32 routeNumberValue(const QString &routeText);

QString ticketDateText(const QDate &date);

} // namespace q47
