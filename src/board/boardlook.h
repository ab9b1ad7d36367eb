#pragma once

namespace q47 {

class BoardModel;
class SettingsStore;
struct StateRecords;

// The options' look on the board: the ticket-number labels (shown, numbering style, colour for
// the backlight row), the digit colours of the fifty cells and both clock cells, and the place
// name's colours, face and weight. The options' "OK" applies it, and so does the start-up, to
// show the board restored before the windows that hold the options exist.
void applyBoardLook(BoardModel &board, const SettingsStore &settings, int backlightRow);

// What the state file keeps of the board itself: each cell's digit settings, blanked, and the
// digit and place-name colours of the saved options.
void restoreBoardCells(BoardModel &board, const StateRecords &records);

} // namespace q47
