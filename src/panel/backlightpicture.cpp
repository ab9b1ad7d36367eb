#include "backlightpicture.h"

#include "backlight.h"
#include "boardmodel.h"
#include "mdlm_tape.h"
#include "olecolor.h"
#include "picturefile.h"

namespace q47 {

int showBacklight(BoardModel &board, const SettingsStore &settings, int row) {
    board.setBacklight(row);
    const BacklightRow shown = backlightRow(settings, row);
    int error = shown.error;
    if (error == 0) {
        if (!shown.userPicture) {
            board.setPicture(BoardPicture::builtIn(row));
        } else if (mdlM_Tape::FileExists(shown.file)) {
            PictureRead read = loadPicture(shown.file);
            error = read.error;
            if (error == 0)
                board.setPicture(BoardPicture::user(read.image));
        }
    }
    // The labels take the row's colour whatever became of the picture.
    board.setLabelColour(fromOleColor(shown.colour));
    return error;
}

} // namespace q47
