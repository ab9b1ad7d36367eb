#include "fareupdate.h"

#include <gtest/gtest.h>

using namespace q47;

namespace {

RouteTable tableWithOneStop() {
    RouteTable t;
    StopRecord &s = t.slots[0];
    s.StopName = QStringLiteral("駅前");
    s.SeiriNo = 7;
    for (int k = 1; k <= 50; ++k)
        s.setDataCol(k, static_cast<qint16>(100 + k));
    s.setDataCol(4, -1);
    s.setDataCol(5, 230);
    s.setDataCol(6, 20000);
    s.setDataCol(120, 3);
    t.loaded = 1;
    t.StopCount = 1;
    t.RouteText = QStringLiteral("00012");
    return t;
}

QVariant lastWriteTo(const std::vector<CellWrite> &w, int cell) {
    QVariant v;
    for (const CellWrite &cw : w)
        if (cw.cell == cell)
            v = cw.value;
    return v;
}

} // namespace

TEST(FareWrites, StartSectionLeavesEarlierCellsUntouched) {
    RouteTable t = tableWithOneStop();
    t.StartSection = 3;
    const auto w = fareWrites(t, 1, false, {});
    ASSERT_EQ(w.size(), 48u);
    EXPECT_EQ(w.front(), (CellWrite{3, 103}));
    EXPECT_EQ(w.back(), (CellWrite{50, 150}));
    t.StartSection = 51;
    EXPECT_TRUE(fareWrites(t, 1, false, {}).empty());
}

TEST(FareWrites, LateNightDoublesAllButTheMarker) {
    const RouteTable t = tableWithOneStop();
    const auto day = fareWrites(t, 1, false, {});
    const auto night = fareWrites(t, 1, true, {});
    EXPECT_EQ(lastWriteTo(day, 4), QVariant(-1));
    EXPECT_EQ(lastWriteTo(night, 4), QVariant(-1));
    EXPECT_EQ(lastWriteTo(day, 5), QVariant(230));
    EXPECT_EQ(lastWriteTo(night, 5), QVariant(460));
    EXPECT_EQ(lastWriteTo(night, 6), QVariant(40000)); // beyond 16 bits, shown as it is
}

TEST(FareWrites, InformationDigitsOverwriteInTheirOrder) {
    const RouteTable t = tableWithOneStop();
    InfoDigitOptions o;
    o.showStopOrder = true;
    o.stopOrderCell = 1;
    o.stopOrderFromZero = true;
    EXPECT_EQ(lastWriteTo(fareWrites(t, 1, false, o), 1), QVariant(0));

    // All four into one cell: the last one (the data column) wins.
    o.showSeiriNo = o.showRoute = o.showColumn = true;
    o.seiriNoCell = o.routeCell = o.columnCell = 1;
    o.column = 120;
    auto w = fareWrites(t, 1, false, o);
    ASSERT_EQ(w.size(), 54u);
    EXPECT_EQ(w[50], (CellWrite{1, 0}));
    EXPECT_EQ(w[51], (CellWrite{1, 7}));
    EXPECT_EQ(w[52], (CellWrite{1, QStringLiteral("00012")}));
    EXPECT_EQ(w[53], (CellWrite{1, 3}));

    o.column = 151; // out of the table: skipped, never read
    o.routeCell = 9;
    w = fareWrites(t, 1, false, o);
    EXPECT_EQ(lastWriteTo(w, 9), QVariant(QStringLiteral("00012")));
    EXPECT_EQ(lastWriteTo(w, 1), QVariant(7));
}

TEST(FareWrites, StopOutsideTheTableGivesZeros) {
    const RouteTable t = tableWithOneStop();
    for (int n : {0, 302, -7}) {
        const auto w = fareWrites(t, n, true, {});
        ASSERT_EQ(w.size(), 50u);
        EXPECT_EQ(w[0].value, QVariant(0));
    }
}

TEST(TicketDate, MonthDayYear) {
    EXPECT_EQ(ticketDateText(QDate(2026, 3, 9)), QStringLiteral("03-09-2026"));
}
