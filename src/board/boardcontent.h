#pragma once

#include <QString>
#include <QTime>
#include <QVariant>

#include <array>

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

// What the board shows at one moment, whichever board draws it.
struct BoardContent {
    // Index 1 to 50: what each fare cell last received, fares (doubled at night, -1 kept) and
    // information digits alike. Index 0 is unused.
    std::array<QVariant, kBoardCells + 1> cells{};
    std::array<CellFormat, kBoardCells + 1> formats{};

    // The highest ticket number handed out from the route's first stop up to the current one.
    int highestSeiriNo = 0;
    // The ticket-number labels' numbering style and zero padding.
    int numberingStyle = 0;
    bool zeroPad = false;

    // The next stop: its name, its reading in kana and its English name (empty when unknown).
    QString stopName;
    QString stopKana;
    QString stopEnglish;

    QString routeNumber; // empty when unknown
    QString headsign;    // empty when unknown
    QTime time;          // invalid: no clock

    int backlight = 1;    // 0 OFF, 1 ON1, 2 ON2
    bool cleared = false; // the display is switched blank

    bool operator==(const BoardContent &) const = default;
};

} // namespace q47
