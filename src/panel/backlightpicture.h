#pragma once

namespace q47 {

class Form1;
class SettingsStore;

// Puts the picture of backlight row `index` on the board as the options set it: the built-in
// one or the user's file. A file that cannot be read leaves the picture as it was; its error
// number is returned (0 when all went well), for the caller to tell or not.
int showBacklightPicture(Form1 &board, const SettingsStore &settings, int index);

// The ticket-number labels in the colour of backlight row `index`; black for no such row.
void colourLabelsForBacklight(Form1 &board, const SettingsStore &settings, int index);

} // namespace q47
