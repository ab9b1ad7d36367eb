#pragma once

#include "pluginformat.h"

#include <QSize>

#include <optional>

class QPainter;

namespace q47::ticket {

// The face texts use when the plug-in names none.
inline constexpr auto kDefaultFontFamily = u"ＭＳ ゴシック";

// Draws the ticket with its top-left corner at the painter's origin, one painter unit per ticket
// pixel. Texts and rules are vectors; barcode modules are whole device pixels, so the ticket
// stays sharp at any device pixel ratio. A barcode whose data its symbology cannot encode, or
// whose modules would be narrower than a device pixel, is left out.
void drawTicket(const Plugin &plugin, QPainter &painter, const TicketValues &values);

// How many modules a barcode item needs for `data`, across and down, quiet zones included;
// nullopt when its type cannot hold the data. A 1-D barcode is drawn at ratio 1 only when its
// box is at least as many pixels wide; a QR code needs as many both ways.
std::optional<QSize> barcodeModules(const Item &item, const QString &data);

} // namespace q47::ticket
