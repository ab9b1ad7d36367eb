#include "lcdrenderer.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace q47;
using namespace q47::lcd;

namespace {

BoardContent stopContent(const QString &name, int tickets) {
    BoardContent c;
    for (int k = 1; k <= kBoardCells; ++k)
        c.cells[size_t(k)] = k <= tickets ? 170 + 30 * (tickets - k) : 0;
    c.highestSeiriNo = tickets;
    c.stopName = name;
    c.stopKana = QStringLiteral("しみんぶんかかいかんいりぐち");
    c.stopEnglish = QStringLiteral("Civic Cultural Center Entrance");
    c.routeNumber = QStringLiteral("12");
    c.headsign = QStringLiteral("北営業所行");
    c.time = QTime(10, 24);
    c.backlight = 2;
    return c;
}

// The box of every pixel in `area` that is not `background`.
QRect inkBox(const QImage &image, const QRect &area, QRgb background) {
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = area.left(); x <= area.right(); ++x) {
            if (line[x] != background)
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

// The next-stop band right of the lead's box, where only the name is drawn.
QRect nameBand(const LcdLayout &l) {
    return QRect(QPoint(l.nextLabel.right() + 1, l.nextBand.top()), l.nextBand.bottomRight());
}

class LongName : public ::testing::TestWithParam<std::tuple<NameForm, QSize, qreal>> {};

// However long, the name is drawn whole inside its area, filling its width.
TEST_P(LongName, IsNarrowedIntoItsArea) {
    const auto [form, size, dpr] = GetParam();
    const BoardContent c =
        stopContent(QStringLiteral("県立中央病院前北ニュータウン市民文化会館入口西口"), 3);
    LcdRenderer renderer;
    const QImage image = renderer.render(c, size, dpr, {0, form});
    const LcdLayout l = LcdRenderer::layoutFor(size, dpr);
    const QRect ink = inkBox(image, nameBand(l), lcdPalette(c.backlight).band);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_TRUE(l.name.contains(ink))
        << ink.x() << "," << ink.y() << " " << ink.width() << "x" << ink.height();
    EXPECT_GT(ink.width(), l.name.width() * 0.95);
    // A short name keeps its natural width.
    const QImage shortName = renderer.render(stopContent(QStringLiteral("緑町"), 3), size, dpr);
    const QRect shortInk = inkBox(shortName, nameBand(l), lcdPalette(c.backlight).band);
    EXPECT_LT(shortInk.width(), l.name.width() / 3);
    EXPECT_GT(shortInk.width(), shortInk.height());
}

INSTANTIATE_TEST_SUITE_P(Forms, LongName,
                         ::testing::Values(std::tuple{NameForm::Kanji, QSize(960, 540), 1.0},
                                           std::tuple{NameForm::Kana, QSize(960, 540), 1.0},
                                           std::tuple{NameForm::English, QSize(960, 540), 1.0},
                                           std::tuple{NameForm::Kanji, QSize(1920, 1080), 1.0},
                                           std::tuple{NameForm::Kanji, QSize(960, 540), 1.5}));

class Zoom : public ::testing::TestWithParam<std::tuple<QSize, qreal>> {};

// The table's rules are whole device pixels at every zoom and ratio: each pixel across a rule
// is either the rule's colour or a cell's, never a blend of the two.
TEST_P(Zoom, RulesLandOnWholePixels) {
    const auto [size, dpr] = GetParam();
    LcdRenderer renderer;
    const BoardContent c = stopContent(QStringLiteral("市民文化会館入口"), 3);
    const QImage image = renderer.render(c, size, dpr);
    const LcdLayout l = LcdRenderer::layoutFor(size, dpr);
    ASSERT_EQ(image.size(), LcdRenderer::deviceSize(size, dpr));
    EXPECT_TRUE(image.rect().contains(l.board));
    EXPECT_TRUE(l.board.width() == image.width() || l.board.height() == image.height());
    const LcdPalette p = lcdPalette(c.backlight);
    const int scale = int(l.scale * 100);
    EXPECT_EQ(l.rule, std::max(1, int(std::lround(2 * l.scale)))) << scale;

    // Down the last column, whose cells are empty: rules and cells only.
    const int x = l.numberCell(LcdLayout::kColumns - 1).center().x();
    int ruleRows = 0;
    for (int y = l.table.top(); y <= l.table.bottom(); ++y) {
        const QRgb px = image.pixel(x, y);
        ASSERT_TRUE(px == p.rule || px == p.numberEmpty || px == p.fare)
            << "scale " << scale << " y " << y << " " << std::hex << px;
        ruleRows += px == p.rule;
    }
    EXPECT_EQ(ruleRows, l.rule * (2 * LcdLayout::kRows + 1)) << scale;
    // Across the last row of fares, also empty.
    const int y = l.fareCell(LcdLayout::capacity() - 1).center().y();
    int ruleColumns = 0;
    for (int x = l.columnEdges[1]; x <= l.table.right(); ++x) {
        const QRgb px = image.pixel(x, y);
        ASSERT_TRUE(px == p.rule || px == p.fare) << "scale " << scale << " x " << x;
        ruleColumns += px == p.rule;
    }
    EXPECT_EQ(ruleColumns, l.rule * (LcdLayout::kColumns + 1)) << scale;
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, Zoom,
    ::testing::Values(std::tuple{QSize(960, 540), 1.0}, std::tuple{QSize(1440, 810), 1.0},
                      std::tuple{QSize(1920, 1080), 1.0}, std::tuple{QSize(2880, 1620), 1.0},
                      std::tuple{QSize(960, 540), 1.5}, std::tuple{QSize(960, 540), 2.0},
                      std::tuple{QSize(1000, 700), 1.0}));

// Share of the name's pixels that are partly covered: edges, which a picture scaled up from a
// smaller one would blur across ever more pixels.
double edgeShare(const QImage &image, const LcdLayout &l, const LcdPalette &p) {
    int partial = 0, full = 0;
    for (int y = l.name.top(); y <= l.name.bottom(); ++y) {
        for (int x = l.name.left(); x <= l.name.right(); ++x) {
            const QRgb px = image.pixel(x, y);
            full += px == p.name;
            partial += px != p.name && px != p.band;
        }
    }
    return double(partial) / std::max(1, partial + full);
}

TEST(Zoom, DoubleRatioIsDrawnAtItsOwnResolution) {
    LcdRenderer renderer;
    const BoardContent c = stopContent(QStringLiteral("市民文化会館入口"), 3);
    const LcdPalette p = lcdPalette(c.backlight);
    const double one = edgeShare(renderer.render(c, QSize(960, 540), 1),
                                 LcdRenderer::layoutFor(QSize(960, 540), 1), p);
    const double two = edgeShare(renderer.render(c, QSize(960, 540), 2),
                                 LcdRenderer::layoutFor(QSize(960, 540), 2), p);
    // Edges stay one pixel wide while strokes double: about half the share.
    EXPECT_LT(two, one * 0.7) << one << " " << two;
}

// What the caches keep never shows through: a board painted after other stops, another size
// and another backlight is the board painted afresh.
TEST(Caches, RepaintEqualsAFreshPicture) {
    LcdRenderer used;
    BoardContent before = stopContent(QStringLiteral("市役所前"), 3);
    used.render(before, QSize(960, 540), 1);
    used.render(before, QSize(1280, 720), 1);
    before.backlight = 0;
    used.render(before, QSize(960, 540), 1, {0, NameForm::Kana});
    BoardContent after = stopContent(QStringLiteral("中央公園"), 30);
    after.numberingStyle = 7;
    after.cells[7] = -1;
    for (int page : {0, 1}) {
        for (NameForm form : {NameForm::Kanji, NameForm::English}) {
            LcdRenderer fresh;
            EXPECT_EQ(used.render(after, QSize(960, 540), 1, {page, form}),
                      fresh.render(after, QSize(960, 540), 1, {page, form}))
                << page << " " << int(form);
        }
    }
}

TEST(Backlight, OffIsDimmerThanOn) {
    for (auto pick : {&LcdPalette::name, &LcdPalette::fareText, &LcdPalette::rule}) {
        const int off = qGray(lcdPalette(0).*pick), on1 = qGray(lcdPalette(1).*pick),
                  on2 = qGray(lcdPalette(2).*pick);
        EXPECT_LT(off * 2, on1);
        EXPECT_LE(on1, on2);
    }
}

} // namespace
