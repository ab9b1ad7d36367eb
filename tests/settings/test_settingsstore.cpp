#include "settingsstore.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

#include <random>
#include <set>

using q47::SettingKey;
using q47::SettingKind;
using q47::SettingsStore;

namespace {

const QDate kToday(2026, 3, 7);

struct StartValue {
    const char *key;
    SettingKind kind;
    QVariant start;
};

void PrintTo(const StartValue &v, std::ostream *os) {
    *os << v.key;
}

// What a fresh start without a state file must show, key by key.
const StartValue kStartValues[] = {
    {"Text2(0)", SettingKind::Text, QString()},
    {"Text2(1)", SettingKind::Text, QString()},
    {"Option3(0)", SettingKind::Choice, -1},
    {"Option3(1)", SettingKind::Choice, 0},
    {"Option3(7)", SettingKind::Choice, -1},
    {"Option3(6)", SettingKind::Choice, 0},
    {"Option3(3)", SettingKind::Choice, -1},
    {"Option3(2)", SettingKind::Choice, 0},
    {"Option3(4)", SettingKind::Choice, -1},
    {"Option3(5)", SettingKind::Choice, 0},
    {"txtSelectPanel(0)", SettingKind::Text, QString()},
    {"txtSelectPanel(1)", SettingKind::Text, QString()},
    {"txtSelectPanel(2)", SettingKind::Text, QString()},
    {"Check1", SettingKind::Flag, 0},
    {"Command5(0)", SettingKind::Colour, 0xFFFFFFu},
    {"Command5(1)", SettingKind::Colour, 0xFFFFFFu},
    {"Command5(2)", SettingKind::Colour, 0xFFFFFFu},
    {"Combo2", SettingKind::Index, 0},
    {"Check2", SettingKind::Flag, 0},
    {"Command8(0)", SettingKind::Colour, 0x808080u},
    {"Command8(1)", SettingKind::Colour, 0x969696u},
    {"Command8(2)", SettingKind::Colour, 0x72D2F8u},
    {"Check3(0)", SettingKind::Flag, 0},
    {"Combo4(0)", SettingKind::Index, 0},
    {"Check3(4)", SettingKind::Flag, 0},
    {"Check3(1)", SettingKind::Flag, 0},
    {"Combo4(1)", SettingKind::Index, 0},
    {"Check3(2)", SettingKind::Flag, 0},
    {"Combo4(2)", SettingKind::Index, 0},
    {"Check3(3)", SettingKind::Flag, 0},
    {"Combo4(4)", SettingKind::Index, 0},
    {"Combo4(3)", SettingKind::Index, 0},
    {"Command9(0)", SettingKind::Colour, 0x808080u},
    {"Command9(1)", SettingKind::Colour, 0x00FFFFu},
    {"Combo3", SettingKind::Index, -1},
    {"Check4", SettingKind::Flag, 0},
    {"txtSelectSound(0)", SettingKind::Text, QString()},
    {"txtSelectSound(1)", SettingKind::Text, QString()},
    {"Option2(0)", SettingKind::Choice, -1},
    {"Option2(1)", SettingKind::Choice, 0},
    {"Combo1", SettingKind::Index, 0},
    {"txtSelectSound(7)", SettingKind::Text, QString()},
    {"txtSelectSound(8)", SettingKind::Text, QString()},
    {"txtSelectSound(9)", SettingKind::Text, QString()},
    {"txtSelectSound(10)", SettingKind::Text, QString()},
    {"Option6(0)", SettingKind::Choice, 0},
    {"Option6(1)", SettingKind::Choice, -1},
    {"Option2(2)", SettingKind::Choice, -1},
    {"Option2(3)", SettingKind::Choice, 0},
    {"txtSelectSound(3)", SettingKind::Text, QString()},
    {"txtSelectSound(4)", SettingKind::Text, QString()},
    {"txtSelectSound(5)", SettingKind::Text, QString()},
    {"txtSelectSound(6)", SettingKind::Text, QString()},
    {"Option7(0)", SettingKind::Choice, -1},
    {"Option7(1)", SettingKind::Choice, 0},
    {"chkUseSeiriPrev", SettingKind::Flag, 0},
    {"txtSeiriPlgDir", SettingKind::Text, QString()},
    {"Option4(0)", SettingKind::Choice, -1},
    {"Option4(1)", SettingKind::Choice, 0},
    {"Option4(2)", SettingKind::Choice, 0},
    {"Label10", SettingKind::Text, QStringLiteral("2026/03/07")},
};

SettingKey key(const char *text) {
    const auto k = SettingKey::parse(QString::fromLatin1(text));
    EXPECT_TRUE(k.has_value()) << text;
    return k.value_or(SettingKey{});
}

class StartValues : public ::testing::TestWithParam<StartValue> {};

TEST_P(StartValues, KindAndStartValue) {
    const SettingsStore store(kToday);
    const SettingKey k = key(GetParam().key);
    ASSERT_EQ(store.kind(k.name, k.index), GetParam().kind);
    EXPECT_EQ(store.value(k), GetParam().start);
}

INSTANTIATE_TEST_SUITE_P(EverySetting, StartValues, ::testing::ValuesIn(kStartValues));

TEST(SettingsStore, HoldsExactlyTheListedSettingsInDialogOrder) {
    const SettingsStore store(kToday);
    QStringList expected;
    for (const StartValue &v : kStartValues)
        expected.append(QString::fromLatin1(v.key));
    QStringList actual;
    for (const SettingKey &k : store.keys())
        actual.append(k.toString());
    EXPECT_EQ(actual, expected);
    // Not the control panel's own switches, and no gaps filled in by accident.
    EXPECT_FALSE(store.contains(QStringLiteral("Option4"), 3));
    EXPECT_FALSE(store.contains(QStringLiteral("txtSelectSound"), 2));
    EXPECT_FALSE(store.contains(QStringLiteral("HScroll1"), 0));
}

TEST(SettingsStore, TypedReadsMatchTheStartValues) {
    const SettingsStore store(kToday);
    EXPECT_EQ(store.listIndex(QStringLiteral("Combo3")), -1);
    EXPECT_EQ(store.colour(QStringLiteral("Command8"), 2), 0x72D2F8u);
    EXPECT_EQ(store.choice(QStringLiteral("Option6"), 1), -1);
    EXPECT_EQ(store.selectedInGroup(QStringLiteral("Option6"), 0), 1);
    EXPECT_EQ(store.selectedInGroup(QStringLiteral("Option3"), 6), 7);
    EXPECT_EQ(store.text(QStringLiteral("Label10")), QStringLiteral("2026/03/07"));
}

TEST(SettingsStore, FixedDateKeepsTwoDigitMonthAndDayAndFourDigitYear) {
    EXPECT_EQ(SettingsStore(QDate(987, 12, 1)).text(QStringLiteral("Label10")),
              QStringLiteral("0987/12/01"));
}

TEST(SettingsStore, ListSizesBoundTheIndexSettings) {
    SettingsStore store(kToday);
    struct Case {
        const char *key;
        int size;
    };
    for (const Case &c : {Case{"Combo2", 12}, Case{"Combo3", 5}, Case{"Combo1", 150},
                          Case{"Combo4(0)", 50}, Case{"Combo4(3)", 50}, Case{"Combo4(4)", 150}}) {
        SCOPED_TRACE(c.key);
        const SettingKey k = key(c.key);
        EXPECT_EQ(store.listSize(k.name, k.index), c.size);
        EXPECT_TRUE(store.setListIndex(k.name, k.index, c.size - 1));
        EXPECT_TRUE(store.setListIndex(k.name, k.index, -1));
        EXPECT_FALSE(store.setListIndex(k.name, k.index, c.size));
        EXPECT_FALSE(store.setListIndex(k.name, k.index, -2));
        EXPECT_EQ(store.listIndex(k.name, k.index), -1);
    }
}

TEST(SettingsStore, RefusesValuesOfTheWrongKindOrRange) {
    SettingsStore store(kToday);
    QSignalSpy spy(&store, &SettingsStore::changed);
    EXPECT_FALSE(store.setFlag(QStringLiteral("Check1"), 2));
    EXPECT_FALSE(store.setFlag(QStringLiteral("Check1"), -1));
    EXPECT_FALSE(store.setText(QStringLiteral("Check1"), QStringLiteral("1")));
    EXPECT_FALSE(store.setColour(QStringLiteral("Text2"), 0, 1));
    EXPECT_FALSE(store.setText(QStringLiteral("Text2"), QStringLiteral("no index")));
    EXPECT_FALSE(store.setFlag(QStringLiteral("Check3"), 5, 1));
    EXPECT_FALSE(store.setValue(key("Text2(0)"), 5));
    EXPECT_FALSE(store.setValue(key("Check2"), QStringLiteral("x")));
    EXPECT_FALSE(store.setValue(SettingKey{QStringLiteral("Nothing"), 0}, 1));
    EXPECT_EQ(spy.count(), 0);
    EXPECT_EQ(store.flag(QStringLiteral("Check1")), 0);
}

TEST(SettingsStore, ReadingAMissingSettingYieldsTheNeutralValue) {
    const SettingsStore store(kToday);
    EXPECT_EQ(store.text(QStringLiteral("Check1")), QString());
    EXPECT_EQ(store.listIndex(QStringLiteral("Nothing")), -1);
    EXPECT_EQ(store.colour(QStringLiteral("Command8"), 3), 0u);
    EXPECT_FALSE(store.value(key("Combo3(0)")).isValid());
    EXPECT_EQ(store.selectedInGroup(QStringLiteral("Check1"), -1), -1);
}

TEST(SettingsStore, ColoursKeepAllThirtyTwoBits) {
    SettingsStore store(kToday);
    ASSERT_TRUE(store.setColour(QStringLiteral("Command9"), 1, 0x80000005u));
    EXPECT_EQ(store.colour(QStringLiteral("Command9"), 1), 0x80000005u);
    ASSERT_TRUE(store.setValue(key("Command9(0)"), quint32{0x00123456}));
    EXPECT_EQ(store.colour(QStringLiteral("Command9"), 0), 0x00123456u);
}

// --- choice groups ---------------------------------------------------------------------

TEST(ChoiceGroups, GroupsAreThePairsOfTheDialogNotTheControlNames) {
    const SettingsStore store(kToday);
    auto names = [&](const char *k) {
        QStringList out;
        for (const SettingKey &m : store.group(key(k)))
            out.append(m.toString());
        return out.join(u' ');
    };
    EXPECT_EQ(names("Option3(1)"), QStringLiteral("Option3(0) Option3(1)"));
    EXPECT_EQ(names("Option3(6)"), QStringLiteral("Option3(7) Option3(6)"));
    EXPECT_EQ(names("Option3(2)"), QStringLiteral("Option3(3) Option3(2)"));
    EXPECT_EQ(names("Option3(5)"), QStringLiteral("Option3(4) Option3(5)"));
    EXPECT_EQ(names("Option2(1)"), QStringLiteral("Option2(0) Option2(1)"));
    EXPECT_EQ(names("Option2(3)"), QStringLiteral("Option2(2) Option2(3)"));
    EXPECT_EQ(names("Option4(1)"), QStringLiteral("Option4(0) Option4(1) Option4(2)"));
    EXPECT_EQ(names("Check1"), QString());
}

TEST(ChoiceGroups, SelectingAButtonDeselectsOnlyItsOwnGroup) {
    SettingsStore store(kToday);
    ASSERT_TRUE(store.select(QStringLiteral("Option3"), 1));
    EXPECT_EQ(store.choice(QStringLiteral("Option3"), 0), 0);
    EXPECT_EQ(store.choice(QStringLiteral("Option3"), 1), -1);
    // The image rows sharing the control name stay as they were.
    EXPECT_EQ(store.choice(QStringLiteral("Option3"), 7), -1);
    EXPECT_EQ(store.choice(QStringLiteral("Option3"), 3), -1);
    EXPECT_EQ(store.choice(QStringLiteral("Option3"), 4), -1);

    ASSERT_TRUE(store.select(QStringLiteral("Option2"), 3));
    EXPECT_EQ(store.choice(QStringLiteral("Option2"), 0), -1);
    EXPECT_EQ(store.choice(QStringLiteral("Option2"), 2), 0);
}

TEST(ChoiceGroups, AnyNonZeroWriteSelectsAndZeroNeverEmptiesAGroup) {
    SettingsStore store(kToday);
    ASSERT_TRUE(store.setChoice(QStringLiteral("Option4"), 2, 1));
    EXPECT_EQ(store.choice(QStringLiteral("Option4"), 2), -1);
    EXPECT_TRUE(store.setChoice(QStringLiteral("Option4"), 2, 0));
    EXPECT_EQ(store.selectedInGroup(QStringLiteral("Option4"), 0), 2);
    // A restore writing the pair in file order ends on the stored selection.
    ASSERT_TRUE(store.setValue(key("Option4(0)"), 0));
    ASSERT_TRUE(store.setValue(key("Option4(1)"), -1));
    ASSERT_TRUE(store.setValue(key("Option4(2)"), 0));
    EXPECT_EQ(store.selectedInGroup(QStringLiteral("Option4"), 2), 1);
}

TEST(ChoiceGroups, ExactlyOneSelectedAfterAnySequenceOfWrites) {
    SettingsStore store(kToday);
    QList<SettingKey> choices;
    for (const SettingKey &k : store.keys()) {
        if (store.kind(k.name, k.index) == SettingKind::Choice)
            choices.append(k);
    }
    ASSERT_EQ(choices.size(), 19);
    std::mt19937 rng(47);
    std::uniform_int_distribution<qsizetype> pick(0, choices.size() - 1);
    std::uniform_int_distribution<int> value(-1, 1);
    for (int step = 0; step < 2000; ++step) {
        const SettingKey &k = choices[pick(rng)];
        ASSERT_TRUE(store.setChoice(k.name, k.index, value(rng)));
        for (const SettingKey &c : choices) {
            int selected = 0;
            for (const SettingKey &m : store.group(c))
                selected += store.choice(m.name, m.index) == -1 ? 1 : 0;
            ASSERT_EQ(selected, 1) << c.toString().toStdString() << " at step " << step;
        }
    }
}

// --- notification --------------------------------------------------------------------------

TEST(SettingsNotification, OneSignalPerRealChange) {
    SettingsStore store(kToday);
    QSignalSpy spy(&store, &SettingsStore::changed);

    ASSERT_TRUE(store.setText(QStringLiteral("txtSelectSound"), 7, QStringLiteral("/a b/c.wav")));
    ASSERT_TRUE(store.setText(QStringLiteral("txtSelectSound"), 7, QStringLiteral("/a b/c.wav")));
    ASSERT_TRUE(store.setFlag(QStringLiteral("Check1"), 0));
    ASSERT_TRUE(store.setListIndex(QStringLiteral("Combo3"), 2));
    ASSERT_TRUE(store.select(QStringLiteral("Option6"), 1)); // already selected
    ASSERT_TRUE(store.select(QStringLiteral("Option6"), 0));

    QStringList seen;
    for (const QList<QVariant> &args : spy)
        seen.append(SettingKey{args[0].toString(), args[1].toInt()}.toString());
    EXPECT_EQ(seen, (QStringList{QStringLiteral("txtSelectSound(7)"), QStringLiteral("Combo3"),
                                 QStringLiteral("Option6(1)"), QStringLiteral("Option6(0)")}));
    // The reader sees the new value at once.
    EXPECT_EQ(store.text(QStringLiteral("txtSelectSound"), 7), QStringLiteral("/a b/c.wav"));
}

TEST(SettingsNotification, RestoringStartValuesReportsOnlyWhatDiffered) {
    SettingsStore store(kToday);
    ASSERT_TRUE(store.select(QStringLiteral("Option3"), 6));
    ASSERT_TRUE(store.setColour(QStringLiteral("Command8"), 0, 0));
    QSignalSpy spy(&store, &SettingsStore::changed);
    store.restoreStartValues();
    EXPECT_EQ(spy.count(), 3); // Option3(6), Option3(7), Command8(0)
    for (const StartValue &v : kStartValues)
        EXPECT_EQ(store.value(key(v.key)), v.start) << v.key;
}

// --- keys ------------------------------------------------------------------------------

TEST(SettingKeys, ParseAndPrintRoundTrip) {
    struct Case {
        const char *text;
        bool valid;
        const char *name;
        int index;
    };
    const Case cases[] = {
        {"Text2(0)", true, "Text2", 0},
        {"txtSelectSound(10)", true, "txtSelectSound", 10},
        {"Combo3", true, "Combo3", -1},
        {"Label10", true, "Label10", -1},
        {"", false, "", 0},
        {"Text2(", false, "", 0},
        {"Text2()", false, "", 0},
        {"Text2(-1)", false, "", 0},
        {"Text2(1", false, "", 0},
        {"(1)", false, "", 0},
        {"Text 2(1)", false, "", 0},
        {"Text2(1)x", false, "", 0},
        {"Text2(99999999999)", false, "", 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        const auto k = SettingKey::parse(QString::fromLatin1(c.text));
        ASSERT_EQ(k.has_value(), c.valid);
        if (!c.valid)
            continue;
        EXPECT_EQ(k->name, QString::fromLatin1(c.name));
        EXPECT_EQ(k->index, c.index);
        EXPECT_EQ(k->toString(), QString::fromLatin1(c.text));
    }
}

} // namespace
