#pragma once

#include <QtGlobal>

namespace q47 {

class Form1;

// Rewrites the board's fifty ticket-number labels for numbering style `style` (0 to 11),
// one-digit numbers with a leading zero when `zeroPad` is non-zero. Whether the labels are
// shown is left as it is.
void SeirikenNumSet(Form1 &board, qint16 style, qint16 zeroPad);

} // namespace q47
