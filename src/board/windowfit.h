#pragma once

#include <QRect>

class QWidget;

namespace q47 {

// The available area (without task bars and docks) of the screen that shows most of `window`,
// else of the screen nearest to it.
QRect availableAreaOf(const QWidget &window);

// Moves `window`, its frame included, as little as it can so that it lies within the available
// area of its screen: a zoom or a place saved on a larger screen must not leave it hanging
// over the edge, out of reach.
void keepWithinScreen(QWidget &window);

} // namespace q47
