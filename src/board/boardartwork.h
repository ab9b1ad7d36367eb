#pragma once

#include <QImage>

class QPainter;

namespace q47::board {

// The two built-in board pictures: the backlight OFF face, black with white printed ticket
// numbers, and the ON1 face, lit from behind: the face around the cells and the bands of
// printed numbers glow, so that OFF and ON are told apart across a room. Drawn at the given
// pixel ratio so that the board stays sharp on dense screens.
enum class Artwork { Off, On1 };

// Without `printedNumbers` the pictures leave the number bands empty, for the ticket-number
// labels that the board draws there itself.
QImage renderArtwork(Artwork which, qreal devicePixelRatio, bool printedNumbers = true);
// The same picture drawn straight onto `painter` in design pixels, at whatever scale the
// painter has: an enlarged board draws it afresh instead of stretching a bitmap.
void paintArtwork(QPainter &painter, Artwork which, bool printedNumbers = true);

// The window icon: a small fare board face with a lit fare.
QImage renderIcon(int size);

} // namespace q47::board
