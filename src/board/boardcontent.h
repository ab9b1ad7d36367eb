#pragma once

#include "namesen.h"
#include "olecolor.h"

#include <QColor>
#include <QImage>
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
    qint16 digitCount = 4;
    bool operator==(const CellFormat &) const = default;
};

// The digit cells' colours, the fifty fare cells' and the two clock cells' alike; the start
// values are the digit control's own.
struct DigitColours {
    OleColor back = 0x808080;
    OleColor unlit = 0x969696;
    OleColor lit = 0x72D2F8;
    bool operator==(const DigitColours &) const = default;
};

// How the place-name column draws the stop's name and scrolls a long one; the start values are
// the display's own.
struct NameLook {
    OleColor back = 0x808080;
    OleColor dots = 0x00BEFF;
    qint16 fontMode = 0;
    bool bold = false;
    qint16 scrollSpeed = 5;
    int scrollStartWait = 1500; // ms
    bool operator==(const NameLook &) const = default;
};

// The fifty ticket-number labels over the fare cells.
struct TicketLabels {
    bool shown = false;
    // The numbering style last chosen (0 to 11) and its zero padding.
    int style = 0;
    bool zeroPad = false;
    // Index 1 to 50: each label's text as the LED board writes it, numbers in full-width
    // characters. A style that has no caption for a label leaves it as it was.
    std::array<QString, kBoardCells + 1> texts = startTexts();
    // Label 1 in the digit face, or in the face of a style's word.
    bool label1DigitFace = true;
    QColor colour; // invalid: the labels' own
    bool operator==(const TicketLabels &) const = default;

    // "１" to "５０".
    static std::array<QString, kBoardCells + 1> startTexts();
};

// The LED board's picture under its cells: none, the built-in face of a backlight row (ON2
// shows ON1's), or the user's picture as read from its file.
struct BoardPicture {
    enum class Kind { None, BuiltIn, User };
    Kind kind = Kind::None;
    int row = 0;
    QImage image;

    static BoardPicture builtIn(int row) { return {Kind::BuiltIn, row, {}}; }
    static BoardPicture user(const QImage &image) { return {Kind::User, 0, image}; }
    // Pictures are the same when they are the same image, not when their pixels match.
    bool operator==(const BoardPicture &o) const {
        return kind == o.kind && row == o.row && image.cacheKey() == o.image.cacheKey();
    }
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
    // information digits alike; invalid until a cell receives anything. Index 0 is unused.
    std::array<QVariant, kBoardCells + 1> cells{};
    // Brought into the digit control's ranges.
    std::array<CellFormat, kBoardCells + 1> formats{};
    DigitColours digits;

    TicketLabels labels;

    // The next stop: its name as the route file holds it (what the LED board shows), its real
    // name where the file could only hold a substitute (empty: the same), and its name in other
    // languages (empty where unknown).
    QString stopName;
    QString stopWritten;
    NameForms stopForms;
    // The name as written: the real one when known.
    const QString &writtenName() const { return stopWritten.isEmpty() ? stopName : stopWritten; }
    NameLook nameLook;

    RouteOnBoard route;
    QTime time; // invalid: no clock
    // While the bus runs by itself: the ride's time, which the clock shows in place of the
    // time of day (invalid: the time of day), and whether the bus is about to arrive at the
    // stop shown ("まもなく") rather than on its way there ("次は").
    QTime rideTime;
    bool approaching = false;

    int backlight = 1; // 0 OFF, 1 ON1, 2 ON2
    BoardPicture picture;
    bool cleared = false; // the display is switched blank

    bool operator==(const BoardContent &) const = default;
};

} // namespace q47
