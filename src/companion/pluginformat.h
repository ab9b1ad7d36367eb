#pragma once

#include "error.h"

#include <QByteArrayView>
#include <QColor>
#include <QLine>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <vector>

namespace q47 {

// What a ticket plug-in tells the options dialog: fourteen signed 32-bit fields, numbered from 1
// as the dialog reads them.
struct PlgInfo {
    qint32 formatVersion = 0;      // 1: the file format's version
    qint32 widthTwips = 0;         // 2: ticket width
    qint32 heightTwips = 0;        // 3: ticket height
    qint32 printDate = 0;          // 4: 1 = supported
    qint32 printTime = 0;          // 5
    qint32 printRoute = 0;         // 6
    qint32 printStopName = 0;      // 7
    qint32 printBarcode = 0;       // 8
    qint32 barcodeCount = 0;       // 9
    qint32 highestRoute = 0;       // 10: routes 1 to this value
    qint32 barcodeRouteMethod = 0; // 11: 1 = sequential numbering
    qint32 lowestStop = 0;         // 12
    qint32 highestStop = 0;        // 13
    qint32 companySwitching = 0;   // 14: 1 or more = supported

    static constexpr int kFieldCount = 14;

    // Field n, 1-based; 0 outside 1 to 14.
    qint32 field(int n) const;
    void setField(int n, qint32 value);

    bool operator==(const PlgInfo &) const = default;
};

namespace ticket {

// Why bytes are not a plug-in.
enum class Fault {
    None,
    FileTooLarge,     // more than kMaxFileBytes
    NotUtf8,          // not valid UTF-8
    BadHeader,        // the first line does not name the format
    BadVersion,       // a version this host does not read
    BadSection,       // an unknown or repeated [section], or text before the first
    BadLine,          // a line the section cannot read
    UnknownKey,       // a key or attribute the section or item does not have
    RepeatedKey,      // a key or attribute given twice
    MissingKey,       // a required key or attribute left out
    BadValue,         // a value not of its kind (number, colour, choice) or outside its range
    TicketTooLarge,   // wider or taller than kMaxTicketPx
    OutsideTicket,    // an item reaching past the ticket's edges
    TooManyItems,     // more than kMaxItems layout items
    TooManyCompanies, // more than kMaxCompanies names
    UnknownSymbology, // a barcode type this host does not draw
    BadTemplate,      // an unknown placeholder, an unmatched brace, a width on a text field
    TooLong,          // a template longer than kMaxTemplateChars
    NotCp932,         // text that CP932 cannot hold
    TooCostly,        // the layout costs more than kMaxDrawingCost to draw
};

inline constexpr qsizetype kMaxFileBytes = 1 << 20;
// 640 x 640 at scale 8 is a picture of 100 MiB: the most a ticket may take in memory.
inline constexpr int kMaxTicketPx = 640;
inline constexpr int kMaxItems = 1000;
inline constexpr int kMaxCompanies = 1000;
inline constexpr int kMaxTemplateChars = 1000;
inline constexpr int kFormatVersion = 1;
// What a ticket may cost to draw, in units of about a nanosecond of drawing at scale 1 (see
// drawingCost): a ticket at the limit takes a fifth of a second.
inline constexpr qint64 kMaxDrawingCost = 200'000'000;

// One piece of a text or data template: fixed text, or a value filled in when drawing.
struct Segment {
    enum class Kind : quint8 {
        Literal,
        Stop,
        Date,
        Year,
        Month,
        Day,
        Time,
        Hour,
        Minute,
        Second,
        Route,
        Ticket,
        Index,
        Company,
    };
    Kind kind = Kind::Literal;
    quint8 width = 0;  // zero-padding of a number; 0 = as it is
    quint16 from = 0;  // a literal's place in Template::literals
    quint16 count = 0; // and its length
    bool operator==(const Segment &) const = default;
};

// Fixed texts kept in one string, so that a template costs a few bytes per piece.
struct Template {
    QString literals;
    std::vector<Segment> segments;
    bool operator==(const Template &) const = default;
};

enum class Symbology { Codabar, Itf, Code39, Code128, Ean13, Ean8, Qr };

struct Item {
    enum class Kind { Text, Line, Frame, Box, Barcode };
    int fileLine = 0; // where the item stands in the file, for an author's diagnosis
    enum class Align { Left, Center, Right };
    Kind kind = Kind::Text;
    QRect box;          // text, frame, box, barcode
    QLine line;         // line
    int penWidth = 1;   // line, frame
    QColor colour;      // the ink unless given
    QString fontFamily; // text
    int pixelSize = 12; // text
    bool bold = false;  // text
    Align align = Align::Left;
    Template text; // text: what is printed; barcode: the data
    Symbology symbology = Symbology::Code128;
    int qrLevel = 2; // 1 to 4: L, M, Q, H
};

// A parsed plug-in: everything the host needs to describe and draw the ticket.
struct Plugin {
    PlgInfo info;
    QSize size; // pixels at 96 dpi
    QColor paper;
    QColor ink;
    QString comment;
    QStringList companies;
    std::vector<Item> items;
};

// What a fault means, for an author reading the check's output.
QString faultText(Fault fault);

// A fault as a plug-in's failure: TooLarge for FileTooLarge, else Invalid; its line (0 for the
// file as a whole) and what it means, with the key, attribute or section concerned when there is
// one: "an unknown key or attribute (colour)".
Error faultError(Fault fault, int line, const QString &concerned = QString());

// Reads a plug-in file's bytes: the plug-in, or every faulty line in file order, then what the
// whole lacks. A faulty line is recorded and the reading goes on with the next; the file as a
// whole is checked only when no line was faulty. Work and memory stay within a small multiple
// of the input.
Expected<Plugin, Errors> parsePlugin(QByteArrayView bytes);

// The values a ticket is drawn with, as the control panel hands them over.
struct TicketValues {
    QString stopName;
    QString dateText; // "mm-dd-yyyy" or "yyyy/mm/dd"
    QString timeText; // "hh:mm:ss"
    int route = 0;
    int ticket = 0;
    int stopIndex = 0;
    int companyIndex = -1;
};

// "{stop} {route:3}" and the like; nullopt for an unknown placeholder, an unmatched brace or a
// width on a text value. "{{" and "}}" stand for braces.
std::optional<Template> parseTemplate(const QString &text);

// The template filled for one ticket, cut at kMaxTemplateChars characters however long a stop
// or company name is. Parts of a date or time that cannot be read are empty.
QString fillTemplate(const Template &tpl, const TicketValues &values, const QStringList &companies);

// An upper bound of what drawing the item costs at scale 1, in about nanoseconds: the pixels it
// can cover, weighted by how dear each is (a text's 8, a slanted rule's 4, a filled area's 1),
// a text's characters (1000 each), the rows of its glyphs drawn as outlines (2500 each) and a
// barcode's encoding (5 000 000).
qint64 drawingCost(const Item &item, const QStringList &companies);

} // namespace ticket
} // namespace q47
