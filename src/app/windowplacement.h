#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QSize>

class QWidget;

namespace q47 {

// Whether enough of a window to take it by lies on some screen.
bool onSomeScreen(const QWidget &window);
// A window restored to a place no screen shows any more (another monitor, a smaller one) goes
// to `fallback`; one that does not fit where it stands is moved within its screen's available
// area.
void keepOnScreen(QWidget &window, const QPoint &fallback);

// Keeps a window's whole frame, title bar and borders included, in the bottom-right corner of
// the primary screen's available area. A window manager frames a window only after it has
// been shown, so the corner is taken again each time the frame turns out to have another
// size, until kSettleMs after the start; then the placement lets go of the window.
class CornerPlacement : public QObject {
    Q_OBJECT
public:
    static constexpr int kSettleMs = 2000;
    static constexpr int kPollMs = 25;

    // Places `window` now; lives as its child until it settles or is cancelled.
    explicit CornerPlacement(QWidget *window);

    // Someone else has placed the window (a saved position): stop following the frame.
    void cancel();

private:
    void place();

    QPointer<QWidget> window_;
    QSize placedFrame_;
};

} // namespace q47
