#include "lcdtiming.h"

#include <algorithm>

namespace q47::lcd {

BoardPhase boardPhaseAt(qint64 elapsedMs, int pageCount, const std::array<bool, kNameForms> &known,
                        const Beats &beats) {
    std::array<int, kNameForms> stays{};
    int cycle = 0, forms = 0;
    for (size_t i = 0; i < stays.size(); ++i) {
        const bool kanji = i == 0;
        stays[i] = kanji ? std::max(beats.formBeats[i], 1)
                         : (known[i] ? std::max(beats.formBeats[i], 0) : 0);
        cycle += stays[i];
        forms += stays[i] > 0;
    }
    pageCount = std::max(pageCount, 1);
    const qint64 beatMs = std::max(beats.beatMs, 1);
    const qint64 beat = std::max<qint64>(elapsedMs, 0) / beatMs;
    BoardPhase phase;
    phase.page = int(beat % pageCount);
    int into = int(beat % cycle);
    for (size_t i = 0; i < stays.size(); ++i) {
        if (into < stays[i]) {
            phase.form = NameForm(i);
            break;
        }
        into -= stays[i];
    }
    if (pageCount > 1 || forms > 1)
        phase.msLeft = beatMs - std::max<qint64>(elapsedMs, 0) % beatMs;
    return phase;
}

} // namespace q47::lcd
