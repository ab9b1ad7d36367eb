#pragma once

#include "boardcontent.h"
#include "lcdtiming.h"

#include <QString>

namespace q47::lcd {

// What fare cell `cell` shows, character for character as its digit control shows it.
QString fareText(const BoardContent &content, int cell);

// The label over fare cell `cell` in the content's numbering style, with half-width digits
// ("01", "12") or the style's word on the first cell ("な し").
QString ticketLabel(const BoardContent &content, int cell);
// All fifty at once, index 1 to 50.
std::array<QString, kBoardCells + 1> ticketLabels(int numberingStyle, bool zeroPad);

// The fare cell that carries ticket number `seiriNo` in a numbering style: styles that count
// from 0, or that put a word on the first cell and then count from 1, move it one cell on.
int cellOfTicket(int seiriNo, int numberingStyle);

// How many fare cells, from cell 1, the table lists: up to the cell of the highest ticket so
// far; with no ticket number known, up to the last cell that shows something.
int cellsInUse(const BoardContent &content);

// A reading in hiragana, as the board shows it after "つぎは"; other characters unchanged.
QString toHiragana(const QString &kana);

// The texts of the next-stop band for a form of the name: the lead and the name. A form whose
// name is unknown falls back to the kanji.
struct NextStopTexts {
    QString lead; // "次は", "つぎは", "Next"
    QString name;
    NameForm form = NameForm::Kanji;
};
NextStopTexts nextStopTexts(const BoardContent &content, NameForm form);

// The form of the content's name `elapsedMs` after it was set: a reading that only repeats the
// name is not shown as a form of its own.
NamePhase namePhaseOf(const BoardContent &content, qint64 elapsedMs, const NameTiming &timing = {});

// "HH:MM", empty for an invalid time.
QString clockText(const BoardContent &content);

} // namespace q47::lcd
