#include "boardlook.h"

#include "boardmodel.h"
#include "olecolor.h"
#include "settingsstore.h"
#include "staterecords.h"

namespace q47 {

namespace {

quint32 recordedColour(const StateRecords &records, ColourSetting s) {
    return static_cast<quint32>(records.option(s).number);
}

} // namespace

void applyBoardLook(BoardModel &board, const SettingsStore &settings, int backlightRow) {
    board.setLabelsShown(settings.flag(setting::ShowLabels) == 1);
    board.setNumbering(settings.listIndex(setting::LabelStyle),
                       settings.flag(setting::ZeroPadLabels) != 0);
    if (backlightRow >= 0 && backlightRow < 3)
        board.setLabelColour(fromOleColor(
            settings.colour(setting::LabelColours[static_cast<size_t>(backlightRow)])));
    board.setDigitColours({settings.colour(setting::DigitBack),
                           settings.colour(setting::DigitUnlit),
                           settings.colour(setting::DigitLit)});
    board.setNameColours(settings.colour(setting::NameBack), settings.colour(setting::NameDots));
    board.setNameFace(static_cast<qint16>(settings.listIndex(setting::NameFont)),
                      settings.flag(setting::NameBold) == 1);
}

void restoreBoardCells(BoardModel &board, const StateRecords &records) {
    for (int k = 1; k <= kBoardCells; ++k) {
        const CellDigitSettings &cell = records.cells[static_cast<size_t>(k - 1)];
        board.setCellFormat(k, {cell.ZeroMode, cell.FillZero, cell.Shift});
    }
    board.setDigitColours({recordedColour(records, setting::DigitBack),
                           recordedColour(records, setting::DigitUnlit),
                           recordedColour(records, setting::DigitLit)});
    for (int k = 1; k <= kBoardCells; ++k)
        board.setCellValue(k, QStringLiteral(" "));
    board.setNameColours(recordedColour(records, setting::NameBack),
                         recordedColour(records, setting::NameDots));
}

} // namespace q47
