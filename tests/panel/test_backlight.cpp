#include "backlight.h"
#include "settingsstore.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

using namespace q47;

namespace {

const std::array<quint32, 3> kColours = {0x0000FF, 0x00FF00, 0xFF0000};
const std::array<const char *, 3> kFiles = {"/p/off.bmp", "/p/on1.gif", "/p/on2.jpg"};

struct ChoiceCase {
    const char *name;
    std::vector<ChoiceSetting> selected; // in this order
    std::array<bool, 3> user;            // rows showing the named file
};

} // namespace

TEST(BacklightRow, BuiltInOrUserPictureByRow) {
    using namespace setting;
    const ChoiceCase cases[] = {
        {"automatic ignores named files",
         {OffPanelUser, On1PanelUser, On2PanelUser, PanelsAutomatic},
         {false, false, false}},
        {"one by one, all built in", {PanelsOneByOne}, {false, false, false}},
        {"one by one, OFF", {PanelsOneByOne, OffPanelUser}, {true, false, false}},
        {"one by one, ON1", {PanelsOneByOne, On1PanelUser}, {false, true, false}},
        {"one by one, ON2", {PanelsOneByOne, On2PanelUser}, {false, false, true}},
        {"one by one, all",
         {PanelsOneByOne, OffPanelUser, On1PanelUser, On2PanelUser},
         {true, true, true}},
        {"back to built in",
         {PanelsOneByOne, OffPanelUser, On1PanelUser, On2PanelUser, OffPanelBuiltIn,
          On1PanelBuiltIn, On2PanelBuiltIn},
         {false, false, false}},
    };
    for (const ChoiceCase &c : cases) {
        SCOPED_TRACE(c.name);
        SettingsStore s(QDate(2026, 12, 7));
        for (size_t row = 0; row < 3; ++row) {
            s.setColour(setting::LabelColours[row], kColours[row]);
            s.setText(setting::PanelFiles[row], QString::fromUtf8(kFiles[row]));
        }
        for (const ChoiceSetting button : c.selected)
            s.select(button);
        for (int row = 0; row < 3; ++row) {
            const bool user = c.user[size_t(row)];
            const BacklightRow expected{kColours[size_t(row)], user,
                                        user ? QString::fromUtf8(kFiles[size_t(row)]) : QString()};
            const Result<BacklightRow> read = backlightRow(s, row);
            ASSERT_TRUE(read) << "row " << row;
            EXPECT_EQ(*read, expected) << "row " << row;
        }
    }
}

TEST(BacklightRow, RowsOutsideTheSwitchAreAnError) {
    SettingsStore s(QDate(2026, 12, 7));
    for (int row : {-1, 3})
        EXPECT_EQ(backlightRow(s, row).error().number, ErrorNumber::NoSuchBacklightRow);
}
