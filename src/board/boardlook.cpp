#include "boardlook.h"

#include "boardlayout.h"
#include "form1.h"
#include "mdlq47_000.h"
#include "olecolor.h"
#include "settingsstore.h"
#include "staterecords.h"

namespace q47 {

namespace {

quint32 recordedColour(const StateRecords &records, ColourSetting s) {
    return static_cast<quint32>(records.option(s).number);
}

} // namespace

void applyBoardLook(Form1 &board, const SettingsStore &settings, int backlightRow) {
    board.setLabelsShown(settings.flag(setting::ShowLabels) == 1);
    SeirikenNumSet(board, static_cast<qint16>(settings.listIndex(setting::LabelStyle)),
                   static_cast<qint16>(settings.flag(setting::ZeroPadLabels)));
    if (backlightRow >= 0 && backlightRow < 3)
        board.setSeiriNumColour(fromOleColor(
            settings.colour(setting::LabelColours[static_cast<size_t>(backlightRow)])));
    board.setCellColours(settings.colour(setting::DigitBack), settings.colour(setting::DigitUnlit),
                         settings.colour(setting::DigitLit));
    board.setPlaceNameColours(settings.colour(setting::NameBack),
                              settings.colour(setting::NameDots));
    board.setPlaceNameFace(static_cast<qint16>(settings.listIndex(setting::NameFont)),
                           settings.flag(setting::NameBold) == 1);
}

void restoreBoardCells(Form1 &board, const StateRecords &records) {
    for (int k = 1; k <= board::kCellCount; ++k) {
        const CellDigitSettings &cell = records.cells[static_cast<size_t>(k - 1)];
        board.setCellFormat(k, cell.Shift, cell.ZeroMode, cell.FillZero);
    }
    board.setCellColours(recordedColour(records, setting::DigitBack),
                         recordedColour(records, setting::DigitUnlit),
                         recordedColour(records, setting::DigitLit));
    for (int k = 1; k <= board::kCellCount; ++k)
        board.setCellValue(k, QStringLiteral(" "));
    board.setPlaceNameColours(recordedColour(records, setting::NameBack),
                              recordedColour(records, setting::NameDots));
}

} // namespace q47
