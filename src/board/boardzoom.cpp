#include "boardzoom.h"

#include <QSettings>

#include <algorithm>
#include <cmath>

namespace q47::board {

namespace {
const QString kZoomKey = QStringLiteral("board/zoom");
} // namespace

qreal snapZoom(qreal zoom) {
    if (!(zoom > 0) || !std::isfinite(zoom))
        return kZoomSteps.front();
    return *std::min_element(kZoomSteps.begin(), kZoomSteps.end(), [zoom](qreal a, qreal b) {
        return std::abs(a - zoom) < std::abs(b - zoom);
    });
}

qreal zoomStepUp(qreal zoom) {
    const auto next = std::upper_bound(kZoomSteps.begin(), kZoomSteps.end(), snapZoom(zoom));
    return next != kZoomSteps.end() ? *next : kZoomSteps.back();
}

qreal zoomStepDown(qreal zoom) {
    const auto at = std::lower_bound(kZoomSteps.begin(), kZoomSteps.end(), snapZoom(zoom));
    return at != kZoomSteps.begin() ? *(at - 1) : kZoomSteps.front();
}

qreal fittingZoom(qreal zoom, const QSize &design, const QSize &area) {
    const qreal wanted = snapZoom(zoom);
    qreal fitting = kZoomSteps.front();
    for (const qreal step : kZoomSteps) {
        if (step > wanted)
            break;
        if (qRound(design.width() * step) <= area.width() &&
            qRound(design.height() * step) <= area.height())
            fitting = step;
    }
    return fitting;
}

QPoint placedWithin(const QRect &frame, const QRect &area) {
    const int x = std::max(area.left(), std::min(frame.x(), area.right() + 1 - frame.width()));
    const int y = std::max(area.top(), std::min(frame.y(), area.bottom() + 1 - frame.height()));
    return QPoint(x, y);
}

qreal fitScale(const QSize &board, const QSize &screen) {
    if (board.isEmpty() || screen.isEmpty())
        return 1;
    return std::min(qreal(screen.width()) / board.width(), qreal(screen.height()) / board.height());
}

ZoomKey zoomKey(int key, Qt::KeyboardModifiers modifiers) {
    // Shift is allowed: "+" needs it on many layouts; the keypad reports its own modifier.
    const Qt::KeyboardModifiers others =
        modifiers & ~(Qt::ShiftModifier | Qt::KeypadModifier | Qt::ControlModifier);
    if (others != Qt::NoModifier)
        return ZoomKey::None;
    if (key == Qt::Key_F11)
        return modifiers & Qt::ControlModifier ? ZoomKey::None : ZoomKey::FullScreen;
    if (!(modifiers & Qt::ControlModifier))
        return ZoomKey::None;
    switch (key) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
    case Qt::Key_Semicolon:
        return ZoomKey::In;
    case Qt::Key_Minus:
        return ZoomKey::Out;
    case Qt::Key_0:
        return ZoomKey::Reset;
    default:
        return ZoomKey::None;
    }
}

qreal readZoom(const QSettings &settings) {
    bool ok = false;
    const qreal zoom = settings.value(kZoomKey).toDouble(&ok);
    return ok ? snapZoom(zoom) : kZoomSteps.front();
}

void writeZoom(QSettings &settings, qreal zoom) {
    settings.setValue(kZoomKey, snapZoom(zoom));
}

} // namespace q47::board
