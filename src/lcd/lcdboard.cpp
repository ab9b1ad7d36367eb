#include "lcdboard.h"

#include "boardmodel.h"
#include "boardzoom.h"
#include "facedrag.h"
#include "lcdsettings.h"
#include "lcdtexts.h"
#include "windowfit.h"
#include "zoommenu.h"

#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace q47 {

namespace {

constexpr int kPointerRestMs = 3000;
constexpr qint64 kMsPerMinute = 60000;

QSize zoomed(qreal zoom) {
    return QSize(qRound(lcd::kDesignSize.width() * zoom), qRound(lcd::kDesignSize.height() * zoom));
}

} // namespace

LcdBoard::LcdBoard(const BoardModel &model, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), model_(model) {
    setObjectName(QStringLiteral("LcdBoard"));
    setWindowTitle(QStringLiteral("運賃表示器"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setFixedSize(zoomed(1));
    beats_.beatMs = lcd::kDefaultPageSeconds * 1000;
    stopSince_.start();

    next_ = new QTimer(this);
    next_->setSingleShot(true);
    next_->setTimerType(Qt::PreciseTimer);
    // The paint that follows sets the timer again.
    connect(next_, &QTimer::timeout, this, qOverload<>(&QWidget::update));
    pointerTimer_ = new QTimer(this);
    pointerTimer_->setSingleShot(true);
    pointerTimer_->setInterval(kPointerRestMs);
    connect(pointerTimer_, &QTimer::timeout, this, [this] { setPointerHidden(true); });

    new FaceDrag(this, [this] { return !fullScreen_; });

    connect(&model_, &BoardModel::stopNameChanged, this, [this] {
        stopSince_.restart();
        contentChanged();
    });
    connect(&model_, &BoardModel::contentChanged, this, &LcdBoard::contentChanged);
    connect(&model_, &BoardModel::cellChanged, this, &LcdBoard::contentChanged);
    connect(&model_, &BoardModel::cellReset, this, &LcdBoard::contentChanged);
    connect(&model_, &BoardModel::clockShownChanged, this, &LcdBoard::contentChanged);
}

void LcdBoard::setPageSeconds(int seconds) {
    seconds = std::clamp(seconds, lcd::kMinPageSeconds, lcd::kMaxPageSeconds);
    if (seconds * 1000 == beats_.beatMs)
        return;
    beats_.beatMs = seconds * 1000;
    contentChanged();
}

void LcdBoard::setFormBeats(const std::array<int, lcd::kNameForms> &beats) {
    if (beats == beats_.formBeats)
        return;
    beats_.formBeats = beats;
    contentChanged();
}

void LcdBoard::contentChanged() {
    // Fifty cells written in one step repaint once, and the timer is set once after it:
    // update() gathers them.
    update();
}

BoardContent LcdBoard::shownContent() const {
    BoardContent content = model_.content();
    if (!content.cleared)
        content.time = QTime::currentTime();
    return content;
}

lcd::LcdPhase LcdBoard::phase() const {
    const lcd::BoardPhase now = lcd::boardPhaseOf(model_.content(), lcd::LcdRenderer::capacity(),
                                                  stopSince_.elapsed(), beats_);
    return {now.page, now.form};
}

void LcdBoard::schedule() {
    if (!isVisible()) {
        next_->stop();
        return;
    }
    const BoardContent &content = model_.content();
    qint64 wait = -1;
    const auto sooner = [&wait](qint64 ms) {
        if (ms >= 0 && (wait < 0 || ms < wait))
            wait = ms;
    };
    if (!content.cleared) {
        sooner(
            lcd::boardPhaseOf(content, lcd::LcdRenderer::capacity(), stopSince_.elapsed(), beats_)
                .msLeft);
        sooner(kMsPerMinute - QTime::currentTime().msecsSinceStartOfDay() % kMsPerMinute);
    }
    if (wait < 0)
        next_->stop();
    else
        next_->start(static_cast<int>(std::min<qint64>(wait, kMsPerMinute)));
}

void LcdBoard::paintEvent(QPaintEvent *) {
    QPainter p(this);
    renderer_.paint(p, size(), devicePixelRatioF(), shownContent(), phase());
    schedule();
}

QImage LcdBoard::renderBoard(qreal scale) {
    return renderBoard(scale, phase());
}

QImage LcdBoard::renderBoard(qreal scale, const lcd::LcdPhase &phase) {
    if (!(scale > 0))
        return {};
    return renderer_.render(shownContent(), zoomed(scale), 1, phase);
}

void LcdBoard::hideEvent(QHideEvent *event) {
    QWidget::hideEvent(event);
    next_->stop();
    // A hidden board keeps no pictures.
    renderer_.dropTextCaches();
}

void LcdBoard::applyZoom() {
    if (!fullScreen_)
        setFixedSize(zoomed(zoom_));
}

void LcdBoard::setZoom(qreal zoom) {
    if (fullScreen_)
        setBoardFullScreen(false);
    // The board grows within its screen, moving aside as far as it must; a step that does not
    // fit at all is not taken.
    const qreal fitting = board::fittingZoom(zoom, zoomed(1), availableAreaOf(*this).size());
    if (fitting != zoom_) {
        zoom_ = fitting;
        applyZoom();
        Q_EMIT zoomChanged(zoom_);
    }
    keepWithinScreen(*this);
}

QPoint LcdBoard::windowedPosition() const {
    return fullScreen_ ? windowedPos_ : pos();
}

void LcdBoard::setBoardFullScreen(bool on) {
    if (on == fullScreen_)
        return;
    fullScreen_ = on;
    if (on) {
        windowedPos_ = pos();
        const QScreen *where = screen() ? screen() : QGuiApplication::primaryScreen();
        const QRect area = where->geometry();
        setFixedSize(area.size());
        setWindowState(windowState() | Qt::WindowFullScreen);
        // Without a window manager nobody else moves the window over the screen.
        setGeometry(area);
        setMouseTracking(true);
        pointerTimer_->start();
    } else {
        setMouseTracking(false);
        pointerTimer_->stop();
        setPointerHidden(false);
        setWindowState(windowState() & ~Qt::WindowFullScreen);
        applyZoom();
        move(windowedPos_);
    }
}

void LcdBoard::setPointerHidden(bool hidden) {
    if (hidden == pointerHidden_)
        return;
    pointerHidden_ = hidden;
    if (hidden)
        setCursor(Qt::BlankCursor);
    else
        unsetCursor();
}

void LcdBoard::mouseMoveEvent(QMouseEvent *event) {
    if (fullScreen_) {
        setPointerHidden(false);
        pointerTimer_->start();
    }
    QWidget::mouseMoveEvent(event);
}

void LcdBoard::keyPressEvent(QKeyEvent *event) {
    const board::ZoomKey key = board::zoomKey(event->key(), event->modifiers());
    if (key == board::ZoomKey::None) {
        QWidget::keyPressEvent(event);
        return;
    }
    if (key == board::ZoomKey::FullScreen)
        setBoardFullScreen(!fullScreen_);
    // Full screen has a size of its own: the zoom keys wait until it is left.
    else if (!fullScreen_)
        setZoom(key == board::ZoomKey::In    ? board::zoomStepUp(zoom_)
                : key == board::ZoomKey::Out ? board::zoomStepDown(zoom_)
                                             : 1.0);
    event->accept();
}

void LcdBoard::contextMenuEvent(QContextMenuEvent *event) {
    // Made when first needed: a board that is never right-clicked has none.
    if (!menu_) {
        menu_ = new ZoomMenu(this);
        connect(menu_, &ZoomMenu::zoomChosen, this, &LcdBoard::setZoom);
        connect(menu_, &ZoomMenu::fullScreenChosen, this, &LcdBoard::setBoardFullScreen);
        connect(menu_, &ZoomMenu::stateWanted, this,
                [this] { menu_->showState(zoom_, fullScreen_); });
    }
    menu_->popup(event->globalPos());
    event->accept();
}

} // namespace q47
