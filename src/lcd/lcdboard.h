#pragma once

#include "boardcontent.h"
#include "lcdrenderer.h"

#include <QElapsedTimer>
#include <QWidget>

class QTimer;

namespace q47 {

class BoardModel;
class ZoomMenu;

// The LCD fare display window: a borderless 16:9 view of the board's content. The fare table
// turns its pages and the stop's name alternates with its other forms by themselves, together
// on one beat counted from the stop's arrival, on one timer set for the next change, so that
// the window does nothing between changes.
//
// Like the LED board it can be enlarged (Ctrl with plus, minus or 0, or the right-button
// menu), shown full screen (F11) and dragged with the left button.
class LcdBoard : public QWidget {
    Q_OBJECT
public:
    explicit LcdBoard(const BoardModel &model, QWidget *parent = nullptr);

    // Seconds a page of the fare table stays: the beat.
    int pageSeconds() const { return beats_.beatMs / 1000; }
    void setPageSeconds(int seconds);
    // How many beats each form of the name stays, 0 leaving it out.
    void setFormBeats(const std::array<int, lcd::kNameForms> &beats);

    // The windowed board's zoom, one of the LED board's steps, as large as its screen's available
    // area allows up to the one asked for; a change is reported. The window stays within that
    // area.
    qreal zoom() const { return zoom_; }
    void setZoom(qreal zoom);
    bool isBoardFullScreen() const { return fullScreen_; }
    void setBoardFullScreen(bool on);
    // Where the window stands, or stood before full screen.
    QPoint windowedPosition() const;

    // What shows now: the model's content with the clock, the page and the name's form.
    BoardContent shownContent() const;
    lcd::LcdPhase phase() const;
    // The board as it shows now at `scale` times its design size, at pixel ratio 1, or in
    // the phase given.
    QImage renderBoard(qreal scale);
    QImage renderBoard(qreal scale, const lcd::LcdPhase &phase);

Q_SIGNALS:
    void zoomChanged(qreal zoom);

protected:
    void paintEvent(QPaintEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void contentChanged();
    // Sets the timer for the next page turn, change of the name's form or minute, after each
    // paint.
    void schedule();
    void applyZoom();
    void setPointerHidden(bool hidden);

    const BoardModel &model_;
    lcd::LcdRenderer renderer_;
    QElapsedTimer stopSince_; // the beat's start: the stop's arrival
    QTimer *next_ = nullptr;
    QTimer *pointerTimer_ = nullptr;
    ZoomMenu *menu_ = nullptr;
    lcd::Beats beats_;
    qreal zoom_ = 1;
    bool fullScreen_ = false;
    bool pointerHidden_ = false;
    QPoint windowedPos_;
};

} // namespace q47
