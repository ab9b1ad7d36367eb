#include "segmentmodel.h"

#include <gtest/gtest.h>

#include <limits>

using q47::digitDisplayText;
using q47::SegmentModel;
using Effect = SegmentModel::Effect;

namespace {

struct TextCase {
    const char *name;
    QVariant value;
    qint16 zeroMode, fillZero, shift, digitCount;
    QString expected;
};

class DisplayText : public ::testing::TestWithParam<TextCase> {};

TEST_P(DisplayText, FollowsZeroFillShiftAndCut) {
    const TextCase &c = GetParam();
    EXPECT_EQ(digitDisplayText(c.value, c.zeroMode, c.fillZero, c.shift, c.digitCount), c.expected)
        << c.name;
}

const QString S = QStringLiteral("");

INSTANTIATE_TEST_SUITE_P(
    Rules, DisplayText,
    ::testing::Values(
        TextCase{"plain fare", 230, 0, 0, 0, 4, "230"}, TextCase{"zero fill", 5, 0, 3, 0, 4, "005"},
        TextCase{"shift one", 12, 0, 0, 1, 4, "12 "},
        TextCase{"rightmost digitCount", 12345, 0, 0, 0, 4, "2345"},
        TextCase{"mode0 zero blank", 0, 0, 0, 0, 4, ""},
        TextCase{"mode0 empty string blank", QString(), 0, 0, 0, 4, ""},
        TextCase{"mode0 never set blank", QVariant(), 0, 0, 0, 4, ""},
        TextCase{"mode0 keeps -1", -1, 0, 0, 0, 4, "-1"},
        TextCase{"mode1 zero lit", 0, 1, 0, 0, 4, "0"},
        TextCase{"mode1 empty lit", QString(), 1, 0, 0, 4, "0"},
        TextCase{"mode1 zero filled", 0, 1, 3, 0, 4, "000"},
        TextCase{"mode2 minus one lit", -1, 2, 0, 0, 4, "0"},
        TextCase{"mode2 zero blank", 0, 2, 0, 0, 4, ""},
        TextCase{"mode2 empty string kept", QString(), 2, 0, 0, 4, ""},
        TextCase{"mode3 minus one filled", -1, 3, 3, 0, 4, "000"},
        TextCase{"mode3 empty lit", QString(), 3, 0, 0, 4, "0"},
        TextCase{"negative mode applies no rule", 0, -1, 0, 0, 4, "0"},
        TextCase{"non-numeric string unchanged", QStringLiteral("--"), 3, 4, 0, 4, "--"},
        TextCase{"non-empty string never equals zero", QStringLiteral(" "), 1, 0, 0, 4, " "},
        TextCase{"numeric string zero filled", QStringLiteral("7"), 0, 2, 0, 4, "07"},
        TextCase{"negative fill counts as none", 5, 0, -3, 0, 4, "5"},
        TextCase{"negative number filled", -5, 0, 3, 0, 4, "-005"},
        TextCase{"fill rounds half away from zero", 2.5, 0, 1, 0, 4, "3"},
        TextCase{"wide fare beyond 16 bits", 40000, 0, 0, 0, 5, "40000"},
        TextCase{"shift then cut keeps spaces", 1234, 0, 0, 2, 4, "34  "},
        TextCase{"lamp test string", QStringLiteral("888"), 0, 0, 0, 3, "888"},
        // Beyond every integer type: shown without undefined behaviour, cut to the cells.
        TextCase{"huge text filled", QStringLiteral("1e30"), 0, 4, 0, 4, "0000"},
        TextCase{"huge number filled", 1e19, 1, 3, 0, 4, "0000"},
        TextCase{"huge number plain", 1e19, 0, 0, 0, 4, "e+19"},
        TextCase{"infinity is not filled", std::numeric_limits<double>::infinity(), 3, 3, 0, 4,
                 "inf"},
        TextCase{"infinite text is not a number", QStringLiteral("inf"), 0, 2, 0, 4, "inf"}),
    [](const auto &info) {
        std::string n = info.param.name;
        for (char &ch : n)
            if (!isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        return n;
    });

TEST(SegmentModelRanges, KetaOutsideOneToFifteenBecomesFourAndResizes) {
    SegmentModel m;
    for (qint16 bad : {qint16(0), qint16(16), qint16(-3)}) {
        m.setDigitCount(7);
        EXPECT_EQ(m.setDigitCount(bad), Effect::ResizeRedraw);
        EXPECT_EQ(m.DigitCount(), 4) << bad;
    }
    m.setDigitCount(15);
    EXPECT_EQ(m.DigitCount(), 15);
}

TEST(SegmentModelRanges, DigitSizeAndStyle) {
    SegmentModel m;
    EXPECT_EQ(m.setDigitSize(7), Effect::ResizeRedraw);
    EXPECT_EQ(m.DigitSize(), 0);
    EXPECT_EQ(m.sizeClass().fontPt, 18);
    EXPECT_EQ(m.sizeClass().cellTwips, 195);
    EXPECT_EQ(m.sizeClass().heightTwips, 300);
    m.setDigitSize(3);
    EXPECT_EQ(m.sizeClass().cellTwips, 165);
    EXPECT_EQ(m.setDigitStyle(7), Effect::Redraw);
    EXPECT_EQ(m.DigitStyle(), 7);
}

TEST(SegmentModelRanges, FormattingSettersClampAndDoNotRedraw) {
    SegmentModel m; // DigitCount 4
    EXPECT_EQ(m.setFillZero(6), Effect::None);
    EXPECT_EQ(m.FillZero(), 4);
    EXPECT_EQ(m.setShift(9), Effect::None);
    EXPECT_EQ(m.Shift(), 3);
    m.setShift(-2);
    EXPECT_EQ(m.Shift(), 0);
    EXPECT_EQ(m.setZeroMode(5), Effect::None);
    EXPECT_EQ(m.ZeroMode(), 0);
    m.setZeroMode(-1);
    EXPECT_EQ(m.ZeroMode(), -1);
    m.setFillZero(-2);
    EXPECT_EQ(m.FillZero(), -2);
    EXPECT_EQ(m.setUserSet(false), Effect::None);
}

} // namespace
