#pragma once

#include "segmentmodel.h"

#include <QFrame>
#include <QPushButton>
#include <QRect>

namespace q47 {

// A rectangle given in twips, as the panel is designed, in pixels.
QRect twipsRect(int left, int top, int width, int height);

// The panel's faces by their system names.
QFont panelFace(const char *family, qreal pointSize, bool bold);

// A flat coloured button in the panel's look; a checked or pressed one darkens.
void paintButton(QPushButton *button, OleColor colour);

// A push button whose caption wraps inside it, as graphical buttons do.
class WrapButton : public QPushButton {
    Q_OBJECT
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent *event) override;
    // Draws the button's face with `text` wrapped inside `margin` pixels; `flags` chooses how
    // lines break.
    void paintWrapped(const QString &text, int flags, int margin, const QFont &font);
};

// A black frame without a caption that reports double-clicks.
class PaneFrame : public QFrame {
    Q_OBJECT
public:
    explicit PaneFrame(QWidget *parent = nullptr);
Q_SIGNALS:
    void DblClick();

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;
};

} // namespace q47
