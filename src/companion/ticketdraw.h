#pragma once

#include "pluginformat.h"

class QPainter;

namespace q47::ticket {

// The face texts use when the plug-in names none.
inline constexpr auto kDefaultFontFamily = u"ＭＳ ゴシック";

// Draws the ticket with its top-left corner at the painter's origin, one painter unit per ticket
// pixel. Texts and rules are vectors; barcode modules are whole device pixels, so the ticket
// stays sharp at any device pixel ratio. A barcode whose data its symbology cannot encode, or
// whose modules would be narrower than a device pixel, is left out.
void drawTicket(const Plugin &plugin, QPainter &painter, const TicketValues &values);

} // namespace q47::ticket
