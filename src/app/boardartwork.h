#pragma once

#include <QImage>

class QPainter;

namespace q47::board {

// The two built-in board pictures: the backlight OFF face and the ON1 face, which differ
// only in the tint of the printed ticket numbers. Drawn at the given pixel ratio so that
// the board stays sharp on dense screens.
enum class Artwork { Off, On1 };

QImage renderArtwork(Artwork which, qreal devicePixelRatio);
// The same picture drawn straight onto `painter` in design pixels, at whatever scale the
// painter has: an enlarged board draws it afresh instead of stretching a bitmap.
void paintArtwork(QPainter &painter, Artwork which);

// The window icon: a small fare board face with a lit fare.
QImage renderIcon(int size);

} // namespace q47::board
