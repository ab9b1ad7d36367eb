#include "boardwindow.h"

#include "boardzoom.h"
#include "facedrag.h"
#include "windowfit.h"
#include "zoommenu.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QTimer>

namespace q47 {

BoardWindow::BoardWindow(QWidget *parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint) {
    pointerTimer_ = new QTimer(this);
    pointerTimer_->setObjectName(QStringLiteral("pointerTimer"));
    pointerTimer_->setSingleShot(true);
    pointerTimer_->setInterval(kPointerRestMs);
    connect(pointerTimer_, &QTimer::timeout, this, [this] { setPointerHidden(true); });
    // Full screen stays where it is.
    new FaceDrag(this, [this] { return !fullScreen_; });
}

void BoardWindow::setZoom(qreal zoom) {
    if (fullScreen_)
        setBoardFullScreen(false);
    // The board grows within its screen, moving aside as far as it must; a step that does not
    // fit at all is not taken.
    const qreal fitting = board::fittingZoom(zoom, designSize(), availableAreaOf(*this).size());
    const bool changed = fitting != zoom_;
    zoom_ = fitting;
    showWindowed(zoom_);
    keepWithinScreen(*this);
    if (changed)
        Q_EMIT zoomChanged(zoom_);
}

void BoardWindow::setBoardFullScreen(bool on) {
    if (on == fullScreen_)
        return;
    if (on) {
        windowedPos_ = pos();
        const QScreen *where = screen() ? screen() : QGuiApplication::primaryScreen();
        const QRect area = where->geometry();
        fullScreen_ = true;
        showFilling(area.size());
        setWindowState(windowState() | Qt::WindowFullScreen);
        // Without a window manager nobody else moves the window over the screen.
        setGeometry(area);
        // A move anywhere, over the board, a native window of its own or another window, shows
        // the pointer again.
        setMouseTracking(true);
        qApp->installEventFilter(this);
        pointerTimer_->start();
    } else {
        fullScreen_ = false;
        setMouseTracking(false);
        qApp->removeEventFilter(this);
        pointerTimer_->stop();
        setPointerHidden(false);
        setWindowState(windowState() & ~Qt::WindowFullScreen);
        showWindowed(zoom_);
        move(windowedPos_);
    }
    updateMenu();
}

QPoint BoardWindow::windowedPosition() const {
    return fullScreen_ ? windowedPos_ : pos();
}

void BoardWindow::setWindowedPosition(const QPoint &position) {
    if (fullScreen_)
        windowedPos_ = position;
    else
        move(position);
}

void BoardWindow::showPointer(bool shown) {
    if (shown)
        unsetCursor();
    else
        setCursor(Qt::BlankCursor);
}

void BoardWindow::setPointerHidden(bool hidden) {
    if (hidden == pointerHidden_)
        return;
    pointerHidden_ = hidden;
    showPointer(!hidden);
}

bool BoardWindow::eventFilter(QObject *watched, QEvent *event) {
    if (fullScreen_ && event->type() == QEvent::MouseMove) {
        setPointerHidden(false);
        pointerTimer_->start();
    }
    return QWidget::eventFilter(watched, event);
}

QMenu *BoardWindow::boardMenu() const {
    // Made when first needed: a board that is never right-clicked has none.
    if (!menu_) {
        auto *self = const_cast<BoardWindow *>(this);
        menu_ = new ZoomMenu(self);
        connect(menu_, &ZoomMenu::zoomChosen, self, &BoardWindow::setZoom);
        connect(menu_, &ZoomMenu::fullScreenChosen, self, &BoardWindow::setBoardFullScreen);
        connect(menu_, &ZoomMenu::stateWanted, self, &BoardWindow::updateMenu);
        self->updateMenu();
    }
    return menu_;
}

void BoardWindow::updateMenu() {
    if (menu_)
        menu_->showState(zoom_, fullScreen_);
}

void BoardWindow::keyPressEvent(QKeyEvent *event) {
    const board::ZoomKey key = board::zoomKey(event->key(), event->modifiers());
    if (key == board::ZoomKey::None) {
        QWidget::keyPressEvent(event);
        return;
    }
    if (key == board::ZoomKey::FullScreen)
        setBoardFullScreen(!fullScreen_);
    // Full screen has a size of its own: the zoom keys wait until it is left.
    else if (!fullScreen_)
        setZoom(key == board::ZoomKey::In    ? board::zoomStepUp(zoom_)
                : key == board::ZoomKey::Out ? board::zoomStepDown(zoom_)
                                             : 1.0);
    event->accept();
}

void BoardWindow::contextMenuEvent(QContextMenuEvent *event) {
    boardMenu()->popup(event->globalPos());
    event->accept();
}

} // namespace q47
