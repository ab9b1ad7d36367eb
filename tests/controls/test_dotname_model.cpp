#include "dotnamemodel.h"

#include <gtest/gtest.h>

#include <vector>

using namespace std::chrono_literals;
using q47::DotNameGlyphs;
using q47::DotNameModel;
using q47::DotPattern;
using q47::kDotNameGothic;
using q47::kDotNameMincho;

namespace {

// Dots of a text as the work surface draws it, from a cache of its own.
DotPattern glyph(const QString &text, const QString &family = kDotNameGothic, bool bold = false,
                 int dx = 0, int dy = 0) {
    static DotNameGlyphs reference;
    return reference.pattern(text, family, bold, dx, dy);
}

DotPattern unite(const DotPattern &a, const DotPattern &b) {
    DotPattern u = a;
    for (int v = 0; v < DotPattern::kSize; ++v)
        for (int x = 0; x < DotPattern::kSize; ++x)
            if (b.at(x, v))
                u.set(x, v);
    return u;
}

struct Box {
    int width = 0;
    int height = 0;
    int minU = DotPattern::kSize, maxU = -1, minV = DotPattern::kSize, maxV = -1;
};

Box boundingBox(const DotPattern &p) {
    Box b;
    for (int v = 0; v < DotPattern::kSize; ++v)
        for (int u = 0; u < DotPattern::kSize; ++u)
            if (p.at(u, v)) {
                b.minU = qMin(b.minU, u);
                b.maxU = qMax(b.maxU, u);
                b.minV = qMin(b.minV, v);
                b.maxV = qMax(b.maxV, v);
            }
    b.width = b.maxU - b.minU + 1;
    b.height = b.maxV - b.minV + 1;
    return b;
}

const QString kSeven = QStringLiteral("一二三四五六七");

// ---- Layout ---------------------------------------------------------------------------------

struct LayoutCase {
    int cells;
    qint16 mode;
    std::vector<int> ys;
};

class CellLayout : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(CellLayout, EachCharacterLandsInItsCellAndNowhereElse) {
    const LayoutCase &c = GetParam();
    DotNameModel model;
    model.setMode(c.mode);
    const QString name = kSeven.left(c.cells);
    model.showName(name);

