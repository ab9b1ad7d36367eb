#pragma once

#include <QColor>

namespace q47 {

// A colour as the settings and the state file keep it: 0x00BBGGRR, red in the low byte.
using OleColor = quint32;

QColor fromOleColor(OleColor c);
OleColor toOleColor(const QColor &c);

} // namespace q47
