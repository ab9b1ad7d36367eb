#pragma once

#include <QByteArray>
#include <QImage>

namespace q47::panelgen {

// A single-frame GIF89a of the picture. Pictures of more than 256 colours are reduced to
// Qt's fixed palette first; drawings meant for GIF keep to few colours.
QByteArray encodeGif(const QImage &picture);

} // namespace q47::panelgen
