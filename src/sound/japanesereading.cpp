#include "japanesereading.h"

#include "cp932.h"
#include "logging.h"
#include "readingnumbers.h"
#include "readingtext.h"
#include "regularfile.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStringDecoder>

#include <mecab.h>

#include <algorithm>
#include <vector>

namespace q47 {

using namespace reading;

namespace {

// Words longer than this are no names; the limit keeps matching linear in the text length.
constexpr qsizetype kMaxWordLength = 64;
// The analyser gets long runs of Japanese text in pieces of about this many characters.
constexpr qsizetype kMaxRunLength = 1024;

// 3-5 (サンノゴ): a hyphen between digits.
bool isDigitHyphen(QStringView text, qsizetype i) {
    const char16_t u = text[i].unicode();
    const bool hyphen = u == u'-' || (u >= 0x2010 && u <= 0x2013) || u == 0x2212 || u == u'ー';
    return hyphen && i > 0 && isAsciiDigit(text[i - 1]) && i + 1 < text.size() &&
           isAsciiDigit(text[i + 1]);
}

bool isReadingChar(QChar c) {
    const char16_t u = c.unicode();
    return (u >= u'ァ' && u <= u'ヺ') || u == u'ー' || u == u'ヽ' || u == u'ヾ' || u == u'、' ||
           u == u'。';
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Reading dictionary

ReadingDictionary ReadingDictionary::fromBytes(const QByteArray &bytes) {
    QByteArrayView data(bytes);
    if (data.startsWith("\xEF\xBB\xBF"))
        data = data.sliced(3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(data);
    if (utf8.hasError())
        text = fromCp932(data.toByteArray());

    ReadingDictionary dictionary;
    for (QStringView line : QStringView(text).split(u'\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const qsizetype comma = line.indexOf(u',');
        if (comma <= 0)
            continue;
        dictionary.add(line.left(comma).trimmed().toString(),
                       line.sliced(comma + 1).trimmed().toString());
    }
    return dictionary;
}

ReadingDictionary ReadingDictionary::load(const QString &path) {
    const Result<QByteArray> read = readRegularFile(path, kMaxFileBytes);
    if (!read)
        logPassedOver(logReading, read.error());
    return read ? fromBytes(*read) : ReadingDictionary();
}

void ReadingDictionary::add(const QString &word, const QString &reading) {
    const QString key = sanitize(word).trimmed();
    const QString kana = toKatakana(plainKanaReading(reading.trimmed()));
    if (key.isEmpty() || key.size() > kMaxWordLength || kana.isEmpty())
        return;
    for (QChar c : kana) {
        if (!isReadingChar(c))
            return;
    }
    qint32 node = 0;
    for (QChar c : key) {
        const quint64 edge = quint64(node) << 16 | c.unicode();
        auto it = m_edges.constFind(edge);
        if (it == m_edges.constEnd()) {
            const qint32 child = qint32(m_readingOf.size());
            m_readingOf.append(-1);
            it = m_edges.insert(edge, child);
        }
        node = *it;
    }
    if (m_readingOf[node] >= 0) {
        m_readings[m_readingOf[node]] = kana;
        return;
    }
    m_readingOf[node] = qint32(m_readings.size());
    m_readings.append(kana);
    ++m_words;
}

int ReadingDictionary::size() const {
    return m_words;
}

qsizetype ReadingDictionary::match(QStringView text, qsizetype pos, QString *reading) const {
    if (m_words == 0 || pos < 0)
        return 0;
    qsizetype best = 0;
    qint32 node = 0;
    for (qsizetype i = pos; i < text.size() && i - pos < kMaxWordLength; ++i) {
        const auto it = m_edges.constFind(quint64(node) << 16 | foldChar(text[i]).unicode());
        if (it == m_edges.constEnd())
            break;
        node = *it;
        if (m_readingOf[node] >= 0) {
            best = i + 1 - pos;
            if (reading)
                *reading = m_readings[m_readingOf[node]];
        }
    }
    return best;
}

// ---------------------------------------------------------------------------------------------
// Free functions

QString numberReading(QStringView digits) {
    const QString text = sanitize(digits);
    QString kana;
    if (readDigits(text, 0, &kana, Counters::Ignore) != text.size())
        return {};
    return kana;
}

// ---------------------------------------------------------------------------------------------
// Reading text

namespace {

// Bus words the system dictionary reads wrongly in running text (運賃は後払いです: ゴバライ).
const ReadingDictionary &busWords() {
    static const ReadingDictionary words = [] {
        ReadingDictionary d;
        const char16_t *const pairs[][2] = {
            {u"後払い", u"アトバライ"}, {u"前払い", u"マエバライ"}, {u"後乗り", u"アトノリ"},
            {u"前乗り", u"マエノリ"},   {u"後降り", u"アトオリ"},   {u"前降り", u"マエオリ"},
            {u"出口", u"デグチ"},       {u"各停", u"カクテイ"},
        };
        for (const auto &p : pairs)
            d.add(QString::fromUtf16(p[0]), QString::fromUtf16(p[1]));
        return d;
    }();
    return words;
}

class Builder {
public:
    void add(QStringView kana) {
        if (kana.isEmpty())
            return;
        flushPause();
        const qsizetype start = m_kana.size();
        m_kana += kana;
        // The particle を is said オ; the dictionary writes it ヲ.
        for (qsizetype i = start; i < m_kana.size(); ++i) {
            if (m_kana[i] == u'ヲ')
                m_kana[i] = u'オ';
        }
    }
    void pause(Pause p) {
        if (p > m_pause)
            m_pause = p;
    }
    void own(QStringView word) {
        const QString w = word.trimmed().toString();
        if (!w.isEmpty() && !m_seen.contains(w)) {
            m_seen.insert(w);
            m_own.append(w);
        }
    }
    Reading result() {
        flushPause();
        return {m_kana, m_own};
    }

private:
    void flushPause() {
        if (m_pause != Pause::None && !m_kana.isEmpty())
            m_kana += m_pause == Pause::Stop ? u'。' : u'、';
        m_pause = Pause::None;
    }
    QString m_kana;
    QStringList m_own;
    QSet<QString> m_seen;
    Pause m_pause = Pause::None;
};

QString pronunciationOf(const QStringList &features) {
    QString p = features.value(8);
    return p == u"*" ? QString() : p;
}

// Another dictionary entry for the same characters, with its word cost.
struct Alternative {
    QStringList features;
    int cost;
};

// A word as the analyser split it.
struct Token {
    QString surface;
    QStringList features; // part of speech in 0..5, pronunciation in 8
    bool known = false;
    std::vector<Alternative> alternatives; // kept for personal names only

    QStringView feature(int i) const {
        return i < features.size() ? QStringView(features[i]) : QStringView();
    }
    QString pronunciation() const { return known ? pronunciationOf(features) : QString(); }
    bool isNoun() const { return feature(0) == u"名詞"; }
    bool isPersonalName() const { return feature(1) == u"固有名詞" && feature(2) == u"人名"; }
};

bool startsWithKanji(QStringView s) {
    int size = 0;
    return !s.isEmpty() && isKanji(codePointAt(s, 0, &size));
}

bool endsWithKanji(QStringView s) {
    if (s.isEmpty())
        return false;
    const qsizetype i = s.size() >= 2 && s.back().isLowSurrogate() ? s.size() - 2 : s.size() - 1;
    int size = 0;
    return isKanji(codePointAt(s, i, &size));
}

bool isKanjiNumberToken(const Token &t) {
    if (t.feature(1) != u"数")
        return false;
    for (QChar c : t.surface) {
        if (!isKanjiNumeral(c))
            return false;
    }
    return !t.surface.isEmpty();
}

// Only kana, so that a stray symbol in the dictionary never reaches the synthesizer.
QString kanaOnly(QStringView s) {
    QString out;
    out.reserve(s.size());
    for (QChar c : s) {
        if (isKana(c.unicode()))
            out += c;
    }
    return out;
}

// The word read from its own characters: its kana as katakana, kanji left out.
void readOwnCharacters(QStringView surface, Builder &out) {
    out.add(toKatakana(kanaOnly(surface)));
    out.own(surface);
}

bool isHonorificPrefix(const Token &t) {
    return t.feature(0) == u"接頭詞" &&
           (t.surface == u"お" || t.surface == u"ご" || t.surface == u"御");
}

// お越し and ご乗車 come as one word with the prefix inside; おにぎり, with kana after it, is no
// honorific.
bool isHonorificNoun(const Token &t) {
    const QString &s = t.surface;
    return t.feature(0) == u"名詞" && s.size() >= 2 &&
           (s.front() == u'お' || s.front() == u'ご' || s.front() == u'御') &&
           startsWithKanji(s.sliced(1));
}

// Kanji numerals the analyser split (三/百/円, 一/丁目) read like digits, with the counter after
// them. Returns the number of tokens used, 0 when tokens[i] starts no number.
size_t readKanjiNumber(const std::vector<Token> &tokens, size_t i, Builder &out) {
    size_t j = i;
    QString numerals;
    while (j < tokens.size() && isKanjiNumberToken(tokens[j]))
        numerals += tokens[j++].surface;
    quint64 value = 0;
    if (j == i || !kanjiNumberValue(numerals, &value))
        return 0;
    // The counter may be one token (丁目) or two (番/線).
    for (size_t used = std::min<size_t>(2, tokens.size() - j); used > 0; --used) {
        QString words;
        for (size_t k = j; k < j + used; ++k)
            words += tokens[k].surface;
        qsizetype length = 0;
        const Counter *counter = counterAt(words, 0, &length);
        if (counter && length == words.size()) {
            const bool afterMonth = i > 0 && tokens[i - 1].surface.endsWith(u'月');
            out.add(integerReading(value, counter, afterMonth));
            return j + used - i;
        }
    }
    if (!hasKanjiMultiplier(numerals))
        return 0;
    out.add(integerReading(value, nullptr));
    return j - i;
}

// What a bus speaks of are places, not people: a word the analyser took for a surname or given
// name is read as the place of that spelling, if the dictionary has one. The place reading must
// be one the dictionary gives the spelling more than once, as a few of its place entries carry
// rare readings (麻生 アソ) that a surname reading (アソウ) should not lose to.
QString placeReading(const Token &t) {
    QStringList readings{t.pronunciation()};
    for (const Alternative &a : t.alternatives)
        readings.append(pronunciationOf(a.features));
    const Alternative *best = nullptr;
    for (const Alternative &a : t.alternatives) {
        const QString reading = pronunciationOf(a.features);
        if (a.features.value(1) == u"固有名詞" && a.features.value(2) == u"地域" &&
            !reading.isEmpty() && readings.count(reading) >= 2 && (!best || a.cost < best->cost))
            best = &a;
    }
    return best ? pronunciationOf(best->features) : QString();
}

// The pronunciation of tokens[i], with the corrections for names and announcements.
// `afterName`: the text before tokens[0] was a word of the reading dictionary, a name.
QString tokenReading(const std::vector<Token> &tokens, size_t i, bool afterName) {
    const Token &t = tokens[i];
    const Token *before = i > 0 ? &tokens[i - 1] : nullptr;
    const Token *after = i + 1 < tokens.size() ? &tokens[i + 1] : nullptr;
    const QString &s = t.surface;

    // Place names: X町 is more often チョウ than マチ, X橋 takes the voiced バシ.
    if (s == u"町" && t.feature(1) == u"接尾" && t.feature(2) == u"地域")
        return QStringLiteral("チョー");
    if (s == u"橋" && t.feature(1) == u"接尾" && before && before->isNoun())
        return QStringLiteral("バシ");
    // The ケ between kanji of 梅ケ丘 or 幡ケ谷 is the particle ガ, and the 谷 after it ヤ.
    if (s == u"ケ" && before && after && endsWithKanji(before->surface) &&
        startsWithKanji(after->surface))
        return QStringLiteral("ガ");
    if (s == u"谷" && before && before->surface == u"ケ" && i >= 2 &&
        endsWithKanji(tokens[i - 2].surface))
        return QStringLiteral("ヤ");
    // Destinations: 渋谷駅行 シブヤエキユキ.
    if ((s == u"行" || s == u"行き") &&
        (before ? before->isNoun() && before->feature(1) != u"数" : afterName))
        return QStringLiteral("ユキ");
    // Announcements: お降りの方 オオリノカタ, ご利用の方 ゴリヨーノカタ.
    if (s == u"降り" && before && isHonorificPrefix(*before))
        return QStringLiteral("オリ");
    if (s == u"方" && t.feature(1) == u"非自立" && before && before->surface == u"の" && i >= 2 &&
        (isHonorificNoun(tokens[i - 2]) || (i >= 3 && isHonorificPrefix(tokens[i - 3])) ||
         (i >= 4 && isHonorificPrefix(tokens[i - 4]))))
        return QStringLiteral("カタ");
    if (t.isPersonalName()) {
        if (const QString place = placeReading(t); !place.isEmpty())
            return kanaOnly(place);
    }
    return t.known ? kanaOnly(t.pronunciation()) : QString();
}

using ModelPtr = std::unique_ptr<MeCab::Model, void (*)(MeCab::Model *)>;
using TaggerPtr = std::unique_ptr<MeCab::Tagger, void (*)(MeCab::Tagger *)>;
using LatticePtr = std::unique_ptr<MeCab::Lattice, void (*)(MeCab::Lattice *)>;

std::vector<Token> analyse(MeCab::Tagger &tagger, MeCab::Lattice &lattice, QStringView text) {
    const QByteArray utf8 = text.toUtf8();
    lattice.set_sentence(utf8.constData(), size_t(utf8.size()));
    std::vector<Token> tokens;
    if (!tagger.parse(&lattice))
        return tokens;
    for (const MeCab::Node *n = lattice.bos_node(); n; n = n->next) {
        if (n->stat == MECAB_BOS_NODE || n->stat == MECAB_EOS_NODE)
            continue;
        Token t;
        t.surface = QString::fromUtf8(n->surface, n->length);
        t.features = QString::fromUtf8(n->feature).split(u',');
        t.known = n->stat != MECAB_UNK_NODE;
        if (t.known && t.isPersonalName()) {
            const size_t pos = size_t(n->surface - lattice.sentence());
            for (const MeCab::Node *a = lattice.begin_nodes(pos); a; a = a->bnext) {
                if (a != n && a->length == n->length && a->stat != MECAB_UNK_NODE)
                    t.alternatives.push_back({QString::fromUtf8(a->feature).split(u','), a->wcost});
            }
        }
        tokens.push_back(std::move(t));
    }
    return tokens;
}

// The dictionary must give ipadic's pronunciation field: は as a particle is ワ.
bool givesPronunciations(MeCab::Model &model) {
    const char *charset = model.dictionary_info() ? model.dictionary_info()->charset : nullptr;
    if (!charset || (qstricmp(charset, "utf-8") != 0 && qstricmp(charset, "utf8") != 0))
        return false;
    TaggerPtr tagger(model.createTagger(), MeCab::deleteTagger);
    LatticePtr lattice(model.createLattice(), MeCab::deleteLattice);
    if (!tagger || !lattice)
        return false;
    const std::vector<Token> tokens = analyse(*tagger, *lattice, u"駅前は");
    return tokens.size() == 2 && tokens[1].pronunciation() == u"ワ";
}

constexpr const char *kDebianDictionary = "/var/lib/mecab/dic/ipadic-utf8";

ModelPtr openModel() {
    // The system's own configuration first, then the Debian location of the UTF-8 ipadic, also
    // without a mecabrc.
    static const char *const kArguments[] = {
        "",
        "-d /var/lib/mecab/dic/ipadic-utf8",
        "-r /dev/null -d /var/lib/mecab/dic/ipadic-utf8",
    };
    for (const char *arguments : kArguments) {
        ModelPtr model(MeCab::createModel(arguments), MeCab::deleteModel);
        if (model && givesPronunciations(*model))
            return model;
    }
    return {nullptr, MeCab::deleteModel};
}

// Where to cut a long run: after a hiragana (a particle or an ending, rarely inside a word),
// never inside a surrogate pair.
qsizetype runCut(QStringView run) {
    if (run.size() <= kMaxRunLength)
        return run.size();
    for (qsizetype i = kMaxRunLength; i > kMaxRunLength - 64; --i) {
        const char16_t u = run[i - 1].unicode();
        if (u >= u'ぁ' && u <= u'ゖ')
            return i;
    }
    return run[kMaxRunLength - 1].isHighSurrogate() ? kMaxRunLength - 1 : kMaxRunLength;
}

} // namespace

struct JapaneseReading::Impl {
    ModelPtr model{nullptr, MeCab::deleteModel};
    TaggerPtr tagger{nullptr, MeCab::deleteTagger};
    LatticePtr lattice{nullptr, MeCab::deleteLattice};
    ReadingDictionary dictionary;

    // `afterName`: the text comes right after a word of the reading dictionary.
    void readJapanese(QStringView run, Builder &out, bool afterName) const;
    void readPlain(QStringView text, Builder &out, bool afterName) const;
    void readText(QStringView text, Builder &out) const;
};

void JapaneseReading::Impl::readJapanese(QStringView run, Builder &out, bool afterName) const {
    while (!run.isEmpty()) {
        const qsizetype cut = runCut(run);
        const QStringView piece = run.first(cut);
        run = run.sliced(cut);
        const std::vector<Token> tokens =
            tagger ? analyse(*tagger, *lattice, piece) : std::vector<Token>();
        if (tokens.empty()) {
            readOwnCharacters(piece, out);
            continue;
        }
        for (size_t i = 0; i < tokens.size(); ++i) {
            if (const size_t used = readKanjiNumber(tokens, i, out)) {
                i += used - 1;
                continue;
            }
            const QString kana = tokenReading(tokens, i, afterName);
            if (kana.isEmpty())
                readOwnCharacters(tokens[i].surface, out);
            else
                out.add(kana);
        }
        afterName = false;
    }
}

// Text without dictionary words: numbers, Latin letters, symbols and Japanese runs.
void JapaneseReading::Impl::readPlain(QStringView text, Builder &out, bool afterName) const {
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = text[i];
        int size = 1;
        const char32_t cp = codePointAt(text, i, &size);
        if (isDigitHyphen(text, i)) {
            out.add(u"ノ");
            ++i;
        } else if (isAsciiDigit(c)) {
            QString kana;
            i += readDigits(text, i, &kana);
            out.add(kana);
        } else if (c == u'¥' && i + 1 < n && isAsciiDigit(text[i + 1])) {
            // ¥210 is said as 210円.
            QString kana;
            i += 1 + readDigits(text, i + 1, &kana, Counters::Ignore);
            kana += u"エン";
            out.add(kana);
        } else if (isAsciiLetter(c)) {
            qsizetype j = i;
            while (j < n && isAsciiLetter(text[j]))
                ++j;
            const QStringView word = text.sliced(i, j - i);
            bool guessed = false;
            const QString kana = latinReading(word, &guessed);
            out.add(kana);
            if (kana.isEmpty() || guessed)
                out.own(word);
            i = j;
        } else if (isJapanese(cp)) {
            qsizetype j = i;
            while (j < n && isJapanese(codePointAt(text, j, &size)))
                j += size;
            readJapanese(text.sliced(i, j - i), out, afterName && i == 0);
            i = j;
        } else {
            if (const Pause p = pauseOf(c); p != Pause::None)
                out.pause(p);
            else
                out.add(symbolReading(c));
            i += size;
        }
    }
}

void JapaneseReading::Impl::readText(QStringView text, Builder &out) const {
    qsizetype plainStart = 0;
    QString kana;
    for (qsizetype i = 0; i < text.size();) {
        qsizetype length = dictionary.match(text, i, &kana);
        if (!length)
            length = busWords().match(text, i, &kana);
        if (!length) {
            ++i;
            continue;
        }
        readPlain(text.sliced(plainStart, i - plainStart), out, plainStart > 0);
        out.add(kana);
        i += length;
        plainStart = i;
    }
    readPlain(text.sliced(plainStart), out, plainStart > 0);
}

JapaneseReading::JapaneseReading() : d(std::make_unique<Impl>()) {
    d->model = openModel();
    if (d->model) {
        d->tagger.reset(d->model->createTagger());
        d->lattice.reset(d->model->createLattice());
        if (!d->tagger || !d->lattice) {
            d->tagger.reset();
            d->lattice.reset();
        }
    }
    if (!d->tagger)
        logPassedOver(logReading,
                      Error(Error::Kind::Unavailable,
                            QStringLiteral("MeCab or its dictionary cannot be opened")));
}

JapaneseReading::~JapaneseReading() = default;

bool JapaneseReading::available() const {
    return d->tagger != nullptr;
}

bool JapaneseReading::dictionaryInstalled() {
    QStringList folders;
    QFile rc(qEnvironmentVariableIsSet("MECABRC") ? qEnvironmentVariable("MECABRC")
                                                  : QStringLiteral("/etc/mecabrc"));
    if (rc.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : rc.readAll().split('\n')) {
            const QList<QByteArray> parts = line.split('=');
            if (parts.size() == 2 && parts[0].trimmed() == "dicdir")
                folders << QString::fromLocal8Bit(parts[1].trimmed());
        }
    }
    folders << QString::fromLatin1(kDebianDictionary);
    return std::any_of(folders.begin(), folders.end(), [](const QString &folder) {
        return QFileInfo::exists(folder + QStringLiteral("/sys.dic"));
    });
}

void JapaneseReading::setDictionary(ReadingDictionary dictionary) {
    d->dictionary = std::move(dictionary);
}

const ReadingDictionary &JapaneseReading::dictionary() const {
    return d->dictionary;
}

QString JapaneseReading::writtenKana(const QString &name) const {
    const QString text = name.trimmed();
    QString whole;
    if (text.isEmpty() || d->dictionary.match(text, 0, &whole) == text.size())
        return whole;
    if (!d->tagger)
        return {};
    QString kana;
    for (const Token &t : analyse(*d->tagger, *d->lattice, text)) {
        const QString reading = t.known ? t.features.value(7) : QString();
        if (!reading.isEmpty() && reading != u"*") {
            kana += reading;
            continue;
        }
        for (const QChar c : t.surface)
            if (!isKana(c.unicode()))
                return {};
        kana += toKatakana(t.surface);
    }
    return kana;
}

Reading JapaneseReading::read(const QString &text) const {
    Builder out;
    d->readText(sanitize(text), out);
    return out.result();
}

} // namespace q47
