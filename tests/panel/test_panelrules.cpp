#include "keypadentry.h"
#include "panelrules.h"
#include "settingsstore.h"

#include <gtest/gtest.h>

using namespace q47;

namespace {

RouteTable routeOf(int stops) {
    RouteTable t;
    for (int i = 0; i < stops; ++i)
        t.slots[static_cast<size_t>(i)].StopName = QStringLiteral("停留所%1").arg(i + 1);
    t.StopCount = static_cast<qint16>(stops);
    t.loaded = stops;
    return t;
}

} // namespace

TEST(StepTarget, RefusesBothEnds) {
    RouteTable t = routeOf(5);
    t.CurStopPos = 0;
    EXPECT_FALSE(stepTarget(t, 0));
    EXPECT_EQ(stepTarget(t, 1), 1);
    t.CurStopPos = 4;
    EXPECT_FALSE(stepTarget(t, 1));
    EXPECT_EQ(stepTarget(t, 0), 3);
}

TEST(StepTarget, StaysInsideTheRecordsAfterARefusedRoute) {
    RouteTable t = routeOf(5);
    t.CurStopPos = 3;
    t.StopCount = 400; // announced by a refused file; the table still holds five
    EXPECT_EQ(stepTarget(t, 1), 4);
    t.CurStopPos = 4;
    EXPECT_FALSE(stepTarget(t, 1));
    t.StopCount = 2; // smaller than the current position + 1
    EXPECT_FALSE(stepTarget(t, 1));
    EXPECT_EQ(stepTarget(t, 0), 3);
}

TEST(StepSound, FixedOrChosenByTheColumnCode) {
    SettingsStore s(QDate(2026, 1, 1));
    const TextSetting steps[] = {setting::StepSoundFile, setting::StepSound1, setting::StepSound2,
                                 setting::StepSound3};
    for (int k = 7; k <= 10; ++k)
        s.setText(steps[k - 7], QStringLiteral("/s/%1.wav").arg(k));
    RouteTable t = routeOf(4);
    t.slots[1].setDataCol(120, 2);
    t.slots[2].setDataCol(120, 4);
    EXPECT_EQ(stepSound(s, t, 1), QStringLiteral("/s/7.wav"));

    s.select(setting::StepSoundByColumn);
    s.setListIndex(setting::StepSoundColumn, 119);
    EXPECT_EQ(stepSound(s, t, 1), QStringLiteral("/s/9.wav"));
    EXPECT_EQ(stepSound(s, t, 2), QString()); // 4 plays nothing
    EXPECT_EQ(stepSound(s, t, 3), QString()); // 0 plays nothing
    t.slots[3].setDataCol(120, 1);
    EXPECT_EQ(stepSound(s, t, 3), QStringLiteral("/s/8.wav"));
    t.slots[3].setDataCol(120, 3);
    EXPECT_EQ(stepSound(s, t, 3), QStringLiteral("/s/10.wav"));
    s.setListIndex(setting::StepSoundColumn, -1);
    EXPECT_EQ(stepSound(s, t, 3), QString());

    EXPECT_FALSE(stepSoundWaits(s));
    s.select(setting::StepSoundWaited);
    EXPECT_TRUE(stepSoundWaits(s));
}

TEST(InfoDigits, ReadFromTheOptions) {
    SettingsStore s(QDate(2026, 1, 1));
    EXPECT_FALSE(infoDigitOptions(s).showStopOrder);
    s.setFlag(setting::ShowStopOrder, 1);
    s.setFlag(setting::StopOrderFromZero, 1);
    s.setListIndex(setting::StopOrderCell, 9);
    s.setFlag(setting::ShowDataColumn, 1);
    s.setListIndex(setting::InfoDataColumn, 149);
    s.setListIndex(setting::DataColumnCell, 49);
    const InfoDigitOptions o = infoDigitOptions(s);
    EXPECT_TRUE(o.showStopOrder && o.stopOrderFromZero);
    EXPECT_EQ(o.stopOrderCell, 10);
    EXPECT_TRUE(o.showColumn);
    EXPECT_EQ(o.column, 150);
    EXPECT_EQ(o.columnCell, 50);
}

TEST(TicketDates, FollowTheDateOption) {
    SettingsStore s(QDate(2026, 1, 2));
    const QDate today(2026, 12, 7);
    EXPECT_EQ(routeDate(s, today), QStringLiteral("12-07-2026"));
    EXPECT_EQ(ticketDate(s, QStringLiteral("x"), today), QStringLiteral("12-07-2026"));
    s.select(setting::DateAtRouteSetting);
    EXPECT_EQ(ticketDate(s, QStringLiteral("11-30-2026"), today), QStringLiteral("11-30-2026"));
    s.select(setting::DateFixed);
    EXPECT_EQ(routeDate(s, today), QStringLiteral("2026/01/02"));
    EXPECT_EQ(ticketDate(s, QStringLiteral("x"), today), QStringLiteral("2026/01/02"));
}

TEST(Keypad, DigitsGoToTheChosenFieldUpToItsLength) {
    KeypadEntry k;
    for (int d : {4, 2})
        k.press(d);
    EXPECT_EQ(k.sectionText(), QStringLiteral("42")); // section is the first target
    k.press(KeypadEntry::kRouteKey);
    for (int d : {1, 2, 3, 4, 5, 6})
        k.press(d);
    EXPECT_EQ(k.routeText(), QStringLiteral("12345"));
    k.press(KeypadEntry::kSectionKey);
    for (int d : {0, 0, 7, 1})
        k.press(d);
    EXPECT_EQ(k.sectionText(), QStringLiteral("007"));
    EXPECT_EQ(k.routeText(), QStringLiteral("12345"));
    k.press(KeypadEntry::kRouteKey); // starts the field afresh
    EXPECT_EQ(k.routeText(), QString());
}

TEST(About, LinesEndInCrLfAndCarryTheYear) {
    const QString t = aboutText(QStringLiteral("Q47"), QStringLiteral("1.0.0"), 2026);
    const QStringList lines = t.split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(lines[0], QStringLiteral("型番：Q47"));
    EXPECT_EQ(lines[1], QStringLiteral("バージョン：1.0.0"));
    EXPECT_EQ(lines[2], QString());
    EXPECT_TRUE(lines[4].endsWith(QStringLiteral("2026")));
    EXPECT_EQ(lines[5], QString());
}