    int expectedDots = 0;
    for (int i = 0; i < c.cells; ++i) {
        const DotPattern want = glyph(name.at(i));
        ASSERT_FALSE(want.isEmpty());
        EXPECT_EQ(model.cellPattern(DotNameModel::kCellLeft, c.ys[static_cast<size_t>(i)]), want)
            << "cell " << i;
        expectedDots += want.count();
    }
    EXPECT_EQ(model.dotCount(), expectedDots) << "dots outside the cells";
}

INSTANTIATE_TEST_SUITE_P(OneToSevenCells, CellLayout,
                         ::testing::Values(LayoutCase{1, 0, {80}}, LayoutCase{2, 0, {32, 128}},
                                           LayoutCase{2, 2, {48, 112}}, LayoutCase{2, 1, {32, 128}},
                                           LayoutCase{3, 0, {16, 80, 144}},
                                           LayoutCase{3, 2, {16, 80, 144}},
                                           LayoutCase{4, 0, {8, 56, 104, 152}},
                                           LayoutCase{5, 0, {4, 42, 80, 118, 156}},
                                           LayoutCase{6, 0, {0, 32, 64, 96, 128, 160}},
                                           LayoutCase{7, 0, {0, 32, 64, 96, 128, 160, 192}}));

TEST(DotNameStrip, ShortNamesStandStillAtTheTopAndLongOnesStartBelowTheWindow) {
    for (int cells = 1; cells <= 8; ++cells) {
        DotNameModel model;
        model.showName(QStringLiteral("一二三四五六七八").left(cells));
        if (cells <= 6) {
            EXPECT_EQ(model.stripHeight(), 192) << cells;
            EXPECT_EQ(model.stripTop(), 0) << cells;
            EXPECT_FALSE(model.scrolling()) << cells;
        } else {
            EXPECT_EQ(model.stripHeight(), 32 * cells) << cells;
            EXPECT_EQ(model.stripTop(), model.windowSize().height()) << cells;
            EXPECT_TRUE(model.scrolling()) << cells;
        }
    }
}

TEST(DotNameStrip, HalfWidthTextSharesCellsTwoToACell) {
    DotNameModel model;
    model.showName(QStringLiteral("ABCD"));
    const DotPattern ab = model.cellPattern(2, 32);
    EXPECT_EQ(ab, glyph(QStringLiteral("AB")));
    EXPECT_EQ(model.cellPattern(2, 128), glyph(QStringLiteral("CD")));
    // Both letters are in the cell: one in each half.
    const Box box = boundingBox(ab);
    EXPECT_LT(box.minU, 8);
    EXPECT_GE(box.maxU, 8);
    EXPECT_EQ(model.dotCount(), ab.count() + glyph(QStringLiteral("CD")).count());
}

TEST(DotNameStrip, AnOddLastByteIsDrawnInTheCellAfterTheLastWholeOne) {
    const DotPattern x = glyph(QStringLiteral("X"));
    DotNameModel model;
    // Less than a cell: drawn at the top.
    model.showName(QStringLiteral("X"));
    EXPECT_EQ(model.cellPattern(2, 0), x);
    // One whole cell and a byte: the single cell's step is 0, so both land in it.
    model.showName(QStringLiteral("ABC"));
    EXPECT_EQ(model.cellPattern(2, 80),
              unite(glyph(QStringLiteral("AB")), glyph(QStringLiteral("C"))));
    // Two close cells and a byte: the byte starts at 176, and the strip ends at 192.
    model.setMode(2);
    model.showName(QStringLiteral("東京X"));
    EXPECT_EQ(model.cellPattern(2, 176), x.shifted(0, 8).shifted(0, -8));
    EXPECT_EQ(model.dotCount(), glyph(QStringLiteral("東")).count() +
                                    glyph(QStringLiteral("京")).count() + x.shifted(0, 8).count());
}

// ---- Substitutions and fonts ---------------------------------------------------------------

TEST(DotNameDots, LongVowelMarkBecomesAVerticalStrokeAlsoForTheCaller) {
    DotNameModel model;
    QString text = QStringLiteral("ー");
    model.DrawDot16(2, 0, text);
    EXPECT_EQ(text, QStringLiteral("丨"));
    const DotPattern drawn = model.cellPattern(2, 0);
    EXPECT_EQ(drawn, glyph(QStringLiteral("丨")));
    const Box box = boundingBox(drawn);
    EXPECT_LE(box.width, 2);
    EXPECT_GE(box.height, 10);
}

TEST(DotNameDots, BracketsAndArrowsAreMirroredAboutTheDiagonal) {
    for (const QString &text : {QStringLiteral("（"), QStringLiteral("→"), QStringLiteral("＝"),
                                QStringLiteral("～"), QStringLiteral("【")}) {
        DotNameModel model;
        QString t = text;
        model.DrawDot16(2, 32, t);
        const DotPattern flat = glyph(text);
        ASSERT_FALSE(flat.isEmpty()) << text.toStdString();
        EXPECT_EQ(model.cellPattern(2, 32), flat.transposed()) << text.toStdString();
        EXPECT_EQ(t, text);
    }
    // Turned, the parenthesis opens downwards and the arrow points down.
    DotNameModel model;
    QString paren = QStringLiteral("（"), arrow = QStringLiteral("→");
    model.DrawDot16(2, 0, paren);
    model.DrawDot16(2, 32, arrow);
    const Box p = boundingBox(model.cellPattern(2, 0));
    EXPECT_GT(p.width, p.height);
    const Box a = boundingBox(model.cellPattern(2, 32));
    EXPECT_GT(a.height, a.width);
}

TEST(DotNameDots, SmallMarksMoveToTheUpperRight) {
    for (const QString &text : {QStringLiteral("。"), QStringLiteral("、")}) {
        DotNameModel model;
        QString t = text;
        model.DrawDot16(2, 0, t);
        const DotPattern drawn = model.cellPattern(2, 0);
        ASSERT_FALSE(drawn.isEmpty());
        EXPECT_EQ(drawn, glyph(text).shifted(10, -10)) << text.toStdString();
        const Box box = boundingBox(drawn);
        EXPECT_GE(box.minU, 8);
        EXPECT_LT(box.maxV, 8);
    }
}

TEST(DotNameDots, ShinAndYamaMoveOneDotRightOnlyInTheGothicOnlyMode) {
    for (const QString &text : {QStringLiteral("申"), QStringLiteral("山")}) {
        DotNameModel model;
        QString t = text;
        model.DrawDot16(2, 0, t);
        EXPECT_EQ(model.cellPattern(2, 0), glyph(text, kDotNameGothic, false, 1, 0));
        EXPECT_NE(model.cellPattern(2, 0), glyph(text));
        model.setFontMode(2);
        model.DrawDot16(2, 64, t);
        EXPECT_EQ(model.cellPattern(2, 64), glyph(text));
    }
}

struct FontCase {
    const char *text;
    qint16 fontMode;
    bool mincho;
};

class FontChoice : public ::testing::TestWithParam<FontCase> {};

TEST_P(FontChoice, FollowsTheFirstCharactersCode) {
    const FontCase &c = GetParam();
    const QString text = QString::fromUtf8(c.text);
    EXPECT_EQ(q47::dotNameFontFamily(text, c.fontMode), c.mincho ? kDotNameMincho : kDotNameGothic);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, FontChoice,
    ::testing::Values(
        // Mincho below the first kanji code 0x889F, read as a signed number.
        FontCase{"あ", 2, true}, FontCase{"駅", 2, false}, FontCase{"Ａ", 2, true},
        FontCase{"亜", 2, false}, FontCase{"A", 2, false}, FontCase{"ｱ", 2, false},
        FontCase{"ア", 2, true}, FontCase{"あ", 3, false}, FontCase{"駅", 3, true},
        // Gothic only for full-width digits and Latin letters, 0x824F to 0x829A.
        FontCase{"Ａ", 4, false}, FontCase{"０", 4, false}, FontCase{"ｚ", 4, false},
        FontCase{"ぁ", 4, true}, FontCase{"あ", 4, true}, FontCase{"駅", 4, true},
        FontCase{"A", 4, true}, FontCase{"駅", 1, true}, FontCase{"A", 1, true},
        FontCase{"あ", 0, false}, FontCase{"あ", 5, false}, FontCase{"あ", -1, false}));

TEST(DotNameDots, SignedCodeOfTheFirstCharacter) {
    EXPECT_EQ(q47::cp932SignedCode(QStringLiteral("あ")), qint16(-32096));   // 0x82A0
    EXPECT_EQ(q47::cp932SignedCode(QStringLiteral("亜い")), qint16(-30561)); // 0x889F
    EXPECT_EQ(q47::cp932SignedCode(QStringLiteral("Ab")), 65);
    EXPECT_EQ(q47::cp932SignedCode(QStringLiteral("ｱ")), 177);
    EXPECT_EQ(q47::cp932SignedCode(QString()), 0);
}

TEST(DotNameDots, CellsAreDrawnInTheFaceTheModeChooses) {
    const QString hiragana = QStringLiteral("あ"), kanji = QStringLiteral("駅"),
                  latin = QStringLiteral("Ａ");
    for (const QString &t : {hiragana, kanji, latin})
        ASSERT_NE(glyph(t, kDotNameGothic), glyph(t, kDotNameMincho)) << "faces look alike";

    DotNameModel model;
    model.setFontMode(2);
    model.showName(hiragana + kanji + latin);
    EXPECT_EQ(model.cellPattern(2, 16), glyph(hiragana, kDotNameMincho));
    EXPECT_EQ(model.cellPattern(2, 80), glyph(kanji, kDotNameGothic));
    EXPECT_EQ(model.cellPattern(2, 144), glyph(latin, kDotNameMincho));

    model.setFontMode(4);
    model.showName(hiragana + kanji + latin);
    EXPECT_EQ(model.cellPattern(2, 16), glyph(hiragana, kDotNameMincho));
    EXPECT_EQ(model.cellPattern(2, 80), glyph(kanji, kDotNameMincho));
    EXPECT_EQ(model.cellPattern(2, 144), glyph(latin, kDotNameGothic));
}

TEST(DotNameDots, BoldDrawsHeavierStrokes) {
    DotNameModel model;
    model.setFontBold(true);
    model.showName(QStringLiteral("駅"));
    const DotPattern bold = model.cellPattern(2, 80);
    EXPECT_EQ(bold, glyph(QStringLiteral("駅"), kDotNameGothic, true));
    EXPECT_GT(bold.count(), glyph(QStringLiteral("駅")).count());
}

TEST(DotNameDots, OnlyPureBlackWorkPixelsBecomeDots) {
    DotNameGlyphs glyphs;
    const DotPattern p = glyphs.pattern(QStringLiteral("駅"), kDotNameGothic, false, 0, 0);
    const QImage &work = glyphs.workSurface();
    ASSERT_EQ(work.size(), QSize(16, 16));
    int black = 0;
    for (int v = 0; v < 16; ++v)
        for (int u = 0; u < 16; ++u) {
            const QRgb px = work.pixel(u, v) & 0xFFFFFF;
            EXPECT_EQ(p.at(u, v), px == 0);
            EXPECT_TRUE(px == 0 || px == 0xFFFFFF) << "smoothed pixel at " << u << "," << v;
            black += px == 0 ? 1 : 0;
        }
    EXPECT_GT(black, 30);
}

TEST(DotNameDots, PatternsAreRasterisedOncePerTextFaceAndWeight) {
    DotNameModel model;
    const QString name = QStringLiteral("中央駅前中央駅前中央駅前");
    model.showName(name);
    const int first = model.glyphs().rasterisedCount();
    EXPECT_EQ(first, 4);
    model.showName(name);
    EXPECT_EQ(model.glyphs().rasterisedCount(), first);
    model.setFontBold(true);
    model.showName(name);
    EXPECT_EQ(model.glyphs().rasterisedCount(), 2 * first);
}

// ---- Properties -----------------------------------------------------------------------------

TEST(DotNameProperties, StartValuesAndWindowSizes) {
    DotNameModel model;
    EXPECT_EQ(model.BackColor(), 0x808080U);
    EXPECT_EQ(model.ForeColor(), 0x00BEFFU);
    EXPECT_EQ(model.Speed(), 5);
    EXPECT_EQ(model.ScrollStartWait(), 1500);
    EXPECT_EQ(model.Mode(), 0);
    EXPECT_EQ(model.Appearance(), 1);
    EXPECT_EQ(model.FontMode(), 0);
    EXPECT_FALSE(model.FontBold());
    EXPECT_EQ(model.windowSize(), QSize(37, 196));

    model.setAppearance(0);
    EXPECT_EQ(model.windowSize(), QSize(35, 185));
    EXPECT_EQ(model.borderWidth(), 1);
    model.setAppearance(1);
    EXPECT_EQ(model.windowSize(), QSize(37, 195));
    EXPECT_EQ(model.borderWidth(), 2);
}

TEST(DotNameProperties, OutOfRangeValuesAreStoredUnchanged) {
    DotNameModel model;
    model.setSpeed(-7);
    model.setScrollStartWait(-1);
    model.setMode(99);
    model.setFontMode(9);
    EXPECT_EQ(model.Speed(), -7);
    EXPECT_EQ(model.ScrollStartWait(), -1);
    EXPECT_EQ(model.Mode(), 99);
    EXPECT_EQ(model.FontMode(), 9);
}

TEST(DotNameProperties, BackColorAndAppearanceEraseTheStripButForeColorDoesNot) {
    DotNameModel model;
    model.showName(QStringLiteral("東京"));
    ASSERT_GT(model.dotCount(), 0);
    model.setForeColor(0x0000FF);
    EXPECT_GT(model.dotCount(), 0);
    model.setBackColor(0x000000);
    EXPECT_EQ(model.dotCount(), 0);
    model.showName(QStringLiteral("東京"));
    model.setAppearance(0);
    EXPECT_EQ(model.dotCount(), 0);
}

TEST(DotNameProperties, DotsKeepTheColourTheyWereDrawnIn) {
    DotNameModel model;
    QString a = QStringLiteral("東"), b = QStringLiteral("京");
    model.DrawDot16(2, 0, a);
    model.setForeColor(0x0000FF); // red
    model.DrawDot16(2, 32, b);
    auto firstDotColour = [&](int y0) {
        for (int y = y0; y < y0 + 32; ++y)
            for (int x = 0; x < model.strip().width(); ++x)
                if (qAlpha(model.strip().pixel(x, y)) != 0)
                    return model.strip().pixel(x, y) & 0xFFFFFFU;
        return 0xFFFFFFFFU;
    };
    EXPECT_EQ(firstDotColour(0), 0xFFBE00U); // amber, as RGB
    EXPECT_EQ(firstDotColour(32), 0xFF0000U);
}

// ---- Scrolling through the model ------------------------------------------------------------

class DotNameScrolling : public ::testing::Test {
protected:
    std::chrono::nanoseconds now{0};
    DotNameModel model{[this] { return now; }};
    const int window = model.windowSize().height();

