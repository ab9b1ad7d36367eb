#pragma once

#include <QChar>
#include <QString>
#include <QStringView>

namespace q47 {

// The conversions between the widths and the kana of Japanese text that the boards, the
// readings and the imports share.

// Half-width ASCII in its full-width forms: '!' to '~' as U+FF01 to U+FF5E, the space as the
// ideographic space; other characters unchanged.
QString toFullWidth(QStringView text);
// The other way: full-width ASCII and the ideographic space in their half-width forms.
QString toHalfWidth(QStringView text);
QChar toHalfWidth(QChar c);

// Half-width katakana and their marks, U+FF61 to U+FF9F.
constexpr bool isHalfWidthKana(char16_t c) {
    return c >= 0xFF61 && c <= 0xFF9F;
}

// Hiragana from katakana (ァ to ヶ); other characters unchanged.
QString toHiragana(QStringView text);
// Katakana from hiragana (ぁ to ゖ, and the iteration marks ゝ ゞ); other characters unchanged.
QString toKatakana(QStringView text);

} // namespace q47
