#include "backlightpicture.h"

#include "backlight.h"
#include "degitrenderer.h"
#include "form1.h"
#include "logging.h"
#include "mdlm_tape.h"
#include "olecolor.h"
#include "picturefile.h"

namespace q47 {

Result<> showBacklightPicture(Form1 &board, const SettingsStore &settings, int index) {
    const Result<BacklightRow> row = backlightRow(settings, index);
    if (!row)
        return row.error();
    if (!row->userPicture) {
        board.setPicture(board.imgRes(index));
        return {};
    }
    if (!mdlM_Tape::FileExists(row->file)) {
        logPassedOver(logPicture,
                      Error(Error::Kind::NotFound, QStringLiteral("no such picture: the panel's "
                                                                  "picture stays as it was"))
                          .in(row->file)
                          .about(Error::Subject::Picture));
        return {};
    }
    Result<QImage> read = loadPicture(row->file);
    if (!read)
        return read.error();
    board.setPicture(*read);
    return {};
}

void colourLabelsForBacklight(Form1 &board, const SettingsStore &settings, int index) {
    board.setSeiriNumColour(
        fromOleColor(backlightRow(settings, index).value_or(BacklightRow{}).colour));
}

} // namespace q47
