#pragma once

#include <QString>
#include <QStringView>

// Character-level helpers of the Japanese reading: clean-up, character classes, Latin letters and
// symbols.
namespace q47::reading {

// The text as the reader works on it: full-width ASCII made ASCII, half-width katakana and
// circled or squared compatibility characters made ordinary, ヶ/ヵ made ケ/カ (the system
// dictionary writes place names with ケ), control characters and lone surrogates made spaces.
QString sanitize(QStringView text);

// The one-to-one part of sanitize(), for matching words against text that was not sanitized.
QChar foldChar(QChar c);

// Code point at text[i] (a whole surrogate pair counts once); *size gets 1 or 2.
char32_t codePointAt(QStringView text, qsizetype i, int *size);

bool isKanji(char32_t c);
bool isKana(char32_t c); // hiragana, katakana and the long-vowel mark
// Characters the morphological analyser reads: kanji, kana and their marks.
bool isJapanese(char32_t c);
inline bool isAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}
inline bool isAsciiLetter(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// A kana reading as feeds and authors write it, made plain: "～" or "〜" after a kana lengthens
// its vowel (ゆ～らく ゆーらく) rather than meaning "から", and a bracketed code (ひらやま(4013),
// （Ａ１）) is left out with the blanks before it, since it is no part of the name's sound.
// Everything else is kept as it is.
QString plainKanaReading(QStringView reading);

enum class Pause { None, Comma, Stop };
Pause pauseOf(QChar c);

// Spoken form of a symbol such as % or &; empty for symbols that are passed over.
QString symbolReading(QChar c);

// Katakana for a run of Latin letters: abbreviations letter by letter (JR ジェイアール), a few
// common words, romanised Japanese (Shinjuku シンジュク; *guessed is then set). Empty when the
// word is none of these.
QString latinReading(QStringView word, bool *guessed = nullptr);

} // namespace q47::reading
