#include "builtinfaces.h"

#include <algorithm>

namespace q47::board {

QImage builtInFace(Artwork which) {
    const quint32 *runs = which == Artwork::Off ? kOffFaceRuns : kOn1FaceRuns;
    const qsizetype size = which == Artwork::Off ? kOffFaceRunsSize : kOn1FaceRunsSize;
    QImage face(kFaceWidth, kFaceHeight, QImage::Format_ARGB32_Premultiplied);
    // One line is as wide as the face: the runs fill the pixels in order.
    auto *pixel = reinterpret_cast<quint32 *>(face.bits());
    const quint32 *const end = pixel + qsizetype(kFaceWidth) * kFaceHeight;
    for (qsizetype i = 0; i + 1 < size; i += 2) {
        const qsizetype count = std::min<qsizetype>(runs[i], end - pixel);
        std::fill_n(pixel, count, runs[i + 1]);
        pixel += count;
    }
    return face;
}

} // namespace q47::board
