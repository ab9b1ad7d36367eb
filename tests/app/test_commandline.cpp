#include "commandline.h"
#include "filesizelimit.h"
#include "videoreadback.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <array>
#include <optional>

using q47::CommandLine;
using q47::parseCommandLine;

namespace {

struct Refused {
    const char *why;
    QStringList arguments;
    const char *said; // part of the message
};

void PrintTo(const Refused &r, std::ostream *os) {
    *os << r.why;
}

class CommandLineRefuses : public testing::TestWithParam<Refused> {};

// The program itself, offscreen: what the shell sees.
struct ProgramRun {
    int exitCode;
    QString out;
    QString err;
};

// A copy of the program in a folder of its own: the state file beside it is this test's.
QString program() {
    static QTemporaryDir home;
    static const QString copy = home.filePath(QStringLiteral("Q47"));
    if (!QFile::exists(copy))
        QFile::copy(QStringLiteral(Q47_PROGRAM), copy);
    return copy;
}

// `fileLimit`: the most bytes the program may write to one file, as on a disk that is full.
ProgramRun runProgram(const QStringList &arguments, rlim_t fileLimit = RLIM_INFINITY) {
    QProcess p;
    p.setChildProcessModifier([fileLimit] {
        if (fileLimit != RLIM_INFINITY)
            FileSizeLimit::limit(fileLimit);
    });
    p.start(program(), arguments);
    p.waitForFinished(60000);
    return {p.exitCode(), QString::fromLocal8Bit(p.readAllStandardOutput()),
            QString::fromLocal8Bit(p.readAllStandardError())};
}

} // namespace

TEST_P(CommandLineRefuses, WithAClearMessage) {
    const CommandLine line = parseCommandLine(GetParam().arguments);
    EXPECT_EQ(line.action, CommandLine::Action::Error);
    EXPECT_TRUE(line.message.contains(QString::fromUtf8(GetParam().said)))
        << qPrintable(line.message);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CommandLineRefuses,
    testing::Values(Refused{"unknown_option", {"--frobnicate"}, "frobnicate"},
                    Refused{"missing_value", {"--screenshot"}, "screenshot"},
                    Refused{"stray_argument", {"route.hy3"}, "route.hy3"},
                    Refused{"missing_folder", {"--data", "/no/such/folder"}, "/no/such/folder"},
                    Refused{"route_without_shot", {"--route", "1"}, "--route needs --screenshot"},
                    Refused{"plugin_without_ticket", {"--plugin", "a.4SP"}, "--plugin needs"},
                    Refused{"ticket_without_plugin", {"--ticket", "a.png"}, "--ticket needs"},
                    Refused{"section_without_route",
                            {"--screenshot", "a.png", "--section", "2"},
                            "--section needs --route"},
                    Refused{"route_not_a_number", {"--screenshot", "a.png", "--route", "1a"}, "1a"},
                    Refused{"section_too_far",
                            {"--screenshot", "a", "--route", "1", "--section", "301"},
                            "301"},
                    Refused{"route_zero", {"--screenshot", "a", "--route", "0"}, "from 1 to"},
                    Refused{"scale_zero", {"--screenshot", "a.png", "--scale", "0"}, "too small"},
                    Refused{"scale_tiny", {"--screenshot", "a", "--scale", "1e-9"}, "too small"},
                    Refused{"scale_huge", {"--screenshot", "a", "--scale", "9"}, "too large"},
                    Refused{"scale_nan", {"--screenshot", "a.png", "--scale", "nan"}, "nan"},
                    Refused{"scale_inf", {"--screenshot", "a", "--scale", "inf"}, "not a number"},
                    Refused{"unknown_board", {"--board", "tft"}, "not led, lcd or led,lcd: tft"},
                    Refused{"publish_and_follow",
                            {"--publish", "mqtt://b/t", "--follow", "mqtt://b/t"},
                            "one at a time"},
                    Refused{"follow_wildcard", {"--follow", "mqtt://b/q47/+"}, "wildcard"},
                    Refused{"publish_http", {"--publish", "http://b/t"}, "mqtt://"},
                    Refused{"follow_with_route",
                            {"--follow", "mqtt://b/t", "--screenshot", "a", "--route", "1"},
                            "no --route"},
                    Refused{"steps_without_route",
                            {"--screenshot", "a.png", "--steps", "2"},
                            "--steps needs --route"},
                    Refused{"steps_negative",
                            {"--screenshot", "a", "--route", "1", "--steps", "-1"},
                            "--steps"}),
    [](const auto &info) { return std::string(info.param.why); });

