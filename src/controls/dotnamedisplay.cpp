#include "dotnamedisplay.h"

#include "dotnamerenderer.h"
#include "olecolor.h"
#include "scaling.h"
#include "segmentrenderer.h"

#include <QBackingStore>
#include <QCoreApplication>
#include <QExposeEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

#include <cmath>

namespace q47 {

// The window around the strip: a native window with a backing store of its own, so that a
// scroll frame costs one small paint and one flush, apart from the board's widgets. Its
// mouse presses stay with it: they must not start dragging the board. Areas come in the
// control's design pixels and are enlarged by its zoom here.
class DotNameDisplay::Window : public QWindow {
public:
    explicit Window(DotNameDisplay *owner) : store_(this), owner_(owner) {
        setSurfaceType(QSurface::RasterSurface);
    }

    // Draws `area` afresh and shows it.
    void paint(const QRect &area) {
        if (!isExposed())
            return;
        draw(area);
        store_.flush(shown(area));
    }

    // Shifts the client area up by -dy pixels and draws only the rows that come into view.
    void scrollUp(int dy, const QRect &client) {
        if (!isExposed())
            return;
        // At a fractional pixel ratio or zoom the strip drawn afresh does not land on whole
        // device pixels the way a shifted one does: draw it all.
        const qreal ratio = devicePixelRatio();
        const qreal zoom = owner_->zoom_;
        const bool whole = ratio == std::floor(ratio) && zoom == std::floor(zoom);
        // The rows that stay in view move up; none may land on the edge above the client.
        if (!whole ||
            !store_.scroll(shown(client.adjusted(0, -dy, 0, 0)), 0, static_cast<int>(dy * zoom))) {
            paint(client);
            return;
        }
        draw(QRect(client.left(), client.bottom() + 1 + dy, client.width(), -dy));
        store_.flush(shown(client));
    }

protected:
    void exposeEvent(QExposeEvent *) override { paint(owner_->windowRect()); }
    void resizeEvent(QResizeEvent *) override {
        store_.resize(size());
        paint(owner_->windowRect());
    }

private:
    QRect shown(const QRect &area) const { return coveringRect(area, owner_->zoom_); }

    void draw(const QRect &area) {
        if (store_.size() != size())
            store_.resize(size());
        store_.beginPaint(shown(area));
        {
            QPainter painter(store_.paintDevice());
            owner_->paintWindow(painter, area, devicePixelRatio());
        }
        store_.endPaint();
    }

    QBackingStore store_;
    DotNameDisplay *owner_;
};

DotNameDisplay::DotNameDisplay(QWidget *parent, DotNameScroll::Clock clock)
    : QWidget(parent), model_(std::move(clock)), window_(new Window(this)) {
    // The strip's window is native; the board's other widgets need not become native too.
    QCoreApplication::setAttribute(Qt::AA_DontCreateNativeWidgetSiblings);
    // The strip's window is made once the control has been painted (paintEvent): the host's
    // first picture does not wait for a window of its own.
    resize(model_.windowSize());
    frameTimer_.setTimerType(Qt::PreciseTimer);
    connect(&frameTimer_, &QTimer::timeout, this, &DotNameDisplay::onFrame);
}

DotNameDisplay::~DotNameDisplay() = default;

QWidget *DotNameDisplay::stripWidget() const {
    const_cast<DotNameDisplay *>(this)->makeStripWindow();
    return container_;
}

void DotNameDisplay::makeStripWindow() {
    if (container_)
        return;
    container_ = QWidget::createWindowContainer(window_, this);
    container_->setObjectName(QStringLiteral("Picture2"));
    container_->setGeometry(QRect(QPoint(0, 0), scaledSize(model_.windowSize(), zoom_)));
    container_->show();
}

QWindow *DotNameDisplay::stripWindow() const {
    return window_;
}

QImage DotNameDisplay::drawing(qreal devicePixelRatio) {
    const QSize size = scaledSize(model_.windowSize(), zoom_);
    QImage image((QSizeF(size) * devicePixelRatio).toSize(), QImage::Format_RGB32);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(Qt::black);
    QPainter painter(&image);
    paintWindow(painter, windowRect(), devicePixelRatio);
    return image;
}

QImage DotNameDisplay::drawingAt(qreal scale) const {
    QImage image(scaledSize(model_.windowSize(), scale), QImage::Format_RGB32);
    image.fill(Qt::black);
    const bool fits = !stripImage_.isNull() && renderedRevision_ == model_.stripRevision() &&
                      renderedBackColor_ == model_.BackColor() &&
                      stripImage_.devicePixelRatio() == scale;
    const QImage strip =
        fits ? stripImage_ : renderDotNameStrip(model_.strip(), model_.BackColor(), scale);
    QPainter painter(&image);
    painter.scale(scale, scale);
    paintFace(painter, windowRect(), strip);
    return image;
}

void DotNameDisplay::setZoom(qreal zoom) {
    if (!(zoom > 0) || zoom == zoom_)
        return;
    // A control that no host has sized keeps to its window's size.
    const bool ownSize = size() == scaledSize(model_.windowSize(), zoom_);
    zoom_ = zoom;
    if (ownSize)
        resize(scaledSize(model_.windowSize(), zoom_));
    sync();
}

void DotNameDisplay::setBackColor(OleColor c) {
    model_.setBackColor(c);
    sync();
}

void DotNameDisplay::setAppearance(qint16 v) {
    model_.setAppearance(v);
    sync();
}

void DotNameDisplay::Refresh() {
    repaintStrip(clientRect());
}

void DotNameDisplay::repaintStrip(const QRect &area) {
    if (!container_)
        update(coveringRect(area, zoom_));
    else
        window_->paint(area);
}

void DotNameDisplay::paintEvent(QPaintEvent *) {
    if (container_)
        return;
    QPainter painter(this);
    paintWindow(painter, windowRect(), devicePixelRatioF());
    // The control has shown the strip once; its own window takes over from now on.
    QTimer::singleShot(0, this, &DotNameDisplay::makeStripWindow);
}

void DotNameDisplay::DrawDot16(qint32 X, qint32 Y, QString &strText) {
    model_.DrawDot16(X, Y, strText);
    sync();
}

void DotNameDisplay::showName(const QString &strText) {
    // Hosts rely on queued window events having run before the name changes.
    QCoreApplication::processEvents();
    model_.showName(strText);
    sync();
    // Let the new name show. This comes after the old scroll has been stopped, so that
    // none of its frames can move the strip that now carries the new name.
    QCoreApplication::processEvents();
}

QRect DotNameDisplay::windowRect() const {
    return QRect(QPoint(), model_.windowSize());
}

QRect DotNameDisplay::clientRect() const {
    const int b = model_.borderWidth();
    return windowRect().adjusted(b, b, -b, -b);
}

void DotNameDisplay::sync() {
    const QSize shown = scaledSize(model_.windowSize(), zoom_);
    if (container_ && container_->size() != shown)
        container_->resize(shown);
    repaintStrip(windowRect());
    scheduleFrame();
}

void DotNameDisplay::scheduleFrame() {
    // A hidden board (the other board is shown) does not scroll; showing it again resumes.
    if (!model_.scrolling() || !isVisible()) {
        frameTimer_.stop();
        return;
    }
    // Nothing moves during a pause: sleep through it instead of ticking.
    const int interval = model_.scroll().pausing()
                             ? static_cast<int>(model_.scroll().pauseRemainingMs())
                             : kFrameIntervalMs;
    if (!frameTimer_.isActive() || frameTimer_.interval() != interval)
        frameTimer_.start(interval);
}

void DotNameDisplay::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    scheduleFrame();
}

