#include "degitmodel.h"
#include "lcdrenderer.h"
#include "lcdtexts.h"
#include "lcdtiming.h"
#include "stopreadings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <tuple>
#include <vector>

using namespace q47;
using namespace q47::lcd;

namespace {

// Cells 1..n, each on exactly one page, in order, and the pages turning around.
class Pages : public ::testing::TestWithParam<std::tuple<int, int, std::vector<int>>> {};

TEST_P(Pages, EveryCellOnOnePageInOrder) {
    const auto [cells, capacity, sizes] = GetParam();
    const Paging paging(cells, capacity);
    ASSERT_EQ(paging.pageCount(), int(sizes.size()));
    int next = 1;
    for (int page = 0; page < paging.pageCount(); ++page) {
        EXPECT_EQ(paging.cellsOn(page), sizes[size_t(page)]) << "page " << page;
        EXPECT_EQ(paging.firstCell(page), next);
        for (int i = 0; i < paging.cellsOn(page); ++i)
            EXPECT_EQ(paging.pageOf(next + i), page);
        next += paging.cellsOn(page);
    }
    EXPECT_EQ(next, cells + 1);
    EXPECT_EQ(paging.cellsOn(paging.pageCount()), 0);

    // Turning every 4 s: each page for 4 s, then the first again.
    for (int page = 0; page < 2 * paging.pageCount(); ++page) {
        EXPECT_EQ(paging.pageAt(page * 4000 + 3999, 4), page % paging.pageCount());
        EXPECT_EQ(paging.msUntilTurn(page * 4000 + 1000, 4), paging.pageCount() > 1 ? 3000 : -1);
    }
    // A period of 0 never turns.
    EXPECT_EQ(paging.pageAt(123456, 0), 0);
    EXPECT_EQ(paging.msUntilTurn(123456, 0), -1);
}

INSTANTIATE_TEST_SUITE_P(Tickets, Pages,
                         ::testing::Values(std::tuple{1, 24, std::vector<int>{1}},
                                           std::tuple{12, 24, std::vector<int>{12}},
                                           std::tuple{50, 24, std::vector<int>{24, 24, 2}},
                                           std::tuple{48, 24, std::vector<int>{24, 24}},
                                           std::tuple{0, 24, std::vector<int>{0}},
                                           std::tuple{50, LcdRenderer::capacity(),
                                                      std::vector<int>{24, 24, 2}}));

BoardContent withFares(int cells) {
    BoardContent c;
    for (int k = 1; k <= kBoardCells; ++k)
        c.cells[size_t(k)] = k <= cells ? 150 + 10 * k : 0;
    return c;
}

TEST(Table, ListsTheCellsOfTheTicketsHandedOutSoFar) {
    BoardContent c = withFares(12);
    c.highestSeiriNo = 12;
    EXPECT_EQ(cellsInUse(c), 12);
    // Counting from 0, or a word on the first cell, moves ticket 12 to cell 13.
    for (int style : {1, 2, 10}) {
        c.numberingStyle = style;
        EXPECT_EQ(cellsInUse(c), 13) << "style " << style;
    }
    for (int style : {3, 11}) {
        c.numberingStyle = style;
        EXPECT_EQ(cellsInUse(c), 12) << "style " << style;
    }
    c.numberingStyle = 0;
    c.highestSeiriNo = 60;
    EXPECT_EQ(cellsInUse(c), 50);
    // No ticket numbers in the route: up to the last cell that shows anything.
    c.highestSeiriNo = 0;
    EXPECT_EQ(cellsInUse(c), 12);
    c.cleared = true;
    EXPECT_EQ(cellsInUse(c), 0);
}

// kanji 6 s, kana 3 s, English 3 s, only the forms that are known.
class Alternation
    : public ::testing::TestWithParam<std::tuple<bool, bool, qint64, NameForm, qint64>> {};

TEST_P(Alternation, NameFormAtATime) {
    const auto [kana, english, at, form, left] = GetParam();
    EXPECT_EQ(namePhaseAt(at, kana, english), (NamePhase{form, left}));
}

INSTANTIATE_TEST_SUITE_P(Forms, Alternation,
                         ::testing::Values(std::tuple{true, true, 0, NameForm::Kanji, 6000},
                                           std::tuple{true, true, 5999, NameForm::Kanji, 1},
                                           std::tuple{true, true, 6000, NameForm::Kana, 3000},
                                           std::tuple{true, true, 8999, NameForm::Kana, 1},
                                           std::tuple{true, true, 9000, NameForm::English, 3000},
                                           std::tuple{true, true, 12000, NameForm::Kanji, 6000},
                                           std::tuple{true, true, 12000 * 5 + 10000,
                                                      NameForm::English, 2000},
                                           std::tuple{true, false, 6500, NameForm::Kana, 2500},
                                           std::tuple{true, false, 9000, NameForm::Kanji, 6000},
                                           std::tuple{false, true, 6000, NameForm::English, 3000},
                                           std::tuple{false, false, 6000, NameForm::Kanji, -1}));

TEST(NextStop, LeadMatchesTheFormShown) {
    BoardContent c;
    c.stopName = QStringLiteral("市役所前");
    c.stopKana = QStringLiteral("しやくしょまえ");
    c.stopEnglish = QStringLiteral("City Hall");
    EXPECT_EQ(nextStopTexts(c, NameForm::Kanji).lead, QStringLiteral("次は"));
    EXPECT_EQ(nextStopTexts(c, NameForm::Kana).lead, QStringLiteral("つぎは"));
    EXPECT_EQ(nextStopTexts(c, NameForm::Kana).name, c.stopKana);
    EXPECT_EQ(nextStopTexts(c, NameForm::English).lead, QStringLiteral("Next"));
    EXPECT_EQ(nextStopTexts(c, NameForm::English).name, c.stopEnglish);
    EXPECT_EQ(namePhaseOf(c, 6000).form, NameForm::Kana);
    c.stopEnglish.clear();
    EXPECT_EQ(nextStopTexts(c, NameForm::English).name, c.stopName);
    // A name written in kana has no reading to show besides it.
    c.stopName = c.stopKana;
    EXPECT_EQ(namePhaseOf(c, 6000), (NamePhase{NameForm::Kanji, -1}));
    EXPECT_EQ(toHiragana(QStringLiteral("シヤクショマエ・ヴ")),
              QStringLiteral("しやくしょまえ・ゔ"));
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
    EXPECT_EQ(fareText(c, cell),
              degitDisplayText(value, format.zeroMode, format.fillZero, format.shift, format.keta));
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
                      std::tuple{QVariant(1980), CellFormat{0, 0, 0, 3}, QStringLiteral("980")},
                      std::tuple{QVariant(15), CellFormat{0, 4, 0, 4}, QStringLiteral("0015")},
                      std::tuple{QVariant(QStringLiteral("00012")), CellFormat{0, 0, 0, 4},
                                 QStringLiteral("0012")}));

