#include "announcementtape.h"
#include "cp932.h"
#include "fakepanel.h"
#include "fakespeech.h"
#include "recordingsound.h"
#include "routesession.h"
#include "settingsstore.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace q47;

namespace {

StopRecord stop(const QString &name, std::initializer_list<qint16> fares, qint16 code = 0) {
    StopRecord s;
    s.StopName = name;
    int k = 1;
    for (qint16 f : fares)
        s.setDataCol(k++, f);
    s.setDataCol(51, code);
    return s;
}

// A session on a recording board, with a folder holding route 1: three stops, column 51
// carrying the step sound codes 0, 2 and 4.
class Session : public ::testing::Test {
protected:
    Session() {
        settings.setText(setting::DataFolder, dir.path());
        write(QStringLiteral("1.hy3"),
              {stop(QStringLiteral("駅前"), {170}), stop(QStringLiteral("本町"), {200, 170}, 2),
               stop(QStringLiteral("終点"), {230, 200, 170}, 4)});
    }
    void write(const QString &name, const std::vector<StopRecord> &stops) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(encodeRouteFile(stops));
    }
    bool set(const QString &route, int section) {
        if (!session.setRoute(route, section))
            return false;
        session.showStartingStop();
        return true;
    }

    QTemporaryDir dir;
    SettingsStore settings{QDate(2026, 12, 7)};
    RecordingBoard board;
    FakeRuntime runtime{board.log};
    FakeHost host;
    RecordingSound sound;
    FakeTapeView tapeView;
    QStringList speech;
    AnnouncementTape tape{settings, sound, tapeView,
                          [this] { return std::make_unique<FakeSpeech>(speech); },
                          [] { return QStringLiteral("Debian GNU/Linux 12"); }};
    RouteSession session{board, settings, sound, tape, host, runtime};
};

TEST_F(Session, LampTestLightsEverySegmentForItsTimeThenZeroesTheCells) {
    bool allLitDuringTheWait = false;
    runtime.duringSleep = [&](int) {
        allLitDuringTheWait = true;
        for (int k = 1; k <= 50; ++k)
            allLitDuringTheWait &= board.cells[k] == QVariant(QStringLiteral("8888"));
    };
    settings.setText(setting::RouteSound, QStringLiteral("/s/route.wav"));
    ASSERT_TRUE(set(QStringLiteral("00001"), 1));

    EXPECT_TRUE(allLitDuringTheWait);
    const QStringList &log = board.log;
    const qsizetype sleep = log.indexOf(QStringLiteral("sleep 3000"));
    ASSERT_GE(sleep, 0);
    EXPECT_EQ(log.first(), QStringLiteral("name 系統設定"));
    EXPECT_EQ(log.lastIndexOf(QStringLiteral("reset 50 -1")), sleep - 2);
    EXPECT_EQ(log.at(sleep - 1), QStringLiteral("events")); // the lit board is shown first
    for (int k = 1; k <= 50; ++k)
        EXPECT_EQ(log.at(sleep + k), QStringLiteral("cell %1 = 0").arg(k));
    EXPECT_EQ(log.last(), QStringLiteral("name 駅前"));
    EXPECT_EQ(board.cells[1], QVariant(170));
    EXPECT_EQ(sound.calls().first(), (RecordingSound::Call{QStringLiteral("/s/route.wav"),
                                                           SoundChannel::S1, SoundWait::No, 0}));
}

TEST_F(Session, ARefusedRouteIsExplainedAndLeavesTheBoardAlone) {
    ASSERT_TRUE(set(QStringLiteral("1"), 1));
    board.log.clear();
    write(QStringLiteral("2.hy3"), {stop(QStringLiteral("a"), {})});
    EXPECT_FALSE(session.setRoute(QStringLiteral("2"), 1));
    EXPECT_FALSE(session.setRoute(QStringLiteral("3"), 1));
    EXPECT_EQ(host.messages,
              QStringList({route_messages::sectionTooHigh(),
                           route_messages::missing(dir.filePath(QStringLiteral("3.hy3")))}));
    EXPECT_TRUE(board.log.isEmpty()) << board.log.join(u'|').toStdString();
    EXPECT_EQ(session.route().RouteText, QStringLiteral("1"));
}

