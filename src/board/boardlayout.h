#pragma once

#include <QRect>
#include <QString>

namespace q47::board {

// Geometry of the fare display window, in twips as designed.
inline constexpr int kClientWidthTwips = 10650;
inline constexpr int kClientHeightTwips = 3660;
inline constexpr int kCornerEllipsePx = 12;
inline constexpr int kPictureWidthPx = 709;
inline constexpr int kPictureHeightPx = 244;
inline constexpr int kCellCount = 50;
inline constexpr int kColumns = 10;
inline constexpr int kRows = 5;

// Fare cell k (1..50): ticket numbers run left to right, then top to bottom.
QRect digitTwips(int k);      // k = 0 is the hidden spare
QRect seiriLabelTwips(int k); // k = 0 stands apart
QRect timeDigitTwips(int i);  // i = 0 hours, 1 minutes
QRect dotNameTwips();
QRect imgResHolderTwips();

QRect toPx(const QRect &twips);
QSize clientSizePx();

// Caption of a ticket-number label: full-width digits.
QString fullWidthNumber(int n);

} // namespace q47::board
