#pragma once

#include "segmentmodel.h"

#include <QImage>

namespace q47 {

// Side of one dot in device pixels: as large as the density allows while at least one
// device pixel of ground stays between neighbouring dots two pixels apart.
int dotNameDotDevicePx(qreal devicePixelRatio);

// The strip as the screen shows it: BackColor ground and every dot of `strip` (dots on a
// transparent ground, one per pixel) as a square block of whole device pixels, so that
// the dots keep sharp edges and their gaps at any density.
QImage renderDotNameStrip(const QImage &strip, OleColor backColor, qreal devicePixelRatio);

} // namespace q47
