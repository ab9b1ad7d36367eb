#pragma once

#include <QPoint>
#include <QWidget>

class QMenu;
class QTimer;

namespace q47 {

class ZoomMenu;

// A fare board's window, the LED board's and the LCD board's alike: borderless, dragged by its
// face (not while it fills the screen), enlarged by the zoom steps as far as its screen allows
// (Ctrl with plus, minus or 0, or the right-button menu), and shown full screen (F11) with the
// mouse pointer hidden while it rests. A board says how it lays itself out at a zoom and over a
// whole screen; the rest is this window's.
class BoardWindow : public QWidget {
    Q_OBJECT
public:
    // How long the pointer may rest over a full-screen board before it is hidden: long enough to
    // reach for the right-button menu.
    static constexpr int kPointerRestMs = 3000;

    explicit BoardWindow(QWidget *parent = nullptr);

    // The windowed board's zoom, one of board::kZoomSteps: the largest up to the one asked for
    // at which the board fits its screen's available area. A change resizes the window about
    // its top-left corner, moved as far as it must to stay within that area, and is reported by
    // zoomChanged(); in full screen it leaves full screen first.
    qreal zoom() const { return zoom_; }
    void setZoom(qreal zoom);

    // Full screen: the board as large as its screen allows, the pointer hidden while it rests.
    // Leaving restores the zoom and the position.
    bool isBoardFullScreen() const { return fullScreen_; }
    void setBoardFullScreen(bool on);
    // Where the window stands, or stood before full screen and will stand again after it.
    QPoint windowedPosition() const;
    void setWindowedPosition(const QPoint &position);

    // The right-button menu; its checks follow the board each time it opens.
    QMenu *boardMenu() const;

Q_SIGNALS:
    // The zoom was changed, by the operator or by setZoom(): the user's settings keep it.
    void zoomChanged(qreal zoom);

protected:
    // The board's size at zoom 1.
    virtual QSize designSize() const = 0;
    // The window sized for the board at `zoom`, and the board laid out in it.
    virtual void showWindowed(qreal zoom) = 0;
    // The window as large as a screen of `size`, and the board laid out over it.
    virtual void showFilling(const QSize &size) = 0;
    // The pointer shown over the window again, or hidden; a board with native windows of its
    // own hides it over them too.
    virtual void showPointer(bool shown);

    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setPointerHidden(bool hidden);
    void updateMenu();

    qreal zoom_ = 1;
    bool fullScreen_ = false;
    QPoint windowedPos_;
    QTimer *pointerTimer_ = nullptr;
    bool pointerHidden_ = false;
    mutable ZoomMenu *menu_ = nullptr;
};

} // namespace q47
