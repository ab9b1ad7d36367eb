#include "boardlayout.h"

#include "japanesetext.h"
#include "twips.h"

namespace q47::board {

namespace {
constexpr int kColumnLefts[kColumns] = {1935, 2781, 3627, 4473, 5319, 6165, 7005, 7860, 8715, 9570};
constexpr int kDigitTops[kRows] = {705, 1290, 1860, 2445, 3030};
constexpr int kLabelTops[kRows] = {450, 1005, 1590, 2175, 2760};
constexpr int kCellWidth = 780;
constexpr int kDigitHeight = 300;
constexpr int kLabelHeight = 240;
} // namespace

QRect digitTwips(int k) {
    if (k <= 0 || k > kCellCount)
        return {2100, 30, kCellWidth, kDigitHeight};
    const int r = (k - 1) / kColumns, c = (k - 1) % kColumns;
    return {kColumnLefts[c], kDigitTops[r], kCellWidth, kDigitHeight};
}

QRect seiriLabelTwips(int k) {
    if (k <= 0 || k > kCellCount)
        return {1185, 45, kCellWidth, kLabelHeight};
    const int r = (k - 1) / kColumns, c = (k - 1) % kColumns;
    return {kColumnLefts[c], kLabelTops[r], kCellWidth, kLabelHeight};
}

QRect timeDigitTwips(int i) {
    return {i == 0 ? 5445 : 5850, 30, 390, 300};
}

QRect dotNameTwips() {
    return {480, 375, 570, 2955};
}

QRect imgResHolderTwips() {
    return {6270, 4650, kPictureWidthPx * 15, kPictureHeightPx * 15};
}

QRect toPx(const QRect &t) {
    return {twipsToPx(t.x()), twipsToPx(t.y()), twipsToPx(t.width()), twipsToPx(t.height())};
}

QSize clientSizePx() {
    return {twipsToPx(kClientWidthTwips), twipsToPx(kClientHeightTwips)};
}

QString fullWidthNumber(int n) {
    return toFullWidth(QString::number(n));
}

} // namespace q47::board
