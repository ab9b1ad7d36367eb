#include "artworkglyphs.h"

namespace q47::board {

namespace {

const GlyphOutline *findGlyph(const FaceOutlines &face, QChar ch) {
    for (int i = 0; i < face.glyphCount; ++i)
        if (face.glyphs[i].character == ch.unicode())
            return &face.glyphs[i];
    return nullptr;
}

void appendGlyph(QPainterPath &path, const FaceOutlines &face, const GlyphOutline &glyph,
                 QPointF origin) {
    const GlyphElement *e = face.elements + glyph.first;
    const GlyphElement *end = e + glyph.count;
    while (e < end) {
        const QPointF at = origin + QPointF(e->x, e->y);
        switch (e->type) {
        case QPainterPath::MoveToElement:
            path.moveTo(at);
            ++e;
            break;
        case QPainterPath::LineToElement:
            path.lineTo(at);
            ++e;
            break;
        case QPainterPath::CurveToElement:
            // A cubic: its two data elements follow.
            if (end - e < 3)
                return;
            path.cubicTo(at, origin + QPointF(e[1].x, e[1].y), origin + QPointF(e[2].x, e[2].y));
            e += 3;
            break;
        default:
            ++e;
            break;
        }
    }
}

} // namespace

QPainterPath artworkText(ArtworkFace faceId, QStringView text, const QRectF &box) {
    const FaceOutlines &face = faceOutlines(faceId);
    qreal width = 0;
    for (const QChar ch : text)
        if (const GlyphOutline *g = findGlyph(face, ch))
            width += g->advance;
    QPointF pen(box.left() + (box.width() - width) / 2,
                box.top() + (box.height() - (face.ascent + face.descent)) / 2 + face.ascent);
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    for (const QChar ch : text) {
        if (const GlyphOutline *g = findGlyph(face, ch)) {
            appendGlyph(path, face, *g, pen);
            pen.rx() += g->advance;
        }
    }
    return path;
}

} // namespace q47::board
