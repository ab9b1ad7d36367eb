#pragma once

#include "boardcontent.h"
#include "boardwindow.h"
#include "lcdrenderer.h"

#include <QElapsedTimer>

class QTimer;

namespace q47 {

class BoardModel;

// The LCD fare display window: a borderless 16:9 view of the board's content. The fare table
// turns its pages and the stop's name alternates with its other forms by themselves, together
// on one beat counted from the stop's arrival, on one timer set for the next change, so that
// the window does nothing between changes.
//
// It zooms, fills the screen and is dragged as the LED board is, being a board window too.
class LcdBoard : public BoardWindow {
    Q_OBJECT
public:
    explicit LcdBoard(const BoardModel &model, QWidget *parent = nullptr);

    // Seconds a page of the fare table stays: the beat.
    int pageSeconds() const { return beats_.beatMs / 1000; }
    void setPageSeconds(int seconds);
    // How many beats each form of the name stays, 0 leaving it out.
    void setFormBeats(const std::array<int, lcd::kNameForms> &beats);

    // What shows now: the model's content with the clock, the page and the name's form.
    BoardContent shownContent() const;
    lcd::LcdPhase phase() const;
    // What shows `sinceStopMs` after the stop was put on the board, for a clock of the caller's
    // own (a recording).
    lcd::LcdPhase phaseAt(qint64 sinceStopMs) const;
    // The board as it shows now at `scale` times its design size, at pixel ratio 1, or in
    // the phase given.
    QImage renderBoard(qreal scale);
    QImage renderBoard(qreal scale, const lcd::LcdPhase &phase);

protected:
    void paintEvent(QPaintEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    QSize designSize() const override;
    void showWindowed(qreal zoom) override;
    void showFilling(const QSize &size) override;

private:
    void contentChanged();
    // Sets the timer for the next page turn, change of the name's form or minute, after each
    // paint.
    void schedule();

    const BoardModel &model_;
    lcd::LcdRenderer renderer_;
    QElapsedTimer stopSince_; // the beat's start: the stop's arrival
    QTimer *next_ = nullptr;
    lcd::Beats beats_;
};

} // namespace q47
