#pragma once

#include <QStringList>

namespace q47 {

// The items of the options dialog's drop-down lists.

// Combo2: the twelve ticket-number styles, in style-code order.
QStringList labelStyleItems();
// Combo3: the place-name font options 0 to 4.
QStringList placeNameFontItems();
// "1" to "count": cells and data columns, the index plus one being the number.
QStringList numberItems(int count);

} // namespace q47
