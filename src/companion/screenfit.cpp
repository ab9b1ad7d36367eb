#include "screenfit.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace q47 {

namespace {
// A title bar and borders, for a window the window manager has not framed yet.
constexpr QSize kFrameAllowance(16, 48);
} // namespace

void fitToScreen(QWidget &window, const QSize &wanted) {
    const QScreen *screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QSize frame = window.frameGeometry().size() - window.size();
    if (frame.width() <= 0 && frame.height() <= 0)
        frame = kFrameAllowance;
    const QSize room = screen->availableGeometry().size() - frame;
    // A layout's minimum still holds: the window's layout must be able to shrink that far.
    window.resize(wanted.boundedTo(room));
}

} // namespace q47
