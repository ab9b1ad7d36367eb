#pragma once

#include <QChar>
#include <QPainterPath>
#include <QSizeF>

#include <array>

namespace q47 {

// Seven-segment glyphs as data: which segments a character lights, and the outline of each
// segment inside one digit cell. "8" lights every segment, so any lit glyph lies on it.
class SegmentFont {
public:
    enum Segment { A, B, C, D, E, F, G, SegmentCount };

    // The three faces the control offers: 0 classic (slanted, tapered), 1 modern (upright,
    // square-ended), 2 fine (thin, slanted). Any other style number selects 0.
    static int faceForStyle(qint16 digitStyle);

    // Bit i set = segment i lit. Characters without a seven-segment form light nothing.
    static quint8 segmentsFor(QChar c);

    // Outlines in a cell of the given size in device-independent pixels.
    SegmentFont(int face, QSizeF cell, bool bold);

    const QPainterPath &segment(int s) const { return segments_[static_cast<size_t>(s)]; }
    QPainterPath glyph(QChar c) const;

private:
    std::array<QPainterPath, SegmentCount> segments_;
};

} // namespace q47
