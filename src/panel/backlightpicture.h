#pragma once

namespace q47 {

class BoardModel;
class SettingsStore;

// Puts backlight row `row` on the board as the options set it: the row, its picture (the
// built-in one or the user's file) and the ticket-number labels' colour (black for no such
// row). A file that cannot be read leaves the picture as it was; its error number is returned
// (0 when all went well), for the caller to tell or not.
int showBacklight(BoardModel &board, const SettingsStore &settings, int row);

} // namespace q47
