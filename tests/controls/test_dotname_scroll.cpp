#include "dotnamescroll.h"

#include <QSet>

#include <gtest/gtest.h>

#include <vector>

using namespace std::chrono_literals;
using q47::DotNameScroll;

namespace {

constexpr int kWindow = 196;
constexpr int kStrip = 224; // seven cells
constexpr qint32 kWait = 1500;

// A scroll whose clock only moves when the test says so.
class ScrollTest : public ::testing::Test {
protected:
    std::chrono::nanoseconds now{0};
    DotNameScroll scroll{[this] { return now; }};

    void startBelowWindow(qint16 speed = 5, qint32 wait = kWait) {
        scroll.setExtent(kStrip, kWindow);
        scroll.setTop(kWindow);
        scroll.start(speed, wait);
    }
    int topAt(std::chrono::nanoseconds t) {
        now = t;
        scroll.advance();
        return scroll.top();
    }
};

TEST_F(ScrollTest, WaitsBeforeTheFirstStepThenMovesAtTheStepRate) {
    startBelowWindow();
    EXPECT_TRUE(scroll.pausing());
    EXPECT_EQ(topAt(1499ms), kWindow);
    EXPECT_EQ(scroll.pauseRemainingMs(), 1);
    EXPECT_EQ(topAt(1500ms), kWindow);
    // Speed 5: 5/200 pixel per step, 6000 steps a second, 150 pixels a second.
    EXPECT_DOUBLE_EQ(scroll.velocity(), 150.0);
    EXPECT_EQ(topAt(2000ms), kWindow - 75);
    EXPECT_FALSE(scroll.pausing());
    EXPECT_EQ(topAt(2500ms), kWindow - 150);
}

TEST_F(ScrollTest, WrapsAfterAFurtherWindowHeightAndPausesAgain) {
    startBelowWindow();
    // The top must reach -(window + strip) = -420: 615.5 pixels from 196 before rounding
    // puts it there, 4.1033 s at 150 pixels a second.
    const auto moving = 1500ms;
    EXPECT_EQ(topAt(moving + 4103ms), -419);
    EXPECT_FALSE(scroll.pausing());
    EXPECT_EQ(topAt(moving + 4104ms), kWindow);
    EXPECT_TRUE(scroll.pausing());
    const auto wrapped = moving + 4103333333ns;
    EXPECT_EQ(topAt(wrapped + 1499ms), kWindow);
    EXPECT_EQ(topAt(wrapped + 1500ms + 1000ms), kWindow - 150);
}

TEST_F(ScrollTest, PositionDoesNotDependOnHowOftenItIsAsked) {
    // The same scroll sampled at different frame rates stands at the same place, across
    // the first pause and a wrap.
    const std::vector<std::chrono::nanoseconds> frames = {1ms, 16ms, 33ms, 250ms, 7s};
    const auto end = 7350ms;
    std::vector<int> tops;
    for (auto frame : frames) {
        now = 0ns;
        startBelowWindow();
        for (auto t = frame; t < end; t += frame)
            topAt(t);
        tops.push_back(topAt(end));
    }
    for (int top : tops)
        EXPECT_EQ(top, tops.front());
    // 7.35 s: 1.5 s pause, 4.1033 s to the wrap, 1.5 s pause, then 0.2467 s at 150 px/s.
    EXPECT_EQ(tops.front(), kWindow - 37);
}

TEST_F(ScrollTest, ASpeedChangeCountsFromTheMomentItIsMade) {
    startBelowWindow(5, 0);
    now = 1s;
    scroll.setSpeed(10);
    EXPECT_EQ(scroll.top(), kWindow - 150);
    EXPECT_EQ(topAt(2s), kWindow - 150 - 300);
}

TEST_F(ScrollTest, TheFirstStepStartsWhereTheStripStandsWhenThePauseEnds) {
    startBelowWindow();
    now = 1000ms;
    scroll.setTop(0); // an empty name during the pause
    EXPECT_EQ(topAt(2500ms), -150);
}

TEST_F(ScrollTest, PlacingTheStripDuringAScrollLastsOnlyUntilTheNextStep) {
    startBelowWindow(5, 0);
    EXPECT_EQ(topAt(1s), kWindow - 150);
    scroll.setTop(0);
    EXPECT_EQ(scroll.top(), 0);
    EXPECT_FALSE(scroll.advance()) << "no time has passed";
    EXPECT_EQ(topAt(1100ms), kWindow - 165);
}

// A wrap that took no time would loop forever; instead the strip keeps cycling through the
// one pixel the window is taken to have, never drifting off.
TEST_F(ScrollTest, AWindowOfNoHeightStillWrapsInTime) {
    scroll.setExtent(0, 0);
    scroll.setTop(0);
    scroll.start(5, 0);
    QSet<int> tops;
    for (auto t = 1ms; t <= 40ms; t += 1ms)
        tops.insert(topAt(t));
    EXPECT_EQ(tops, QSet<int>({0, 1}));
    EXPECT_TRUE(scroll.running());
}

} // namespace
