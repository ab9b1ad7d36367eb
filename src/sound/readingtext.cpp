#include "readingtext.h"

#include "japanesetext.h"

#include <array>
#include <string_view>

namespace q47::reading {

namespace {

bool inRange(char32_t c, char32_t first, char32_t last) {
    return c >= first && c <= last;
}

// Characters whose compatibility form is what is meant: ① 1, ㎞ km, ㈱ (株), ㍉ ミリ.
bool wantsCompatibilityForm(char16_t u) {
    return inRange(u, 0x2460, 0x24FF) || inRange(u, 0x3200, 0x33FF) || u == 0x2103 || u == 0x2116;
}

constexpr std::array<const char16_t *, 26> kLetterNames = {
    u"エー",   u"ビー",       u"シー",     u"ディー", u"イー",  u"エフ",   u"ジー",
    u"エイチ", u"アイ",       u"ジェイ",   u"ケー",   u"エル",  u"エム",   u"エヌ",
    u"オー",   u"ピー",       u"キュー",   u"アール", u"エス",  u"ティー", u"ユー",
    u"ブイ",   u"ダブリュー", u"エックス", u"ワイ",   u"ゼット"};

struct Word {
    std::u16string_view latin; // lower case
    const char16_t *kana;
};

// English words that turn up on signs and in announcements.
constexpr Word kWords[] = {
    {u"airport", u"エアポート"},   {u"avenue", u"アベニュー"},
    {u"bridge", u"ブリッジ"},      {u"bus", u"バス"},
    {u"center", u"センター"},      {u"centre", u"センター"},
    {u"city", u"シティ"},          {u"east", u"イースト"},
    {u"exit", u"エグジット"},      {u"express", u"エクスプレス"},
    {u"free", u"フリー"},          {u"gate", u"ゲート"},
    {u"hall", u"ホール"},          {u"hospital", u"ホスピタル"},
    {u"hotel", u"ホテル"},         {u"kg", u"キログラム"},
    {u"km", u"キロメートル"},      {u"limited", u"リミテッド"},
    {u"line", u"ライン"},          {u"liner", u"ライナー"},
    {u"local", u"ローカル"},       {u"mall", u"モール"},
    {u"new", u"ニュー"},           {u"north", u"ノース"},
    {u"ok", u"オーケー"},          {u"park", u"パーク"},
    {u"plaza", u"プラザ"},         {u"port", u"ポート"},
    {u"rapid", u"ラピッド"},       {u"south", u"サウス"},
    {u"station", u"ステーション"}, {u"stop", u"ストップ"},
    {u"street", u"ストリート"},    {u"terminal", u"ターミナル"},
    {u"tower", u"タワー"},         {u"town", u"タウン"},
    {u"west", u"ウエスト"},        {u"wifi", u"ワイファイ"},
};

// Romanised Japanese, Hepburn with the common variants.
constexpr Word kSyllables[] = {
    {u"a", u"ア"},     {u"i", u"イ"},     {u"u", u"ウ"},     {u"e", u"エ"},     {u"o", u"オ"},
    {u"ka", u"カ"},    {u"ki", u"キ"},    {u"ku", u"ク"},    {u"ke", u"ケ"},    {u"ko", u"コ"},
    {u"sa", u"サ"},    {u"shi", u"シ"},   {u"si", u"シ"},    {u"su", u"ス"},    {u"se", u"セ"},
    {u"so", u"ソ"},    {u"ta", u"タ"},    {u"chi", u"チ"},   {u"ti", u"チ"},    {u"tsu", u"ツ"},
    {u"tu", u"ツ"},    {u"te", u"テ"},    {u"to", u"ト"},    {u"na", u"ナ"},    {u"ni", u"ニ"},
    {u"nu", u"ヌ"},    {u"ne", u"ネ"},    {u"no", u"ノ"},    {u"ha", u"ハ"},    {u"hi", u"ヒ"},
    {u"fu", u"フ"},    {u"hu", u"フ"},    {u"he", u"ヘ"},    {u"ho", u"ホ"},    {u"ma", u"マ"},
    {u"mi", u"ミ"},    {u"mu", u"ム"},    {u"me", u"メ"},    {u"mo", u"モ"},    {u"ya", u"ヤ"},
    {u"yu", u"ユ"},    {u"yo", u"ヨ"},    {u"ra", u"ラ"},    {u"ri", u"リ"},    {u"ru", u"ル"},
    {u"re", u"レ"},    {u"ro", u"ロ"},    {u"wa", u"ワ"},    {u"wo", u"ヲ"},    {u"ga", u"ガ"},
    {u"gi", u"ギ"},    {u"gu", u"グ"},    {u"ge", u"ゲ"},    {u"go", u"ゴ"},    {u"za", u"ザ"},
    {u"ji", u"ジ"},    {u"zi", u"ジ"},    {u"zu", u"ズ"},    {u"ze", u"ゼ"},    {u"zo", u"ゾ"},
    {u"da", u"ダ"},    {u"di", u"ヂ"},    {u"du", u"ヅ"},    {u"de", u"デ"},    {u"do", u"ド"},
    {u"ba", u"バ"},    {u"bi", u"ビ"},    {u"bu", u"ブ"},    {u"be", u"ベ"},    {u"bo", u"ボ"},
    {u"pa", u"パ"},    {u"pi", u"ピ"},    {u"pu", u"プ"},    {u"pe", u"ペ"},    {u"po", u"ポ"},
    {u"fa", u"ファ"},  {u"fi", u"フィ"},  {u"fe", u"フェ"},  {u"fo", u"フォ"},  {u"je", u"ジェ"},
    {u"kya", u"キャ"}, {u"kyu", u"キュ"}, {u"kyo", u"キョ"}, {u"sha", u"シャ"}, {u"shu", u"シュ"},
    {u"sho", u"ショ"}, {u"sya", u"シャ"}, {u"syu", u"シュ"}, {u"syo", u"ショ"}, {u"cha", u"チャ"},
    {u"chu", u"チュ"}, {u"cho", u"チョ"}, {u"tya", u"チャ"}, {u"tyu", u"チュ"}, {u"tyo", u"チョ"},
    {u"nya", u"ニャ"}, {u"nyu", u"ニュ"}, {u"nyo", u"ニョ"}, {u"hya", u"ヒャ"}, {u"hyu", u"ヒュ"},
    {u"hyo", u"ヒョ"}, {u"mya", u"ミャ"}, {u"myu", u"ミュ"}, {u"myo", u"ミョ"}, {u"rya", u"リャ"},
    {u"ryu", u"リュ"}, {u"ryo", u"リョ"}, {u"gya", u"ギャ"}, {u"gyu", u"ギュ"}, {u"gyo", u"ギョ"},
    {u"ja", u"ジャ"},  {u"ju", u"ジュ"},  {u"jo", u"ジョ"},  {u"zya", u"ジャ"}, {u"zyu", u"ジュ"},
    {u"zyo", u"ジョ"}, {u"bya", u"ビャ"}, {u"byu", u"ビュ"}, {u"byo", u"ビョ"}, {u"pya", u"ピャ"},
    {u"pyu", u"ピュ"}, {u"pyo", u"ピョ"},
};

bool isVowel(char16_t c) {
    return c == u'a' || c == u'i' || c == u'u' || c == u'e' || c == u'o';
}

// Katakana of a romanised word, empty when some part of it is no Japanese syllable.
QString romaji(std::u16string_view w) {
    QString out;
    size_t i = 0;
    while (i < w.size()) {
        const char16_t c = w[i];
        const char16_t next = i + 1 < w.size() ? w[i + 1] : u'\0';
        if (c == u'n' && !isVowel(next) && next != u'y') {
            out += u'ン';
            ++i;
            continue;
        }
        // Hepburn writes the syllabic n as m before b, p and m: Shimbashi.
        if (c == u'm' && (next == u'b' || next == u'p' || next == u'm')) {
            out += u'ン';
            ++i;
            continue;
        }
        if (!isVowel(c) && (c == next || (c == u't' && next == u'c'))) {
            out += u'ッ';
            ++i;
            continue;
        }
        bool matched = false;
        for (size_t len = 3; len >= 1 && !matched; --len) {
            if (i + len > w.size())
                continue;
            const std::u16string_view part = w.substr(i, len);
            for (const Word &s : kSyllables) {
                if (s.latin == part) {
                    out += QStringView(s.kana);
                    i += len;
                    matched = true;
                    break;
                }
            }
        }
        if (!matched)
            return {};
    }
    return out;
}

QString spell(QStringView word) {
    QString out;
    for (QChar c : word)
        out += QStringView(kLetterNames[c.toLower().unicode() - u'a']);
    return out;
}

} // namespace

QChar foldChar(QChar c) {
    if (const QChar half = toHalfWidth(c); half != c)
        return half;
    const char16_t u = c.unicode();
    if (u == u'ヶ')
        return u'ケ';
    if (u == u'ヵ')
        return u'カ';
    if (u == u'\n' || u == u'\r')
        return u'、'; // a line of an announcement ends with a pause
    if (u < 0x20 || inRange(u, 0x7F, 0x9F) || u == 0x3000 || u == 0xFEFF || u == 0x200B ||
        u == 0x2028 || u == 0x2029 || u >= 0xFFFE)
        return u' ';
    return c;
}

QString sanitize(QStringView text) {
    QString out;
    out.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < n && text[i + 1].isLowSurrogate()) {
            out += c;
            out += text[++i];
        } else if (c.isSurrogate()) {
            out += u' ';
        } else if (isHalfWidthKana(c.unicode())) {
            // A run at once, so that a voicing mark joins the kana before it.
            qsizetype j = i;
            while (j < n && isHalfWidthKana(text[j].unicode()))
                ++j;
            out += text.sliced(i, j - i).toString().normalized(QString::NormalizationForm_KC);
            i = j - 1;
        } else if (wantsCompatibilityForm(c.unicode())) {
            out += QString(c).normalized(QString::NormalizationForm_KC);
        } else {
            out += foldChar(c);
        }
    }
    return out;
}

