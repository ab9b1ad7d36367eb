#pragma once

namespace q47 {

// Lets code name the faces the board was designed with; each maps to an installed face.
void installFontSubstitutes();

} // namespace q47
