#include "cp932.h"
#include "japanesereading.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

using namespace q47;

namespace {

struct Case {
    const char16_t *text;
    const char16_t *kana;
};

const JapaneseReading &reader() {
    static const JapaneseReading r;
    return r;
}

void expectReadings(std::initializer_list<Case> cases) {
    for (const Case &c : cases) {
        const QString text = QString::fromUtf16(c.text);
        EXPECT_EQ(reader().read(text).kana, QString::fromUtf16(c.kana)) << qPrintable(text);
    }
}

} // namespace

TEST(JapaneseReading, OpensTheSystemDictionary) {
    ASSERT_TRUE(reader().available());
}

TEST(JapaneseReading, ParticlesAndPausesAreSpokenAsPronounced) {
    expectReadings({
        {u"次は、駅前です。", u"ツギワ、エキマエデス。"},
        {u"駅へ向かいます", u"エキエムカイマス"},
        {u"ボタンを押す！", u"ボタンオオス。"},
        {u"お降りの方はボタンを押してください", u"オオリノカタワボタンオオシテクダサイ"},
        {u"お越しの方は", u"オコシノカタワ"},
        {u"おにぎりの方が", u"オニギリノホーガ"},
        {u"運賃は後払いです", u"ウンチンワアトバライデス"},
        {u"、、次は", u"ツギワ"}, // no pause before anything is said
    });
}

TEST(JapaneseReading, NumbersTakeTheSoundChangesOfTheirCounters) {
    expectReadings({
        {u"12番のりば", u"ジュウニバンノリバ"},
        {u"210円", u"ニヒャクジュウエン"},
        {u"1,200円", u"センニヒャクエン"},
        {u"300円と600円と800円", u"サンビャクエントロッピャクエントハッピャクエン"},
        {u"3000円と8000円", u"サンゼンエントハッセンエン"},
        {u"1万2000人", u"イチマンニセンニン"},
        {u"1000万", u"イッセンマン"},
        {u"10兆", u"ジュッチョウ"},
        {u"3.5キロ", u"サンテンゴキロ"},
        {u"1分と3分と10分と4分", u"イップントサンプントジュップントヨンプン"},
        {u"6系統", u"ロッケイトウ"},
        {u"4時", u"ヨジ"},
        {u"1人と2人と4人", u"ヒトリトフタリトヨニン"},
        {u"3本", u"サンボン"},
        {u"8回", u"ハッカイ"},
        {u"4月1日", u"シガツツイタチ"},
        {u"1日乗車券", u"イチニチジョーシャケン"},
        {u"12:30", u"ジュウニジサンジュップン"},
        {u"１２番", u"ジュウニバン"},
        {u"¥500", u"ゴヒャクエン"},
        {u"03-1234", u"ゼロサンノイチニーサンヨン"},
        {u"3-5", u"サンノゴ"},
        {u"三百円", u"サンビャクエン"},
        {u"青山一丁目", u"アオヤマイッチョウメ"},
    });
    // Too long for an amount: digit by digit.
    EXPECT_EQ(reader().read(QString(20, u'7')).kana, QStringLiteral("ナナ").repeated(20));
}

