#include "lcdsettings.h"

#include "boardzoom.h"

#include <QSettings>

#include <algorithm>

namespace q47::lcd {

namespace {

const QString kBoardKey = QStringLiteral("lcd/board");
const QString kPageKey = QStringLiteral("lcd/pageSeconds");
const QString kZoomKey = QStringLiteral("lcd/zoom");
const QString kPosKey = QStringLiteral("lcd/pos");

} // namespace

std::optional<BoardKind> boardKindNamed(const QString &name) {
    if (name == u"led")
        return BoardKind::Led;
    if (name == u"lcd")
        return BoardKind::Lcd;
    return std::nullopt;
}

BoardKind readBoardKind(const QSettings &settings) {
    return settings.value(kBoardKey).toString() == u"lcd" ? BoardKind::Lcd : BoardKind::Led;
}

void writeBoardKind(QSettings &settings, BoardKind kind) {
    settings.setValue(kBoardKey,
                      kind == BoardKind::Lcd ? QStringLiteral("lcd") : QStringLiteral("led"));
}

int readPageSeconds(const QSettings &settings) {
    bool ok = false;
    const int seconds = settings.value(kPageKey).toInt(&ok);
    return ok && seconds >= kMinPageSeconds && seconds <= kMaxPageSeconds ? seconds
                                                                          : kDefaultPageSeconds;
}

void writePageSeconds(QSettings &settings, int seconds) {
    settings.setValue(kPageKey, std::clamp(seconds, kMinPageSeconds, kMaxPageSeconds));
}

qreal readLcdZoom(const QSettings &settings) {
    return board::snapZoom(settings.value(kZoomKey, 1.0).toReal());
}

void writeLcdZoom(QSettings &settings, qreal zoom) {
    settings.setValue(kZoomKey, board::snapZoom(zoom));
}

std::optional<QPoint> readLcdPosition(const QSettings &settings) {
    const QVariant at = settings.value(kPosKey);
    if (!at.canConvert<QPoint>() || at.isNull())
        return std::nullopt;
    return at.toPoint();
}

void writeLcdPosition(QSettings &settings, const QPoint &at) {
    settings.setValue(kPosKey, at);
}

} // namespace q47::lcd
