#pragma once

#include "degitmodel.h"
#include "degitrenderer.h"

#include <QWidget>

namespace q47 {

// The seven-segment digit control: a row of Keta digit positions whose dark segments stay
// faintly visible. It draws only when a drawing property changes; paintEvent just blits.
// A zoom enlarges it: its size classes stay in design pixels, and the surface is drawn afresh
// at the zoomed size, never stretched.
class M_Degit : public QWidget {
    Q_OBJECT
public:
    explicit M_Degit(QWidget *parent = nullptr);

    int ShowSetDlg();

    OleColor BaseForeColor() const { return model_.BaseForeColor(); }
    void setBaseForeColor(OleColor c);
    OleColor DegitForeColor() const { return model_.DegitForeColor(); }
    void setDegitForeColor(OleColor c);
    qint16 FillZero() const { return model_.FillZero(); }
    void setFillZero(qint16 v);
    qint16 ZeroMode() const { return model_.ZeroMode(); }
    void setZeroMode(qint16 v);
    qint16 Shift() const { return model_.Shift(); }
    void setShift(qint16 v);
    qint16 Keta() const { return model_.Keta(); }
    void setKeta(qint16 v);
    qint16 DegitSize() const { return model_.DegitSize(); }
    void setDegitSize(qint16 v);
    qint16 DegitStyle() const { return model_.DegitStyle(); }
    void setDegitStyle(qint16 v);
    const QVariant &Value() const { return model_.Value(); }
    void setValue(const QVariant &v);
    void ResetDegit(qint16 nMode);
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
    const DegitFrame &frame() const { return frame_; }
    int redrawCount() const { return redraws_; }
    const DegitModel &model() const { return model_; }

Q_SIGNALS:
    void DblClick();

protected:
    void paintEvent(QPaintEvent *) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void apply(DegitModel::Effect effect);
    void redraw();
    // Asks for a fresh drawing of the surface from frame_.
    void render();
    void drawSurface() const;
    void resizeToCells();

    DegitModel model_;
    mutable DegitRenderer renderer_;
    mutable DegitFrame frame_; // what the surface shows
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
