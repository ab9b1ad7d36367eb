#include "lcdtiming.h"

#include <algorithm>
#include <array>

namespace q47::lcd {

Paging::Paging(int cells, int capacity)
    : cells_(std::max(cells, 0)), capacity_(std::max(capacity, 1)) {}

int Paging::pageCount() const {
    return std::max(1, (cells_ + capacity_ - 1) / capacity_);
}

int Paging::firstCell(int page) const {
    return page * capacity_ + 1;
}

int Paging::cellsOn(int page) const {
    if (page < 0)
        return 0;
    return std::clamp(cells_ - page * capacity_, 0, capacity_);
}

int Paging::pageOf(int cell) const {
    return cell < 1 ? 0 : (cell - 1) / capacity_;
}

int Paging::pageAt(qint64 elapsedMs, int periodSeconds) const {
    if (periodSeconds <= 0 || elapsedMs < 0)
        return 0;
    return int((elapsedMs / (qint64(periodSeconds) * 1000)) % pageCount());
}

qint64 Paging::msUntilTurn(qint64 elapsedMs, int periodSeconds) const {
    if (periodSeconds <= 0 || pageCount() < 2)
        return -1;
    const qint64 period = qint64(periodSeconds) * 1000;
    return elapsedMs < 0 ? -elapsedMs : period - elapsedMs % period;
}

NamePhase namePhaseAt(qint64 elapsedMs, bool hasKana, bool hasEnglish, const NameTiming &timing) {
    struct Slot {
        NameForm form;
        qint64 ms;
    };
    std::array<Slot, 3> cycle{};
    int count = 0;
    cycle[count++] = {NameForm::Kanji, std::max(timing.kanjiMs, 1)};
    if (hasKana)
        cycle[count++] = {NameForm::Kana, std::max(timing.kanaMs, 1)};
    if (hasEnglish)
        cycle[count++] = {NameForm::English, std::max(timing.englishMs, 1)};
    if (count == 1)
        return {NameForm::Kanji, -1};

    qint64 total = 0;
    for (int i = 0; i < count; ++i)
        total += cycle[size_t(i)].ms;
    qint64 t = std::max<qint64>(elapsedMs, 0) % total;
    for (int i = 0; i < count; ++i) {
        const Slot &slot = cycle[size_t(i)];
        if (t < slot.ms)
            return {slot.form, slot.ms - t};
        t -= slot.ms;
    }
    return {NameForm::Kanji, cycle[0].ms}; // not reached: t < total
}

} // namespace q47::lcd
