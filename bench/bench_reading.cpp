// The Japanese reading:
//  - the time to read one announcement sentence of about twenty characters,
//  - how many place names come out as published, read by MeCab's pronunciation field alone and
//    by the reading module. The names (bench/data/place_readings.csv) are station, bus stop and
//    place names with the readings their operators publish on station lists and signs, written
//    out by hand for this project. Set Q47_READING_MISSES=1 to list the names read otherwise.

#include "japanesereading.h"

#include <benchmark/benchmark.h>

#include <mecab.h>

#include <QFile>

#include <cstdio>
#include <vector>

namespace {

struct Name {
    QString name;
    QString reading;
};

const std::vector<Name> &placeNames() {
    static const std::vector<Name> names = [] {
        std::vector<Name> out;
        QFile file(QStringLiteral(Q47_PLACE_READINGS));
        if (!file.open(QIODevice::ReadOnly))
            return out;
        for (const QByteArray &line : file.readAll().split('\n')) {
            const QString text = QString::fromUtf8(line).trimmed();
            const qsizetype comma = text.indexOf(u',');
            if (text.isEmpty() || text.startsWith(u'#') || comma <= 0)
                continue;
            out.push_back({text.left(comma), text.sliced(comma + 1)});
        }
        return out;
    }();
    return names;
}

QChar vowelOf(QChar kana) {
    static const char16_t *const rows[] = {
        u"アカサタナハマヤラワガザダバパァャヮ", u"イキシチニヒミリギジヂビピィ",
        u"ウクスツヌフムユルグズヅブプゥュッヴ", u"エケセテネヘメレゲゼデベペェ",
        u"オコソトノホモヨロヲゴゾドボポォョ"};
    static const char16_t vowels[] = u"アイウエオ";
    for (int v = 0; v < 5; ++v) {
        if (QStringView(rows[v]).contains(kana))
            return vowels[v];
    }
    return {};
}

// Published readings spell sounds in kana (とうきょう), the pronunciation field writes them as
// said (トーキョー). Both sides are folded alike so that only a different sound counts as a miss:
// a vowel that draws out the one before it and ー become one mark, ヂ ヅ become ジ ズ (said the
// same), ヲ becomes オ.
QString folded(QStringView kana) {
    QString out;
    for (QChar c : q47::toKatakana(kana)) {
        c = c == u'ヂ' ? u'ジ' : c == u'ヅ' ? u'ズ' : c == u'ヲ' ? u'オ' : c;
        if (!out.isEmpty()) {
            const QChar v = vowelOf(out.back());
            const bool drawnOut = c == u'ー' || (v == u'オ' && (c == u'ウ' || c == u'オ')) ||
                                  (v == u'エ' && (c == u'イ' || c == u'エ')) ||
                                  (v != QChar() && v == c);
            if (drawnOut) {
                out += u'ー';
                continue;
            }
        }
        out += c;
    }
    return out;
}

// MeCab alone: every word's pronunciation field, or the word itself where it has none.
class PlainMecab {
public:
    PlainMecab() {
        for (const char *arguments : {"", "-d /var/lib/mecab/dic/ipadic-utf8"}) {
            m_model = MeCab::createModel(arguments);
            if (m_model)
                break;
        }
        if (m_model) {
            m_tagger = m_model->createTagger();
            m_lattice = m_model->createLattice();
        }
    }
    ~PlainMecab() {
        MeCab::deleteLattice(m_lattice);
        MeCab::deleteTagger(m_tagger);
        MeCab::deleteModel(m_model);
    }
    QString read(const QString &text) {
        if (!m_tagger || !m_lattice)
            return {};
        const QByteArray utf8 = text.toUtf8();
        m_lattice->set_sentence(utf8.constData(), size_t(utf8.size()));
        if (!m_tagger->parse(m_lattice))
            return {};
        QString out;
        for (const MeCab::Node *n = m_lattice->bos_node()->next; n && n->stat != MECAB_EOS_NODE;
             n = n->next) {
            const QStringList features = QString::fromUtf8(n->feature).split(u',');
            const QString pronunciation = features.value(8);
            out += pronunciation.isEmpty() || pronunciation == u"*"
                       ? QString::fromUtf8(n->surface, n->length)
                       : pronunciation;
        }
        return out;
    }

private:
    MeCab::Model *m_model = nullptr;
    MeCab::Tagger *m_tagger = nullptr;
    MeCab::Lattice *m_lattice = nullptr;
};

void BM_ReadSentence(benchmark::State &state) {
    const q47::JapaneseReading reading;
    const QString sentence = QStringLiteral("次は、中央病院前です。運賃は210円です。");
    for (auto _ : state)
        benchmark::DoNotOptimize(reading.read(sentence));
    state.counters["chars"] = double(sentence.size());
}
BENCHMARK(BM_ReadSentence)->Unit(benchmark::kMicrosecond);

struct Accuracy {
    int plain = 0;
    int module = 0;
};

// Counted once, with the names read otherwise listed on request.
Accuracy accuracy(const std::vector<Name> &names) {
    const q47::JapaneseReading reading;
    PlainMecab mecab;
    const bool listMisses = qEnvironmentVariableIntValue("Q47_READING_MISSES") != 0;
    Accuracy a;
    for (const Name &n : names) {
        const QString byMecab = mecab.read(n.name);
        const QString byModule = reading.read(n.name).kana;
        a.plain += folded(byMecab) == folded(n.reading);
        a.module += folded(byModule) == folded(n.reading);
        if (listMisses && folded(byModule) != folded(n.reading))
            std::printf("miss: %s %s -> %s (MeCab alone %s)\n", qPrintable(n.name),
                        qPrintable(n.reading), qPrintable(byModule), qPrintable(byMecab));
    }
    std::printf("place names: %zu, read as published: MeCab alone %.1f %%, module %.1f %%\n",
                names.size(), 100.0 * a.plain / double(names.size()),
                100.0 * a.module / double(names.size()));
    return a;
}

// Times the module over the whole list; the counters give the shares read as published.
void BM_PlaceNameAccuracy(benchmark::State &state) {
    const std::vector<Name> &names = placeNames();
    if (names.empty()) {
        state.SkipWithError("no place names at " Q47_PLACE_READINGS);
        return;
    }
    static const Accuracy counted = accuracy(names);
    const q47::JapaneseReading reading;
    for (auto _ : state) {
        for (const Name &n : names)
            benchmark::DoNotOptimize(reading.read(n.name));
    }
    const double count = double(names.size());
    state.counters["names"] = count;
    state.counters["plain_%"] = 100.0 * counted.plain / count;
    state.counters["module_%"] = 100.0 * counted.module / count;
}
BENCHMARK(BM_PlaceNameAccuracy)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
