#include "japanesetext.h"

#include <gtest/gtest.h>

using namespace q47;

// Each conversion turns only its own characters, and the widths go back and forth unchanged.
TEST(JapaneseText, WidthsAndKanaTurnOnlyTheirOwnCharacters) {
    EXPECT_EQ(toFullWidth(u"A1 -~"), QStringLiteral("Ａ１　－～"));
    EXPECT_EQ(toHalfWidth(u"Ａ１　－～駅ｱ"), QStringLiteral("A1 -~駅ｱ"));
    const QString ascii = QStringLiteral("!az09 ~");
    EXPECT_EQ(toHalfWidth(toFullWidth(ascii)), ascii);
    EXPECT_EQ(toHiragana(u"シヤクショマエ・ヴヷ"), QStringLiteral("しやくしょまえ・ゔヷ"));
    EXPECT_EQ(toKatakana(u"ぁゖゝゞ・ー駅"), QStringLiteral("ァヶヽヾ・ー駅"));
    EXPECT_TRUE(isHalfWidthKana(u'ｱ') && isHalfWidthKana(u'ﾟ') && !isHalfWidthKana(u'ア'));
}
