#include "mdegit.h"

#include "dialogs.h"
#include "scaling.h"
#include "twips.h"

#include <QMouseEvent>
#include <QPainter>

namespace q47 {

M_Degit::M_Degit(QWidget *parent)
    : QWidget(parent),
      // Current systems draw the digit faces bold and without extra character spacing.
      bold_(true), characterExtra_(0) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    resizeToCells();
    // The first drawing happens before any property is known: it only clears the surface.
    frame_.keta = 0;
    render();
}

void M_Degit::apply(DegitModel::Effect effect) {
    switch (effect) {
    case DegitModel::Effect::None:
        return;
    case DegitModel::Effect::ResizeRedraw:
        resizeToCells();
        [[fallthrough]];
    case DegitModel::Effect::Redraw:
        redraw();
    }
}

void M_Degit::resizeToCells() {
    const DegitSizeClass sc = model_.sizeClass();
    designSize_ = QSize(twipsToPx(sc.cellTwips) * model_.Keta(), twipsToPx(sc.heightTwips));
    resize(scaledSize(designSize_, zoom_));
}

QSize M_Degit::designSize() const {
    // A host may have sized the control itself: that size counts, without the zoom.
    if (size() == scaledSize(designSize_, zoom_))
        return designSize_;
    return (QSizeF(size()) / zoom_).toSize();
}

void M_Degit::setZoom(qreal zoom) {
    if (!(zoom > 0) || zoom == zoom_)
        return;
    designSize_ = designSize();
    zoom_ = zoom;
    resize(scaledSize(designSize_, zoom_));
    render();
}

void M_Degit::redraw() {
    DegitFrame &f = frame_;
    f.degitStyle = model_.DegitStyle();
    f.degitSize = model_.DegitSize();
    f.keta = model_.Keta();
    f.bold = bold_;
    f.characterExtra = characterExtra_;
    f.backColor = model_.BackColor();
    f.baseForeColor = model_.BaseForeColor();
    f.degitForeColor = model_.DegitForeColor();
    f.text = model_.displayText();
    render();
}

void M_Degit::render() {
    designSize_ = designSize();
    frame_.size = designSize_;
    frame_.zoom = zoom_;
    // Drawn when it is next shown or asked for: the settings a board puts on its cells one
    // after the other before it is shown cost one drawing, not one each.
    stale_ = true;
    ++redraws_;
    update();
}

void M_Degit::drawSurface() const {
    frame_.devicePixelRatio = devicePixelRatioF();
    renderer_.render(surface_, frame_);
    renderedSize_ = size();
    stale_ = false;
}

const QImage &M_Degit::surface() const {
    if (stale_)
        drawSurface();
    return surface_;
}

void M_Degit::paintEvent(QPaintEvent *) {
    // A move to a screen of another density, or a host's resize, needs a fresh rendering too.
    if (stale_ || surface_.devicePixelRatio() != devicePixelRatioF() || renderedSize_ != size())
        drawSurface();
    QPainter p(this);
    p.drawImage(0, 0, surface_);
}

void M_Degit::mousePressEvent(QMouseEvent *event) {
    // The cell keeps its clicks: a press here must not start dragging the board.
    event->accept();
}

void M_Degit::mouseDoubleClickEvent(QMouseEvent *event) {
    event->accept();
    Q_EMIT DblClick();
}

int M_Degit::ShowSetDlg() {
    qint16 zeroMode = model_.ZeroMode();
    qint16 shift = model_.Shift();
    qint16 fillZero = model_.FillZero();
    const int result = Call_dlg100(this, model_.Keta(), zeroMode, shift, fillZero);
    model_.takeDialogValues(zeroMode, shift, fillZero);
    redraw();
    return result;
}

void M_Degit::setBaseForeColor(OleColor c) {
    apply(model_.setBaseForeColor(c));
}
void M_Degit::setDegitForeColor(OleColor c) {
    apply(model_.setDegitForeColor(c));
}
void M_Degit::setFillZero(qint16 v) {
    apply(model_.setFillZero(v));
}
void M_Degit::setZeroMode(qint16 v) {
    apply(model_.setZeroMode(v));
}
void M_Degit::setShift(qint16 v) {
    apply(model_.setShift(v));
}
void M_Degit::setKeta(qint16 v) {
    apply(model_.setKeta(v));
}
void M_Degit::setDegitSize(qint16 v) {
    apply(model_.setDegitSize(v));
}
void M_Degit::setDegitStyle(qint16 v) {
    apply(model_.setDegitStyle(v));
}
void M_Degit::setValue(const QVariant &v) {
    apply(model_.setValue(v));
}
void M_Degit::setUserSet(bool v) {
    apply(model_.setUserSet(v));
}
void M_Degit::setBackColor(OleColor c) {
    apply(model_.setBackColor(c));
}

void M_Degit::ResetDegit(qint16 nMode) {
    const qint16 shift = model_.Shift();
    const qint16 zeroMode = model_.ZeroMode();
    const qint16 fillZero = model_.FillZero();
    setShift(0);
    setZeroMode(0);
    setFillZero(0);
    setValue(nMode == -1 ? QVariant(QString(model_.Keta(), QLatin1Char('8')))
                         : QVariant(QString()));
    setShift(shift);
    setZeroMode(zeroMode);
    setFillZero(fillZero);
}

} // namespace q47
