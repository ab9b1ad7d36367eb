#include "boardmodel.h"
#include "lcdrenderer.h"
#include "lcdsettings.h"
#include "lcdtexts.h"
#include "lcdtiming.h"
#include "segmentmodel.h"
#include "stopreadings.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <functional>
#include <tuple>
#include <vector>

using namespace q47;
using namespace q47::lcd;

namespace {

// The labels as the board's model numbers them in `style`.
TicketLabels numbered(int style, bool zeroPad = false) {
    BoardModel model;
    model.setNumbering(style, zeroPad);
    return model.content().labels;
}

BoardContent withFares(int cells) {
    BoardContent c;
    for (int k = 1; k <= kBoardCells; ++k)
        c.cells[size_t(k)] = k <= cells ? 150 + 10 * k : 0;
    c.route.highestSeiriNo = cells;
    return c;
}

QList<int> range(int first, int last) {
    QList<int> cells;
    for (int k = first; k <= last; ++k)
        cells.append(k);
    return cells;
}

struct TableCase {
    const char *what;
    std::function<void(BoardContent &)> change;
    QList<QList<int>> pages;
};

void PrintTo(const TableCase &c, std::ostream *os) {
    *os << c.what;
}

class Table : public ::testing::TestWithParam<TableCase> {};

// One cell per ticket handed out, whatever the labels' style; the information digits never;
// a page of blank fares only when every page is blank.
TEST_P(Table, ListsOneCellPerTicket) {
    BoardContent c = withFares(30);
    GetParam().change(c);
    EXPECT_EQ(tablePages(c, 24), GetParam().pages);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Table,
    ::testing::Values(
        TableCase{"thirty tickets", [](BoardContent &) {}, {range(1, 24), range(25, 30)}},
        TableCase{"券なし style, first stop",
                  [](BoardContent &c) {
                      c.labels = numbered(6);
                      c.route.highestSeiriNo = 1;
                  },
                  {{1}}},
        TableCase{"counting from 0",
                  [](BoardContent &c) {
                      c.labels = numbered(1);
                      c.route.highestSeiriNo = 12;
                  },
                  {range(1, 12)}},
        TableCase{"more tickets than cells",
                  [](BoardContent &c) {
                      c = withFares(kBoardCells);
                      c.route.highestSeiriNo = 60;
                  },
                  {range(1, 24), range(25, 48), {49, 50}}},
        TableCase{"information digits left out",
                  [](BoardContent &c) {
                      c.route.infoCells.set(1);
                      c.route.infoCells.set(25);
                      c.cells[1] = QStringLiteral("00012");
                  },
                  {range(2, 24) + QList<int>{26}, range(27, 30)}},
        TableCase{"blank page skipped",
                  [](BoardContent &c) {
                      for (int k = 1; k <= 24; ++k)
                          c.cells[size_t(k)] = 0;
                  },
                  {range(25, 30)}},
        TableCase{"all blank: the first page",
                  [](BoardContent &c) {
                      for (int k = 1; k <= 30; ++k)
                          c.cells[size_t(k)] = 0;
                  },
                  {range(1, 24)}},
        TableCase{"no ticket numbers: up to the last fare, not the digits",
                  [](BoardContent &c) {
                      c.route.highestSeiriNo = 0;
                      c.cells[50] = 7;
                      c.route.infoCells.set(50);
                  },
                  {range(1, 24), range(25, 30)}},
        TableCase{"cleared", [](BoardContent &c) { c.cleared = true; }, {{}}}));

struct BeatCase {
    qint64 at;
    int pages;
    std::array<bool, kNameForms> known;
    BoardPhase phase;
};

class Beat : public ::testing::TestWithParam<BeatCase> {};

// Beats of 5 s: the kanji two beats, each other known form one; the page turns on every beat.
TEST_P(Beat, PageAndNameChangeTogether) {
    const BeatCase &c = GetParam();
    EXPECT_EQ(boardPhaseAt(c.at, c.pages, c.known), c.phase);
}

constexpr std::array<bool, kNameForms> kAll{true, true, true, true, true, true};
constexpr std::array<bool, kNameForms> kKanaEnglish{true, true, true, false, false, false};
constexpr std::array<bool, kNameForms> kKanjiOnly{true, false, false, false, false, false};

INSTANTIATE_TEST_SUITE_P(
    Times, Beat,
    ::testing::Values(BeatCase{0, 3, kAll, {0, NameForm::Kanji, 5000}},
                      BeatCase{9999, 3, kAll, {1, NameForm::Kanji, 1}},
                      BeatCase{10000, 3, kAll, {2, NameForm::Kana, 5000}},
                      BeatCase{15000, 3, kAll, {0, NameForm::English, 5000}},
                      BeatCase{20000, 3, kAll, {1, NameForm::ChineseHans, 5000}},
                      BeatCase{25000, 3, kAll, {2, NameForm::ChineseHant, 5000}},
                      BeatCase{31000, 3, kAll, {0, NameForm::Korean, 4000}},
                      BeatCase{35000, 3, kAll, {1, NameForm::Kanji, 5000}},
                      BeatCase{17000, 1, kKanaEnglish, {0, NameForm::English, 3000}},
                      BeatCase{21000, 1, kKanaEnglish, {0, NameForm::Kanji, 4000}},
                      BeatCase{12000, 2, kKanjiOnly, {0, NameForm::Kanji, 3000}},
                      BeatCase{12000, 1, kKanjiOnly, {0, NameForm::Kanji, -1}}));

TEST(Beat, FormsLeftOutOrLongerAsChosen) {
    Beats beats;
    beats.beatMs = 4000;
    beats.formBeats = {1, 0, 3, 1, 1, 1}; // no kana, English three beats
    EXPECT_EQ(boardPhaseAt(4000, 1, kAll, beats).form, NameForm::English);
    EXPECT_EQ(boardPhaseAt(15999, 1, kAll, beats).form, NameForm::English);
    EXPECT_EQ(boardPhaseAt(16000, 1, kAll, beats).form, NameForm::ChineseHans);
    beats.formBeats = {0, 0, 0, 0, 0, 0}; // the kanji shows all the same
    EXPECT_EQ(boardPhaseAt(16000, 1, kAll, beats), (BoardPhase{0, NameForm::Kanji, -1}));
}

struct FormCase {
    NameForm form;
    const char *lead;
    const char *name;
};

class NextStop : public ::testing::TestWithParam<FormCase> {};

// The lead in the form's own language; a form not known shows the name as written, the real
// one where the route file could not hold it.
TEST_P(NextStop, LeadMatchesTheFormShown) {
    BoardContent c;
    c.stopName = QStringLiteral("?野家前");
    c.stopWritten = QStringLiteral("𠮷野家前");
    c.stopForms[NameLanguage::Kana] = QStringLiteral("よしのやまえ");
    c.stopForms[NameLanguage::English] = QStringLiteral("Yoshinoya-mae");
    c.stopForms[NameLanguage::ChineseHans] = QStringLiteral("吉野家前站");
    c.stopForms[NameLanguage::Korean] = QStringLiteral("요시노야마에");
    const NextStopTexts texts = nextStopTexts(c, GetParam().form);
    EXPECT_EQ(texts.lead, QString::fromUtf8(GetParam().lead));
    EXPECT_EQ(texts.name, QString::fromUtf8(GetParam().name));
}

INSTANTIATE_TEST_SUITE_P(Forms, NextStop,
                         ::testing::Values(FormCase{NameForm::Kanji, "次は", "𠮷野家前"},
                                           FormCase{NameForm::Kana, "つぎは", "よしのやまえ"},
                                           FormCase{NameForm::English, "Next", "Yoshinoya-mae"},
                                           FormCase{NameForm::ChineseHans, "下一站", "吉野家前站"},
                                           FormCase{NameForm::ChineseHant, "次は", "𠮷野家前"},
                                           FormCase{NameForm::Korean, "다음", "요시노야마에"}));

TEST(NextStop, AReadingThatRepeatsTheNameIsNoFormOfItsOwn) {
    BoardContent c;
    c.stopName = QStringLiteral("ひばりが丘");
    c.stopForms[NameLanguage::Kana] = c.stopName;
    c.stopForms[NameLanguage::English] = QStringLiteral("Hibarigaoka");
    EXPECT_EQ(knownForms(c),
              (std::array<bool, kNameForms>{true, false, true, false, false, false}));
}

// A long name breaks where a reader would: at a blank, a bracket, a change of script, never
// before a small kana or inside a character outside the BMP.
class Break : public ::testing::TestWithParam<std::pair<const char *, const char *>> {};

TEST_P(Break, WhereTheNamePartsNaturally) {
    const QString name = QString::fromUtf8(GetParam().first);
    const int at = nameBreak(name);
    ASSERT_GT(at, 0);
    EXPECT_EQ(name.left(at).trimmed(), QString::fromUtf8(GetParam().second));
}

INSTANTIATE_TEST_SUITE_P(
    Names, Break,
    ::testing::Values(std::pair{"県立中央病院前北ニュータウン市民文化会館入口西口",
                                "県立中央病院前北ニュータウン"},
                      std::pair{"Prefectural Central Hospital North New Town Civic Hall",
                                "Prefectural Central Hospital"},
                      std::pair{"かもめ台駅前（1番のりば）", "かもめ台駅前"},
                      std::pair{"🚌バスターミナル𠮷野家前シャトルバス乗り場",
                                "🚌バスターミナル𠮷野家前"}));

struct NameCase {
    const char *name;
    int pixelSize;
    int minSize;
    int lines;
};

class LongNameSetting : public ::testing::TestWithParam<NameCase> {};

// A kanji or kana as wide as the type is high, a Latin letter a little more than half that, in
// the 784 x 128 band of the 960 x 540 board:
// a name that would be narrowed below 60 % on one line takes two where it parts, each line
// narrowed no further than 60 %, and a reading keeps its least size.
TEST_P(LongNameSetting, TakesTwoLinesRatherThanBeingSqueezed) {
    const NameCase &c = GetParam();
    const QString name = QString::fromUtf8(c.name);
    const QSize area(784, 128);
    const auto advance = [](const QString &text, int size) {
        qreal width = 0;
        for (const QChar ch : text)
            width += ch.unicode() < 0x80 ? 0.55 : 1.0;
        return width * size;
    };
    const NameSetting set = setName(name, c.pixelSize, c.minSize, area, advance);
    EXPECT_EQ(set.breakAt < 0 ? 1 : 2, c.lines);
    EXPECT_GE(set.size, c.minSize);
    EXPECT_LE(set.size, c.pixelSize);
    const QStringList lines = set.breakAt < 0 ? QStringList{name}
                                              : QStringList{name.left(set.breakAt).trimmed(),
                                                            name.mid(set.breakAt).trimmed()};
    for (const QString &line : lines)
        EXPECT_GE(area.width() / advance(line, set.size), kMinNameScaleX - 1e-9)
            << qPrintable(line);
    if (c.lines == 2) {
        EXPECT_LE(set.size * 2, area.height());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Names, LongNameSetting,
    ::testing::Values(
        NameCase{"緑町", 92, 1, 1}, NameCase{"県立中央病院前北ニュータウン", 92, 1, 1},
        NameCase{"県立中央病院前北ニュータウン市民文化会館入口西口第二駐車場前の停", 92, 1, 2},
        NameCase{
            "けんりつちゅうおうびょういんまえきたにゅーたうん しみんぶんかかいかんいりぐちにしぐち",
            80, 48, 2},
        NameCase{"Prefectural Central Hospital North New Town Civic Cultural Center", 70, 42, 2}));

// The words the command line and the settings use name every form; the beats read back as
// written, and a value out of range as its default.
TEST(Settings, FormsByTheirWordsAndTheirBeats) {
    int form = 0;
    for (const char *word : {"kanji", "kana", "en", "zh-Hans", "zh-Hant", "ko"}) {
        EXPECT_EQ(nameFormNamed(QString::fromLatin1(word)), NameForm(form++)) << word;
        EXPECT_EQ(nameFormTag(NameForm(form - 1)), QString::fromLatin1(word));
    }
    EXPECT_FALSE(nameFormNamed(QStringLiteral("ja-Hrkt")));
    QTemporaryDir dir;
    QSettings settings(dir.filePath(QStringLiteral("q.conf")), QSettings::IniFormat);
    EXPECT_EQ(readFormBeats(settings), Beats{}.formBeats);
    writeFormBeats(settings, {3, 0, 2, 1, 0, 5});
    EXPECT_EQ(readFormBeats(settings), (std::array<int, kNameForms>{3, 0, 2, 1, 0, 5}));
    settings.setValue(QStringLiteral("lcd/formBeats/kanji"), 0);
    settings.setValue(QStringLiteral("lcd/formBeats/ko"), 9);
    EXPECT_EQ(readFormBeats(settings), (std::array<int, kNameForms>{2, 0, 2, 1, 0, 1}));
}

// Each cell shows its own value in its own format, as the digit cell shows it.
class Fares : public ::testing::TestWithParam<std::tuple<QVariant, CellFormat, QString>> {};

TEST_P(Fares, TextIsTheDigitCellsText) {
    const auto [value, format, expected] = GetParam();
    BoardContent c;
    const int cell = 37;
    c.cells[size_t(cell)] = value;
    c.formats[size_t(cell)] = format;
    EXPECT_EQ(fareText(c, cell), expected);
    EXPECT_EQ(fareText(c, cell - 1), QString()); // a neighbour's value is not taken
}

INSTANTIATE_TEST_SUITE_P(
    Values, Fares,
    ::testing::Values(std::tuple{QVariant(-1), CellFormat{0, 0, 0, 4}, QStringLiteral("-1")},
                      std::tuple{QVariant(-1), CellFormat{2, 0, 0, 4}, QStringLiteral("0")},
                      std::tuple{QVariant(-1), CellFormat{3, 3, 0, 4}, QStringLiteral("000")},
                      std::tuple{QVariant(0), CellFormat{0, 0, 0, 4}, QString()},
                      std::tuple{QVariant(0), CellFormat{1, 0, 0, 4}, QStringLiteral("0")},
                      std::tuple{QVariant(0), CellFormat{2, 0, 0, 4}, QString()},
                      std::tuple{QVariant(230), CellFormat{0, 0, 0, 4}, QStringLiteral("230")},
                      std::tuple{QVariant(460), CellFormat{0, 0, 1, 4}, QStringLiteral("460 ")},
                      // Whole, where the LED board's digits cut them.
                      std::tuple{QVariant(1980), CellFormat{0, 0, 0, 3}, QStringLiteral("1980")},
                      std::tuple{QVariant(12000), CellFormat{0, 0, 0, 4}, QStringLiteral("12000")},
                      std::tuple{QVariant(32767), CellFormat{0, 0, 0, 4}, QStringLiteral("32767")},
                      std::tuple{QVariant(65534), CellFormat{0, 0, 1, 4}, QStringLiteral("65534 ")},
                      std::tuple{QVariant(15), CellFormat{0, 4, 0, 4}, QStringLiteral("0015")},
                      std::tuple{QVariant(QStringLiteral("00012")), CellFormat{0, 0, 0, 4},
                                 QStringLiteral("00012")}));

TEST(Labels, FollowTheNumberingStyle) {
    BoardContent c;
    EXPECT_EQ(ticketLabel(c, 1), QStringLiteral("1"));
    c.labels = numbered(0, true);
    EXPECT_EQ(ticketLabel(c, 1), QStringLiteral("01"));
    EXPECT_EQ(ticketLabel(c, 50), QStringLiteral("50"));
    c.labels = numbered(1);
    EXPECT_EQ(ticketLabel(c, 1), QStringLiteral("0"));
    EXPECT_EQ(ticketLabel(c, 50), QStringLiteral("49"));
    c.labels = numbered(7);
    EXPECT_EQ(ticketLabel(c, 1), QStringLiteral("券なし"));
    EXPECT_EQ(ticketLabel(c, 2), QStringLiteral("2"));
    c.labels = numbered(4);
    EXPECT_EQ(ticketLabel(c, 1), QStringLiteral("無 券"));
    EXPECT_EQ(ticketLabel(c, 2), QStringLiteral("1"));
    c.labels = numbered(10);
    EXPECT_EQ(ticketLabel(c, 1), QString());
}

// The author's reading, without its spoken pauses, wins over the names file's, which wins over the
// dictionary's; names.csv wins over names_en.csv; a file changed while running is read again.
TEST(StopReadings, FromTheFoldersFilesElseTheDictionary) {
    QTemporaryDir data, sound;
    // Each write a second later than the one before, as a file system with coarse times
    // might not tell them apart.
    QDateTime stamp = QDateTime::currentDateTime();
    const auto write = [&stamp](const QTemporaryDir &dir, const char *name,
                                const QByteArray &bytes) {
        QFile f(dir.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        stamp = stamp.addSecs(1);
        f.setFileTime(stamp, QFileDevice::FileModificationTime);
    };
    write(sound, "readings.csv", "一口,イモ、アライ\n");
    write(data, "names_en.csv", "一口,Imoarai\n中央公園,Central Park\n");
    write(data, "names.csv",
          "name,ja-Hrkt,en,ko\n中央公園,ちゅうおうこうえん,,중앙공원\n"
          "一口,ひとくち,,\n𠮷野,よしの,Yoshino,\n");
    StopReadings readings;
    const auto lookUp = [&](const char *name) {
        return readings.lookUp(QString::fromUtf8(name), data.path(), sound.path());
    };
    const NameForms own = lookUp("一口");
    EXPECT_EQ(own[NameLanguage::Kana], QStringLiteral("いもあらい"));
    EXPECT_EQ(own[NameLanguage::English], QStringLiteral("Imoarai"));
    const NameForms park = lookUp("中央公園");
    EXPECT_EQ(park[NameLanguage::Kana], QStringLiteral("ちゅうおうこうえん"));
    EXPECT_EQ(park[NameLanguage::English], QStringLiteral("Central Park"));
    EXPECT_EQ(park[NameLanguage::Korean], QStringLiteral("중앙공원"));
    EXPECT_EQ(lookUp("𠮷野")[NameLanguage::English], QStringLiteral("Yoshino"));
    EXPECT_EQ(lookUp("𠮷野")[NameLanguage::Kana], QStringLiteral("よしの"));
    EXPECT_EQ(lookUp("市役所前")[NameLanguage::Kana], QStringLiteral("しやくしょまえ"));

    write(data, "names.csv", "name,EN\n一口,Imoarai Bridge\n");
    EXPECT_EQ(lookUp("一口")[NameLanguage::English], QStringLiteral("Imoarai Bridge"));
    EXPECT_EQ(readings.lookUp(QStringLiteral("一口"), QString(), QString())[NameLanguage::English],
              QString());

    // A named pipe and a folder where the files should be are not read, and do not block.
    QTemporaryDir odd;
    ASSERT_EQ(
        ::mkfifo(QFile::encodeName(odd.filePath(QStringLiteral("readings.csv"))).constData(), 0600),
        0);
    ASSERT_TRUE(QDir(odd.path()).mkdir(QStringLiteral("names.csv")));
    const NameForms unread = readings.lookUp(QStringLiteral("一口"), odd.path(), odd.path());
    EXPECT_EQ(unread[NameLanguage::English], QString());
    EXPECT_NE(unread[NameLanguage::Kana], QStringLiteral("いもあらい"));
}

} // namespace
