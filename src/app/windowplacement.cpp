#include "windowplacement.h"

#include "windowfit.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>

namespace q47 {

CornerPlacement::CornerPlacement(QWidget *window) : QObject(window), window_(window) {
    place();
    // The window manager reports the frame in its own time, and not always with a move of the
    // window: look again until the start is over.
    auto *poll = new QTimer(this);
    connect(poll, &QTimer::timeout, this, [this] {
        if (window_ && window_->frameGeometry().size() != placedFrame_)
            place();
    });
    poll->start(kPollMs);
    QTimer::singleShot(kSettleMs, this, &CornerPlacement::cancel);
}

void CornerPlacement::cancel() {
    deleteLater();
}

void CornerPlacement::place() {
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    placedFrame_ = window_->frameGeometry().size();
    // For a window, move() places its frame.
    window_->move(available.x() + available.width() - placedFrame_.width(),
                  available.y() + available.height() - placedFrame_.height());
}

void keepOnScreen(QWidget &window, const QPoint &fallback) {
    if (!onSomeScreen(window))
        window.move(fallback);
    keepWithinScreen(window);
}

bool onSomeScreen(const QWidget &window) {
    const QRect frame(window.pos(), window.frameGeometry().size());
    for (const QScreen *screen : QGuiApplication::screens()) {
        const QRect seen = screen->availableGeometry().intersected(frame);
        if (seen.width() >= 40 && seen.height() >= 20)
            return true;
    }
    return false;
}

} // namespace q47
