#pragma once

namespace q47 {

// Window and control geometry is designed in twips; 15 twips make one pixel at 96 dpi.
// Qt's device-independent pixels take care of higher densities.
inline constexpr int kTwipsPerPixel = 15;

constexpr int twipsToPx(int twips) {
    const int half = kTwipsPerPixel / 2;
    return twips >= 0 ? (twips + half) / kTwipsPerPixel : -((-twips + half) / kTwipsPerPixel);
}

constexpr int pxToTwips(int px) {
    return px * kTwipsPerPixel;
}

} // namespace q47
