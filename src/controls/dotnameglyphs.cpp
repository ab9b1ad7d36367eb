#include "dotnameglyphs.h"

#include "cp932.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

#include <bit>

namespace q47 {

namespace {

// Names repeat few characters; the bound only guards against an endless stream of new ones.
constexpr qsizetype kCacheLimit = 4096;

constexpr qint16 signedCode(quint16 code) {
    return static_cast<qint16>(code);
}
constexpr qint16 kFirstKanji = signedCode(0x889F);
constexpr qint16 kFirstFullWidthDigit = signedCode(0x824F);
constexpr qint16 kLastFullWidthLatin = signedCode(0x829A);

bool isTransposed(const QString &text) {
    static const QStringList turned = {
        QStringLiteral("（"), QStringLiteral("）"), QStringLiteral("『"), QStringLiteral("』"),
        QStringLiteral("〔"), QStringLiteral("〕"), QStringLiteral("「"), QStringLiteral("」"),
        QStringLiteral("［"), QStringLiteral("］"), QStringLiteral("＜"), QStringLiteral("＞"),
        QStringLiteral("｛"), QStringLiteral("｝"), QStringLiteral("〈"), QStringLiteral("〉"),
        QStringLiteral("《"), QStringLiteral("》"), QStringLiteral("【"), QStringLiteral("】"),
        QStringLiteral("～"), QStringLiteral("＝"), QStringLiteral("→"),  QStringLiteral("←"),
        QStringLiteral("⇒"),  QStringLiteral("⇔")};
    return turned.contains(text);
}

} // namespace

int DotPattern::count() const {
    int n = 0;
    for (quint16 row : rows_)
        n += std::popcount(row);
    return n;
}

DotPattern DotPattern::transposed() const {
    DotPattern t;
    for (int v = 0; v < kSize; ++v)
        for (int u = 0; u < kSize; ++u)
            if (at(u, v))
                t.set(v, u);
    return t;
}

DotPattern DotPattern::shifted(int du, int dv) const {
    DotPattern s;
    for (int v = 0; v < kSize; ++v)
        for (int u = 0; u < kSize; ++u) {
            const int nu = u + du, nv = v + dv;
            if (at(u, v) && nu >= 0 && nu < kSize && nv >= 0 && nv < kSize)
                s.set(nu, nv);
        }
    return s;
}

DotTreatment dotNameTreatment(QString &text, qint16 fontMode) {
    if (text == QStringLiteral("ー")) {
        text = QStringLiteral("丨");
        return {};
    }
    if (text == QStringLiteral("申") || text == QStringLiteral("山"))
        return {fontMode == 0 ? 1 : 0, 0, false};
    if (isTransposed(text))
        return {0, 0, true};
    if (text == QStringLiteral("。") || text == QStringLiteral("、"))
        return {10, -10, false};
    return {};
}

qint16 cp932SignedCode(const QString &text) {
    if (text.isEmpty())
        return 0;
    // The first character alone: a lone surrogate half would not convert.
    const qsizetype len = text.at(0).isHighSurrogate() && text.size() > 1 ? 2 : 1;
    const QByteArray bytes = toCp932(text.left(len));
    if (bytes.isEmpty())
        return 0;
    const auto b0 = static_cast<quint8>(bytes.at(0));
    if (bytes.size() == 1)
        return b0;
    const auto b1 = static_cast<quint8>(bytes.at(1));
    return signedCode(static_cast<quint16>(b0 << 8 | b1));
}

QString dotNameFontFamily(const QString &text, qint16 fontMode) {
    const qint16 code = cp932SignedCode(text);
    switch (fontMode) {
    case 1:
        return kDotNameMincho;
    case 2:
        return code < kFirstKanji ? kDotNameMincho : kDotNameGothic;
    case 3:
        return code < kFirstKanji ? kDotNameGothic : kDotNameMincho;
    case 4:
        return code >= kFirstFullWidthDigit && code <= kLastFullWidthLatin ? kDotNameGothic
                                                                           : kDotNameMincho;
    default:
        return kDotNameGothic;
    }
}

DotPattern DotNameGlyphs::pattern(const QString &text, const QString &family, bool bold, int dx,
                                  int dy) {
    Key key{text, family, bold, dx, dy};
    if (auto it = cache_.constFind(key); it != cache_.constEnd())
        return *it;
    if (cache_.size() >= kCacheLimit)
        cache_.clear();
    const DotPattern p = rasterise(key);
    cache_.insert(std::move(key), p);
    return p;
}

DotPattern DotNameGlyphs::rasterise(const Key &key) {
    if (work_.isNull())
        work_ = QImage(DotPattern::kSize, DotPattern::kSize, QImage::Format_RGB32);
    work_.fill(Qt::white);

    QFont font(key.family);
    font.setPixelSize(kPixelSize);
    font.setBold(key.bold);
    // Smoothing would turn edges grey, and only pure black becomes a dot.
    font.setStyleStrategy(QFont::NoAntialias);
    {
        QPainter painter(&work_);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(QPointF(key.dx, key.dy + QFontMetrics(font).ascent()), key.text);
    }
    ++rasterised_;

    DotPattern p;
    for (int u = 0; u < DotPattern::kSize; ++u)
        for (int v = 0; v < DotPattern::kSize; ++v)
            if ((work_.pixel(u, v) & 0xFFFFFFU) == 0)
                p.set(u, v);
    return p;
}

} // namespace q47
