#pragma once

#include <QPainterPath>
#include <QRectF>
#include <QStringView>

#include <array>

namespace q47::board {

// The texts printed on the built-in board pictures are drawn from outlines taken from the
// board's faces when the program is built, so that the board's first picture needs no font
// system: that costs more than all the rest of the start-up before it.
enum class ArtworkFace { Caption, Number, Plate };

struct ArtworkFaceSpec {
    const char16_t *family;
    int pixelSize;
    bool bold;
    const char16_t *characters; // every character the pictures print in this face
};

inline constexpr std::array<ArtworkFaceSpec, 3> kArtworkFaces = {{
    {u"ＭＳ ゴシック", 22, true, u"運賃です"},
    {u"クイロン数字平体", 15, true, u"０１２３４５６７８９"},
    {u"ＭＳ Ｐゴシック", 10, false, u"小児は半額です　（5円は10円に切り上げ）"},
}};

// One outline element as QPainterPath keeps it.
struct GlyphElement {
    quint8 type; // QPainterPath::ElementType
    float x;
    float y;
};

struct GlyphOutline {
    char16_t character;
    float advance;
    quint32 first; // into the face's elements
    quint32 count;
};

struct FaceOutlines {
    float ascent;
    float descent;
    const GlyphOutline *glyphs;
    int glyphCount;
    const GlyphElement *elements;
};

// Made by the glyph generator from kArtworkFaces.
const FaceOutlines &faceOutlines(ArtworkFace face);

// `text` in `face`, centred in `box` as QPainter::drawText centres one line.
QPainterPath artworkText(ArtworkFace face, QStringView text, const QRectF &box);

} // namespace q47::board
