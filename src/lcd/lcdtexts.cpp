#include "lcdtexts.h"

#include "japanesetext.h"
#include "segmentmodel.h"

#include <algorithm>
#include <cstdlib>

namespace q47::lcd {

namespace {

bool validCell(int cell) {
    return cell >= 1 && cell <= kBoardCells;
}

} // namespace

QString fareText(const BoardContent &content, int cell) {
    if (!validCell(cell))
        return {};
    const CellFormat &f = content.formats[size_t(cell)];
    // No digit count: nothing is cut.
    return digitDisplayText(content.cells[size_t(cell)], f.zeroMode, f.fillZero, f.shift, -1);
}

QString ticketLabel(const BoardContent &content, int cell) {
    if (!validCell(cell))
        return {};
    return toHalfWidth(content.labels.texts[size_t(cell)]);
}

int cellsInUse(const BoardContent &content) {
    if (content.cleared)
        return 0;
    if (content.route.highestSeiriNo > 0)
        return std::min(content.route.highestSeiriNo, kBoardCells);
    for (int cell = kBoardCells; cell >= 1; --cell) {
        if (!content.route.infoCells.test(size_t(cell)) &&
            !fareText(content, cell).trimmed().isEmpty())
            return cell;
    }
    return 0;
}

QList<QList<int>> tablePages(const BoardContent &content, int capacity) {
    capacity = std::max(capacity, 1);
    QList<QList<int>> pages;
    QList<QList<int>> blank;
    QList<int> page;
    bool shows = false;
    const auto close = [&] {
        (shows ? pages : blank).append(page);
        page.clear();
        shows = false;
    };
    const int used = cellsInUse(content);
    for (int cell = 1; cell <= used; ++cell) {
        if (content.route.infoCells.test(size_t(cell)))
            continue;
        page.append(cell);
        shows = shows || !fareText(content, cell).trimmed().isEmpty();
        if (page.size() == capacity)
            close();
    }
    if (!page.isEmpty())
        close();
    if (pages.isEmpty())
        pages.append(blank.isEmpty() ? QList<int>() : blank.constFirst());
    return pages;
}

NextStopTexts nextStopTexts(const BoardContent &content, NameForm form) {
    static const char16_t *const kLeads[kNameForms] = {u"次は",   u"つぎは", u"Next",
                                                       u"下一站", u"下一站", u"다음"};
    // The last moments before the stop.
    static const char16_t *const kApproachingLeads[kNameForms] = {
        u"まもなく", u"まもなく", u"Arriving at", u"即将到达", u"即將到達", u"곧 도착"};
    const auto *const leads = content.approaching ? kApproachingLeads : kLeads;
    if (form != NameForm::Kanji) {
        const QString &name = content.stopForms[languageOf(form)];
        if (!name.isEmpty())
            return {QString::fromUtf16(leads[int(form)]), name, form};
    }
    return {QString::fromUtf16(leads[0]), content.writtenName(), NameForm::Kanji};
}

std::array<bool, kNameForms> knownForms(const BoardContent &content) {
    std::array<bool, kNameForms> known{};
    known[0] = true;
    for (int l = 0; l < kNameLanguages; ++l) {
        const QString &form = content.stopForms[NameLanguage(l)];
        known[size_t(l + 1)] = !form.isEmpty() && form != content.writtenName();
    }
    return known;
}

BoardPhase boardPhaseOf(const BoardContent &content, int capacity, qint64 elapsedMs,
                        const Beats &beats) {
    return boardPhaseAt(elapsedMs, int(tablePages(content, capacity).size()), knownForms(content),
                        beats);
}

namespace {

enum class Script { Blank, Kanji, Hiragana, Katakana, Latin, Other };

Script scriptOf(char32_t c) {
    if (c == U' ' || c == 0x3000)
        return Script::Blank;
    if (c == 0x30F5 || c == 0x30F6 || c == 0x3005 || c == 0x3006 || (c >= 0x3400 && c <= 0x9FFF) ||
        (c >= 0xF900 && c <= 0xFAFF) || (c >= 0x20000 && c <= 0x3FFFF))
        return Script::Kanji; // ヶ and 々 belong with the kanji of a name
    if (c >= 0x3041 && c <= 0x309F)
        return Script::Hiragana;
    if ((c >= 0x30A0 && c <= 0x30FF && c != 0x30FB) || (c >= 0xFF66 && c <= 0xFF9F))
        return Script::Katakana;
    if ((c < 0x80 && QChar::isLetterOrNumber(c)) || (c >= 0xFF10 && c <= 0xFF5A))
        return Script::Latin;
    return Script::Other;
}

// Characters a line may not start with: small kana, the long vowel mark, closing marks.
bool mayNotStartLine(char32_t c) {
    static const QString kNoStart =
        QStringLiteral("ーぁぃぅぇぉっゃゅょゎァィゥェォッャュョヮ、。，．）」』］)]!?！？");
    return c < 0x10000 && kNoStart.contains(QChar(char16_t(c)));
}

bool opens(char32_t c) {
    return c == U'（' || c == U'(' || c == U'「' || c == U'『' || c == U'［' || c == U'[';
}

bool closes(char32_t c) {
    return c == U'）' || c == U')' || c == U'」' || c == U'』' || c == U'］' || c == U']';
}

} // namespace

int nameBreak(const QString &name) {
    // The characters with where each starts in the text.
    QList<std::pair<char32_t, int>> chars;
    for (int i = 0; i < name.size();) {
        const char32_t c = name.at(i).isHighSurrogate() && i + 1 < name.size()
                               ? QChar::surrogateToUcs4(name.at(i), name.at(i + 1))
                               : name.at(i).unicode();
        chars.append({c, i});
        i += c >= 0x10000 ? 2 : 1;
    }
    const int n = int(chars.size());
    if (n < 2)
        return -1;
    // Candidates k: the second line starts at character k. Best: the kind that is most
    // natural, then the one nearest the middle; only breaks between a quarter and three
    // quarters of the way count as natural.
    int best = -1, bestKind = 3, bestDistance = n;
    for (int k = 1; k < n; ++k) {
        const char32_t before = chars[k - 1].first, after = chars[k].first;
        const Script a = scriptOf(before), b = scriptOf(after);
        int kind = 3;
        if (mayNotStartLine(after) || opens(before))
            continue;
        if (a == Script::Blank || b == Script::Blank || before == U'・' || before == U'･' ||
            opens(after) || closes(before))
            kind = 0;
        else if (a != b && a != Script::Other && b != Script::Other &&
                 !(a == Script::Kanji && b == Script::Hiragana))
            kind = 1; // a particle in hiragana stays with the word before it
        else
            kind = 2;
        const int distance = std::abs(2 * k - n);
        if (kind < 2 && (4 * k < n || 4 * k > 3 * n))
            kind = 2;
        if (kind < bestKind || (kind == bestKind && distance < bestDistance)) {
            best = k;
            bestKind = kind;
            bestDistance = distance;
        }
    }
    return best < 0 ? -1 : chars[best].second;
}

QString clockText(const BoardContent &content) {
    return content.time.isValid() ? content.time.toString(QStringLiteral("HH:mm")) : QString();
}

} // namespace q47::lcd
