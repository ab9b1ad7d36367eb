#include "windowfit.h"

#include "boardzoom.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <climits>

namespace q47 {

namespace {

qint64 overlap(const QRect &a, const QRect &b) {
    const QRect common = a.intersected(b);
    return common.isEmpty() ? 0 : qint64(common.width()) * common.height();
}

// How far `point` lies outside `area`, in a sum of both directions.
int distance(const QRect &area, const QPoint &point) {
    const int dx = std::max({0, area.left() - point.x(), point.x() - area.right()});
    const int dy = std::max({0, area.top() - point.y(), point.y() - area.bottom()});
    return dx + dy;
}

} // namespace

QRect availableAreaOf(const QWidget &window) {
    const QRect frame(window.pos(), window.frameGeometry().size());
    const QScreen *best = nullptr;
    qint64 bestOverlap = 0;
    int nearest = INT_MAX;
    for (const QScreen *screen : QGuiApplication::screens()) {
        const qint64 seen = overlap(screen->geometry(), frame);
        const int away = distance(screen->geometry(), frame.center());
        if (seen > bestOverlap || (bestOverlap == 0 && away < nearest)) {
            best = screen;
            bestOverlap = std::max(bestOverlap, seen);
            nearest = std::min(nearest, away);
        }
    }
    if (!best)
        best = QGuiApplication::primaryScreen();
    return best ? best->availableGeometry() : QRect();
}

void keepWithinScreen(QWidget &window) {
    const QRect area = availableAreaOf(window);
    if (area.isEmpty())
        return;
    // For a window, move() places its frame.
    const QPoint at = board::placedWithin(QRect(window.pos(), window.frameGeometry().size()), area);
    if (at != window.pos())
        window.move(at);
}

} // namespace q47
