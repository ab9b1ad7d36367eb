#include "lcdtexts.h"

#include "degitmodel.h"
#include "seirikennum.h"

#include <algorithm>

namespace q47::lcd {

namespace {

bool validCell(int cell) {
    return cell >= 1 && cell <= kBoardCells;
}

// The labels write numbers in full-width characters; the table sets them in its own face.
QString toHalfWidth(const QString &text) {
    QString out = text;
    for (QChar &c : out) {
        const char16_t u = c.unicode();
        if (u == 0x3000)
            c = QLatin1Char(' ');
        else if (u >= 0xFF01 && u <= 0xFF5E)
            c = QChar(u - 0xFEE0);
    }
    return out;
}

} // namespace

QString fareText(const BoardContent &content, int cell) {
    if (!validCell(cell))
        return {};
    const CellFormat &f = content.formats[size_t(cell)];
    return degitDisplayText(content.cells[size_t(cell)], f.zeroMode, f.fillZero, f.shift, f.keta);
}

std::array<QString, kBoardCells + 1> ticketLabels(int numberingStyle, bool zeroPad) {
    const SeirikenNumbering numbering = seirikenNumbering(numberingStyle, zeroPad);
    std::array<QString, kBoardCells + 1> labels;
    for (int cell = 1; cell <= kBoardCells; ++cell) {
        if (const auto &caption = numbering.captions[size_t(cell)])
            labels[size_t(cell)] = toHalfWidth(*caption);
        else if (cell == 1 && numbering.label1Word)
            labels[size_t(cell)] = *numbering.label1Word;
        else // a style the labels do not know leaves them as the board first wrote them
            labels[size_t(cell)] = toHalfWidth(seirikenNumberText(cell, zeroPad));
    }
    return labels;
}

QString ticketLabel(const BoardContent &content, int cell) {
    if (!validCell(cell))
        return {};
    return ticketLabels(content.numberingStyle, content.zeroPad)[size_t(cell)];
}

int cellOfTicket(int seiriNo, int numberingStyle) {
    const bool fromZero = numberingStyle == 1 ||
                          (numberingStyle >= 2 && numberingStyle <= 10 && numberingStyle % 2 == 0);
    return seiriNo + (fromZero ? 1 : 0);
}

int cellsInUse(const BoardContent &content) {
    if (content.cleared)
        return 0;
    const int byTicket = cellOfTicket(content.highestSeiriNo, content.numberingStyle);
    if (byTicket > 0)
        return std::min(byTicket, kBoardCells);
    for (int cell = kBoardCells; cell >= 1; --cell) {
        if (!fareText(content, cell).trimmed().isEmpty())
            return cell;
    }
    return 0;
}

NextStopTexts nextStopTexts(const BoardContent &content, NameForm form) {
    if (form == NameForm::Kana && !content.stopKana.isEmpty())
        return {QStringLiteral("つぎは"), content.stopKana, form};
    if (form == NameForm::English && !content.stopEnglish.isEmpty())
        return {QStringLiteral("Next"), content.stopEnglish, form};
    return {QStringLiteral("次は"), content.stopName, NameForm::Kanji};
}

NamePhase namePhaseOf(const BoardContent &content, qint64 elapsedMs, const NameTiming &timing) {
    const bool kana = !content.stopKana.isEmpty() && content.stopKana != content.stopName;
    return namePhaseAt(elapsedMs, kana, !content.stopEnglish.isEmpty(), timing);
}

QString toHiragana(const QString &kana) {
    QString out = kana;
    for (QChar &c : out) {
        // ァ to ヶ sit 0x60 above ぁ to ゖ.
        if (c.unicode() >= 0x30A1 && c.unicode() <= 0x30F6)
            c = QChar(c.unicode() - 0x60);
    }
    return out;
}

QString clockText(const BoardContent &content) {
    return content.time.isValid() ? content.time.toString(QStringLiteral("HH:mm")) : QString();
}

} // namespace q47::lcd
