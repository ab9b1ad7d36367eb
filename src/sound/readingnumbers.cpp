#include "readingnumbers.h"

#include "readingtext.h"

#include <string_view>
#include <vector>

namespace q47::reading {

// How a counter joins the number before it. Most just follow it; some take a small ッ after
// 1, 6, 8, 10 and 100 (1分 イップン, 10回 ジュッカイ) and some voice after ン (3本 サンボン).
struct Counter {
    std::u16string_view word;
    const char16_t *kana;
    const char16_t *geminated;     // after イッ ロッ ハッ ジュッ ヒャッ; nullptr: never
    std::u16string_view gemDigits; // the ones digits that take the small ッ
    const char16_t *afterN;        // after サン, セン, マン; nullptr: as kana
    std::u16string_view base; // read as this counter followed by suffix (分間 = 分 + カン)
    const char16_t *suffix;
};

namespace {

constexpr Counter kCounters[] = {
    {u"番", u"バン", nullptr, u"", nullptr, u"", nullptr},
    {u"番線", nullptr, nullptr, u"", nullptr, u"番", u"セン"},
    {u"番地", nullptr, nullptr, u"", nullptr, u"番", u"チ"},
    {u"番目", nullptr, nullptr, u"", nullptr, u"番", u"メ"},
    {u"号", u"ゴウ", nullptr, u"", nullptr, u"", nullptr},
    {u"号車", nullptr, nullptr, u"", nullptr, u"号", u"シャ"},
    {u"号線", nullptr, nullptr, u"", nullptr, u"号", u"セン"},
    {u"系統", u"ケイトウ", u"ケイトウ", u"168", nullptr, u"", nullptr},
    {u"円", u"エン", nullptr, u"", nullptr, u"", nullptr},
    {u"分", u"フン", u"プン", u"168", u"プン", u"", nullptr},
    {u"分間", nullptr, nullptr, u"", nullptr, u"分", u"カン"},
    {u"分の", u"ブンノ", nullptr, u"", nullptr, u"", nullptr},
    {u"秒", u"ビョウ", nullptr, u"", nullptr, u"", nullptr},
    {u"時", u"ジ", nullptr, u"", nullptr, u"", nullptr},
    {u"時間", nullptr, nullptr, u"", nullptr, u"時", u"カン"},
    {u"キロメートル", u"キロメートル", nullptr, u"", nullptr, u"", nullptr},
    {u"キロ", u"キロ", nullptr, u"", nullptr, u"", nullptr},
    {u"km", u"キロ", nullptr, u"", nullptr, u"", nullptr},
    {u"メートル", u"メートル", nullptr, u"", nullptr, u"", nullptr},
    {u"m", u"メートル", nullptr, u"", nullptr, u"", nullptr},
    {u"人", u"ニン", nullptr, u"", nullptr, u"", nullptr},
    {u"名", u"メイ", nullptr, u"", nullptr, u"", nullptr},
    {u"本", u"ホン", u"ポン", u"168", u"ボン", u"", nullptr},
    {u"回", u"カイ", u"カイ", u"168", nullptr, u"", nullptr},
    {u"階", u"カイ", u"カイ", u"168", u"ガイ", u"", nullptr},
    {u"件", u"ケン", u"ケン", u"168", nullptr, u"", nullptr},
    {u"個", u"コ", u"コ", u"168", nullptr, u"", nullptr},
    {u"か所", u"カショ", u"カショ", u"168", nullptr, u"", nullptr},
    {u"カ所", u"カショ", u"カショ", u"168", nullptr, u"", nullptr},
    {u"ケ所", u"カショ", u"カショ", u"168", nullptr, u"", nullptr},
    {u"箇所", u"カショ", u"カショ", u"168", nullptr, u"", nullptr},
    {u"か月", u"カゲツ", u"カゲツ", u"168", nullptr, u"", nullptr},
    {u"カ月", u"カゲツ", u"カゲツ", u"168", nullptr, u"", nullptr},
    {u"ケ月", u"カゲツ", u"カゲツ", u"168", nullptr, u"", nullptr},
    {u"月", u"ガツ", nullptr, u"", nullptr, u"", nullptr},
    {u"日", u"ニチ", nullptr, u"", nullptr, u"", nullptr},
    {u"日間", nullptr, nullptr, u"", nullptr, u"日", u"カン"},
    {u"年", u"ネン", nullptr, u"", nullptr, u"", nullptr},
    {u"年間", nullptr, nullptr, u"", nullptr, u"年", u"カン"},
    {u"週間", u"シュウカン", u"シュウカン", u"18", nullptr, u"", nullptr},
    {u"歳", u"サイ", u"サイ", u"18", nullptr, u"", nullptr},
    {u"丁目", u"チョウメ", u"チョウメ", u"18", nullptr, u"", nullptr},
    {u"条", u"ジョウ", nullptr, u"", nullptr, u"", nullptr},
    {u"両", u"リョウ", nullptr, u"", nullptr, u"", nullptr},
    {u"台", u"ダイ", nullptr, u"", nullptr, u"", nullptr},
    {u"枚", u"マイ", nullptr, u"", nullptr, u"", nullptr},
    {u"便", u"ビン", nullptr, u"", nullptr, u"", nullptr},
    {u"度", u"ド", nullptr, u"", nullptr, u"", nullptr},
    {u"°C", u"ド", nullptr, u"", nullptr, u"", nullptr},
    {u"倍", u"バイ", nullptr, u"", nullptr, u"", nullptr},
    {u"%", u"パーセント", u"パーセント", u"18", nullptr, u"", nullptr},
};

enum class Applies { Ones, Whole, WholeAfterMonth };

// Forms that follow no rule: for the last digit of a number (14時 ジュウヨジ) or a whole number.
struct Irregular {
    std::u16string_view counter;
    quint64 number;
    Applies applies;
    const char16_t *kana;
};

constexpr Irregular kIrregular[] = {
    {u"時", 4, Applies::Ones, u"ヨジ"},
    {u"時", 7, Applies::Ones, u"シチジ"},
    {u"時", 9, Applies::Ones, u"クジ"},
    {u"円", 4, Applies::Ones, u"ヨエン"},
    {u"人", 1, Applies::Whole, u"ヒトリ"},
    {u"人", 2, Applies::Whole, u"フタリ"},
    {u"人", 4, Applies::Ones, u"ヨニン"},
    {u"分", 4, Applies::Ones, u"ヨンプン"},
    {u"月", 4, Applies::Ones, u"シガツ"},
    {u"月", 7, Applies::Ones, u"シチガツ"},
    {u"月", 9, Applies::Ones, u"クガツ"},
    {u"年", 4, Applies::Ones, u"ヨネン"},
    {u"条", 4, Applies::Ones, u"ヨジョウ"},
    {u"条", 7, Applies::Ones, u"シチジョウ"},
    {u"条", 9, Applies::Ones, u"クジョウ"},
    {u"歳", 20, Applies::Whole, u"ハタチ"},
    {u"日", 1, Applies::WholeAfterMonth, u"ツイタチ"},
    {u"日", 2, Applies::Whole, u"フツカ"},
    {u"日", 3, Applies::Whole, u"ミッカ"},
    {u"日", 5, Applies::Whole, u"イツカ"},
    {u"日", 6, Applies::Whole, u"ムイカ"},
    {u"日", 7, Applies::Whole, u"ナノカ"},
    {u"日", 8, Applies::Whole, u"ヨウカ"},
    {u"日", 9, Applies::Whole, u"ココノカ"},
    {u"日", 10, Applies::Whole, u"トオカ"},
    {u"日", 20, Applies::Whole, u"ハツカ"},
    {u"日", 4, Applies::Ones, u"ヨッカ"},
    {u"日", 7, Applies::Ones, u"シチニチ"},
    {u"日", 9, Applies::Ones, u"クニチ"},
};

constexpr const char16_t *kDigits[] = {u"ゼロ", u"イチ", u"ニ",   u"サン", u"ヨン",
                                       u"ゴ",   u"ロク", u"ナナ", u"ハチ", u"キュウ"};
// Said one by one, the one-mora digits are drawn out: ゼロサン ニーゴー.
constexpr const char16_t *kSpokenDigits[] = {u"ゼロ", u"イチ", u"ニー", u"サン", u"ヨン",
                                             u"ゴー", u"ロク", u"ナナ", u"ハチ", u"キュウ"};

enum class Kind { Zero, Ones, Ten, Hundred, Thousand, Man, Oku, Chou };

struct Element {
    QString kana;
    Kind kind;
    int digit;
};
using Elements = std::vector<Element>;

// ジュウ → ジュッ, イチ → イッ, ヒャク → ヒャッ.
void geminate(QString &kana) {
    kana.back() = u'ッ';
}

void groupElements(int g, bool multiplied, Elements &out) {
    const int th = g / 1000, h = g / 100 % 10, t = g / 10 % 10, o = g % 10;
    if (th) {
        QString kana = th == 1   ? QStringLiteral("セン")
                       : th == 3 ? QStringLiteral("サンゼン")
                       : th == 8 ? QStringLiteral("ハッセン")
                                 : QString::fromUtf16(kDigits[th]).append(u"セン");
        // 1000万 is イッセンマン, but 1000 alone and 1100万 start with セン.
        if (th == 1 && multiplied && g == 1000)
            kana = QStringLiteral("イッセン");
        out.push_back({kana, Kind::Thousand, th});
    }
    if (h) {
        out.push_back({h == 1   ? QStringLiteral("ヒャク")
                       : h == 3 ? QStringLiteral("サンビャク")
                       : h == 6 ? QStringLiteral("ロッピャク")
                       : h == 8 ? QStringLiteral("ハッピャク")
                                : QString::fromUtf16(kDigits[h]).append(u"ヒャク"),
                       Kind::Hundred, h});
    }
    if (t)
        out.push_back(
            {t == 1 ? QStringLiteral("ジュウ") : QString::fromUtf16(kDigits[t]).append(u"ジュウ"),
             Kind::Ten, t});
    if (o)
        out.push_back({QString::fromUtf16(kDigits[o]), Kind::Ones, o});
}

Elements integerElements(quint64 v) {
    if (v == 0)
        return {{QStringLiteral("ゼロ"), Kind::Zero, 0}};
    struct Unit {
        quint64 size;
        const char16_t *kana;
        Kind kind;
    };
    static constexpr Unit kUnits[] = {{1000000000000ULL, u"チョウ", Kind::Chou},
                                      {100000000ULL, u"オク", Kind::Oku},
                                      {10000ULL, u"マン", Kind::Man},
                                      {1, nullptr, Kind::Ones}};
    Elements out;
    for (const Unit &unit : kUnits) {
        const int g = static_cast<int>(v / unit.size % 10000);
        if (!g)
            continue;
        groupElements(g, unit.kana != nullptr, out);
        if (!unit.kana)
            continue;
        // 1兆 イッチョウ, 8兆 ハッチョウ, 10兆 ジュッチョウ.
        Element &last = out.back();
        if (unit.kind == Kind::Chou &&
            ((last.kind == Kind::Ones && (last.digit == 1 || last.digit == 8)) ||
             last.kind == Kind::Ten))
            geminate(last.kana);
        out.push_back({QString::fromUtf16(unit.kana), unit.kind, 0});
    }
    return out;
}

QString joined(const Elements &els) {
    QString out;
    for (const Element &e : els)
        out += e.kana;
    return out;
}

const Counter *findCounter(std::u16string_view word) {
    for (const Counter &c : kCounters) {
        if (c.word == word)
            return &c;
    }
    return nullptr;
}

const Irregular *findIrregular(const Counter &c, quint64 number, Applies applies) {
    for (const Irregular &i : kIrregular) {
        if (i.counter == c.word && i.number == number && i.applies == applies)
            return &i;
    }
    return nullptr;
}

// Joins the counter to the last element. Irregular last-digit forms only suit whole numbers.
void applyCounter(Elements &els, const Counter &c, bool whole) {
    Element &last = els.back();
    const auto takesGemination = [&](int digit) {
        return c.geminated && c.gemDigits.find(char16_t(u'0' + digit)) != std::u16string_view::npos;
    };
    switch (last.kind) {
    case Kind::Ones:
        if (const Irregular *i = whole ? findIrregular(c, last.digit, Applies::Ones) : nullptr) {
            last.kana = QString::fromUtf16(i->kana);
            return;
        }
        if (takesGemination(last.digit)) {
            geminate(last.kana);
            last.kana += QStringView(c.geminated);
            return;
        }
        if (c.afterN && last.digit == 3) {
            last.kana += QStringView(c.afterN);
            return;
        }
        break;
    case Kind::Ten:
        if (c.geminated) {
            geminate(last.kana);
            last.kana += QStringView(c.geminated);
            return;
        }
        break;
    case Kind::Hundred:
        if (takesGemination(6)) {
            geminate(last.kana);
            last.kana += QStringView(c.geminated);
            return;
        }
        break;
    case Kind::Thousand:
    case Kind::Man:
        if (c.afterN) {
            last.kana += QStringView(c.afterN);
            return;
        }
        break;
    default:
        break;
    }
    last.kana += QStringView(c.kana);
}

bool isHyphen(QChar c) {
    const char16_t u = c.unicode();
    return u == u'-' || (u >= 0x2010 && u <= 0x2013) || u == 0x2212 || u == u'ー';
}

qsizetype digitsEnd(QStringView text, qsizetype i) {
    while (i < text.size() && isAsciiDigit(text[i]))
        ++i;
    return i;
}

// Digits one by one; hyphens between groups read as ノ.
QString spokenDigits(QStringView text) {
    QString out;
    for (QChar c : text)
        out += isAsciiDigit(c) ? QStringView(kSpokenDigits[c.unicode() - u'0']) : u"ノ";
    return out;
}

QString decimalReading(quint64 whole, QStringView fraction, const Counter *counter,
                       const char16_t *unit) {
    Elements els =
        whole ? integerElements(whole) : Elements{{QStringLiteral("レイ"), Kind::Zero, 0}};
    Element &last = els.back();
    // 1.5 イッテンゴ, 8.5 ハッテンゴ, 10.5 ジュッテンゴ.
    if ((last.kind == Kind::Ones && (last.digit == 1 || last.digit == 8)) || last.kind == Kind::Ten)
        geminate(last.kana);
    last.kana += u"テン";
    for (QChar c : fraction) {
        const int d = c.unicode() - u'0';
        els.push_back({QString::fromUtf16(kDigits[d]), d ? Kind::Ones : Kind::Zero, d});
    }
    if (unit)
        els.push_back({QString::fromUtf16(unit), unit[0] == u'マ' ? Kind::Man : Kind::Oku, 0});
    QString suffix;
    if (counter && !counter->base.empty()) {
        suffix = QString::fromUtf16(counter->suffix);
        counter = findCounter(counter->base);
    }
    if (counter)
        applyCounter(els, *counter, false);
    return joined(els) + suffix;
}

struct Multiplier {
    char16_t c;
    quint64 size;
};
constexpr Multiplier kMultipliers[] = {{u'兆', 1000000000000ULL},
                                       {u'億', 100000000ULL},
                                       {u'万', 10000ULL},
                                       {u'千', 1000},
                                       {u'百', 100}};
constexpr quint64 kNumberLimit = 10000000000000000ULL; // 10^16

const Multiplier *multiplierOf(QChar c) {
    for (const Multiplier &m : kMultipliers) {
        if (m.c == c.unicode())
            return &m;
    }
    return nullptr;
}

quint64 valueOf(QStringView digits) {
    quint64 v = 0;
    for (QChar c : digits)
        v = v * 10 + (c.unicode() - u'0');
    return v;
}

} // namespace

const Counter *counterAt(QStringView text, qsizetype pos, qsizetype *length) {
    const Counter *best = nullptr;
    qsizetype bestLength = 0;
    const QStringView rest = text.sliced(pos);
    for (const Counter &c : kCounters) {
        const QStringView word(c.word.data(), qsizetype(c.word.size()));
        if (word.size() <= bestLength || !rest.startsWith(word))
            continue;
        // "m" is a counter in 5m, not in 5min.
        if (isAsciiLetter(word.back()) && rest.size() > word.size() &&
            isAsciiLetter(rest[word.size()]))
            continue;
        best = &c;
        bestLength = word.size();
    }
    *length = bestLength;
    return best;
}

QString integerReading(quint64 value, const Counter *counter, bool afterMonth) {
    if (counter && !counter->base.empty())
        return integerReading(value, findCounter(counter->base))
            .append(QStringView(counter->suffix));
    if (counter) {
        const Irregular *i = findIrregular(*counter, value, Applies::Whole);
        if (!i && afterMonth)
            i = findIrregular(*counter, value, Applies::WholeAfterMonth);
        if (i)
            return QString::fromUtf16(i->kana);
    }
    Elements els = integerElements(value);
    if (counter)
        applyCounter(els, *counter, true);
    return joined(els);
}

qsizetype readDigits(QStringView text, qsizetype pos, QString *kana, Counters counters) {
    const qsizetype n = text.size();
    if (pos < 0 || pos >= n || !isAsciiDigit(text[pos]))
        return 0;
    qsizetype end = digitsEnd(text, pos);

    // A time of day: 9:05, 12:30.
    if (end - pos <= 2 && end < n && text[end] == u':' && digitsEnd(text, end + 1) == end + 3) {
        const quint64 hours = valueOf(text.sliced(pos, end - pos));
        const quint64 minutes = valueOf(text.sliced(end + 1, 2));
        if (hours <= 30 && minutes < 60) {
            *kana += integerReading(hours, findCounter(u"時"));
            if (minutes)
                *kana += integerReading(minutes, findCounter(u"分"));
            return end + 3 - pos;
        }
    }

    // Telephone-like numbers and codes: read digit by digit.
    qsizetype chainEnd = end;
    int groups = 1;
    while (chainEnd + 1 < n && isHyphen(text[chainEnd]) && isAsciiDigit(text[chainEnd + 1])) {
        chainEnd = digitsEnd(text, chainEnd + 1);
        ++groups;
    }
    const bool leadingZero = text[pos] == u'0' && end - pos > 1;
    if (groups >= 3 || leadingZero) {
        *kana += spokenDigits(text.sliced(pos, chainEnd - pos));
        return chainEnd - pos;
    }

    // Digit groups: 1,200.
    QString digits = text.sliced(pos, end - pos).toString();
    if (end - pos <= 3) {
        while (end + 3 < n && text[end] == u',' && digitsEnd(text, end + 1) == end + 4) {
            digits += text.sliced(end + 1, 3);
            end += 4;
        }
    }
    if (digits.size() > kMaxNumberDigits) {
        *kana += spokenDigits(digits);
        return end - pos;
    }
    quint64 value = valueOf(digits);

    const auto readCounter = [&](qsizetype at, const Counter **counter) {
        qsizetype length = 0;
        *counter = counters == Counters::Read ? counterAt(text, at, &length) : nullptr;
        return length;
    };

    // A decimal part, perhaps with a multiplier: 3.5, 1.5万.
    if (end + 1 < n && text[end] == u'.' && isAsciiDigit(text[end + 1])) {
        const qsizetype fractionEnd = digitsEnd(text, end + 1);
        const QStringView fraction = text.sliced(end + 1, fractionEnd - end - 1);
        end = fractionEnd;
        const char16_t *unit = nullptr;
        if (end < n && (text[end] == u'万' || text[end] == u'億')) {
            unit = text[end] == u'万' ? u"マン" : u"オク";
            ++end;
        }
        const Counter *counter = nullptr;
        end += readCounter(end, &counter);
        *kana += decimalReading(value, fraction, counter, unit);
        return end - pos;
    }

    // Kanji multipliers: 1万2000, 3千, 1億2345万.
    quint64 total = 0;
    quint64 limit = kNumberLimit;
    while (end < n) {
        const Multiplier *m = multiplierOf(text[end]);
        if (!m || m->size >= limit || value == 0 || value >= (m->size >= 10000 ? 10000 : 10) ||
            total + value * m->size >= kNumberLimit)
            break;
        total += value * m->size;
        limit = m->size;
        value = 0;
        ++end;
        const qsizetype next = digitsEnd(text, end);
        if (next == end || next - end > 4 || valueOf(text.sliced(end, next - end)) >= limit)
            break;
        value = valueOf(text.sliced(end, next - end));
        end = next;
    }
    total += value;

    const bool afterMonth = pos > 0 && text[pos - 1] == u'月';
    const Counter *counter = nullptr;
    end += readCounter(end, &counter);
    *kana += integerReading(total, counter, afterMonth);
    return end - pos;
}

bool isKanjiNumeral(QChar c) {
    return QStringView(u"〇零一二三四五六七八九十百千万億兆").contains(c);
}

bool hasKanjiMultiplier(QStringView numerals) {
    for (QChar c : numerals) {
        if (QStringView(u"十百千万億兆").contains(c))
            return true;
    }
    return false;
}

bool kanjiNumberValue(QStringView numerals, quint64 *value) {
    if (numerals.isEmpty() || numerals.size() > 24)
        return false;
    static constexpr std::u16string_view kDigitChars = u"〇一二三四五六七八九";
    quint64 total = 0, group = 0;
    qint64 current = -1;
    for (QChar c : numerals) {
        char16_t u = c.unicode() == u'零' ? u'〇' : c.unicode();
        if (const size_t d = kDigitChars.find(u); d != std::u16string_view::npos) {
            current = current < 0 ? qint64(d) : current * 10 + qint64(d);
            if (current >= qint64(kNumberLimit))
                return false;
            continue;
        }
        const Multiplier *m = multiplierOf(c);
        if (!m)
            return false;
        if (current >= 10000)
            return false;
        if (m->size < 10000) {
            group += quint64(current < 0 ? 1 : current) * m->size;
        } else {
            group += quint64(current < 0 ? 0 : current);
            if (group == 0 || group >= 10000)
                return false;
            total += group * m->size;
            group = 0;
        }
        current = -1;
        if (group >= kNumberLimit || total >= kNumberLimit)
            return false;
    }
    total += group + quint64(current < 0 ? 0 : current);
    if (total >= kNumberLimit)
        return false;
    *value = total;
    return true;
}

} // namespace q47::reading
