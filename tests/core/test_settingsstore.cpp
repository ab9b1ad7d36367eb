#include "settingsstore.h"
#include "staterecords.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

#include <random>

using namespace q47;

namespace {

const QDate kToday(2026, 3, 7);

} // namespace

TEST(SettingCatalogue, ItemsAndListsHaveTheStateFilesSizes) {
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
    const SettingsStore fresh(kToday);
    for (int slot = 0; slot < kSettingCount; ++slot)
        EXPECT_EQ(store.value(slot), fresh.value(slot)) << qPrintable(controlName(slot));
}
