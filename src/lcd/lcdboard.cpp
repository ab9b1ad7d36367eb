#include "lcdboard.h"

#include "boardmodel.h"
#include "lcdsettings.h"
#include "lcdtexts.h"

#include <QPainter>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace q47 {

namespace {

constexpr qint64 kMsPerMinute = 60000;

QSize zoomed(qreal zoom) {
    return QSize(qRound(lcd::kDesignSize.width() * zoom), qRound(lcd::kDesignSize.height() * zoom));
}

} // namespace

LcdBoard::LcdBoard(const BoardModel &model, QWidget *parent) : BoardWindow(parent), model_(model) {
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
        content.time = model_.clockTime();
    return content;
}

lcd::LcdPhase LcdBoard::phase() const {
    return phaseAt(stopSince_.elapsed());
}

lcd::LcdPhase LcdBoard::phaseAt(qint64 sinceStopMs) const {
    const lcd::BoardPhase now =
        lcd::boardPhaseOf(model_.content(), lcd::LcdRenderer::capacity(), sinceStopMs, beats_);
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
        sooner(kMsPerMinute - model_.clockTime().msecsSinceStartOfDay() % kMsPerMinute);
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

QSize LcdBoard::designSize() const {
    return zoomed(1);
}

void LcdBoard::showWindowed(qreal zoom) {
    setFixedSize(zoomed(zoom));
}

void LcdBoard::showFilling(const QSize &size) {
    setFixedSize(size);
}

} // namespace q47
