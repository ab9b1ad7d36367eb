#include "segmentfont.h"
#include "segmentrenderer.h"

#include <gtest/gtest.h>

#include <QSet>

#include <bit>
#include <tuple>

using q47::SegmentFrame;
using q47::SegmentRenderer;

namespace {

constexpr q47::OleColor kBlue = 0xFF0000, kRed = 0x0000FF;

SegmentFrame frameFor(qint16 style, qint16 size, qreal dpr, qint16 digitCount,
                      const QString &text) {
    SegmentFrame f;
    f.digitStyle = style;
    f.digitSize = size;
    f.devicePixelRatio = dpr;
    f.digitCount = digitCount;
    f.size = QSize(SegmentRenderer::cellWidthPx(size, 0) * digitCount,
                   q47::digitSizeClass(size).heightTwips / 15);
    f.backColor = 0;
    f.baseForeColor = kBlue;
    f.digitForeColor = kRed;
    f.text = text;
    return f;
}

class LitOnBase : public ::testing::TestWithParam<std::tuple<int, int, double>> {};

// Every pixel the lit pass touches must lie on a pixel of the dim "8" row.
TEST_P(LitOnBase, EveryLitPixelLiesOnTheEightRow) {
    const auto [style, size, dpr] = GetParam();
    SegmentRenderer renderer;
    QImage base, lit;
    const QString digits = QStringLiteral("0123456789-");
    renderer.render(base, frameFor(style, size, dpr, 11, QString()));
    renderer.render(lit, frameFor(style, size, dpr, 11, digits));
    ASSERT_EQ(base.size(), lit.size());

    int litPixels = 0;
    for (int y = 0; y < lit.height(); ++y)
        for (int x = 0; x < lit.width(); ++x) {
            if (qRed(lit.pixel(x, y)) == 0)
                continue;
            ++litPixels;
            ASSERT_GT(qBlue(base.pixel(x, y)), 0) << "lit pixel off the base at " << x << "," << y;
        }
    EXPECT_GT(litPixels, 0);

    // And the 8 lights the whole footprint: nothing of the base row stays dim under it.
    QImage eights;
    renderer.render(eights, frameFor(style, size, dpr, 11, QString(11, QLatin1Char('8'))));
    for (int y = 0; y < base.height(); ++y) {
        for (int x = 0; x < base.width(); ++x) {
            if (qBlue(base.pixel(x, y)) > 0) {
                ASSERT_GT(qRed(eights.pixel(x, y)), 0) << x << "," << y;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(StylesSizesRatios, LitOnBase,
                         ::testing::Combine(::testing::Values(0, 1, 2, 7),
                                            ::testing::Values(0, 1, 2, 3),
                                            ::testing::Values(1.0, 1.5, 2.0)));

int litColumns(const QImage &img, int cellPx, int cell) {
    int count = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = cell * cellPx; x < (cell + 1) * cellPx; ++x)
            count += qRed(img.pixel(x, y)) > 0;
    return count;
}

TEST(SegmentRendering, TextIsRightAlignedAndSpacesLightNothing) {
    SegmentRenderer renderer;
    QImage img;
    renderer.render(img, frameFor(0, 0, 1.0, 4, QStringLiteral("12 ")));
    const int cell = SegmentRenderer::cellWidthPx(0, 0);
    EXPECT_EQ(litColumns(img, cell, 0), 0);
    EXPECT_GT(litColumns(img, cell, 1), 0);
    EXPECT_GT(litColumns(img, cell, 2), 0);
    EXPECT_EQ(litColumns(img, cell, 3), 0);
}

TEST(SegmentRendering, BackgroundFillsTheSurfaceAtItsPixelRatio) {
    SegmentRenderer renderer;
    QImage img;
    SegmentFrame f = frameFor(1, 0, 2.0, 4, QString());
    f.backColor = 0x00FF00;
    renderer.render(img, f);
    EXPECT_EQ(img.size(), QSize(2 * 52, 2 * 20));
    EXPECT_EQ(img.devicePixelRatio(), 2.0);
    EXPECT_EQ(img.pixelColor(0, 0), QColor(0, 255, 0));
}

// A slip in the segment table shows as a digit that reads as another or as nothing.
TEST(SegmentFont, TenDigitsReadAsTenDifferentSevenSegmentForms) {
    const int litSegments[10] = {6, 2, 5, 5, 4, 5, 6, 3, 7, 6};
    QSet<quint8> forms;
    for (int d = 0; d <= 9; ++d) {
        const quint8 bits = q47::SegmentFont::segmentsFor(QChar(u'0' + d));
        EXPECT_EQ(std::popcount(bits), litSegments[d]) << d;
        forms.insert(bits);
    }
    EXPECT_EQ(forms.size(), 10);
    EXPECT_EQ(q47::SegmentFont::segmentsFor(QLatin1Char(' ')), 0);
    EXPECT_EQ(q47::SegmentFont::faceForStyle(7), 0);
}

} // namespace