INSTANTIATE_TEST_SUITE_P(
    PictureCases, CommandLineRefuses,
    testing::Values(Refused{"form_without_shot", {"--name-form", "en"}, "--name-form needs"},
                    Refused{"unknown_form", {"--screenshot", "a", "--name-form", "EN"}, "EN"},
                    Refused{"page_zero", {"--screenshot", "a", "--page", "0"}, "--page"},
                    Refused{
                        "unknown_backlight", {"--screenshot", "a", "--backlight", "on3"}, "on3"}),
    [](const auto &info) { return std::string(info.param.why); });

INSTANTIATE_TEST_SUITE_P(
    RideCases, CommandLineRefuses,
    testing::Values(
        Refused{"record_without_route", {"--record", "a.mp4"}, "--record needs --route"},
        Refused{"record_unknown_format", {"--record", "a.avi", "--route", "2"}, ".webm or .mkv"},
        Refused{"speed_too_fast", {"--ride", "--speed", "61"}, "--speed: not a speed from 1 to 60"},
        Refused{"speed_without_ride", {"--speed", "2"}, "--speed needs --ride or --record"},
        Refused{"loop_recorded", {"--record", "a.mp4", "--route", "2", "--loop"}, "--loop needs"},
        Refused{"size_odd", {"--record", "a.mp4", "--route", "2", "--size", "321x180"}, "even"},
        Refused{
            "size_huge", {"--record", "a.mp4", "--route", "2", "--size", "7680x4320"}, "3840x2160"},
        Refused{"size_garbled", {"--record", "a.mp4", "--route", "2", "--size", "hd"}, "WIDTHx"},
        Refused{"fps_zero", {"--record", "a.mp4", "--route", "2", "--fps", "0"}, "from 1 to 60"},
        Refused{"fps_on_ride", {"--ride", "--fps", "30"}, "--fps needs --record"},
        Refused{"to_before_from", {"--ride", "--from", "5", "--to", "3"}, "not after"},
        Refused{"ride_and_record", {"--ride", "--record", "a.mp4"}, "one at a time"}),
    [](const auto &info) { return std::string(info.param.why); });

TEST(CommandLine, ScreenshotWithRouteAndFolders) {
    const QString here = QDir::currentPath();
    const CommandLine line =
        parseCommandLine({"--data", here, "--sound", here, "--screenshot", "b.png", "--route",
                          "00012", "--section", "3", "--scale", "1.5"});
    ASSERT_EQ(line.action, CommandLine::Action::Screenshot) << qPrintable(line.message);
    EXPECT_EQ(line.dataFolder, here);
    EXPECT_EQ(line.route, QStringLiteral("12"));
    EXPECT_EQ(line.section, 3);
    EXPECT_EQ(line.scale, 1.5);
    EXPECT_EQ(line.backlight, 1); // lit whatever the settings hold
    const CommandLine form = parseCommandLine(
        {"--screenshot", "b.png", "--name-form", "zh-Hant", "--page", "2", "--backlight", "off"});
    ASSERT_EQ(form.action, CommandLine::Action::Screenshot) << qPrintable(form.message);
    EXPECT_EQ(form.nameForm, QStringLiteral("zh-Hant"));
    EXPECT_EQ(form.page, 2);
    EXPECT_EQ(form.backlight, 0);
}