TEST_F(Session, SteppingStopsSilentlyAtBothEnds) {
    ASSERT_TRUE(set(QStringLiteral("1"), 1));
    sound.clear();
    EXPECT_FALSE(session.step(0));
    EXPECT_TRUE(session.step(1));
    EXPECT_TRUE(session.step(1));
    sound.clear();
    board.log.clear();
    EXPECT_FALSE(session.step(1));
    EXPECT_TRUE(sound.calls().isEmpty());
    EXPECT_TRUE(board.log.isEmpty());
    EXPECT_EQ(session.route().CurStopPos, 2);
}

// With waited playback the fares change only once the step sound has been played.
TEST_F(Session, ColumnCodeChoosesTheStepSoundPlayedBeforeTheFaresChange) {
    const TextSetting steps[] = {setting::StepSoundFile, setting::StepSound1, setting::StepSound2,
                                 setting::StepSound3};
    for (int k = 7; k <= 10; ++k)
        settings.setText(steps[k - 7], QStringLiteral("/s%1.wav").arg(k));
    settings.select(setting::StepSoundByColumn);
    settings.setListIndex(setting::StepSoundColumn, 50); // column 51
    settings.select(setting::StepSoundWaited);
    ASSERT_TRUE(set(QStringLiteral("1"), 1));

    sound.clear();
    session.step(1); // column 51 holds 2
    EXPECT_EQ(sound.calls(),
              QList<RecordingSound::Call>(
                  {{QStringLiteral("/s9.wav"), SoundChannel::S2, SoundWait::UntilEnd, 0}}));
    EXPECT_EQ(board.cells[1], QVariant(200));

    sound.clear();
    session.step(1); // code 4: no sound, but the fares still change
    EXPECT_EQ(sound.calls().first().path, QString());
    EXPECT_EQ(board.cells[1], QVariant(230));
}

TEST_F(Session, LateNightDoublesFaresFromTheStartSection) {
    write(QStringLiteral("5.hy3"),
          {stop(QStringLiteral("a"), {}), stop(QStringLiteral("b"), {}),
           stop(QStringLiteral("c"), {1, 2, 230, -1, 20000}), stop(QStringLiteral("d"), {})});
    session.setLateNight(true);
    ASSERT_TRUE(set(QStringLiteral("5"), 3));
    EXPECT_EQ(board.cells[2], QVariant(0)); // below the start section: left at 0
    EXPECT_EQ(board.cells[3], QVariant(460));
    EXPECT_EQ(board.cells[4], QVariant(-1));
    EXPECT_EQ(board.cells[5], QVariant(40000));
}

// The preview is handed the route's number, the stop's own ticket number and its place on
// the route, each where it belongs.
TEST_F(Session, TicketCarriesTheStopsValues) {
    struct Recorder final : TicketPreview {
        void Cls() override {}
        void drawTicket(const TicketRequest &ticket) override { tickets.push_back(ticket); }
        std::vector<TicketRequest> tickets;
    } preview;
    StopRecord second = stop(QStringLiteral("本町"), {200, 170});
    second.SeiriNo = 4;
    write(QStringLiteral("12.hy3"), {stop(QStringLiteral("駅前"), {170}), second,
                                     stop(QStringLiteral("終点"), {230, 200, 170})});
    settings.setFlag(setting::UsePreview, 1);
    settings.setText(setting::PluginFile, QStringLiteral("/p/t.4SP"));
    session.setTicketPreview(&preview);
    ASSERT_TRUE(set(QStringLiteral("00012"), 2));
    ASSERT_EQ(preview.tickets.size(), 1u);
    const TicketRequest &t = preview.tickets.back();
    EXPECT_EQ(t.plugin, QStringLiteral("/p/t.4SP"));
    EXPECT_EQ(t.stopName, QStringLiteral("本町"));
    EXPECT_EQ(t.route, 12);
    EXPECT_EQ(t.seiriNo, 4);
    EXPECT_EQ(t.stopIndex, 2);
}

TEST_F(Session, TicketDateFollowsTheDateOption) {
    ASSERT_TRUE(set(QStringLiteral("1"), 1));
    EXPECT_EQ(session.RouteDate(), QStringLiteral("12-07-2026"));
    runtime.day = QDate(2026, 12, 8); // past midnight
    session.step(1);
    EXPECT_EQ(session.ticketDateText(), QStringLiteral("12-08-2026")); // today, at every stop
    settings.select(setting::DateAtRouteSetting);
    session.step(1);
    EXPECT_EQ(session.ticketDateText(), QStringLiteral("12-07-2026")); // kept from the setting
    settings.select(setting::DateFixed);
    session.step(0);
    EXPECT_EQ(session.ticketDateText(), QStringLiteral("2026/12/07")); // the fixed date
}

} // namespace

