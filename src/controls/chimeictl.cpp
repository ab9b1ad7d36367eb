#include "chimeictl.h"

#include "chimeirenderer.h"
#include "degitrenderer.h"

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
// mouse presses stay with it: they must not start dragging the board.
class ChimeiCtl_E::Window : public QWindow {
public:
    explicit Window(ChimeiCtl_E *owner) : store_(this), owner_(owner) {
        setSurfaceType(QSurface::RasterSurface);
    }

    // Draws `region` afresh and shows it.
    void paint(const QRegion &region) {
        if (!isExposed())
            return;
        draw(region);
        store_.flush(region);
    }

    // Shifts the client area up by -dy pixels and draws only the rows that come into view.
    void scrollUp(int dy, const QRect &client) {
        if (!isExposed())
            return;
        // At a fractional pixel ratio the strip drawn afresh does not land on whole device
        // pixels the way a shifted one does: draw it all.
        const qreal ratio = devicePixelRatio();
        // The rows that stay in view move up; none may land on the edge above the client.
        if (ratio != std::floor(ratio) || !store_.scroll(client.adjusted(0, -dy, 0, 0), 0, dy)) {
            paint(client);
            return;
        }
        draw(QRect(client.left(), client.bottom() + 1 + dy, client.width(), -dy));
        store_.flush(client);
    }

protected:
    void exposeEvent(QExposeEvent *) override { paint(QRect(QPoint(), size())); }
    void resizeEvent(QResizeEvent *) override {
        store_.resize(size());
        paint(QRect(QPoint(), size()));
    }

private:
    void draw(const QRegion &region) {
        if (store_.size() != size())
            store_.resize(size());
        store_.beginPaint(region);
        {
            QPainter painter(store_.paintDevice());
            owner_->paintWindow(painter, region, QRect(QPoint(), size()), devicePixelRatio());
        }
        store_.endPaint();
    }

    QBackingStore store_;
    ChimeiCtl_E *owner_;
};

ChimeiCtl_E::ChimeiCtl_E(QWidget *parent, ChimeiScroll::Clock clock)
    : QWidget(parent), model_(std::move(clock)), window_(new Window(this)) {
    // The strip's window is native; the board's other widgets need not become native too.
    QCoreApplication::setAttribute(Qt::AA_DontCreateNativeWidgetSiblings);
    container_ = QWidget::createWindowContainer(window_, this);
    container_->setObjectName(QStringLiteral("Picture2"));
    container_->setGeometry(QRect(QPoint(0, 0), model_.windowSize()));
    resize(model_.windowSize());
    frameTimer_.setTimerType(Qt::PreciseTimer);
    connect(&frameTimer_, &QTimer::timeout, this, &ChimeiCtl_E::onFrame);
}

ChimeiCtl_E::~ChimeiCtl_E() = default;

QWidget *ChimeiCtl_E::Picture2() const {
    return container_;
}

QWindow *ChimeiCtl_E::stripWindow() const {
    return window_;
}

QImage ChimeiCtl_E::drawing(qreal devicePixelRatio) {
    const QSize size = container_->size();
    QImage image((QSizeF(size) * devicePixelRatio).toSize(), QImage::Format_RGB32);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(Qt::black);
    QPainter painter(&image);
    paintWindow(painter, QRect(QPoint(), size), QRect(QPoint(), size), devicePixelRatio);
    return image;
}

void ChimeiCtl_E::setBackColor(OleColor c) {
    model_.setBackColor(c);
    sync();
}

void ChimeiCtl_E::setAppearance(qint16 v) {
    model_.setAppearance(v);
    sync();
}

void ChimeiCtl_E::Refresh() {
    window_->paint(clientRect());
}

void ChimeiCtl_E::DrawDot16(qint32 X, qint32 Y, QString &strText) {
    model_.DrawDot16(X, Y, strText);
    sync();
}

void ChimeiCtl_E::SetChimei(const QString &strText) {
    // Hosts rely on queued window events having run before the name changes.
    QCoreApplication::processEvents();
    model_.SetChimei(strText);
    sync();
    // Let the new name show. This comes after the old scroll has been stopped, so that
    // none of its frames can move the strip that now carries the new name.
    QCoreApplication::processEvents();
}

void ChimeiCtl_E::ReadProperties(const PropertyBag &bag) {
    model_.ReadProperties(bag);
    sync();
}

QRect ChimeiCtl_E::clientRect() const {
    const int b = model_.borderWidth();
    return container_->rect().adjusted(b, b, -b, -b);
}

void ChimeiCtl_E::sync() {
    if (container_->size() != model_.windowSize())
        container_->resize(model_.windowSize());
    window_->paint(QRect(QPoint(), model_.windowSize()));
    scheduleFrame();
}

void ChimeiCtl_E::scheduleFrame() {
    if (!model_.scrolling()) {
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

void ChimeiCtl_E::onFrame() {
    ++frames_;
    const int before = model_.stripTop();
    if (model_.advance()) {
        ++positionUpdates_;
        const QRect client = clientRect();
        const int dy = model_.stripTop() - before;
        // The strip only moves: the window system shifts what is on the screen, and only the
        // rows that come into view are painted and sent. A wrap starts the strip afresh.
        if (dy < 0 && -dy < client.height())
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

void ChimeiCtl_E::paintWindow(QPainter &painter, const QRegion &dirty, const QRect &outer,
                              qreal devicePixelRatio) {
    if (stripImage_.isNull() || renderedRevision_ != model_.stripRevision() ||
        renderedBackColor_ != model_.BackColor() ||
        stripImage_.devicePixelRatio() != devicePixelRatio) {
        stripImage_ = renderChimeiStrip(model_.strip(), model_.BackColor(), devicePixelRatio);
        renderedRevision_ = model_.stripRevision();
        renderedBackColor_ = model_.BackColor();
        ++stripRenders_;
    }

    const QRect client = clientRect();
    // A scroll frame dirties only the client area: the edge is left as it stands.
    if (!client.contains(dirty.boundingRect()))
        paintEdge(painter, outer, model_.borderWidth() == 2);

    // The strip carries its own ground: only what it leaves uncovered is filled.
    const QRect strip(
        QPoint(client.left() + ChimeiModel::kStripLeft, client.top() + model_.stripTop()),
        stripImage_.deviceIndependentSize().toSize());
    painter.setClipRect(client);
    for (const QRect &r : QRegion(client).subtracted(strip))
        painter.fillRect(r, fromOleColor(model_.BackColor()));
    painter.drawImage(strip.topLeft(), stripImage_);
}

void ChimeiCtl_E::mousePressEvent(QMouseEvent *event) {
    // The display keeps its clicks: a press here must not start dragging the board.
    event->accept();
}

} // namespace q47
