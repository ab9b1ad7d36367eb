#include "glyphtext.h"

#include <QGlyphRun>
#include <QTextLayout>
#include <QTransform>

#include <algorithm>
#include <cmath>

namespace q47::lcd {

namespace {

// What the caches may hold: pictures in bytes, shaped texts by count.
constexpr qsizetype kSpriteBytes = 48 << 20;
constexpr qsizetype kGlyphBytes = 16 << 20;
constexpr qsizetype kShapes = 2048;

qsizetype bytesOf(const QImage &image) {
    return std::max<qsizetype>(image.sizeInBytes(), 1);
}

// A face without a bold style is thickened by about a 48th of its size, near the strength of
// a painter's synthetic bold; small type stays as drawn, where a pixel more would clog it.
int thickening(int pixelSize) {
    return int(std::lround(pixelSize / 48.0));
}

// Widens the coverage `k` pixels to the right and upwards.
QImage thicken(const QImage &alpha, int k) {
    QImage out(alpha.width() + k, alpha.height() + k, QImage::Format_Alpha8);
    out.fill(0);
    for (int y = 0; y < alpha.height(); ++y) {
        const uchar *src = alpha.constScanLine(y);
        uchar *dst = out.scanLine(y + k);
        for (int x = 0; x < alpha.width(); ++x) {
            for (int j = 0; j <= k; ++j)
                dst[x + j] = std::max(dst[x + j], src[x]);
        }
    }
    for (int y = 0; y + k < out.height(); ++y) {
        uchar *dst = out.scanLine(y);
        for (int j = 1; j <= k; ++j) {
            const uchar *below = out.constScanLine(y + j);
            for (int x = 0; x < out.width(); ++x)
                dst[x] = std::max(dst[x], below[x]);
        }
    }
    return out;
}

QString faceKey(Face face, int pixelSize) {
    return QString::number(int(face)) + QLatin1Char('/') + QString::number(pixelSize);
}

} // namespace

QFont faceFont(Face face, int pixelSize) {
    QFont font;
    switch (face) {
    case Face::Japanese:
        font.setFamilies({QStringLiteral("ＭＳ ゴシック")});
        break;
    case Face::Latin:
        font.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("ＭＳ ゴシック")});
        break;
    case Face::Digits:
        font.setFamilies({QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("DejaVu Sans"),
                          QStringLiteral("ＭＳ ゴシック")});
        break;
    }
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
    const QString key = faceKey(face, pixelSize) + QLatin1Char('/') + text;
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
    const QString key = run.font.familyName() + QLatin1Char('/') + run.font.styleName() +
                        QLatin1Char('/') + QString::number(run.font.pixelSize()) +
                        QLatin1Char('/') + QString::number(id) + QLatin1Char('/') +
                        QString::number(scaleXPermille) + QLatin1Char('/') +
                        QString::number(run.thicken);
    if (const Glyph *hit = glyphs_.object(key))
        return *hit;
    const QTransform narrow = QTransform::fromScale(scaleXPermille / 1000.0, 1);
    Glyph g;
    g.alpha = run.font.alphaMapForGlyph(id, QRawFont::PixelAntialiasing, narrow);
    if (g.alpha.format() != QImage::Format_Alpha8 && !g.alpha.isNull())
        g.alpha = g.alpha.convertToFormat(QImage::Format_Alpha8);
    const QRectF box = narrow.mapRect(run.font.boundingRect(id));
    g.offset = QPoint(int(std::floor(box.left())), int(std::floor(box.top())));
    if (const int k = run.thicken ? thickening(pixelSize) : 0; k > 0 && !g.alpha.isNull()) {
        g.alpha = thicken(g.alpha, k);
        g.offset.ry() -= k;
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
    const QString key = faceKey(face, pixelSize) + QLatin1Char('/') + QString::number(permille) +
                        QLatin1Char('/') + QString::number(color, 16) + QLatin1Char('/') + text;
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
            for (int y = 0; y < p.glyph.alpha.height(); ++y) {
                const uchar *src = p.glyph.alpha.constScanLine(y);
                uchar *dst = coverage.scanLine(o.y() + y) + o.x();
                for (int x = 0; x < p.glyph.alpha.width(); ++x)
                    dst[x] = uchar(std::min(255, dst[x] + src[x]));
            }
        }
        out.image = QImage(bounds.size(), QImage::Format_ARGB32_Premultiplied);
        const int r = qRed(color), g = qGreen(color), b = qBlue(color);
        for (int y = 0; y < bounds.height(); ++y) {
            const uchar *a = coverage.constScanLine(y);
            auto *dst = reinterpret_cast<QRgb *>(out.image.scanLine(y));
            for (int x = 0; x < bounds.width(); ++x) {
                const int v = a[x];
                dst[x] = qRgba((r * v + 127) / 255, (g * v + 127) / 255, (b * v + 127) / 255, v);
            }
        }
    }
    sprites_.insert(key, new TextSprite(out), bytesOf(out.image));
    return out;
}

std::pair<int, int> GlyphText::inkRange(Face face, int pixelSize) {
    const QString reference = face == Face::Japanese ? QStringLiteral("国")
                              : face == Face::Digits ? QStringLiteral("0")
                                                     : QStringLiteral("H");
    const TextSprite s = sprite(reference, face, pixelSize, 1, qRgb(255, 255, 255));
    return {s.offset.y(), s.offset.y() + s.image.height()};
}

} // namespace q47::lcd
