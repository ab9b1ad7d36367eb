#include "segmentrenderer.h"

#include "olecolor.h"
#include "scaling.h"
#include "segmentfont.h"
#include "twips.h"

#include <QPainter>

#include <cmath>

namespace q47 {

SegmentRenderer::SegmentRenderer() = default;
SegmentRenderer::~SegmentRenderer() = default;

int SegmentRenderer::cellWidthPx(qint16 digitSize, int characterExtra) {
    return twipsToPx(digitSizeClass(digitSize).cellTwips) + characterExtra;
}

void SegmentRenderer::ensureFace(const SegmentFrame &frame) {
    const int face = SegmentFont::faceForStyle(frame.digitStyle);
    const qint16 size =
        (frame.digitSize >= 1 && frame.digitSize <= 3) ? frame.digitSize : qint16(0);
    const int height = frame.size.height();
    const qreal ratio = frame.devicePixelRatio * frame.zoom;
    if (font_ && face == face_ && size == sizeClass_ && frame.bold == bold_ && ratio == dpr_ &&
        height == cellHeight_)
        return;
    face_ = face;
    sizeClass_ = size;
    bold_ = frame.bold;
    dpr_ = ratio;
    cellHeight_ = height;
    // The glyph fills the control's height, as the font's cell does, so that a host-sized
    // control still shows whole digits.
    const QSizeF cell(cellWidthPx(size, 0), height);
    font_ = std::make_unique<SegmentFont>(face, cell, frame.bold);
    glyphs_.clear();
}

const QImage &SegmentRenderer::glyph(QChar c, OleColor color) {
    const GlyphKey key{c, color};
    auto it = glyphs_.constFind(key);
    if (it != glyphs_.cend())
        return *it;
    if (glyphs_.size() > 512)
        glyphs_.clear(); // colours are few in practice; this only bounds a pathological host
    const int w = cellWidthPx(sizeClass_, 0);
    QImage img(QSize(static_cast<int>(std::ceil(w * dpr_)),
                     static_cast<int>(std::ceil(cellHeight_ * dpr_))),
               QImage::Format_ARGB32_Premultiplied);
    img.setDevicePixelRatio(dpr_);
    img.fill(Qt::transparent);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(fromOleColor(color));
        p.drawPath(font_->glyph(c));
    }
    return *glyphs_.insert(key, img);
}

void SegmentRenderer::render(QImage &surface, const SegmentFrame &frame) {
    const QSize shown = scaledSize(frame.size, frame.zoom);
    const QSize device(static_cast<int>(std::ceil(shown.width() * frame.devicePixelRatio)),
                       static_cast<int>(std::ceil(shown.height() * frame.devicePixelRatio)));
    if (surface.size() != device || surface.devicePixelRatio() != frame.devicePixelRatio) {
        surface = QImage(device, QImage::Format_ARGB32_Premultiplied);
        surface.setDevicePixelRatio(frame.devicePixelRatio);
    }
    surface.fill(fromOleColor(frame.backColor));
    if (frame.size.isEmpty())
        return;
    ensureFace(frame);

    const int step = cellWidthPx(sizeClass_, frame.characterExtra);
    QPainter p(&surface);
    // Laid out in design pixels; the glyphs, drawn at the zoomed ratio, land 1:1 on the device.
    p.scale(frame.zoom, frame.zoom);
    // Whole-pixel positions in device pixels keep every lit glyph on its base glyph.
    const QImage &eight = glyph(QLatin1Char('8'), frame.baseForeColor);
    for (int i = 0; i < frame.digitCount; ++i)
        p.drawImage(QPointF(i * step, 0), eight);

    const int w = static_cast<int>(frame.text.size()) * step;
    const int x0 = frame.size.width() - w;
    for (int i = 0; i < frame.text.size(); ++i) {
        const QChar c = frame.text.at(i);
        if (SegmentFont::segmentsFor(c) == 0)
            continue;
        p.drawImage(QPointF(x0 + i * step, 0), glyph(c, frame.digitForeColor));
    }
}

} // namespace q47
