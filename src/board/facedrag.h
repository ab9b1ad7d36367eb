#pragma once

#include <QObject>
#include <QPointF>

#include <functional>
#include <optional>

class QWidget;

namespace q47 {

// Moves a borderless window by its face. A left press on the window itself (not on a child
// that keeps its clicks) arms the drag; the window system's move starts only when the pointer
// then travels the platform's drag distance with the button held, so that a tap or a click
// that does not move is only a click. Lives as the window's child, watching its events.
class FaceDrag : public QObject {
    Q_OBJECT
public:
    // `allowed` says whether the window may be moved now (not while it fills the screen).
    FaceDrag(QWidget *window, std::function<bool()> allowed);

Q_SIGNALS:
    // The window system was asked to move the window.
    void moveStarted();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *window_;
    std::function<bool()> allowed_;
    std::optional<QPointF> pressedAt_; // global position of the arming press
};

} // namespace q47
