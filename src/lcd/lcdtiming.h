#pragma once

#include <QtGlobal>

namespace q47::lcd {

// The fare cells 1 to `cells` set out in pages of `capacity` pairs, in order.
class Paging {
public:
    Paging(int cells, int capacity);

    int cells() const { return cells_; }
    int capacity() const { return capacity_; }
    // At least one page, an empty one when there are no cells.
    int pageCount() const;
    // The first cell of page `page` (0-based) and how many cells it holds (0 past the end).
    int firstCell(int page) const;
    int cellsOn(int page) const;
    int pageOf(int cell) const;

    // The page shown `elapsedMs` after the pages began turning, one turn every
    // `periodSeconds` (never turning at 0 or less), and how long until the next turn (-1: none).
    int pageAt(qint64 elapsedMs, int periodSeconds) const;
    qint64 msUntilTurn(qint64 elapsedMs, int periodSeconds) const;

private:
    int cells_;
    int capacity_;
};

// Which of the stop's names is shown.
enum class NameForm { Kanji, Kana, English };

struct NameTiming {
    int kanjiMs = 6000;
    int kanaMs = 3000;
    int englishMs = 3000;
};

struct NamePhase {
    NameForm form = NameForm::Kanji;
    qint64 msLeft = -1; // until the next form; -1 when the name never changes
    bool operator==(const NamePhase &) const = default;
};

// The name shown `elapsedMs` after it was set: the kanji, then the kana, then the English name,
// over and over; a form that is not known is left out of the cycle.
NamePhase namePhaseAt(qint64 elapsedMs, bool hasKana, bool hasEnglish,
                      const NameTiming &timing = {});

} // namespace q47::lcd
