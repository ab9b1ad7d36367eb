#include "japanesetext.h"

namespace q47 {

namespace {

// Full-width ASCII sits this far above its half-width form.
constexpr char16_t kFullWidthOffset = 0xFEE0;
constexpr char16_t kIdeographicSpace = 0x3000;
// Katakana sit this far above their hiragana.
constexpr char16_t kKanaOffset = 0x60;

} // namespace

QString toFullWidth(QStringView text) {
    QString out = text.toString();
    for (QChar &c : out) {
        const char16_t u = c.unicode();
        if (u == u' ')
            c = QChar(kIdeographicSpace);
        else if (u > 0x20 && u < 0x7F)
            c = QChar(char16_t(u + kFullWidthOffset));
    }
    return out;
}

QChar toHalfWidth(QChar c) {
    const char16_t u = c.unicode();
    if (u == kIdeographicSpace)
        return QLatin1Char(' ');
    if (u >= 0xFF01 && u <= 0xFF5E)
        return QChar(char16_t(u - kFullWidthOffset));
    return c;
}

QString toHalfWidth(QStringView text) {
    QString out = text.toString();
    for (QChar &c : out)
        c = toHalfWidth(c);
    return out;
}

QString toHiragana(QStringView text) {
    QString out = text.toString();
    for (QChar &c : out) {
        const char16_t u = c.unicode();
        if (u >= u'ァ' && u <= u'ヶ')
            c = QChar(char16_t(u - kKanaOffset));
    }
    return out;
}

QString toKatakana(QStringView text) {
    QString out = text.toString();
    for (QChar &c : out) {
        const char16_t u = c.unicode();
        if ((u >= u'ぁ' && u <= u'ゖ') || u == u'ゝ' || u == u'ゞ')
            c = QChar(char16_t(u + kKanaOffset));
    }
    return out;
}

} // namespace q47
