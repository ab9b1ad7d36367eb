#pragma once

#include "namesen.h"

#include <QColor>
#include <QString>
#include <QTime>
#include <QVariant>

#include <array>
#include <bitset>

namespace q47 {

inline constexpr int kBoardCells = 50;

// How a fare cell turns its value into text, as its digit control does.
struct CellFormat {
    qint16 zeroMode = 0;
    qint16 fillZero = 0;
    qint16 shift = 0;
    qint16 keta = 4;
    bool operator==(const CellFormat &) const = default;
};

// The route as the board heads its face with it, at the current stop.
struct RouteOnBoard {
    QString number; // the panel's route number; empty when unknown
    QString name;   // as its operator names it; empty: the number
    QColor color;   // the name's badge and its text; invalid: the board's own colours
    QColor textColor;
    QString headsign; // empty when unknown
    // The highest ticket number handed out from the route's first stop up to the current one.
    int highestSeiriNo = 0;
    // The fare cells that carry information digits (the stop, the route number...), not fares.
    std::bitset<kBoardCells + 1> infoCells;
    bool operator==(const RouteOnBoard &) const = default;
};

// What the board shows at one moment, whichever board draws it.
struct BoardContent {
    // Index 1 to 50: what each fare cell last received, fares (doubled at night, -1 kept) and
    // information digits alike. Index 0 is unused.
    std::array<QVariant, kBoardCells + 1> cells{};
    std::array<CellFormat, kBoardCells + 1> formats{};

    // The ticket-number labels' numbering style and zero padding.
    int numberingStyle = 0;
    bool zeroPad = false;

    // The next stop: its name as the route file holds it (what the LED board shows), its real
    // name where the file could only hold a substitute (empty: the same), and its name in other
    // languages (empty where unknown).
    QString stopName;
    QString stopWritten;
    NameForms stopForms;
    // The name as written: the real one when known.
    const QString &writtenName() const { return stopWritten.isEmpty() ? stopName : stopWritten; }

    RouteOnBoard route;
    QTime time; // invalid: no clock

    int backlight = 1;    // 0 OFF, 1 ON1, 2 ON2
    bool cleared = false; // the display is switched blank

    bool operator==(const BoardContent &) const = default;
};

} // namespace q47
