#pragma once

#include <QRect>
#include <QtMath>

namespace q47 {

// Design geometry (pixels at 96 dpi) enlarged by a zoom factor. Positions and sizes are
// rounded each on their own, so that every cell of a row keeps the same size and a whole
// factor scales everything exactly.
inline int scaledPx(int px, qreal zoom) {
    return qRound(px * zoom);
}

inline QPoint scaledPoint(const QPoint &p, qreal zoom) {
    return {scaledPx(p.x(), zoom), scaledPx(p.y(), zoom)};
}

inline QSize scaledSize(const QSize &s, qreal zoom) {
    return {scaledPx(s.width(), zoom), scaledPx(s.height(), zoom)};
}

inline QRect scaledRect(const QRect &r, qreal zoom) {
    return {scaledPoint(r.topLeft(), zoom), scaledSize(r.size(), zoom)};
}

// The pixels a design rectangle covers once enlarged, partly covered ones included.
inline QRect coveringRect(const QRect &r, qreal zoom) {
    return QRectF(r.x() * zoom, r.y() * zoom, r.width() * zoom, r.height() * zoom).toAlignedRect();
}

} // namespace q47
