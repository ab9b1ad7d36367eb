#pragma once

#include "degitmodel.h"

#include <QImage>
#include <QPixmap>
#include <QPointer>
#include <QTime>
#include <QWidget>

#include <array>

class QLabel;
class QTimer;

namespace q47 {

class ChimeiCtl_E;
class M_Degit;

// Left and top edge of a window, in twips, as the state file keeps them.
struct WindowPosition {
    qint32 Left = 0;
    qint32 Top = 0;
};

// The fare display board: a borderless panel with fifty fare cells under their ticket-number
// labels, the hidden clock cells and the place-name column. It holds almost no logic; the
// control panel and the options dialog drive its cells.
class Form1 : public QWidget {
    Q_OBJECT
public:
    explicit Form1(QWidget *parent = nullptr);

    M_Degit *Degit(int index) const { return degit_.at(static_cast<size_t>(index)); }
    QLabel *lblSeiriNum(int index) const { return labels_.at(static_cast<size_t>(index)); }
    M_Degit *TimeDegit(int index) const { return timeDegit_.at(static_cast<size_t>(index)); }
    QTimer *Timer1() const { return timer1_; }
    ChimeiCtl_E *ChimeiCtl() const { return chimeiCtl_; }

    // Board pictures: 0 and 1 the built-in OFF and ON1 faces, 2 a holder.
    QImage imgRes(int index) const { return imgRes_.at(static_cast<size_t>(index)); }
    void setImgRes(int index, const QImage &picture);
    // The board's picture, drawn from the top-left: a larger one is cut at the right and bottom,
    // a smaller one leaves the window's grey around it.
    QImage Picture() const { return picture_; }
    void setPicture(const QImage &picture);
    // The window's own face, where no picture reaches.
    static constexpr QRgb kBackground = 0xFFF0F0F0;

    // The window that is disabled while a cell's settings dialog is open.
    void setControlPanel(QWidget *panel) { controlPanel_ = panel; }

    // Gives the window its rounded outline from the current client size.
    void applyRoundedMask();
    static QRegion roundedRegion(const QSize &client);

    void DeleteRgn() {}
    WindowPosition GetFormInfo() const;
    void SetFormInfo(const WindowPosition &position);

    // Clock tick for a given time of day.
    void Timer1_Timer(const QTime &now);

public Q_SLOTS:
    void Degit_DblClick(int index);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    std::array<M_Degit *, 51> degit_{};
    std::array<QLabel *, 51> labels_{};
    std::array<M_Degit *, 2> timeDegit_{};
    std::array<QImage, 3> imgRes_{};
    QImage picture_;
    // The picture as drawn at the screen's pixel ratio; redrawn when either changes.
    QPixmap face_;
    QTimer *timer1_ = nullptr;
    ChimeiCtl_E *chimeiCtl_ = nullptr;
    QPointer<QWidget> controlPanel_;
};

} // namespace q47