void DotNameDisplay::hideEvent(QHideEvent *event) {
    QWidget::hideEvent(event);
    frameTimer_.stop();
}

void DotNameDisplay::onFrame() {
    ++frames_;
    const int before = model_.stripTop();
    if (model_.advance()) {
        ++positionUpdates_;
        const QRect client = clientRect();
        const int dy = model_.stripTop() - before;
        // The strip only moves: the window system shifts what is on the screen, and only the
        // rows that come into view are painted and sent. A wrap starts the strip afresh.
        if (!container_)
            repaintStrip(client);
        else if (dy < 0 && -dy < client.height())
            window_->scrollUp(dy, client);
        else
            window_->paint(client);
    }
    scheduleFrame();
}

namespace {

// One pixel wide frame around r: top and left in one colour, bottom and right over them in
// the other. Filled, not stroked, so that every device pixel is covered at any pixel ratio.
void bevel(QPainter &painter, const QRect &r, const QColor &topLeft, const QColor &bottomRight) {
    painter.fillRect(QRect(r.left(), r.top(), r.width(), 1), topLeft);
    painter.fillRect(QRect(r.left(), r.top(), 1, r.height()), topLeft);
    painter.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), bottomRight);
    painter.fillRect(QRect(r.right(), r.top(), 1, r.height()), bottomRight);
}

// The window's edge: sunken (shadow outside, dark shadow inside at top and left, highlight
// and light face at bottom and right) or a flat black line.
void paintEdge(QPainter &painter, const QRect &outer, bool sunken) {
    if (!sunken) {
        bevel(painter, outer, Qt::black, Qt::black);
        return;
    }
    bevel(painter, outer, QColor(160, 160, 160), Qt::white);
    bevel(painter, outer.adjusted(1, 1, -1, -1), QColor(105, 105, 105), QColor(227, 227, 227));
}

} // namespace

void DotNameDisplay::paintWindow(QPainter &painter, const QRect &dirty, qreal devicePixelRatio) {
    const qreal ratio = devicePixelRatio * zoom_;
    if (stripImage_.isNull() || renderedRevision_ != model_.stripRevision() ||
        renderedBackColor_ != model_.BackColor() || stripImage_.devicePixelRatio() != ratio) {
        stripImage_ = renderDotNameStrip(model_.strip(), model_.BackColor(), ratio);
        renderedRevision_ = model_.stripRevision();
        renderedBackColor_ = model_.BackColor();
        ++stripRenders_;
    }
    painter.scale(zoom_, zoom_);
    paintFace(painter, dirty, stripImage_);
}

void DotNameDisplay::paintFace(QPainter &painter, const QRect &dirty, const QImage &strip) const {
    const QRect client = clientRect();
    // A scroll frame dirties only the client area: the edge is left as it stands.
    if (!client.contains(dirty))
        paintEdge(painter, windowRect(), model_.borderWidth() == 2);

    // The strip carries its own ground: only what it leaves uncovered is filled.
    const QRect area(
        QPoint(client.left() + DotNameModel::kStripLeft, client.top() + model_.stripTop()),
        strip.deviceIndependentSize().toSize());
    painter.setClipRect(client);
    for (const QRect &r : QRegion(client).subtracted(area))
        painter.fillRect(r, fromOleColor(model_.BackColor()));
    painter.drawImage(area.topLeft(), strip);
}

void DotNameDisplay::mousePressEvent(QMouseEvent *event) {
    // The display keeps its clicks: a press here must not start dragging the board.
    event->accept();
}

} // namespace q47
