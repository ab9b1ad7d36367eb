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

quint32 recordedColour(const StateRecords &records, const char *name, int index) {
    return static_cast<quint32>(
        records.options[static_cast<size_t>(optionFieldIndex({QString::fromLatin1(name), index}))]
            .number);
}

} // namespace

void applyBoardLook(Form1 &board, const SettingsStore &settings, int backlightRow) {
    board.setLabelsShown(settings.flag(QStringLiteral("Check1")) == 1);
    SeirikenNumSet(board, static_cast<qint16>(settings.listIndex(QStringLiteral("Combo2"))),
                   static_cast<qint16>(settings.flag(QStringLiteral("Check2"))));
    board.setSeiriNumColour(
        fromOleColor(settings.colour(QStringLiteral("Command5"), backlightRow)));

    const QString command8 = QStringLiteral("Command8");
    colourAllDigits(board, settings.colour(command8, 0), settings.colour(command8, 1),
                    settings.colour(command8, 2));

    ChimeiCtl_E *name = board.ChimeiCtl();
    name->setBackColor(settings.colour(QStringLiteral("Command9"), 0));
    name->setForeColor(settings.colour(QStringLiteral("Command9"), 1));
    name->setFontMode(static_cast<qint16>(settings.listIndex(QStringLiteral("Combo3"))));
    name->setFontBold(settings.flag(QStringLiteral("Check4")) == 1);
}

void restoreBoardCells(Form1 &board, const StateRecords &records) {
    const quint32 back = recordedColour(records, "Command8", 0);
    const quint32 base = recordedColour(records, "Command8", 1);
    const quint32 lit = recordedColour(records, "Command8", 2);
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
    board.ChimeiCtl()->setBackColor(recordedColour(records, "Command9", 0));
    board.ChimeiCtl()->setForeColor(recordedColour(records, "Command9", 1));
}

} // namespace q47
