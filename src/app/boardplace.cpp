#include "boardplace.h"

#include "boardwindow.h"
#include "windowplacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QWindow>

namespace q47 {

namespace {

QString key(const QString &board, const char *what) {
    return QStringLiteral("boards/") + board + u'/' + QLatin1StringView(what);
}

QScreen *screenNamed(const QString &name) {
    for (QScreen *screen : QGuiApplication::screens()) {
        if (screen->name() == name)
            return screen;
    }
    return QGuiApplication::primaryScreen();
}

} // namespace

BoardPlace placeOf(const BoardWindow &window) {
    const QPoint at = window.windowedPosition();
    const QScreen *screen = window.isBoardFullScreen() ? window.screen() : nullptr;
    if (!screen)
        screen = QGuiApplication::screenAt(at + QPoint(1, 1));
    if (!screen)
        screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    return {screen->name(), at - screen->geometry().topLeft(), window.isBoardFullScreen()};
}

std::optional<BoardPlace> readBoardPlace(const QSettings &settings, const QString &board) {
    const QString screen = settings.value(key(board, "screen")).toString();
    const QVariant offset = settings.value(key(board, "offset"));
    if (screen.isEmpty() || !offset.canConvert<QPoint>())
        return std::nullopt;
    return BoardPlace{screen, offset.toPoint(), settings.value(key(board, "fullScreen")).toBool()};
}

void writeBoardPlace(QSettings &settings, const QString &board, const BoardPlace &place) {
    settings.setValue(key(board, "screen"), place.screen);
    settings.setValue(key(board, "offset"), place.offset);
    settings.setValue(key(board, "fullScreen"), place.fullScreen);
}

void restoreBoardPlace(BoardWindow &window, const BoardPlace &place) {
    QScreen *screen = screenNamed(place.screen);
    const QPoint corner = screen->geometry().topLeft();
    window.setBoardFullScreen(false);
    // The window is told its screen first: a full screen fills the screen the window is on.
    window.winId();
    window.windowHandle()->setScreen(screen);
    // A place the window already has on that screen stands: the state file keeps the LED
    // board's, and may have been saved without the user's settings.
    if (QGuiApplication::screenAt(window.pos() + QPoint(1, 1)) != screen)
        window.move(corner + place.offset);
    keepOnScreen(window, corner);
    window.setBoardFullScreen(place.fullScreen);
}

} // namespace q47