TEST(JapaneseReading, NumberReadingTakesOnlyNumbers) {
    const Case cases[] = {
        {u"0", u"ゼロ"},
        {u"12", u"ジュウニ"},
        {u"3.5", u"サンテンゴ"},
        {u"0.25", u"レイテンニゴ"},
        {u"10000", u"イチマン"},
        {u"１００", u"ヒャク"},
        {u"12番", u""},
        {u"", u""},
        {u"1.", u""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(numberReading(QString::fromUtf16(c.text)), QString::fromUtf16(c.kana));
}

TEST(JapaneseReading, PlaceNameElementsReadAsInNames) {
    expectReadings({
        {u"人形町", u"ニンギョーチョー"},
        {u"梅ヶ丘", u"ウメガオカ"},
        {u"祖師ヶ谷大蔵", u"ソシガヤオークラ"},
        {u"赤羽橋", u"アカバネバシ"},
        {u"熊谷", u"クマガヤ"}, // the place, not the surname クマガイ
        {u"小倉", u"コクラ"},
        {u"東京駅行", u"トーキョーエキユキ"},
    });
}

TEST(JapaneseReading, LatinLettersAndSymbols) {
    expectReadings({
        {u"JR線", u"ジェイアールセン"},
        {u"Aのりば", u"エーノリバ"},
        {u"ＡＴＭ", u"エーティーエム"},
        {u"Bus Station", u"バスステーション"},
        {u"50%", u"ゴジュッパーセント"},
        {u"A&B", u"エーアンドビー"},
        {u"駅・病院", u"エキビョーイン"},
        {u"9:00〜17:00", u"クジカラジュウシチジ"},
    });
    const Reading r = reader().read(QStringLiteral("Shinjuku metro"));
    EXPECT_EQ(r.kana, QStringLiteral("シンジュク"));
    EXPECT_EQ(r.ownKana, QStringList({QStringLiteral("Shinjuku"), QStringLiteral("metro")}));
}

TEST(JapaneseReading, UnknownWordsAreReadFromTheirOwnKanaAndListed) {
    const Reading r = reader().read(QStringLiteral("ピョロロンと𠮷と曳舟に乗る"));
    EXPECT_EQ(r.kana, QStringLiteral("ピョロロントトニノル"));
    EXPECT_EQ(r.ownKana, QStringList({QStringLiteral("ピョロロン"), QStringLiteral("𠮷"),
                                      QStringLiteral("曳舟")}));
}

TEST(JapaneseReading, DictionaryWordsComeFirstLongestFirst) {
    ReadingDictionary dictionary;
    dictionary.add(QStringLiteral("曳舟"), QStringLiteral("ひきふね"));
    dictionary.add(QStringLiteral("駅前"), QStringLiteral("エキゼン"));
    dictionary.add(QStringLiteral("駅前広場"), QStringLiteral("エキマエノヒロバ"));
    dictionary.add(QStringLiteral("漢字"), QStringLiteral("読み仮名")); // not kana: ignored
    // As feeds write readings: ～ lengthens the vowel, a bracketed code is not said.
    dictionary.add(QStringLiteral("ゆ～らく"), QStringLiteral("ゆ～らく（Ａ１２）"));
    EXPECT_EQ(dictionary.size(), 4);
    JapaneseReading r;
    r.setDictionary(dictionary);
    EXPECT_EQ(r.read(QStringLiteral("曳舟駅前です。駅前広場")).kana,
              QStringLiteral("ヒキフネエキゼンデス。エキマエノヒロバ"));
    EXPECT_EQ(r.read(QStringLiteral("曳舟行きのバス")).kana, QStringLiteral("ヒキフネユキノバス"));
    EXPECT_TRUE(r.read(QStringLiteral("曳舟")).ownKana.isEmpty());
    QString kana;
    EXPECT_EQ(r.dictionary().match(u"XX駅前広場です", 2, &kana), 4);
    EXPECT_EQ(kana, QStringLiteral("エキマエノヒロバ"));
    EXPECT_EQ(r.dictionary().match(u"駅", 0, &kana), 0);
    EXPECT_EQ(r.dictionary().match(u"ゆ～らく", 0, &kana), 4);
    EXPECT_EQ(kana, QStringLiteral("ユーラク"));
}

TEST(JapaneseReading, DictionaryBytesInCp932OrUtf8) {
    const QString lines = QStringLiteral("# 読みの修正\r\n梅ヶ丘 , うめがおか \r\n\r\nnocomma\r\n"
                                         ",アカ\r\n赤羽,\r\n曳舟,ヒキフネ\n");
    const QByteArray encodings[] = {toCp932(lines), "\xEF\xBB\xBF" + lines.toUtf8(),
                                    lines.toUtf8()};
    for (const QByteArray &bytes : encodings) {
        const ReadingDictionary d = ReadingDictionary::fromBytes(bytes);
        EXPECT_EQ(d.size(), 2);
        QString kana;
        EXPECT_EQ(d.match(u"梅ヶ丘", 0, &kana), 3);
        EXPECT_EQ(kana, QStringLiteral("ウメガオカ"));
        EXPECT_EQ(d.match(u"曳舟", 0, &kana), 2);
    }
    QTemporaryDir dir;
    EXPECT_EQ(ReadingDictionary::load(dir.filePath(QStringLiteral("missing.csv"))).size(), 0);
}

TEST(JapaneseReading, SurvivesEmptyAndGarbageText) {
    EXPECT_TRUE(reader().read(QString()).kana.isEmpty());
    QString garbage;
    for (int u = 0; u <= 0xFFFF; ++u)
        garbage += QChar(char16_t(u)); // NUL, controls, lone surrogates, everything
    EXPECT_FALSE(reader().read(garbage).kana.isEmpty());
    const QString digits(5000, u'9');
    EXPECT_FALSE(
        reader().read(digits + QStringLiteral("円") + QString(3000, u'万')).kana.isEmpty());
    // About a megabyte of announcements in one text.
    const QString big = QStringLiteral("次は駅前です。12番のりば").repeated(40000);
    const QString kana = reader().read(big).kana;
    EXPECT_TRUE(kana.startsWith(QStringLiteral("ツギワエキマエデス。ジュウニバンノリバ")));
    EXPECT_EQ(kana.count(u'。'), 40000);
}
