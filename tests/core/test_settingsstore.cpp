#include "settingsstore.h"
#include "staterecords.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

#include <random>

using namespace q47;

namespace {

const QDate kToday(2026, 3, 7);

// The option items of the state file as their description lists them, control by control,
// with each setting's start value: the catalogue must be exactly this, in this order.
struct Expected {
    const char *control;
    QVariant start;
};
const Expected kFileOrder[] = {
    // 1 DataFolders
    {"Text2(0)", QString()},
    {"Text2(1)", QString()},
    // 2 PanelSettings
    {"Check1", 0},
    {"Command5(0)", 0xFFFFFFu},
    {"Command5(1)", 0xFFFFFFu},
    {"Command5(2)", 0xFFFFFFu},
    {"Combo2", 0},
    {"Check2", 0},
    {"Option3(0)", -1},
    {"Option3(1)", 0},
    {"Option3(7)", -1},
    {"Option3(6)", 0},
    {"Option3(3)", -1},
    {"Option3(2)", 0},
    {"Option3(4)", -1},
    {"Option3(5)", 0},
    {"txtSelectPanel(0)", QString()},
    {"txtSelectPanel(1)", QString()},
    {"txtSelectPanel(2)", QString()},
    // 3 DigitColors
    {"Command8(0)", 0x808080u},
    {"Command8(1)", 0x969696u},
    {"Command8(2)", 0x72D2F8u},
    {"Check3(0)", 0},
    {"Combo4(0)", 0},
    {"Check3(4)", 0},
    {"Check3(1)", 0},
    {"Combo4(1)", 0},
    {"Check3(2)", 0},
    {"Combo4(2)", 0},
    {"Check3(3)", 0},
    {"Combo4(4)", 0},
    {"Combo4(3)", 0},
    // 4 PlaceNameSettings
    {"Command9(0)", 0x808080u},
    {"Command9(1)", 0x00FFFFu},
    {"Combo3", -1},
    {"Check4", 0},
    // 5 SoundSettings
    {"txtSelectSound(0)", QString()},
    {"txtSelectSound(1)", QString()},
    {"Option2(0)", -1},
    {"Option2(1)", 0},
    {"Option6(0)", 0},
    {"Option6(1)", -1},
    {"txtSelectSound(7)", QString()},
    {"Combo1", 0},
    {"txtSelectSound(8)", QString()},
    {"txtSelectSound(9)", QString()},
    {"txtSelectSound(10)", QString()},
    {"Option2(2)", -1},
    {"Option2(3)", 0},
    {"Option7(0)", -1},
    {"Option7(1)", 0},
    {"txtSelectSound(3)", QString()},
    {"txtSelectSound(4)", QString()},
    {"txtSelectSound(5)", QString()},
    {"txtSelectSound(6)", QString()},
    // 6 TicketPreviewSettings
    {"chkUseSeiriPrev", 0},
    {"txtSeiriPlgDir", QString()},
    {"Option4(0)", -1},
    {"Option4(1)", 0},
    {"Option4(2)", 0},
    {"Label10", QStringLiteral("2026/03/07")},
};

} // namespace

TEST(SettingCatalogue, IsTheStateFilesOptionItemsWithTheirStartValues) {
    ASSERT_EQ(std::size(kFileOrder), size_t(kSettingCount));
    const SettingsStore store(kToday);
    for (int slot = 0; slot < kSettingCount; ++slot) {
        SCOPED_TRACE(kFileOrder[slot].control);
        EXPECT_EQ(controlName(slot), QString::fromLatin1(kFileOrder[slot].control));
        EXPECT_EQ(store.value(slot), kFileOrder[slot].start);
    }
    // The items' sizes: 2, 17, 13, 4, 19 and 6 fields.
    const int ends[] = {2, 19, 32, 36, 55, 61};
    for (int item = 1; item <= kOptionItemCount; ++item)
        EXPECT_EQ(optionItemEnd(item), ends[item - 1]) << item;
    // The dialog's lists: twelve label styles, fifty cells, 150 data columns, five faces.
    EXPECT_EQ(catalogueRow(setting::LabelStyle).listSize, 12);
    EXPECT_EQ(catalogueRow(setting::DataColumnCell).listSize, 50);
    EXPECT_EQ(catalogueRow(setting::InfoDataColumn).listSize, 150);
    EXPECT_EQ(catalogueRow(setting::StepSoundColumn).listSize, 150);
    EXPECT_EQ(catalogueRow(setting::NameFont).listSize, 5);
}