    int topAt(std::chrono::nanoseconds t) {
        now = t;
        model.advance();
        return model.stripTop();
    }
};

TEST_F(DotNameScrolling, ALongNameWaitsBelowTheWindowThenRisesAndWraps) {
    model.showName(kSeven);
    EXPECT_EQ(model.stripTop(), window);
    EXPECT_EQ(topAt(1400ms), window);
    EXPECT_EQ(topAt(2500ms), window - 150);
    // Gone at -(196 + 224), back below the window, and still there during the pause.
    EXPECT_EQ(topAt(1500ms + 4200ms), window);
    EXPECT_EQ(topAt(1500ms + 4200ms + 1000ms), window);
}

TEST_F(DotNameScrolling, AShortNameStopsTheScrollAtTheTop) {
    model.showName(kSeven);
    ASSERT_EQ(topAt(2500ms), window - 150);
    model.showName(QStringLiteral("東京"));
    EXPECT_FALSE(model.scrolling());
    EXPECT_EQ(topAt(5s), 0);
}

TEST_F(DotNameScrolling, ASecondLongNameContinuesFromWhereTheStripStands) {
    model.showName(kSeven);
    ASSERT_EQ(topAt(2500ms), window - 150);
    model.showName(QStringLiteral("八九十百千万億兆"));
    EXPECT_EQ(model.stripHeight(), 256);
    EXPECT_EQ(model.stripTop(), window - 150);
    EXPECT_EQ(model.cellPattern(2, 0), glyph(QStringLiteral("八")));
    // A pause of its own, then on from there.
    EXPECT_EQ(topAt(2500ms + 1400ms), window - 150);
    EXPECT_EQ(topAt(2500ms + 2500ms), window - 300);
}

TEST_F(DotNameScrolling, AnEmptyNameBlanksTheStripWithoutStoppingTheScroll) {
    model.showName(kSeven);
    ASSERT_EQ(topAt(2500ms), window - 150);
    model.showName(QString());
    EXPECT_EQ(model.dotCount(), 0);
    EXPECT_EQ(model.stripTop(), 0);
    EXPECT_TRUE(model.scrolling());
    EXPECT_EQ(topAt(2600ms), window - 165);
    // The next long name therefore carries on from the moving position...
    model.showName(kSeven);
    EXPECT_EQ(model.stripTop(), window - 165);
    // ...unless it follows the empty one at once, as a fresh start does.
    model.showName(QString());
    model.showName(kSeven);
    EXPECT_EQ(model.stripTop(), window);
}

TEST_F(DotNameScrolling, SpeedZeroBecomesOneWhenAScrollStarts) {
    model.setSpeed(0);
    model.showName(QStringLiteral("東京"));
    EXPECT_EQ(model.Speed(), 0) << "only a scroll corrects it";
    model.showName(kSeven);
    EXPECT_EQ(model.Speed(), 1);
    EXPECT_EQ(topAt(2500ms), window - 30);
}

TEST_F(DotNameScrolling, NegativeSettingsCountAsTheSmallestUsefulOnes) {
    model.setSpeed(-4);
    model.setScrollStartWait(-500);
    model.showName(kSeven);
    EXPECT_EQ(model.Speed(), -4);
    EXPECT_EQ(topAt(1s), window - 30);
}

TEST_F(DotNameScrolling, TheWindowHeightDecidesWhereALongNameStarts) {
    model.setAppearance(0);
    model.showName(kSeven);
    EXPECT_EQ(model.stripTop(), 185);
}

} // namespace
