#include "backlightpicture.h"

#include "olecolor.h"
#include "backlight.h"
#include "degitrenderer.h"
#include "form1.h"
#include "mdlm_tape.h"
#include "picturefile.h"

namespace q47 {

int showBacklightPicture(Form1 &board, const SettingsStore &settings, int index) {
    const BacklightRow row = backlightRow(settings, index);
    int error = row.error;
    if (error == 0) {
        if (!row.userPicture) {
            board.setPicture(board.imgRes(index));
        } else if (mdlM_Tape::FileExists(row.file)) {
            PictureRead read = loadPicture(row.file);
            error = read.error;
            if (error == 0)
                board.setPicture(read.image);
        }
    }
    return error;
}

void colourLabelsForBacklight(Form1 &board, const SettingsStore &settings, int index) {
    board.setSeiriNumColour(fromOleColor(backlightRow(settings, index).colour));
}

} // namespace q47
