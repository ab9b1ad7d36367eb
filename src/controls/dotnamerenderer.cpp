#include "dotnamerenderer.h"

#include "olecolor.h"
#include "segmentrenderer.h"

#include <cmath>

namespace q47 {

int dotNameDotDevicePx(qreal devicePixelRatio) {
    const qreal d = qMax<qreal>(1, devicePixelRatio);
    const int gapless = static_cast<int>(std::floor(2 * d)) - 1;
    return qMax(1, qMin(static_cast<int>(std::lround(d)), gapless));
}

QImage renderDotNameStrip(const QImage &strip, OleColor backColor, qreal devicePixelRatio) {
    const qreal d = qMax<qreal>(1, devicePixelRatio);
    const int width = static_cast<int>(std::ceil(strip.width() * d));
    const int height = static_cast<int>(std::ceil(strip.height() * d));
    QImage out(width, height, QImage::Format_RGB32);
    out.setDevicePixelRatio(d);
    out.fill(fromOleColor(backColor));
    const int side = dotNameDotDevicePx(d);
    for (int y = 0; y < strip.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(strip.constScanLine(y));
        const int top = static_cast<int>(std::lround(y * d));
        const int bottom = qMin(height, top + side);
        for (int x = 0; x < strip.width(); ++x) {
            if (qAlpha(line[x]) == 0)
                continue;
            const int left = static_cast<int>(std::lround(x * d));
            const int right = qMin(width, left + side);
            for (int dy = top; dy < bottom; ++dy) {
                auto *row = reinterpret_cast<QRgb *>(out.scanLine(dy));
                for (int dx = left; dx < right; ++dx)
                    row[dx] = line[x];
            }
        }
    }
    return out;
}

} // namespace q47
