#pragma once

#include <QImage>

namespace q47::panelgen {

// Sample board pictures of the board's picture size, for the options' user panels: the cell
// windows, the name strip and the printed ticket numbers where the board puts its own.
enum class Face {
    Night, // a dark face with amber numbers, for the lights off
    Led,   // a black face with white LED-lit numbers, few colours (kept as GIF)
    Day,   // a light face with dark numbers, few colours (kept as an 8-bit BMP)
};

QImage drawPanel(Face face);

} // namespace q47::panelgen