TEST(SettingsStore, RefusesWhatTheControlsWouldRefuseAndSaysNothing) {
    SettingsStore store(kToday);
    QSignalSpy spy(&store, &SettingsStore::changed);
    EXPECT_FALSE(store.setFlag(setting::ShowLabels, 2));
    EXPECT_FALSE(store.setFlag(setting::ShowLabels, -1));
    EXPECT_FALSE(store.setListIndex(setting::LabelStyle, 12));
    EXPECT_FALSE(store.setListIndex(setting::NameFont, -2));
    EXPECT_FALSE(store.setValue(setting::DataFolder.slot, 5));
    EXPECT_FALSE(store.setValue(setting::ZeroPadLabels.slot, QStringLiteral("x")));
    EXPECT_FALSE(store.setValue(kSettingCount, 1));
    EXPECT_EQ(spy.count(), 0);
    EXPECT_FALSE(store.value(-1).isValid());
    // Colours keep all thirty-two bits.
    store.setColour(setting::NameDots, 0x80000005u);
    EXPECT_EQ(store.colour(setting::NameDots), 0x80000005u);
}

TEST(SettingsStore, ExactlyOneButtonOfEachGroupAfterAnySequenceOfWrites) {
    SettingsStore store(kToday);
    std::vector<int> choices;
    for (int slot = 0; slot < kSettingCount; ++slot)
        if (kSettingCatalogue[size_t(slot)].kind == SettingKind::Choice)
            choices.push_back(slot);
    ASSERT_EQ(choices.size(), 19u);
    std::mt19937 rng(47);
    std::uniform_int_distribution<size_t> pick(0, choices.size() - 1);
    std::uniform_int_distribution<int> value(-1, 1);
    for (int step = 0; step < 2000; ++step) {
        ASSERT_TRUE(store.setValue(choices[pick(rng)], value(rng)));
        for (int group = 1; group <= 9; ++group) {
            int selected = 0;
            for (int slot : choices)
                selected += kSettingCatalogue[size_t(slot)].group == group &&
                            store.value(slot).toInt() == -1;
            ASSERT_EQ(selected, 1) << "group " << group << " at step " << step;
        }
    }
    // A restore writing a pair in file order ends on the stored selection.
    store.setValue(setting::DateAtEachPrint.slot, 0);
    store.setValue(setting::DateAtRouteSetting.slot, -1);
    store.setValue(setting::DateFixed.slot, 0);
    EXPECT_TRUE(store.isSelected(setting::DateAtRouteSetting));
}

TEST(SettingsStore, OneSignalPerRealChange) {
    SettingsStore store(kToday);
    QSignalSpy spy(&store, &SettingsStore::changed);
    store.setText(setting::StepSoundFile, QStringLiteral("/a b/c.wav"));
    store.setText(setting::StepSoundFile, QStringLiteral("/a b/c.wav"));
    store.setFlag(setting::ShowLabels, 0);
    store.setListIndex(setting::NameFont, 2);
    store.select(setting::StepSoundAlongside); // already selected
    store.select(setting::StepSoundWaited);
    QList<int> seen;
    for (const QList<QVariant> &args : spy)
        seen.append(args[0].toInt());
    EXPECT_EQ(seen, (QList<int>{setting::StepSoundFile.slot, setting::NameFont.slot,
                                setting::StepSoundAlongside.slot, setting::StepSoundWaited.slot}));

    spy.clear();
    store.restoreStartValues();
    EXPECT_EQ(spy.count(), 4);
    for (int slot = 0; slot < kSettingCount; ++slot)
        EXPECT_EQ(store.value(slot), kFileOrder[slot].start) << kFileOrder[slot].control;
}