TEST(CommandLine, PublishAndFollow) {
    const CommandLine publish = parseCommandLine({"--publish", "mqtt://exhibit:1884/q47/front"});
    ASSERT_EQ(publish.action, CommandLine::Action::Run) << qPrintable(publish.message);
    EXPECT_EQ(publish.publish, QStringLiteral("mqtt://exhibit:1884/q47/front"));
    const CommandLine follow = parseCommandLine(
        {"--follow", "mqtts://exhibit/q47/front", "--board", "lcd,led", "--screenshot", "f.png"});
    ASSERT_EQ(follow.action, CommandLine::Action::Follow) << qPrintable(follow.message);
    EXPECT_EQ(follow.follow, QStringLiteral("mqtts://exhibit/q47/front"));
    EXPECT_EQ(follow.board, QStringLiteral("lcd,led"));
    EXPECT_EQ(follow.screenshot, QStringLiteral("f.png"));
}

// What the shell sees: help and version on standard output, a bad argument as exit code 2,
// and a screenshot at scale 2 exactly twice the size of one at scale 1.
TEST(CommandLine, ProgramAnswersTheShell) {
    const ProgramRun help = runProgram({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains("--screenshot"));
    EXPECT_TRUE(help.out.startsWith(QStringLiteral("Usage: ") + program() + " [options]"))
        << qPrintable(help.out);
    const ProgramRun version = runProgram({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out.trimmed(), QStringLiteral("Q47 " Q47_VERSION));
    const ProgramRun bad = runProgram({"--scale", "2"});
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_TRUE(bad.err.contains("--scale needs --screenshot"));

    QTemporaryDir dir;
    const QString one = dir.filePath("one.png");
    const QString two = dir.filePath("two.png");
    const QStringList route = {"--data", Q47_SAMPLES "/data", "--route", "1"};
    const ProgramRun shot = runProgram(route + QStringList{"--screenshot", one});
    EXPECT_EQ(shot.exitCode, 0);
    EXPECT_EQ(shot.err, QString()); // the offscreen platform's complaints are not the user's
    EXPECT_EQ(runProgram(route + QStringList{"--screenshot", two, "--scale", "2"}).exitCode, 0);
    const QImage small(one);
    const QImage large(two);
    ASSERT_FALSE(small.isNull());
    EXPECT_EQ(large.size(), small.size() * 2);
    // A picture that does not fit on the disk leaves the one before it whole.
    QFile before(two);
    ASSERT_TRUE(before.open(QIODevice::ReadOnly));
    const QByteArray old = before.readAll();
    const ProgramRun full =
        runProgram(route + QStringList{"--screenshot", two, "--scale", "3"}, rlim_t(old.size()));
    EXPECT_EQ(full.exitCode, 1);
    EXPECT_TRUE(full.err.contains("cannot write " + two + ": File too large"))
        << qPrintable(full.err);
    QFile after(two); // by its name: a replaced file is another one
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_TRUE(after.readAll() == old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);

    // The LCD board, three stops on: its 16:9 face at zoom 1.
    const QString lcd = dir.filePath("lcd.png");
    const ProgramRun lcdShot =
        runProgram(route + QStringList{"--steps", "3", "--board", "lcd", "--screenshot", lcd});
    EXPECT_EQ(lcdShot.exitCode, 0) << qPrintable(lcdShot.err);
    EXPECT_EQ(QImage(lcd).size(), QSize(960, 540));
}

// A plug-in's author is told every fault with its line, and can see a ticket without the
// windows: at a route's stop, at a scale.
TEST(CommandLine, PluginAuthorsCheckAndRenderTickets) {
    QTemporaryDir dir;
    const QString bad = dir.filePath("bad.4SP");
    QFile f(bad);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("Q47 ticket plug-in 1\n[ticket]\nsize = 100 x 40\nsize = 9 x 9\n[nonsense]\n");
    f.close();
    const ProgramRun check = runProgram({"--check-plugin", bad});
    EXPECT_EQ(check.exitCode, 1);
    EXPECT_TRUE(check.out.contains(bad + ":4: fault:")) << qPrintable(check.out);
    EXPECT_TRUE(check.out.contains(bad + ":5: fault:")) << qPrintable(check.out);
    const QString sample = QStringLiteral(Q47_SAMPLES "/plugins/full.4SP");
    EXPECT_EQ(runProgram({"--check-plugin", sample}).exitCode, 0);

    const QString png = dir.filePath("ticket.png");
    const ProgramRun ticket =
        runProgram({"--ticket", png, "--plugin", sample, "--data", Q47_SAMPLES "/data", "--route",
                    "1", "--section", "3", "--scale", "2"});
    EXPECT_EQ(ticket.exitCode, 0) << qPrintable(ticket.err);
    EXPECT_EQ(QImage(png).size(), QSize(226, 112) * 2);
    EXPECT_EQ(runProgram({"--ticket", png, "--plugin", bad}).exitCode, 1);
}

// A short ride of the sample route with a timetable, recorded at 60 times real time and read
// back: both streams, the ride's length, the board showing the stop the bus is on its way to,
// and sound where the bus steps.
TEST(CommandLine, RecordsARide) {
    QTemporaryDir dir;
    const QString video = dir.filePath(QStringLiteral("ride.mp4"));
    const QStringList route = {
        "--data", Q47_SAMPLES "/data", "--sound", Q47_SAMPLES "/data", "--route",
        "2",      "--board",           "lcd"};
    const ProgramRun recorded =
        runProgram(route + QStringList{"--record", video, "--from", "1", "--to", "3", "--speed",
                                       "60", "--size", "320x180", "--fps", "10"});
    ASSERT_EQ(recorded.exitCode, 0) << qPrintable(recorded.err);
    EXPECT_TRUE(recorded.err.contains("100%")) << qPrintable(recorded.err);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("ride.mp4")});

    // The board as a picture of each of the first two stops, at the video's size.
    std::array<QImage, 2> stops;
    for (int k = 0; k < 2; ++k) {
        const QString shot = dir.filePath(QStringLiteral("stop%1.png").arg(k));
        ASSERT_EQ(runProgram(route + QStringList{"--steps", QString::number(k), "--screenshot",
                                                 shot, "--scale", "0.33334"})
                      .exitCode,
                  0);
        stops[size_t(k)] = QImage(shot).convertToFormat(QImage::Format_RGB32);
    }
    // How far a frame is from a picture, below the clock's header.
    const auto distance = [](const QImage &a, const QImage &b) {
        qint64 sum = 0;
        for (int y = a.height() / 5; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x)
                sum += std::abs(qGray(a.pixel(x, y)) - qGray(b.pixel(x, y)));
        return sum;
    };
    // The ride leaves stop 1 at 9:00, 10 s after its start: 1/6 s into the video.
    std::optional<bool> atFirst, afterDeparture;
    const q47::VideoReadBack back =
        q47::readVideoFile(video, QSize(320, 180), [&](qint64 ms, const QImage &frame) {
            if (stops[0].size() != frame.size())
                return;
            const bool first = distance(frame, stops[0]) < distance(frame, stops[1]);
            if (ms == 0)
                atFirst = first;
            if (ms == 500)
                afterDeparture = !first;
        });
    EXPECT_TRUE(back.video);
    ASSERT_TRUE(back.sound);
    EXPECT_EQ(atFirst, true);
    EXPECT_EQ(afterDeparture, true);
    // 3 min 40 s of the ride at 60 times, and the announcements it waited for.
    EXPECT_GE(back.endMs, 3600);
    EXPECT_LT(back.endMs, 30000);
    float peak = 0;
    for (size_t i = 48000 / 6 * 2; i < std::min(back.pcm.size(), size_t(48000 * 2 * 2)); ++i)
        peak = std::max(peak, std::abs(back.pcm[i]));
    EXPECT_GT(peak, 0.05f); // the departure's chime and words
}
