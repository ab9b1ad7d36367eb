#pragma once

#include <QRect>
#include <QSize>
#include <Qt>

#include <array>

class QSettings;

namespace q47::board {

// The sizes the windowed board is offered at, smallest first.
inline constexpr std::array<qreal, 4> kZoomSteps{1.0, 1.5, 2.0, 3.0};

// The step nearest to `zoom`; 1 for anything that is not a positive number.
qreal snapZoom(qreal zoom);
// The next step up or down from `zoom`, staying at the ends.
qreal zoomStepUp(qreal zoom);
qreal zoomStepDown(qreal zoom);

// The largest step up to `zoom` at which a window `design` large fits into `area`; the
// smallest step when none does.
qreal fittingZoom(qreal zoom, const QSize &design, const QSize &area);
// Where a window standing at `frame` goes when it is moved as little as it can be to lie
// within `area`; one larger than the area keeps its top-left corner in it.
QPoint placedWithin(const QRect &frame, const QRect &area);

// The largest scale at which `board` fits into `screen`, whole steps or not.
qreal fitScale(const QSize &board, const QSize &screen);

// What a key does to the board's size: F11 toggles full screen, Ctrl with plus (or the key
// plus shares: "=" on US layouts, ";" on Japanese ones), minus and 0 step the zoom. Every
// other key is left to others.
enum class ZoomKey { None, FullScreen, In, Out, Reset };
ZoomKey zoomKey(int key, Qt::KeyboardModifiers modifiers);

// The zoom as the user's settings keep it ("board/zoom"): a step, 1 when absent or unusable.
qreal readZoom(const QSettings &settings);
void writeZoom(QSettings &settings, qreal zoom);

} // namespace q47::board
