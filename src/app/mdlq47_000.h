#pragma once

#include <QString>

#include <functional>

namespace q47 {

class Form1;

// Shows an error box: title and text.
using ErrorBox = std::function<void(const QString &title, const QString &text)>;

// Rewrites the board's fifty ticket-number labels for numbering style `style` (0 to 11),
// one-digit numbers with a leading zero when `zeroPad` is non-zero. Whether the labels are
// shown is left as it is. `report` shows a failure; a critical message box when empty.
void SeirikenNumSet(Form1 &board, qint16 style, qint16 zeroPad, const ErrorBox &report = {});

} // namespace q47
