#pragma once

#include <QPoint>
#include <QString>

#include <optional>

class QSettings;

namespace q47 {

class BoardWindow;

// Where a board's window stands: its screen by name, its windowed place on that screen, and
// whether it fills the screen. The user's settings keep one for each board ("led", "lcd"),
// under "boards/<board>/", so that each board comes back on its own screen when several are
// attached.
struct BoardPlace {
    QString screen;
    QPoint offset; // from the screen's top-left corner
    bool fullScreen = false;
    bool operator==(const BoardPlace &) const = default;
};

BoardPlace placeOf(const BoardWindow &window);
std::optional<BoardPlace> readBoardPlace(const QSettings &settings, const QString &board);
void writeBoardPlace(QSettings &settings, const QString &board, const BoardPlace &place);

// Puts the window on the screen named, filling the screen if it did: a window that stands on
// another screen, or on none, goes to its place on that screen. A screen that is gone puts it
// on the primary screen, at the same place as far as that screen allows.
void restoreBoardPlace(BoardWindow &window, const BoardPlace &place);

} // namespace q47
