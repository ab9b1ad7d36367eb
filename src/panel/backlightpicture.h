#pragma once

#include "error.h"

namespace q47 {

class Form1;
class SettingsStore;

// Puts the picture of backlight row `index` on the board as the options set it: the built-in
// one or the user's file. A file that cannot be read leaves the picture as it was, and its
// failure is returned for the caller to tell or not; a user's file that is not there leaves it
// too, without a word but the log's.
Result<> showBacklightPicture(Form1 &board, const SettingsStore &settings, int index);

// The ticket-number labels in the colour of backlight row `index`; black for no such row.
void colourLabelsForBacklight(Form1 &board, const SettingsStore &settings, int index);

} // namespace q47
