#include "optionlists.h"

namespace q47 {

namespace {

// The last number as a number-to-text conversion writes it: a space before a number that is
// not negative.
QString lastNumber(int n) {
    return n < 0 ? QString::number(n) : QStringLiteral(" %1").arg(n);
}

} // namespace

QStringList labelStyleItems() {
    struct Item {
        const char16_t *pattern;
        int last;
    };
    static constexpr Item items[] = {
        {u"1,2,3...", 50},           {u"0,1,2...", 49},           {u"「なし」、1,2...", 49},
        {u"「なし」、2,3...", 50},   {u"「無券」、1,2...", 49},   {u"「無券」、2,3...", 50},
        {u"「券なし」、1,2...", 49}, {u"「券なし」、2,3...", 50}, {u"「券無し」、1,2...", 49},
        {u"「券無し」、2,3...", 50}, {u"(無地)、1,2...", 49},     {u"(無地)、2,3...", 50},
    };
    QStringList list;
    list.reserve(std::size(items));
    for (const Item &item : items)
        list.append(QString::fromUtf16(item.pattern) + lastNumber(item.last));
    list[0] += QStringLiteral(" （既定の表示）");
    return list;
}

QStringList placeNameFontItems() {
    return {QStringLiteral("ゴシック体"), QStringLiteral("明朝体"),
            QStringLiteral("漢字はゴシック、それ以外は明朝"),
            QStringLiteral("漢字は明朝、それ以外はゴシック"),
            QStringLiteral("英数字はゴシック、それ以外は明朝")};
}

QStringList numberItems(int count) {
    QStringList list;
    list.reserve(count);
    for (int n = 1; n <= count; ++n)
        list.append(QString::number(n));
    return list;
}

} // namespace q47
