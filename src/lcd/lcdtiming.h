#pragma once

#include "namesen.h"

#include <QtGlobal>

#include <array>

namespace q47::lcd {

// Which of the stop's names is shown: as written, then in the names file's languages.
enum class NameForm { Kanji, Kana, English, ChineseHans, ChineseHant, Korean };
inline constexpr int kNameForms = 1 + kNameLanguages;
// The language of a form other than the kanji.
inline NameLanguage languageOf(NameForm form) {
    return NameLanguage(int(form) - 1);
}

// The board changes on one beat: at every beat the fare table turns to its next page and the
// name to its next form. Each form stays a whole number of beats, 0 leaving it out; the kanji
// always shows, at least one beat.
struct Beats {
    int beatMs = 5000;
    std::array<int, kNameForms> formBeats{2, 1, 1, 1, 1, 1};
    bool operator==(const Beats &) const = default;
};

struct BoardPhase {
    int page = 0;
    NameForm form = NameForm::Kanji;
    qint64 msLeft = -1; // until the next beat that changes something; -1: nothing changes
    bool operator==(const BoardPhase &) const = default;
};

// What shows `elapsedMs` after the stop was put on the board, with `pageCount` pages and the
// forms `known` (the kanji is always known): pages turn in order and the forms follow one
// another in the order above, both from the first at the start.
BoardPhase boardPhaseAt(qint64 elapsedMs, int pageCount, const std::array<bool, kNameForms> &known,
                        const Beats &beats = {});

} // namespace q47::lcd
