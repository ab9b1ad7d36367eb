#include "fakepanel.h"
#include "panelcontrol.h"
#include "recordingsound.h"
#include "routedata.h"
#include "settingsstore.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace q47;

// The state file's record goes into the panel's state and comes out as the controls keep it:
// the bars hold 16-bit values within their ranges, and a pane number that is no pane is kept
// as written while the panes stay as they were.
TEST(PanelState, RecordRoundTripsAsTheControlsKeepIt) {
    ControlPanelState in;
    in.paneIndex = 5;
    in.scrollSpeed = 70000; // 4464 in 16 bits, beyond the bar
    in.scrollInterval = -3;
    in.lateNightFare = 1;
    in.previewOpen = 2;
    in.leftTwips = 1500;
    PanelState state;
    state.restore(in);
    const ControlPanelState out = state.record();
    EXPECT_EQ(out.scrollSpeed, PanelState::kMaxScrollSpeed);
    EXPECT_EQ(out.scrollInterval, PanelState::kMinScrollInterval);
    EXPECT_EQ(out.paneIndex, 5);
    EXPECT_EQ(out.lateNightFare, 1);
    EXPECT_EQ(out.previewOpen, 1);
    EXPECT_EQ(out.leftTwips, 0); // the window's place is the window's
    EXPECT_EQ(state.paneAtBack(), EntryPane::Lists);
    PanelState again;
    again.restore(out);
    EXPECT_EQ(again.record(), out);
}

// The keys do what their buttons would: a route typed on the keypad (brought to the front),
// Enter after the route and after the section, then the arrows. While the display is cleared
// stepping and route entry wait, and the announcement keys wait for the announcement buttons.
TEST(PanelControl, KeysActOnTheStateAndTheSession) {
    QTemporaryDir dir;
    std::vector<StopRecord> stops(3);
    for (int i = 0; i < 3; ++i)
        stops[size_t(i)].StopName = QStringLiteral("停留所%1").arg(i + 1);
    QFile route(dir.filePath(QStringLiteral("1.hy3")));
    ASSERT_TRUE(route.open(QIODevice::WriteOnly) && route.write(encodeRouteFile(stops)) > 0);
    route.close();
    SettingsStore settings{QDate(2026, 12, 7)};
    settings.setText(setting::DataFolder, dir.path());
    settings.setText(setting::ResetSound, QStringLiteral("/key.wav"));
    PanelState state;
    RecordingBoard board;
    RecordingSound sound;
    FakeRuntime runtime{board.log};
    FakeHost host;
    PanelControl control(state, board, settings, sound, host, runtime);
    const auto key = [&](OperatorAction action, int digit = 0) {
        control.operatorKey(action, digit);
    };
    const RouteTable &table = control.session().route();

    state.sendToBack(EntryPane::Keypad);
    key(OperatorAction::StepForward); // no route yet
    key(OperatorAction::KeypadDigit, 1);
    EXPECT_EQ(state.paneAtBack(), EntryPane::Lists);
    EXPECT_EQ(state.keypad().routeText(), QStringLiteral("1"));
    key(OperatorAction::KeypadEnter);
    key(OperatorAction::KeypadDigit, 1);
    EXPECT_EQ(state.keypad().sectionText(), QStringLiteral("1"));
    EXPECT_FALSE(state.routeSet());
    key(OperatorAction::KeypadEnter);
    ASSERT_TRUE(state.routeSet());
    EXPECT_EQ(sound.calls().size(), 5); // four keypad keys, then the route's own sound
    EXPECT_EQ(board.name, QStringLiteral("停留所1"));
    key(OperatorAction::StepForward);
    EXPECT_EQ(table.CurStopPos, 1);

    control.setCleared(true);
    key(OperatorAction::StepBack);
    key(OperatorAction::KeypadDigit, 7);
    EXPECT_EQ(table.CurStopPos, 1);
    EXPECT_EQ(state.keypad().routeText(), QStringLiteral("1"));
    EXPECT_TRUE(board.name.isEmpty());
    control.setCleared(false);
    EXPECT_EQ(board.name, QStringLiteral("停留所2"));
    key(OperatorAction::StepBack);
    EXPECT_EQ(table.CurStopPos, 0);

    EXPECT_FALSE(state.canAnnounce()); // the route has no announcement list
    key(OperatorAction::speakNext);
    EXPECT_EQ(control.tape().position(), 0);
}
