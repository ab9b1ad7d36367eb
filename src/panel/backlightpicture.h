#pragma once

#include "error.h"

namespace q47 {

class BoardModel;
class SettingsStore;

// Puts backlight row `row` on the board as the options set it: the row, its picture (the
// built-in one or the user's file) and the ticket-number labels' colour (black for no such
// row). A file that cannot be read leaves the picture as it was and its failure is returned,
// for the caller to tell or not; a user's file that is not there leaves it too, without a word
// but the log's.
Result<> showBacklight(BoardModel &board, const SettingsStore &settings, int row);

} // namespace q47
