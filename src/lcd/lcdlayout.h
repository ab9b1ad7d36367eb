#pragma once

#include <QRect>
#include <QSize>

#include <QString>

#include <array>
#include <functional>

namespace q47::lcd {

// The board is designed on a 960 x 540 face and drawn at any size: the face is scaled to fit
// the surface, centred, and every edge lands on a whole device pixel.
inline constexpr QSize kDesignSize{960, 540};

// Where everything goes, in device pixels.
struct LcdLayout {
    static constexpr int kColumns = 8;
    static constexpr int kRows = 3;

    QSize device;
    QRect board;     // the 16:9 face
    qreal scale = 1; // device pixels per design unit
    int rule = 1;    // width of the table's rules
    QRect header;    // route number, headsign and clock
    QRect route;     // where the route number and headsign go
    QRect clock;
    QRect nextBand; // "次は" and the stop name
    QRect nextLabel;
    QRect name;
    QRect table; // with its outer rules
    QRect pageIndicator;
    std::array<int, kColumns + 2> columnEdges{}; // left rule of the heading column and of each
                                                 // column, then the right outer rule
    std::array<int, kRows + 1> rowEdges{};       // top rule of each row of pairs, then the bottom
    std::array<int, kRows> fareEdges{};          // the rule between a row's numbers and fares

    static constexpr int capacity() { return kColumns * kRows; }
    // A design length in device pixels.
    int px(qreal design) const;

    QRect numberHeading(int row) const; // "整理券番号"
    QRect fareHeading(int row) const;   // "運賃"
    // Pair `slot` (0 to capacity() - 1), left to right, then top to bottom.
    QRect numberCell(int slot) const;
    QRect fareCell(int slot) const;
};

LcdLayout lcdLayout(const QSize &deviceSize);

// How a text of natural width `width` fits into `available`: narrowed down to `minScaleX`, and
// beyond that made smaller as a whole as well. Never wider than `available`.
struct TextFit {
    qreal scaleX = 1;
    qreal fontScale = 1;
};
TextFit fitWidth(qreal width, qreal available, qreal minScaleX = 0.5);

} // namespace q47::lcd

namespace q47::lcd {

// How a stop's name is set into its area: on one line at its type size if it fits narrowed to
// no less than 60 %; else on two lines where it breaks naturally (nameBreak) when that allows
// larger type than one line does; never smaller than `minSize` (narrower then, if need be).
struct NameSetting {
    int breakAt = -1; // where the second line starts; -1: one line
    int size = 0;     // the type size of every line
    bool operator==(const NameSetting &) const = default;
};
inline constexpr qreal kMinNameScaleX = 0.6;
// The natural width of a text at a type size.
using TextAdvance = std::function<qreal(const QString &text, int pixelSize)>;
NameSetting setName(const QString &name, int pixelSize, int minSize, const QSize &area,
                    const TextAdvance &advance);

} // namespace q47::lcd
