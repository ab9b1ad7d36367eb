#pragma once

#include "segmentmodel.h"
#include "segmentrenderer.h"

#include <QWidget>

namespace q47 {

// The seven-segment digit control: a row of DigitCount digit positions whose dark segments stay
// faintly visible. It draws only when a drawing property changes; paintEvent just blits.
// A zoom enlarges it: its size classes stay in design pixels, and the surface is drawn afresh
// at the zoomed size, never stretched.
class SegmentCell : public QWidget {
    Q_OBJECT
public:
    explicit SegmentCell(QWidget *parent = nullptr);

    // The cell's format dialog; true when the operator confirmed a format.
    bool chooseFormat();

    OleColor BaseForeColor() const { return model_.BaseForeColor(); }
    void setBaseForeColor(OleColor c);
    OleColor DigitForeColor() const { return model_.DigitForeColor(); }
    void setDigitForeColor(OleColor c);
    qint16 FillZero() const { return model_.FillZero(); }
    void setFillZero(qint16 v);
    qint16 ZeroMode() const { return model_.ZeroMode(); }
    void setZeroMode(qint16 v);
    qint16 Shift() const { return model_.Shift(); }
    void setShift(qint16 v);
    qint16 DigitCount() const { return model_.DigitCount(); }
    void setDigitCount(qint16 v);
    qint16 DigitSize() const { return model_.DigitSize(); }
    void setDigitSize(qint16 v);
    qint16 DigitStyle() const { return model_.DigitStyle(); }
    void setDigitStyle(qint16 v);
    const QVariant &Value() const { return model_.Value(); }
    void setValue(const QVariant &v);
    void resetDigits(qint16 nMode);
    bool UserSet() const { return model_.UserSet(); }
    void setUserSet(bool v);
    WId hwnd() const { return winId(); }
    OleColor BackColor() const { return model_.BackColor(); }
    void setBackColor(OleColor c);

    // Enlarges the control and its drawing by `zoom` (1 = as designed).
    qreal zoom() const { return zoom_; }
    void setZoom(qreal zoom);
    // The control's size before the zoom.
    QSize designSize() const;

    // What the screen shows, drawn now if a change has not been drawn yet, and what it is
    // drawn from.
    const QImage &surface() const;
    const SegmentFrame &frame() const { return frame_; }
    int redrawCount() const { return redraws_; }
    const SegmentModel &model() const { return model_; }

Q_SIGNALS:
    void DblClick();

protected:
    void paintEvent(QPaintEvent *) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void apply(SegmentModel::Effect effect);
    void redraw();
    // Asks for a fresh drawing of the surface from frame_.
    void render();
    void drawSurface() const;
    void resizeToCells();

    SegmentModel model_;
    mutable SegmentRenderer renderer_;
    mutable SegmentFrame frame_; // what the surface shows
    mutable QImage surface_;
    mutable bool stale_ = true;
    QSize designSize_;
    mutable QSize renderedSize_; // the widget's size at the last rendering
    qreal zoom_ = 1;
    bool bold_;
    int characterExtra_;
    int redraws_ = 0;
};

} // namespace q47
