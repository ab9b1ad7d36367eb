#pragma once

#include "boardartwork.h"

#include <QImage>

namespace q47::board {

// The built-in face `which` as the board's code draws it at pixel ratio 1, with its printed
// numbers: drawn when the program was built, so that a board on an ordinary screen shows it
// without drawing it at start-up.
QImage builtInFace(Artwork which);

// Written by q47_facegen: each face as runs of (count, pixel).
extern const int kFaceWidth;
extern const int kFaceHeight;
extern const quint32 kOffFaceRuns[];
extern const qsizetype kOffFaceRunsSize;
extern const quint32 kOn1FaceRuns[];
extern const qsizetype kOn1FaceRunsSize;

} // namespace q47::board
