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
            const BacklightRow expected{0, kColours[size_t(row)], user,
                                        user ? QString::fromUtf8(kFiles[size_t(row)]) : QString()};
            EXPECT_EQ(backlightRow(s, row), expected) << "row " << row;
        }
    }
}

TEST(BacklightRow, RowsOutsideTheSwitchAreAnErrorWithBlack) {
    SettingsStore s(QDate(2026, 12, 7));
    for (int row : {-1, 3})
        EXPECT_EQ(backlightRow(s, row), (BacklightRow{kNoSuchBacklightRow, 0, false, QString()}));
}

TEST(BacklightError, NumberAndDetail) {
    const QString internal = QStringLiteral(
        "　内部的なエラーです。開発元へ報告してください。エラー場所：frmCtl.Option4_Click()");
    const QString missing =
        QStringLiteral("　画像ファイルが見つからないか、指定している場所が不正です。");
    const QString device = QStringLiteral("　デバイスエラーもしくは準備が出来ていません。");
    const QString invalid =
        QStringLiteral("　指定した画像の内容が不正です。この部分では扱えません。");
    const std::pair<int, QString> cases[] = {
        {7, internal}, {28, internal}, {51, internal}, {53, missing}, {75, missing}, {76, missing},
        {57, device},  {68, device},   {481, invalid}, {340, {}},     {52, {}},      {482, {}},
    };
    for (const auto &[number, detail] : cases)
        EXPECT_EQ(backlightErrorText(number),
                  QStringLiteral("エラーです。\n\nエラーコード：%1").arg(number) + detail);
    EXPECT_EQ(backlightErrorTitle(), QStringLiteral("エラー"));
}
