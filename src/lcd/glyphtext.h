#pragma once

#include <QCache>
#include <QFont>
#include <QImage>
#include <QList>
#include <QPointF>
#include <QRawFont>
#include <QRgb>
#include <QString>

namespace q47::lcd {

// The board's faces: its Japanese gothic, a clean sans for English and for numbers, and gothics
// with the shapes Chinese (simplified and traditional) and Korean readers expect. Each falls
// back on faces that hold every character a feed can hold (CJK extensions, emoji).
enum class Face { Japanese, Latin, Digits, ChineseHans, ChineseHant, Korean };

QFont faceFont(Face face, int pixelSize);

// A text as a tinted picture placed from its pen position on the baseline.
struct TextSprite {
    QImage image;  // premultiplied, device pixels
    QPoint offset; // of the picture's top-left corner from the pen position
    int advance = 0;
};

// Draws text from glyph images that FreeType renders once per face, size and narrowing, and
// keeps whole texts as pictures: large type filled as outlines on every paint would cost
// milliseconds per name. Faces without a bold style are thickened here as the painter would.
class GlyphText {
public:
    GlyphText();
    GlyphText(const GlyphText &) = delete;
    GlyphText &operator=(const GlyphText &) = delete;

    // The natural width of the text in device pixels.
    qreal advance(const QString &text, Face face, int pixelSize);
    // The text narrowed to `scaleX` of its width, in `color`.
    TextSprite sprite(const QString &text, Face face, int pixelSize, qreal scaleX, QRgb color);
    // The top and bottom of the face's capitals (digits for Digits, a kanji for Japanese)
    // from the baseline, upwards negative: where texts of that face are centred.
    std::pair<int, int> inkRange(Face face, int pixelSize);

    void clear();

private:
    struct Shaped {
        struct Run {
            QRawFont font;
            bool thicken = false;
            QList<quint32> glyphs;
            QList<QPointF> positions; // pen positions, baseline at y 0
        };
        QList<Run> runs;
        qreal advance = 0;
    };
    struct Glyph {
        QImage alpha; // Alpha8
        QPoint offset;
    };
    struct TextKey {
        QString text;
        int face;
        int pixelSize;
        int scaleXPermille;
        QRgb color;
        bool operator==(const TextKey &) const = default;
        friend size_t qHash(const TextKey &k, size_t seed) {
            return qHashMulti(seed, k.text, k.face, k.pixelSize, k.scaleXPermille, k.color);
        }
    };
    struct GlyphKey {
        QString family;
        QString style;
        qreal pixelSize;
        quint32 glyph;
        int scaleXPermille;
        int thickening;
        bool operator==(const GlyphKey &) const = default;
        friend size_t qHash(const GlyphKey &k, size_t seed) {
            return qHashMulti(seed, k.family, k.style, k.pixelSize, k.glyph, k.scaleXPermille,
                              k.thickening);
        }
    };

    const Shaped &shaped(const QString &text, Face face, int pixelSize);
    Glyph glyph(const Shaped::Run &run, int index, int scaleXPermille, int pixelSize);

    QCache<TextKey, Shaped> shapes_; // scale and colour unused
    QCache<GlyphKey, Glyph> glyphs_;
    QCache<TextKey, TextSprite> sprites_;
};

} // namespace q47::lcd