namespace {

// Digits, Latin letters and the marks of a stop code, in ASCII or full width.
bool isCodeChar(QChar c) {
    const QChar a = foldChar(c);
    return isAsciiDigit(a) || isAsciiLetter(a) || a == u'-' || a == u'_' || a == u'.' ||
           a == u'#' || a == u' ' || a == u'/';
}

} // namespace

QString plainKanaReading(QStringView reading) {
    QString out;
    out.reserve(reading.size());
    for (qsizetype i = 0; i < reading.size(); ++i) {
        const QChar c = reading[i];
        const char16_t u = c.unicode();
        if ((u == u'～' || u == u'〜' || u == u'~') && !out.isEmpty() &&
            isKana(out.back().unicode())) {
            out += u'ー';
            continue;
        }
        static constexpr char16_t kClose[] = {u')', u'）', u']', u'］'};
        const qsizetype kind = QStringView(u"(（[［").indexOf(c);
        if (kind >= 0) {
            qsizetype j = i + 1;
            bool code = false;
            for (; j < reading.size() && isCodeChar(reading[j]); ++j)
                code = code || foldChar(reading[j]) != u' ';
            if (code && j < reading.size() && reading[j] == QChar(kClose[kind])) {
                while (!out.isEmpty() && foldChar(out.back()) == u' ')
                    out.chop(1);
                i = j;
                continue;
            }
        }
        out += c;
    }
    return out;
}

