#include "segmentcell.h"

#include "dialogs.h"
#include "scaling.h"
#include "twips.h"

#include <QMouseEvent>
#include <QPainter>

namespace q47 {

SegmentCell::SegmentCell(QWidget *parent)
    : QWidget(parent),
      // Current systems draw the digit faces bold and without extra character spacing.
      bold_(true), characterExtra_(0) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    resizeToCells();
    // The first drawing happens before any property is known: it only clears the surface.
    frame_.digitCount = 0;
    render();
}

void SegmentCell::apply(SegmentModel::Effect effect) {
    switch (effect) {
    case SegmentModel::Effect::None:
        return;
    case SegmentModel::Effect::ResizeRedraw:
        resizeToCells();
        [[fallthrough]];
    case SegmentModel::Effect::Redraw:
        redraw();
    }
}

void SegmentCell::resizeToCells() {
    const DigitSizeClass sc = model_.sizeClass();
    designSize_ = QSize(twipsToPx(sc.cellTwips) * model_.DigitCount(), twipsToPx(sc.heightTwips));
    resize(scaledSize(designSize_, zoom_));
}

QSize SegmentCell::designSize() const {
    // A host may have sized the control itself: that size counts, without the zoom.
    if (size() == scaledSize(designSize_, zoom_))
        return designSize_;
    return (QSizeF(size()) / zoom_).toSize();
}

void SegmentCell::setZoom(qreal zoom) {
    if (!(zoom > 0) || zoom == zoom_)
        return;
    designSize_ = designSize();
    zoom_ = zoom;
    resize(scaledSize(designSize_, zoom_));
    render();
}

void SegmentCell::redraw() {
    SegmentFrame &f = frame_;
    f.digitStyle = model_.DigitStyle();
    f.digitSize = model_.DigitSize();
    f.digitCount = model_.DigitCount();
    f.bold = bold_;
    f.characterExtra = characterExtra_;
    f.backColor = model_.BackColor();
    f.baseForeColor = model_.BaseForeColor();
    f.digitForeColor = model_.DigitForeColor();
    f.text = model_.displayText();
    render();
}

void SegmentCell::render() {
    designSize_ = designSize();
    frame_.size = designSize_;
    frame_.zoom = zoom_;
    // Drawn when it is next shown or asked for: the settings a board puts on its cells one
    // after the other before it is shown cost one drawing, not one each.
    stale_ = true;
    ++redraws_;
    update();
}

void SegmentCell::drawSurface() const {
    frame_.devicePixelRatio = devicePixelRatioF();
    renderer_.render(surface_, frame_);
    renderedSize_ = size();
    stale_ = false;
}

const QImage &SegmentCell::surface() const {
    if (stale_)
        drawSurface();
    return surface_;
}

void SegmentCell::paintEvent(QPaintEvent *) {
    // A move to a screen of another density, or a host's resize, needs a fresh rendering too.
    if (stale_ || surface_.devicePixelRatio() != devicePixelRatioF() || renderedSize_ != size())
        drawSurface();
    QPainter p(this);
    p.drawImage(0, 0, surface_);
}

void SegmentCell::mousePressEvent(QMouseEvent *event) {
    // The cell keeps its clicks: a press here must not start dragging the board.
    event->accept();
}

void SegmentCell::mouseDoubleClickEvent(QMouseEvent *event) {
    event->accept();
    Q_EMIT DblClick();
}

bool SegmentCell::chooseFormat() {
    qint16 zeroMode = model_.ZeroMode();
    qint16 shift = model_.Shift();
    qint16 fillZero = model_.FillZero();
    const bool chosen = askForCellFormat(this, model_.DigitCount(), zeroMode, shift, fillZero);
    model_.takeDialogValues(zeroMode, shift, fillZero);
    redraw();
    return chosen;
}

void SegmentCell::setBaseForeColor(OleColor c) {
    apply(model_.setBaseForeColor(c));
}
void SegmentCell::setDigitForeColor(OleColor c) {
    apply(model_.setDigitForeColor(c));
}
void SegmentCell::setFillZero(qint16 v) {
    apply(model_.setFillZero(v));
}
void SegmentCell::setZeroMode(qint16 v) {
    apply(model_.setZeroMode(v));
}
void SegmentCell::setShift(qint16 v) {
    apply(model_.setShift(v));
}
void SegmentCell::setDigitCount(qint16 v) {
    apply(model_.setDigitCount(v));
}
void SegmentCell::setDigitSize(qint16 v) {
    apply(model_.setDigitSize(v));
}
void SegmentCell::setDigitStyle(qint16 v) {
    apply(model_.setDigitStyle(v));
}
void SegmentCell::setValue(const QVariant &v) {
    apply(model_.setValue(v));
}
void SegmentCell::setUserSet(bool v) {
    apply(model_.setUserSet(v));
}
void SegmentCell::setBackColor(OleColor c) {
    apply(model_.setBackColor(c));
}

void SegmentCell::resetDigits(qint16 nMode) {
    const qint16 shift = model_.Shift();
    const qint16 zeroMode = model_.ZeroMode();
    const qint16 fillZero = model_.FillZero();
    setShift(0);
    setZeroMode(0);
    setFillZero(0);
    setValue(nMode == -1 ? QVariant(QString(model_.DigitCount(), QLatin1Char('8')))
                         : QVariant(QString()));
    setShift(shift);
    setZeroMode(zeroMode);
    setFillZero(fillZero);
}

} // namespace q47
