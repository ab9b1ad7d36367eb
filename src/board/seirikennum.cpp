#include "seirikennum.h"

#include "japanesetext.h"

namespace q47 {

QString seirikenNumberText(int n, bool zeroPad) {
    return toFullWidth(zeroPad ? QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'))
                               : QString::number(n));
}

SeirikenNumbering seirikenNumbering(int style, bool zeroPad) {
    SeirikenNumbering out;
    static const char *const kWords[] = {"な し", "無 券", "券なし", "券無し", ""};
    if (style >= 2) {
        out.digitFaceOnLabel1 = false;
        out.label1Word = style <= 11 ? QString::fromUtf8(kWords[(style - 2) / 2]) : QString();
    }
    if (style < 0 || style > 11)
        return out;
    // Label k shows k, or k - 1 for the styles that count from one below.
    const bool fromZero = style == 1 || (style >= 2 && style % 2 == 0);
    const int first = style <= 1 ? 1 : 2;
    for (int k = first; k <= 50; ++k)
        out.captions[static_cast<size_t>(k)] = seirikenNumberText(fromZero ? k - 1 : k, zeroPad);
    return out;
}

} // namespace q47
