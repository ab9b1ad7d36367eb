#include "backlightpicture.h"

#include "announcementtape.h"
#include "backlight.h"
#include "boardmodel.h"
#include "logging.h"
#include "olecolor.h"
#include "picturefile.h"

namespace q47 {

namespace {

Result<> showPicture(BoardModel &board, const Result<BacklightRow> &shown, int row) {
    if (!shown)
        return shown.error();
    if (!shown->userPicture) {
        board.setPicture(BoardPicture::builtIn(row));
        return {};
    }
    if (!AnnouncementTape::isExistingFile(shown->file)) {
        logPassedOver(logPicture,
                      Error(Error::Kind::NotFound, QStringLiteral("no such picture: the panel's "
                                                                  "picture stays as it was"))
                          .in(shown->file)
                          .about(Error::Subject::Picture));
        return {};
    }
    Result<QImage> read = loadPicture(shown->file);
    if (!read)
        return read.error();
    board.setPicture(BoardPicture::user(*read));
    return {};
}

} // namespace

Result<> showBacklight(BoardModel &board, const SettingsStore &settings, int row) {
    board.setBacklight(row);
    const Result<BacklightRow> shown = backlightRow(settings, row);
    Result<> pictured = showPicture(board, shown, row);
    // The labels take the row's colour whatever became of the picture.
    board.setLabelColour(fromOleColor(shown.value_or(BacklightRow{}).colour));
    return pictured;
}

} // namespace q47
