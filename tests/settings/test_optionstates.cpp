#include "optionstates.h"
#include "settingsstore.h"

#include <gtest/gtest.h>

using q47::OptionStates;
using q47::SettingsStore;

namespace {

const QString kCheck1 = QStringLiteral("Check1");
const QString kCheck3 = QStringLiteral("Check3");

// What each governed control must be when the states follow their governing boxes.
void expectConsistent(const SettingsStore &s, const OptionStates &states) {
    const auto ticked = [&](int k) { return s.flag(kCheck3, k) == 1; };
    EXPECT_EQ(states.frame3Enabled(), s.flag(kCheck1) == 1);
    EXPECT_EQ(states.combo4Enabled(0), ticked(0));
    EXPECT_EQ(states.check3ZeroEnabled(), ticked(0));
    EXPECT_EQ(states.combo4Enabled(1), ticked(1));
    EXPECT_EQ(states.combo4Enabled(2), ticked(2));
    EXPECT_EQ(states.combo4Enabled(3), ticked(3));
    EXPECT_EQ(states.combo4Enabled(4), ticked(3));
    EXPECT_EQ(states.imageRowsShown(), s.choice(QStringLiteral("Option3"), 1) != 0);
    EXPECT_EQ(states.previewFramesShown(), s.flag(QStringLiteral("chkUseSeiriPrev")) == 1);
}

} // namespace

TEST(OptionStates, FlipOnlyWhenTheBoxReallyChanges) {
    SettingsStore s;
    OptionStates states(s);
    expectConsistent(s, states);
    EXPECT_FALSE(states.frame3Enabled());

    s.setFlag(kCheck1, 0); // the value it has: no flip
    EXPECT_FALSE(states.frame3Enabled());
    s.setFlag(kCheck1, 1);
    EXPECT_TRUE(states.frame3Enabled());
    s.setFlag(kCheck1, 1);
    EXPECT_TRUE(states.frame3Enabled());
    s.setFlag(kCheck1, 0);
    EXPECT_FALSE(states.frame3Enabled());

    s.setFlag(kCheck3, 4, 1);               // governs nothing
    s.select(QStringLiteral("Option3"), 7); // another group of the same name: rows stay hidden
    expectConsistent(s, states);
}

// A restore writes every governing control in the file's order, over whatever the previous
// restore left; the governed controls must end where their boxes say, for every combination.
TEST(OptionStates, RestoresOfEveryCombinationStayConsistent) {
    const QList<q47::SettingKey> governing = {{kCheck1, -1},
                                              {kCheck3, 0},
                                              {kCheck3, 4},
                                              {kCheck3, 1},
                                              {kCheck3, 2},
                                              {kCheck3, 3},
                                              {QStringLiteral("chkUseSeiriPrev"), -1}};
    SettingsStore s;
    OptionStates states(s);
    for (int bits = 0; bits < (1 << 8); ++bits) {
        for (int i = 0; i < governing.size(); ++i)
            s.setValue(governing[i], (bits >> i) & 1);
        // Both buttons of the group are written, the unselected one first or second.
        const bool oneByOne = bits & (1 << 7);
        s.setValue({QStringLiteral("Option3"), 0}, oneByOne ? 0 : -1);
        s.setValue({QStringLiteral("Option3"), 1}, oneByOne ? -1 : 0);
        SCOPED_TRACE(bits);
        expectConsistent(s, states);
    }
    s.restoreStartValues();
    expectConsistent(s, states);
}