char32_t codePointAt(QStringView text, qsizetype i, int *size) {
    const QChar c = text[i];
    if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
        *size = 2;
        return QChar::surrogateToUcs4(c, text[i + 1]);
    }
    *size = 1;
    return c.unicode();
}

bool isKanji(char32_t c) {
    return inRange(c, 0x4E00, 0x9FFF) || inRange(c, 0x3400, 0x4DBF) || inRange(c, 0xF900, 0xFAFF) ||
           inRange(c, 0x20000, 0x3FFFF) || inRange(c, 0x3005, 0x3007);
}

bool isKana(char32_t c) {
    return inRange(c, 0x3041, 0x309F) || (inRange(c, 0x30A0, 0x30FF) && c != 0x30FB) ||
           inRange(c, 0x31F0, 0x31FF);
}

bool isJapanese(char32_t c) {
    return isKanji(c) || isKana(c);
}

Pause pauseOf(QChar c) {
    switch (c.unicode()) {
    case u'、':
    case u',':
    case u';':
    case u':':
    case u'…':
    case u'‥':
        return Pause::Comma;
    case u'。':
    case u'!':
    case u'?':
        return Pause::Stop;
    default:
        return Pause::None;
    }
}

QString symbolReading(QChar c) {
    switch (c.unicode()) {
    case u'%':
        return QStringLiteral("パーセント");
    case u'&':
        return QStringLiteral("アンド");
    case u'+':
        return QStringLiteral("プラス");
    case u'~':
    case u'〜':
        return QStringLiteral("カラ");
    case u'¥':
        return QStringLiteral("エン");
    default:
        return {};
    }
}

QString latinReading(QStringView word, bool *guessed) {
    if (word.isEmpty() || word.size() > 32)
        return {};
    bool upper = true;
    std::u16string lower;
    for (QChar c : word) {
        if (!isAsciiLetter(c))
            return {};
        upper = upper && c.isUpper();
        lower += c.toLower().unicode();
    }
    if (word.size() == 1 || (upper && word.size() <= 3))
        return spell(word);
    for (const Word &w : kWords) {
        if (w.latin == lower)
            return QString::fromUtf16(w.kana);
    }
    if (QString kana = romaji(lower); !kana.isEmpty()) {
        if (guessed)
            *guessed = true;
        return kana;
    }
    if (upper && word.size() <= 5)
        return spell(word);
    return {};
}

} // namespace q47::reading