namespace {

// The side file names the route and its stops as the operator writes them: a real name stands
// where the route file holds what CP932 makes of it, and not where the route file was edited;
// the headsign follows the trip, and the last stop's name stands in where it gives none. The
// announcements, CP932 too, speak the real names.
TEST_F(Session, SideFileNamesTheRouteAndItsStops) {
    write(QStringLiteral("1.hy3"),
          {stop(QStringLiteral("?野家前"), {170}), stop(QStringLiteral("本町"), {200, 170}),
           stop(QStringLiteral("終点"), {230, 200, 170})});
    QFile side(dir.filePath(QStringLiteral("1.route.json")));
    ASSERT_TRUE(side.open(QIODevice::WriteOnly));
    side.write(R"({"format":1,"name":"循環","color":"#1E90FF","stops":[
        {"name":"𠮷野家前","headsign":"本町経由 終点行"},
        {"name":"本町二丁目","headsign":"終点行"},
        {"name":"終点"}]})");
    side.close();
    settings.setText(setting::SoundFolder, dir.path());
    QFile list(dir.filePath(QStringLiteral("1tp.csv")));
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    list.write(toCp932(QStringLiteral("\"このバスは、本町経由 終点行きです。\",0,1\r\n"
                                      "\"次は、?野家前です。?\",1,2\r\n")));
    list.close();
    tape.startEngine();
    ASSERT_TRUE(set(QStringLiteral("1"), 1));
    tape.speak(2);
    EXPECT_EQ(speech.filter(QStringLiteral("speak ")),
              QStringList{QStringLiteral("speak 次は、𠮷野家前です。?")});
    EXPECT_EQ(board.route.number, QStringLiteral("1"));
    EXPECT_EQ(board.route.name, QStringLiteral("循環"));
    EXPECT_EQ(board.route.color, QColor(0x1E, 0x90, 0xFF));
    EXPECT_FALSE(board.route.textColor.isValid());
    EXPECT_EQ(board.route.headsign, QStringLiteral("本町経由 終点行"));
    EXPECT_EQ(board.written, QStringLiteral("𠮷野家前"));
    EXPECT_EQ(board.name, QStringLiteral("?野家前"));
    ASSERT_TRUE(session.step(1));
    EXPECT_EQ(board.route.headsign, QStringLiteral("終点行"));
    EXPECT_EQ(board.written, QStringLiteral("本町"));
    ASSERT_TRUE(session.step(1));
    EXPECT_EQ(board.route.headsign, QStringLiteral("終点行"));

    // A side file for another number of stops is not this route's.
    write(QStringLiteral("1.hy3"),
          {stop(QStringLiteral("?野家前"), {170}), stop(QStringLiteral("終点"), {200, 170})});
    ASSERT_TRUE(set(QStringLiteral("1"), 1));
    EXPECT_EQ(board.route.name, QString());
    EXPECT_EQ(board.route.headsign, QStringLiteral("終点行"));
    EXPECT_EQ(board.written, QStringLiteral("?野家前"));
}

// Anything but a well-formed side file is passed over whole.
TEST(RouteSideFile, MalformedFilesAreNotRead) {
    for (const char *bytes :
         {"", "[]", "{\"format\":1}", "{\"format\":2,\"stops\":[]}", "{\"stops\":[]}",
          "{\"format\":1,\"stops\":{}}", "{\"format\":1,\"stops\":[1]}",
          "{\"format\":1,\"name\":7,\"stops\":[]}",
          "{\"format\":1,\"stops\":[{\"name\":\"a\",\"headsign\":false}]}",
          "{\"format\":1,\"stops\":[{\"name\":\"a\"}]", "\xFF\xFE{}"})
        EXPECT_FALSE(parseRouteSideFile(bytes)) << bytes;
    const auto side = parseRouteSideFile(
        R"({"format":1,"color":"blue","textColor":"#fff","stops":[{"name":" a "}],"x":1})");
    ASSERT_TRUE(side);
    EXPECT_FALSE(side->color.isValid());
    EXPECT_FALSE(side->textColor.isValid());
    EXPECT_EQ(side->stops.at(0).name, QStringLiteral("a"));
    EXPECT_EQ(writtenStopName(QStringLiteral("?野家前"), QStringLiteral("\U0001F68C野家前")),
              QStringLiteral("\U0001F68C野家前"));
    EXPECT_EQ(writtenStopName(QStringLiteral("吉野家前"), QStringLiteral("𠮷野家前")),
              QStringLiteral("吉野家前"));
}

} // namespace
