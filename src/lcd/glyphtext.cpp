#include "glyphtext.h"

#include <QGlyphRun>
#include <QTextLayout>
#include <QTransform>

#include <algorithm>
#include <array>
#include <cmath>

namespace q47::lcd {

namespace {

// What the caches may hold: pictures in bytes, shaped texts by count.
constexpr qsizetype kSpriteBytes = 24 << 20;
constexpr qsizetype kGlyphBytes = 8 << 20;
constexpr qsizetype kShapes = 2048;

qsizetype bytesOf(const QImage &image) {
    return std::max<qsizetype>(image.sizeInBytes(), 1);
}

// A face without a bold style is thickened by a 30th of its size, a little more than a
// painter's synthetic bold, in 1/16 pixels so that every size gets the same weight.
int thickening(int pixelSize) {
    return int(std::lround(pixelSize * 16 / 30.0));
}

// Widens the coverage by `sixteenths` / 16 pixels to the right and upwards: whole pixels, then
// a partial one at the edge.
QImage thicken(const QImage &alpha, int sixteenths) {
    const int k = (sixteenths + 15) / 16;
    std::array<int, 64> weight{}; // per shift, in 1/16
    for (int j = 0; j <= k && j < int(weight.size()); ++j)
        weight[size_t(j)] = std::min(16, sixteenths - (j - 1) * 16);
    const int w = alpha.width(), h = alpha.height();
    QImage out(w + k, h + k, QImage::Format_Alpha8);
    out.fill(0);
    for (int y = 0; y < h; ++y) {
        const uchar *src = alpha.constScanLine(y);
        uchar *dst = out.scanLine(y + k);
        for (int j = 0; j <= k; ++j) {
            const int wj = weight[size_t(j)];
            uchar *d = dst + j;
            for (int x = 0; x < w; ++x)
                d[x] = std::max(d[x], uchar(src[x] * wj / 16));
        }
    }
    // Upwards, top row first: the rows read below are still unwidened.
    const int ow = out.width();
    for (int y = 0; y < h + k; ++y) {
        uchar *dst = out.scanLine(y);
        for (int j = 1; j <= k && y + j < h + k; ++j) {
            const int wj = weight[size_t(j)];
            const uchar *below = out.constScanLine(y + j);
            for (int x = 0; x < ow; ++x)
                dst[x] = std::max(dst[x], uchar(below[x] * wj / 16));
        }
    }
    return out;
}

} // namespace

QFont faceFont(Face face, int pixelSize) {
    // The IPA gothic lacks the CJK extensions (𠮷) and Hangul, which the Noto CJK faces hold,
    // and the emoji that Symbola draws as outlines, in the board's colour like any text.
    // The design's face first with the faces that stand in for it, as a list of families
    // would otherwise put them after the fallbacks.
    const QString design = QStringLiteral("ＭＳ ゴシック");
    const QStringList japanese =
        QStringList{design} + QFont::substitutes(design) +
        QStringList{QStringLiteral("Noto Sans CJK JP"), QStringLiteral("Symbola")};
    QStringList families;
    switch (face) {
    case Face::Japanese:
        break;
    case Face::Latin:
        families = {QStringLiteral("DejaVu Sans")};
        break;
    case Face::Digits:
        families = {QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("DejaVu Sans")};
        break;
    case Face::ChineseHans:
        families = {QStringLiteral("Noto Sans CJK SC")};
        break;
    case Face::ChineseHant:
        families = {QStringLiteral("Noto Sans CJK TC")};
        break;
    case Face::Korean:
        families = {QStringLiteral("Noto Sans CJK KR")};
        break;
    }
    QFont font;
    font.setFamilies(families + japanese);
    font.setBold(true);
    font.setPixelSize(std::max(pixelSize, 1));
    // Glyphs keep their drawn shapes at every size, so that a larger board is the same picture.
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

GlyphText::GlyphText() : shapes_(kShapes), glyphs_(kGlyphBytes), sprites_(kSpriteBytes) {}

void GlyphText::clear() {
    shapes_.clear();
    glyphs_.clear();
    sprites_.clear();
}

const GlyphText::Shaped &GlyphText::shaped(const QString &text, Face face, int pixelSize) {
    const TextKey key{text, int(face), pixelSize, 0, 0};
    if (const Shaped *hit = shapes_.object(key))
        return *hit;
    auto *s = new Shaped;
    QTextLayout layout(text, faceFont(face, pixelSize));
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    if (line.isValid()) {
        s->advance = line.naturalTextWidth();
        for (const QGlyphRun &run : layout.glyphRuns()) {
            Shaped::Run r;
            r.font = run.rawFont();
            r.thicken = !r.font.styleName().contains(QLatin1String("Bold"), Qt::CaseInsensitive);
            r.glyphs = run.glyphIndexes();
            r.positions = run.positions();
            for (QPointF &p : r.positions)
                p.ry() -= line.ascent();
            s->runs.append(r);
        }
    }
    shapes_.insert(key, s);
    return *shapes_.object(key);
}

GlyphText::Glyph GlyphText::glyph(const Shaped::Run &run, int index, int scaleXPermille,
                                  int pixelSize) {
    const quint32 id = run.glyphs[index];
    const int k = run.thicken ? thickening(pixelSize) : 0;
    const GlyphKey key{
        run.font.familyName(), run.font.styleName(), run.font.pixelSize(), id, scaleXPermille, k};
    if (const Glyph *hit = glyphs_.object(key))
        return *hit;
    const QTransform narrow = QTransform::fromScale(scaleXPermille / 1000.0, 1);
    Glyph g;
    g.alpha = run.font.alphaMapForGlyph(id, QRawFont::PixelAntialiasing, narrow);
    if (g.alpha.format() != QImage::Format_Alpha8 && !g.alpha.isNull())
        g.alpha = g.alpha.convertToFormat(QImage::Format_Alpha8);
    const QRectF box = narrow.mapRect(run.font.boundingRect(id));
    g.offset = QPoint(int(std::floor(box.left())), int(std::floor(box.top())));
    if (k > 0 && !g.alpha.isNull()) {
        g.alpha = thicken(g.alpha, k);
        g.offset.ry() -= (k + 15) / 16;
    }
    glyphs_.insert(key, new Glyph(g), bytesOf(g.alpha));
    return g;
}

qreal GlyphText::advance(const QString &text, Face face, int pixelSize) {
    return shaped(text, face, pixelSize).advance;
}

TextSprite GlyphText::sprite(const QString &text, Face face, int pixelSize, qreal scaleX,
                             QRgb color) {
    const int permille = std::clamp(int(std::lround(scaleX * 1000)), 1, 1000);
    const TextKey key{text, int(face), pixelSize, permille, color};
    if (const TextSprite *hit = sprites_.object(key))
        return *hit;

    const Shaped &s = shaped(text, face, pixelSize);
    const qreal sx = permille / 1000.0;
    struct Placed {
        Glyph glyph;
        QPoint at;
    };
    QList<Placed> placed;
    QRect bounds;
    for (const Shaped::Run &run : s.runs) {
        for (int i = 0; i < run.glyphs.size(); ++i) {
            Glyph g = glyph(run, i, permille, pixelSize);
            if (g.alpha.isNull())
                continue;
            const QPointF pen = run.positions[i];
            const QPoint at(int(std::lround(pen.x() * sx)) + g.offset.x(),
                            int(std::lround(pen.y())) + g.offset.y());
            bounds |= QRect(at, g.alpha.size());
            placed.append({g, at});
        }
    }

    TextSprite out;
    out.advance = int(std::lround(s.advance * sx));
    out.offset = bounds.topLeft();
    if (!bounds.isEmpty()) {
        QImage coverage(bounds.size(), QImage::Format_Alpha8);
        coverage.fill(0);
        for (const Placed &p : placed) {
            const QPoint o = p.at - bounds.topLeft();
            const int w = p.glyph.alpha.width(), h = p.glyph.alpha.height();
            for (int y = 0; y < h; ++y) {
                const uchar *src = p.glyph.alpha.constScanLine(y);
                uchar *dst = coverage.scanLine(o.y() + y) + o.x();
                for (int x = 0; x < w; ++x)
                    dst[x] = uchar(std::min(255, dst[x] + src[x]));
            }
        }
        // The colour at each coverage, premultiplied.
        std::array<QRgb, 256> tint{};
        for (int v = 0; v < 256; ++v)
            tint[size_t(v)] = qRgba((qRed(color) * v + 127) / 255, (qGreen(color) * v + 127) / 255,
                                    (qBlue(color) * v + 127) / 255, v);
        out.image = QImage(bounds.size(), QImage::Format_ARGB32_Premultiplied);
        const int w = bounds.width(), h = bounds.height();
        for (int y = 0; y < h; ++y) {
            const uchar *a = coverage.constScanLine(y);
            auto *dst = reinterpret_cast<QRgb *>(out.image.scanLine(y));
            for (int x = 0; x < w; ++x)
                dst[x] = tint[a[x]];
        }
    }
    sprites_.insert(key, new TextSprite(out), bytesOf(out.image));
    return out;
}

std::pair<int, int> GlyphText::inkRange(Face face, int pixelSize) {
    const QString reference = face == Face::Digits  ? QStringLiteral("0")
                              : face == Face::Latin ? QStringLiteral("H")
                                                    : QStringLiteral("国");
    const TextSprite s = sprite(reference, face, pixelSize, 1, qRgb(255, 255, 255));
    return {s.offset.y(), s.offset.y() + s.image.height()};
}

} // namespace q47::lcd
