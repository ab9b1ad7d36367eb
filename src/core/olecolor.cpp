#include "olecolor.h"

namespace q47 {

QColor fromOleColor(OleColor c) {
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

OleColor toOleColor(const QColor &c) {
    return static_cast<OleColor>(c.red()) | (static_cast<OleColor>(c.green()) << 8) |
           (static_cast<OleColor>(c.blue()) << 16);
}

} // namespace q47
