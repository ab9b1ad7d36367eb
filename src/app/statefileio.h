#pragma once

#include "statefile.h"
#include "staterecords.h"

namespace q47 {

class BoardModel;
class LedBoard;
class PanelHost;
class ControlPanel;
class OptionsDialog;

// The state file between the board's model, the three windows and the disk: load restores at
// start-up what save wrote at the last confirmed exit. The records are only a transfer buffer;
// they are kept between the two so that texts nobody changed go back byte for byte.
class StateFileIo {
public:
    // The board's cells come from its model; of the LED board window only its place.
    StateFileIo(BoardModel &model, LedBoard &board, ControlPanel &panel, OptionsDialog &options,
                PanelHost &host, QString path);

    // Without a file every window keeps its start values, silently. A file that cannot be
    // read, or holds a value a control refuses, is told with its error; what was restored up
    // to there stays.
    void load();
    // Writes the file in one piece; a failure is told and leaves the old file whole.
    void save();

    const QString &path() const { return file_.path(); }
    // The last load put the windows where they were saved.
    bool restoredPositions() const { return restoredPositions_; }
    const StateRecords &records() const { return records_; }

private:
    BoardModel &model_;
    LedBoard &board_;
    ControlPanel &panel_;
    OptionsDialog &options_;
    PanelHost &host_;
    StateFile file_;
    StateRecords records_;
    bool restoredPositions_ = false;
};

} // namespace q47
