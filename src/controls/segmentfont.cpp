#include "segmentfont.h"

#include <QPolygonF>
#include <QTransform>

#include <algorithm>

namespace q47 {

namespace {

struct Face {
    double thickness; // segment thickness, share of the cell width
    double gap;       // space left between neighbouring segments, share of the thickness
    double slant;     // horizontal shift per unit of height
    bool tapered;     // pointed segment ends (classic) or square ones (modern)
};

constexpr Face kFaces[3] = {
    {0.14, 0.35, 0.10, true},
    {0.16, 0.30, 0.00, false},
    {0.10, 0.40, 0.08, true},
};

QPolygonF horizontal(double x0, double x1, double y, double t, bool tapered) {
    const double h = t / 2;
    if (!tapered || x1 - x0 < t)
        return QPolygonF({{x0, y - h}, {x1, y - h}, {x1, y + h}, {x0, y + h}});
    return QPolygonF(
        {{x0, y}, {x0 + h, y - h}, {x1 - h, y - h}, {x1, y}, {x1 - h, y + h}, {x0 + h, y + h}});
}

QPolygonF vertical(double x, double y0, double y1, double t, bool tapered) {
    const double h = t / 2;
    if (!tapered || y1 - y0 < t)
        return QPolygonF({{x - h, y0}, {x + h, y0}, {x + h, y1}, {x - h, y1}});
    return QPolygonF(
        {{x, y0}, {x + h, y0 + h}, {x + h, y1 - h}, {x, y1}, {x - h, y1 - h}, {x - h, y0 + h}});
}

} // namespace

int SegmentFont::faceForStyle(qint16 digitStyle) {
    return (digitStyle == 1 || digitStyle == 2) ? digitStyle : 0;
}

quint8 SegmentFont::segmentsFor(QChar c) {
    constexpr quint8 a = 1 << A, b = 1 << B, cc = 1 << C, d = 1 << D, e = 1 << E, f = 1 << F,
                     g = 1 << G;
    switch (c.unicode()) {
    case '0':
        return a | b | cc | d | e | f;
    case '1':
        return b | cc;
    case '2':
        return a | b | g | e | d;
    case '3':
        return a | b | g | cc | d;
    case '4':
        return f | g | b | cc;
    case '5':
        return a | f | g | cc | d;
    case '6':
        return a | f | g | e | cc | d;
    case '7':
        return a | b | cc;
    case '8':
        return a | b | cc | d | e | f | g;
    case '9':
        return a | b | cc | d | f | g;
    case '-':
        return g;
    case '_':
        return d;
    case 'A':
        return a | b | cc | e | f | g;
    case 'b':
        return f | e | d | cc | g;
    case 'C':
        return a | f | e | d;
    case 'c':
        return g | e | d;
    case 'd':
        return b | cc | d | e | g;
    case 'E':
        return a | f | g | e | d;
    case 'F':
        return a | f | g | e;
    case 'H':
        return f | e | g | b | cc;
    case 'h':
        return f | e | g | cc;
    case 'L':
        return f | e | d;
    case 'n':
        return e | g | cc;
    case 'o':
        return e | g | cc | d;
    case 'P':
        return a | b | f | g | e;
    case 'r':
        return e | g;
    case 'U':
        return f | e | d | cc | b;
    case 'u':
        return e | d | cc;
    default:
        return 0;
    }
}

SegmentFont::SegmentFont(int face, QSizeF cell, bool bold) {
    const Face &fc = kFaces[std::clamp(face, 0, 2)];
    const double w = cell.width();
    const double h = cell.height();
    double t = w * fc.thickness * (bold ? 1.15 : 1.0);
    t = std::max(t, 1.2);

    // The digit box: side margins leave the dark gap between neighbouring digits.
    const double left = w * 0.16;
    const double right = w * 0.84 - (fc.slant > 0 ? w * 0.06 : 0);
    const double top = h * 0.10;
    const double bottom = h * 0.90;
    const double mid = (top + bottom) / 2;
    const double g = t * fc.gap;

    const double xl = left + t / 2, xr = right - t / 2;
    const double yt = top + t / 2, yb = bottom - t / 2;

    const QPolygonF polys[SegmentCount] = {
        horizontal(xl + g, xr - g, yt, t, fc.tapered),
        vertical(xr, yt + g, mid - g, t, fc.tapered),
        vertical(xr, mid + g, yb - g, t, fc.tapered),
        horizontal(xl + g, xr - g, yb, t, fc.tapered),
        vertical(xl, mid + g, yb - g, t, fc.tapered),
        vertical(xl, yt + g, mid - g, t, fc.tapered),
        horizontal(xl + g, xr - g, mid, t, fc.tapered),
    };

    // Slant about the vertical centre so the glyph stays inside its cell.
    QTransform slant;
    slant.translate(0, mid);
    slant.shear(-fc.slant, 0);
    slant.translate(fc.slant > 0 ? w * 0.03 : 0, -mid);
    for (int s = 0; s < SegmentCount; ++s) {
        QPainterPath p;
        p.addPolygon(slant.map(polys[s]));
        p.closeSubpath();
        segments_[static_cast<size_t>(s)] = p;
    }
}

QPainterPath SegmentFont::glyph(QChar c) const {
    QPainterPath path;
    const quint8 bits = segmentsFor(c);
    for (int s = 0; s < SegmentCount; ++s)
        if (bits & (1 << s))
            path.addPath(segments_[static_cast<size_t>(s)]);
    return path;
}

} // namespace q47
