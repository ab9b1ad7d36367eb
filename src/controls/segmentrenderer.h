#pragma once

#include "segmentmodel.h"

#include <QHash>
#include <QImage>

#include <memory>

namespace q47 {

class SegmentFont;

// What one redraw of a segment-digit surface needs.
struct SegmentFrame {
    QSize size;                 // surface size in design pixels, before the zoom
    qreal devicePixelRatio = 1; // of the screen the surface is shown on
    qreal zoom = 1;             // of the board: everything drawn this many times larger
    qint16 digitStyle = 0;
    qint16 digitSize = 0;
    qint16 digitCount = 4;
    bool bold = true;
    int characterExtra = 0; // extra pixels after every character
    OleColor backColor = SegmentModel::kDefaultBackColor;
    OleColor baseForeColor = SegmentModel::kDefaultBaseForeColor;
    OleColor digitForeColor = SegmentModel::kDefaultDigitForeColor;
    QString text; // already cut to DigitCount characters
};

// Draws the dim "8" row from the left edge and the lit text right-aligned over it.
// Glyphs are rendered once per face, size, colour and pixel ratio and then only blitted. The
// zoom counts as part of the pixel ratio: an enlarged surface is drawn afresh at its size.
class SegmentRenderer {
public:
    SegmentRenderer();
    ~SegmentRenderer();
    SegmentRenderer(const SegmentRenderer &) = delete;
    SegmentRenderer &operator=(const SegmentRenderer &) = delete;

    // Redraws `surface` (reallocated when its size or ratio no longer fits the frame). Its
    // pixel ratio is the screen's; its device-independent size is the zoomed size.
    void render(QImage &surface, const SegmentFrame &frame);

    // Width of one character step in device-independent pixels for a size class.
    static int cellWidthPx(qint16 digitSize, int characterExtra);

private:
    struct GlyphKey {
        QChar ch;
        OleColor color;
        bool operator==(const GlyphKey &o) const { return ch == o.ch && color == o.color; }
    };
    friend size_t qHash(const GlyphKey &k, size_t seed) {
        return qHashMulti(seed, k.ch.unicode(), k.color);
    }

    const QImage &glyph(QChar c, OleColor color);
    void ensureFace(const SegmentFrame &frame);

    // The face the cached glyphs belong to.
    int face_ = -1;
    qint16 sizeClass_ = -1;
    bool bold_ = false;
    qreal dpr_ = 0;
    int cellHeight_ = 0;
    std::unique_ptr<SegmentFont> font_;
    QHash<GlyphKey, QImage> glyphs_;
};

} // namespace q47
