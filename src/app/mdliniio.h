#pragma once

#include "statefile.h"
#include "staterecords.h"

namespace q47 {

class BoardModel;
class Form1;
class PanelHost;
class frmCtl;
class frmOption;

// The state file between the board's model, the three windows and the disk: LoadIni restores at
// start-up what SaveIni wrote at the last confirmed exit. The records are only a transfer buffer;
// they are kept between the two so that texts nobody changed go back byte for byte.
class mdlIniIo {
public:
    // The board's cells come from its model; of the LED board window only its place.
    mdlIniIo(BoardModel &model, Form1 &board, frmCtl &panel, frmOption &options, PanelHost &host,
             QString path);

    // Without a file every window keeps its start values, silently. A file that cannot be
    // read, or holds a value a control refuses, is told with its error; what was restored up
    // to there stays.
    void LoadIni();
    // Writes the file in one piece; a failure is told and leaves the old file whole.
    void SaveIni();

    const QString &path() const { return file_.path(); }
    // The last LoadIni put the windows where they were saved.
    bool restoredPositions() const { return restoredPositions_; }
    const StateRecords &records() const { return records_; }

private:
    BoardModel &model_;
    Form1 &board_;
    frmCtl &panel_;
    frmOption &options_;
    PanelHost &host_;
    StateFile file_;
    StateRecords records_;
    bool restoredPositions_ = false;
};

} // namespace q47
