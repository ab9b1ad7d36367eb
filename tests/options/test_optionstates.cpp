#include "optionstates.h"
#include "settingsstore.h"

#include <gtest/gtest.h>

using namespace q47;

namespace {

// What each governed control must be when the states follow their governing boxes.
void expectConsistent(const SettingsStore &s, const OptionStates &states) {
    const auto ticked = [&](FlagSetting box) { return s.flag(box) == 1; };
    EXPECT_EQ(states.labelSettingsEnabled(), ticked(setting::ShowLabels));
    EXPECT_EQ(states.stopOrderEnabled(), ticked(setting::ShowStopOrder));
    EXPECT_EQ(states.ticketNumberEnabled(), ticked(setting::ShowTicketNumber));
    EXPECT_EQ(states.routeNumberEnabled(), ticked(setting::ShowRouteNumber));
    EXPECT_EQ(states.dataColumnEnabled(), ticked(setting::ShowDataColumn));
    EXPECT_EQ(states.imageRowsShown(), s.isSelected(setting::PanelsOneByOne));
    EXPECT_EQ(states.previewFramesShown(), ticked(setting::UsePreview));
}

} // namespace

TEST(OptionStates, FlipOnlyWhenTheBoxReallyChanges) {
    SettingsStore s;
    OptionStates states(s);
    expectConsistent(s, states);
    EXPECT_FALSE(states.labelSettingsEnabled());

    s.setFlag(setting::ShowLabels, 0); // the value it has: no flip
    EXPECT_FALSE(states.labelSettingsEnabled());
    s.setFlag(setting::ShowLabels, 1);
    EXPECT_TRUE(states.labelSettingsEnabled());
    s.setFlag(setting::ShowLabels, 1);
    EXPECT_TRUE(states.labelSettingsEnabled());
    s.setFlag(setting::ShowLabels, 0);
    EXPECT_FALSE(states.labelSettingsEnabled());

    s.setFlag(setting::StopOrderFromZero, 1); // governs nothing
    s.select(setting::OffPanelBuiltIn);       // another group of the same name: rows stay hidden
    expectConsistent(s, states);
}

// A restore writes every governing control in the file's order, over whatever the previous
// restore left; the governed controls must end where their boxes say, for every combination.
TEST(OptionStates, RestoresOfEveryCombinationStayConsistent) {
    const FlagSetting governing[] = {setting::ShowLabels,        setting::ShowStopOrder,
                                     setting::StopOrderFromZero, setting::ShowTicketNumber,
                                     setting::ShowRouteNumber,   setting::ShowDataColumn,
                                     setting::UsePreview};
    SettingsStore s;
    OptionStates states(s);
    for (int bits = 0; bits < (1 << 8); ++bits) {
        for (size_t i = 0; i < std::size(governing); ++i)
            s.setFlag(governing[i], (bits >> i) & 1);
        // Both buttons of the group are written, the unselected one first or second.
        const bool oneByOne = bits & (1 << 7);
        s.setValue(setting::PanelsAutomatic.slot, oneByOne ? 0 : -1);
        s.setValue(setting::PanelsOneByOne.slot, oneByOne ? -1 : 0);
        SCOPED_TRACE(bits);
        expectConsistent(s, states);
    }
    s.restoreStartValues();
    expectConsistent(s, states);
}