TEST(Labels, FollowTheNumberingStyle) {
    BoardContent c;
    c.zeroPad = true;
    EXPECT_EQ(ticketLabel(c, 1), QStringLiteral("01"));
    EXPECT_EQ(ticketLabel(c, 50), QStringLiteral("50"));
    c.zeroPad = false;
    c.numberingStyle = 1;
    EXPECT_EQ(ticketLabel(c, 1), QStringLiteral("0"));
    EXPECT_EQ(ticketLabel(c, 50), QStringLiteral("49"));
    c.numberingStyle = 7;
    EXPECT_EQ(ticketLabel(c, 1), QStringLiteral("券なし"));
    EXPECT_EQ(ticketLabel(c, 2), QStringLiteral("2"));
    c.numberingStyle = 4;
    EXPECT_EQ(ticketLabel(c, 1), QStringLiteral("無 券"));
    EXPECT_EQ(ticketLabel(c, 2), QStringLiteral("1"));
    c.numberingStyle = 10;
    EXPECT_EQ(ticketLabel(c, 1), QString());
}

// The author's reading wins over the dictionary's, the English name comes from the data
// folder, and a file changed while running is read again.
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
    write(sound, "readings.csv", "一口,イモアライ\n");
    write(data, "names_en.csv", "一口,Imoarai\n");
    StopReadings readings;
    const StopNames own = readings.lookUp(QStringLiteral("一口"), data.path(), sound.path());
    EXPECT_EQ(own.kana, QStringLiteral("いもあらい"));
    EXPECT_EQ(own.english, QStringLiteral("Imoarai"));
    const StopNames guessed =
        readings.lookUp(QStringLiteral("中央公園"), data.path(), sound.path());
    EXPECT_EQ(guessed.kana, QStringLiteral("ちゅうおうこうえん"));
    EXPECT_EQ(guessed.english, QString());

    write(data, "names_en.csv", "一口,Imoarai Bridge\n");
    EXPECT_EQ(readings.lookUp(QStringLiteral("一口"), data.path(), sound.path()).english,
              QStringLiteral("Imoarai Bridge"));
    EXPECT_EQ(readings.lookUp(QStringLiteral("一口"), QString(), QString()).english, QString());

    // A named pipe and a folder where the files should be are not read, and do not block.
    QTemporaryDir odd;
    ASSERT_EQ(
        ::mkfifo(QFile::encodeName(odd.filePath(QStringLiteral("readings.csv"))).constData(), 0600),
        0);
    ASSERT_TRUE(QDir(odd.path()).mkdir(QStringLiteral("names_en.csv")));
    const StopNames unread = readings.lookUp(QStringLiteral("一口"), odd.path(), odd.path());
    EXPECT_EQ(unread.english, QString());
    EXPECT_NE(unread.kana, QStringLiteral("いもあらい"));
}

} // namespace
