#include "boardlook.h"

#include "boardlayout.h"
#include "chimeictl.h"
#include "form1.h"
#include "mdegit.h"
#include "mdlq47_000.h"
#include "settingsstore.h"
#include "staterecords.h"

namespace q47 {

namespace {

void colourDigits(M_Degit &cell, OleColor back, OleColor base, OleColor lit) {
    cell.setBackColor(back);
    cell.setBaseForeColor(base);
    cell.setDegitForeColor(lit);
}

void colourAllDigits(Form1 &board, OleColor back, OleColor base, OleColor lit) {
    for (int k = 1; k <= board::kCellCount; ++k)
        colourDigits(*board.Degit(k), back, base, lit);
    colourDigits(*board.TimeDegit(0), back, base, lit);
    colourDigits(*board.TimeDegit(1), back, base, lit);
}

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

    colourAllDigits(board, settings.colour(setting::DigitBack),
                    settings.colour(setting::DigitUnlit), settings.colour(setting::DigitLit));

    ChimeiCtl_E *name = board.ChimeiCtl();
    name->setBackColor(settings.colour(setting::NameBack));
    name->setForeColor(settings.colour(setting::NameDots));
    name->setFontMode(static_cast<qint16>(settings.listIndex(setting::NameFont)));
    name->setFontBold(settings.flag(setting::NameBold) == 1);
}

void restoreBoardCells(Form1 &board, const StateRecords &records) {
    const quint32 back = recordedColour(records, setting::DigitBack);
    const quint32 base = recordedColour(records, setting::DigitUnlit);
    const quint32 lit = recordedColour(records, setting::DigitLit);
    for (int k = 1; k <= board::kCellCount; ++k) {
        const CellDigitSettings &cell = records.cells[static_cast<size_t>(k - 1)];
        M_Degit *degit = board.Degit(k);
        degit->setZeroMode(cell.ZeroMode);
        degit->setShift(cell.Shift);
        degit->setFillZero(cell.FillZero);
        colourDigits(*degit, back, base, lit);
        degit->setValue(QStringLiteral(" "));
    }
    colourDigits(*board.TimeDegit(0), back, base, lit);
    colourDigits(*board.TimeDegit(1), back, base, lit);
    board.ChimeiCtl()->setBackColor(recordedColour(records, setting::NameBack));
    board.ChimeiCtl()->setForeColor(recordedColour(records, setting::NameDots));
}

} // namespace q47
