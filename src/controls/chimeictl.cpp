#include "chimeictl.h"

#include "chimeirenderer.h"
#include "degitrenderer.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace q47 {

// The window around the strip. It is opaque, so a scroll frame repaints only itself and
// never the board behind it.
class ChimeiCtl_E::Window : public QWidget {
public:
    explicit Window(ChimeiCtl_E *owner) : QWidget(owner), owner_(owner) {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setAttribute(Qt::WA_NoSystemBackground);
    }

protected:
    void paintEvent(QPaintEvent *event) override {
        QPainter painter(this);
        owner_->paintWindow(painter, event->region(), rect(), devicePixelRatioF());
    }

private:
    ChimeiCtl_E *owner_;
};

ChimeiCtl_E::ChimeiCtl_E(QWidget *parent, ChimeiScroll::Clock clock)
    : QWidget(parent), model_(std::move(clock)), window_(new Window(this)) {
    window_->setObjectName(QStringLiteral("Picture2"));
    window_->setGeometry(QRect(QPoint(0, 0), model_.windowSize()));
    resize(model_.windowSize());
    frameTimer_.setTimerType(Qt::PreciseTimer);
    connect(&frameTimer_, &QTimer::timeout, this, &ChimeiCtl_E::onFrame);
}

ChimeiCtl_E::~ChimeiCtl_E() = default;

QWidget *ChimeiCtl_E::Picture2() const {
    return window_;
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
    window_->update(clientRect());
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
    return window_->rect().adjusted(b, b, -b, -b);
}

void ChimeiCtl_E::sync() {
    if (window_->size() != model_.windowSize())
        window_->resize(model_.windowSize());
    window_->update();
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
            window_->scroll(0, dy, client);
        else
            window_->update(client);
    }
    scheduleFrame();
}

namespace {

// The window's edge: sunken (shadow outside, dark shadow inside at top and left, highlight
// and light face at bottom and right) or a flat black line.
void paintEdge(QPainter &painter, const QRect &outer, bool sunken) {
    if (!sunken) {
        painter.setPen(Qt::black);
        painter.drawRect(outer.adjusted(0, 0, -1, -1));
        return;
    }
    const QRect r = outer.adjusted(0, 0, -1, -1);
    const QRect in = r.adjusted(1, 1, -1, -1);
    painter.setPen(QColor(160, 160, 160));
    painter.drawLine(r.topLeft(), r.topRight());
    painter.drawLine(r.topLeft(), r.bottomLeft());
    painter.setPen(Qt::white);
    painter.drawLine(r.bottomLeft(), r.bottomRight());
    painter.drawLine(r.topRight(), r.bottomRight());
    painter.setPen(QColor(105, 105, 105));
    painter.drawLine(in.topLeft(), in.topRight());
    painter.drawLine(in.topLeft(), in.bottomLeft());
    painter.setPen(QColor(227, 227, 227));
    painter.drawLine(in.bottomLeft(), in.bottomRight());
    painter.drawLine(in.topRight(), in.bottomRight());
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
