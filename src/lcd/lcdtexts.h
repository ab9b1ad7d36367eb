#pragma once

#include "boardcontent.h"
#include "lcdtiming.h"

#include <QList>
#include <QString>

namespace q47::lcd {

// What fare cell `cell` shows, character for character as its digit control shows it, but
// never cut to the LED board's digits: a fare of 32767 shows whole.
QString fareText(const BoardContent &content, int cell);

// The label over fare cell `cell` as the LED board writes it, with half-width digits ("01",
// "12") or the style's word on the first cell ("な し").
QString ticketLabel(const BoardContent &content, int cell);

// How many fare cells, from cell 1, are in use: one per ticket number handed out so far,
// whatever the labels' numbering style (cell k holds the fare of the k-th ticket, as on the LED
// board); with no ticket number known, up to the last fare cell that shows something.
int cellsInUse(const BoardContent &content);

// The fare table's pages: the cells in use other than the information digits, `capacity` to a
// page, in order. A page of only blank fares is left out unless every page is; there is always
// at least one page, an empty one when no cell is in use.
QList<QList<int>> tablePages(const BoardContent &content, int capacity);

// The texts of the next-stop band for a form of the name: the lead and the name as written.
// A form whose name is unknown falls back to the kanji.
struct NextStopTexts {
    QString lead; // "次は", "つぎは", "Next", "下一站", "다음"; "まもなく"... when approaching
    QString name;
    NameForm form = NameForm::Kanji;
};
NextStopTexts nextStopTexts(const BoardContent &content, NameForm form);

// The forms of the content's name that are known; a form that only repeats the name as
// written is not one of its own.
std::array<bool, kNameForms> knownForms(const BoardContent &content);
// What shows `elapsedMs` after the stop was put on the board.
BoardPhase boardPhaseOf(const BoardContent &content, int capacity, qint64 elapsedMs,
                        const Beats &beats = {});

// Where a name too long for one line is best broken into two: at a blank, a bracket or a
// middle dot near its middle, else where its script changes (kanji to katakana, kana to
// kanji), else near the middle between two characters that may part. The index the second
// line starts at (blanks around the break dropped by the caller), or -1 for a name that
// cannot be broken.
int nameBreak(const QString &name);

// "HH:MM", empty for an invalid time.
QString clockText(const BoardContent &content);

} // namespace q47::lcd
