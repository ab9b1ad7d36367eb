#pragma once

#include <QHash>
#include <QImage>
#include <QString>

#include <array>

namespace q47 {

// One character cell as dots: 16 columns by 16 rows.
class DotPattern {
public:
    static constexpr int kSize = 16;

    bool at(int u, int v) const { return (rows_[static_cast<size_t>(v)] >> u) & 1U; }
    void set(int u, int v) { rows_[static_cast<size_t>(v)] |= static_cast<quint16>(1U << u); }
    int count() const;
    bool isEmpty() const { return count() == 0; }
    // Mirrored about the main diagonal: column u becomes row u.
    DotPattern transposed() const;
    // Moved by (du, dv) dots; what leaves the 16 x 16 square is lost.
    DotPattern shifted(int du, int dv) const;

    bool operator==(const DotPattern &) const = default;

private:
    std::array<quint16, kSize> rows_{};
};

// How one cell's text is placed on the work surface and plotted.
struct DotTreatment {
    int dx = 0;
    int dy = 0;
    bool transposed = false;
};

// Looks the cell text up in the vertical-writing table. "ー" is replaced in `text` by the
// vertical stroke; brackets, arrows, the wave dash and "＝" are turned by transposing;
// the small marks "。" and "、" move to the upper right where vertical writing puts them.
DotTreatment dotNameTreatment(QString &text, qint16 fontMode);

// The CP932 code of the first character as a signed 16-bit number: double-byte codes from
// 0x8000 on are negative, single bytes are 0 to 255. 0 for an empty text.
qint16 cp932SignedCode(const QString &text);

inline const QString kDotNameGothic = QStringLiteral("ＭＳ ゴシック");
inline const QString kDotNameMincho = QStringLiteral("ＭＳ 明朝");

// The face a cell is drawn with under a FontMode.
QString dotNameFontFamily(const QString &text, qint16 fontMode);

// The hidden work surface that turns a character into dots, with the patterns it has
// produced cached by text, face, weight and offset: a name mostly repeats characters, and
// rasterising is the costly part of showing it.
class DotNameGlyphs {
public:
    static constexpr int kPixelSize = 16; // 12 pt at 96 dpi

    // The dots of `text` drawn with its top-left at (dx, dy): one wherever the unsmoothed
    // rendering leaves a pure black pixel.
    DotPattern pattern(const QString &text, const QString &family, bool bold, int dx, int dy);

    // The work surface as the last rasterised character left it.
    const QImage &workSurface() const { return work_; }
    int cachedCount() const { return static_cast<int>(cache_.size()); }
    int rasterisedCount() const { return rasterised_; }

private:
    struct Key {
        QString text;
        QString family;
        bool bold;
        int dx;
        int dy;
        bool operator==(const Key &) const = default;
    };
    friend size_t qHash(const Key &k, size_t seed) {
        return qHashMulti(seed, k.text, k.family, k.bold, k.dx, k.dy);
    }

    DotPattern rasterise(const Key &key);

    QImage work_;
    QHash<Key, DotPattern> cache_;
    int rasterised_ = 0;
};

} // namespace q47
