#pragma once

#include <QString>
#include <QStringView>

// Japanese readings of numbers and of the counters after them (12番 ジュウニバン, 3分 サンプン).
namespace q47::reading {

// Longer digit strings are read digit by digit: nobody says them as amounts.
inline constexpr int kMaxNumberDigits = 16;

struct Counter;

// The longest counter word at text[pos], nullptr when there is none; *length gets its length.
const Counter *counterAt(QStringView text, qsizetype pos, qsizetype *length);

// The integer followed by the counter (nullptr: the number alone). afterMonth: the number
// follows 月, so that 1日 is the first of the month (ツイタチ) rather than one day.
QString integerReading(quint64 value, const Counter *counter, bool afterMonth = false);

enum class Counters { Read, Ignore };

// Reads the number written in ASCII digits at text[pos] (digit groups with commas, a decimal
// part, kanji multipliers as in 1万2000, a time 12:30, phone-like groups 03-1234-5678) and, with
// Counters::Read, the counter right after it. Appends the kana to *kana and returns the number of
// characters read: 0 when text[pos] is no digit.
qsizetype readDigits(QStringView text, qsizetype pos, QString *kana,
                     Counters counters = Counters::Read);

bool isKanjiNumeral(QChar c);
// The value of kanji numerals such as 三百, 二千五百 or 二〇二四; false when they are no number.
bool kanjiNumberValue(QStringView numerals, quint64 *value);
// Whether the numerals hold a place-value character (十 百 千 万 億 兆).
bool hasKanjiMultiplier(QStringView numerals);

} // namespace q47::reading
