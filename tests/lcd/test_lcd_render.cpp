#include "boardmodel.h"
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
    c.route.highestSeiriNo = tickets;
    c.stopName = name;
    c.stopForms[NameLanguage::Kana] = QStringLiteral("しみんぶんかかいかんいりぐち");
    c.stopForms[NameLanguage::English] = QStringLiteral("Civic Cultural Center Entrance");
    c.stopForms[NameLanguage::Korean] = QStringLiteral("시민문화회관 입구");
    c.stopForms[NameLanguage::ChineseHans] = QStringLiteral("市民文化会馆入口");
    c.route.number = QStringLiteral("12");
    c.route.headsign = QStringLiteral("北営業所行");
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

// However long, the name is drawn whole inside its area: a long one on two lines, a short one
// at its natural width.
TEST_P(LongName, IsDrawnInsideItsArea) {
    const auto [form, size, dpr] = GetParam();
    BoardContent c = stopContent(
        QStringLiteral("県立中央病院前北ニュータウン市民文化会館入口西口第二駐車場"), 3);
    c.stopForms[NameLanguage::Kana] =
        QStringLiteral("けんりつちゅうおうびょういんまえきたにゅーたうんしみんぶんかかいかん");
    c.stopForms[NameLanguage::English] =
        QStringLiteral("Prefectural Central Hospital North New Town Civic Cultural Center");
    LcdRenderer renderer;
    const QImage image = renderer.render(c, size, dpr, {0, form});
    const LcdLayout l = LcdRenderer::layoutFor(size, dpr);
    const QRect ink = inkBox(image, nameBand(l), lcdPalette(c.backlight).band);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_TRUE(l.name.contains(ink))
        << ink.x() << "," << ink.y() << " " << ink.width() << "x" << ink.height();
    EXPECT_GT(ink.height(), l.name.height() * 0.6); // two lines
    EXPECT_GT(ink.width(), l.name.width() * 0.6);
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

// Every character a feed can hold is drawn: a kanji outside CP932 and the IPA faces, Hangul,
// simplified Chinese and an emoji each leave ink unlike a character no face has.
TEST(Faces, DrawEveryCharacterOfAName) {
    GlyphText text;
    const QImage none =
        text.sprite(QStringLiteral("\U000F0000"), Face::Japanese, 60, 1, qRgb(255, 255, 255)).image;
    for (const auto &[character, face] : {std::pair{QStringLiteral("𠮷"), Face::Japanese},
                                          std::pair{QStringLiteral("🚌"), Face::Japanese},
                                          std::pair{QStringLiteral("한"), Face::Korean},
                                          std::pair{QStringLiteral("馆"), Face::ChineseHans},
                                          std::pair{QStringLiteral("𠮷"), Face::Latin}}) {
        const QImage drawn = text.sprite(character, face, 60, 1, qRgb(255, 255, 255)).image;
        EXPECT_FALSE(drawn.isNull()) << qPrintable(character);
        EXPECT_NE(drawn, none) << qPrintable(character);
    }
}

// The page marker is read from the back of a bus: its digits at least 3 % of the board's height.
TEST(PageMarker, IsTallEnough) {
    const QSize size(960, 540);
    LcdRenderer renderer;
    const BoardContent c = stopContent(QStringLiteral("緑町"), 40);
    const LcdLayout l = LcdRenderer::layoutFor(size, 1);
    const QImage image = renderer.render(c, size, 1);
    const QRect tab = inkBox(image, l.pageIndicator, lcdPalette(c.backlight).background);
    ASSERT_FALSE(tab.isEmpty());
    // The digits: what is neither the tab nor the face around it, clear of the tab's corners.
    QRect digits;
    for (int y = tab.top(); y <= tab.bottom(); ++y)
        for (int x = tab.left() + l.px(8); x <= tab.right() - l.px(8); ++x)
            if (const QRgb px = image.pixel(x, y);
                px != lcdPalette(c.backlight).header && px != lcdPalette(c.backlight).background)
                digits |= QRect(x, y, 1, 1);
    EXPECT_GE(digits.height(), 0.03 * l.board.height()) << digits.height();
}

// The route's own name on a badge of its own colour.
TEST(Badge, ShowsTheRoutesNameInItsColours) {
    BoardContent c = stopContent(QStringLiteral("緑町"), 3);
    c.route.name = QStringLiteral("循環");
    c.route.color = QColor(0x1E, 0x90, 0xFF);
    LcdRenderer renderer;
    const QImage image = renderer.render(c, QSize(960, 540), 1);
    const LcdLayout l = LcdRenderer::layoutFor(QSize(960, 540), 1);
    const QRgb badge = lcdDimmed(c.route.color, c.backlight);
    const QPoint inside(l.route.left() + l.px(4), l.route.center().y());
    EXPECT_EQ(image.pixel(inside), badge);
    c.route.color = QColor();
    EXPECT_EQ(renderer.render(c, QSize(960, 540), 1).pixel(inside), lcdPalette(c.backlight).badge);
}

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
    BoardModel numbered;
    numbered.setNumbering(7, false);
    after.labels = numbered.content().labels;
    after.cells[7] = -1;
    after.cells[8] = 32767;
    for (int page : {0, 1}) {
        for (NameForm form : {NameForm::Kanji, NameForm::English, NameForm::Korean}) {
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
