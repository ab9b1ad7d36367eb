#pragma once

#include <QSize>

class QWidget;

namespace q47 {

// Gives `window`, before it is shown, the size `wanted`, or as much of it as the available area
// of its screen holds together with the frame the window manager adds, so that every part of
// it, its buttons too, can be reached on a small screen or at a large scale factor.
void fitToScreen(QWidget &window, const QSize &wanted);

} // namespace q47
