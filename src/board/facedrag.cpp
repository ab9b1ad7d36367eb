#include "facedrag.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QStyleHints>
#include <QWidget>
#include <QWindow>

namespace q47 {

FaceDrag::FaceDrag(QWidget *window, std::function<bool()> allowed)
    : QObject(window), window_(window), allowed_(std::move(allowed)) {
    window->installEventFilter(this);
}

bool FaceDrag::eventFilter(QObject *watched, QEvent *event) {
    if (watched != window_)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto *press = static_cast<QMouseEvent *>(event);
        if (press->button() != Qt::LeftButton || !allowed_())
            return false;
        pressedAt_ = press->globalPosition();
        return true;
    }
    case QEvent::MouseMove: {
        const auto *move = static_cast<QMouseEvent *>(event);
        if (!pressedAt_ || !(move->buttons() & Qt::LeftButton))
            return false;
        const QPointF travelled = move->globalPosition() - *pressedAt_;
        if (travelled.manhattanLength() < QGuiApplication::styleHints()->startDragDistance())
            return false;
        pressedAt_.reset();
        if (QWindow *w = window_->windowHandle())
            w->startSystemMove();
        Q_EMIT moveStarted();
        return true;
    }
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            pressedAt_.reset();
        return false;
    default:
        return false;
    }
}

} // namespace q47
