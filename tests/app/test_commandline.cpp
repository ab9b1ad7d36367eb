#include "commandline.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

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

ProgramRun runProgram(const QStringList &arguments) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(Q47_PROGRAM), arguments);
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
                    Refused{"section_without_route",
                            {"--screenshot", "a.png", "--section", "2"},
                            "--section needs --route"},
                    Refused{"route_not_a_number", {"--screenshot", "a.png", "--route", "1a"}, "1a"},
                    Refused{"section_too_far",
                            {"--screenshot", "a", "--route", "1", "--section", "301"},
                            "301"},
                    Refused{"scale_zero", {"--screenshot", "a.png", "--scale", "0"}, "--scale"},
                    Refused{"scale_nan", {"--screenshot", "a.png", "--scale", "nan"}, "nan"}),
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
}

// What the shell sees: help and version on standard output, a bad argument as exit code 2,
// and a screenshot at scale 2 exactly twice the size of one at scale 1.
TEST(CommandLine, ProgramAnswersTheShell) {
    const ProgramRun help = runProgram({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains("--screenshot"));
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
    EXPECT_EQ(runProgram(route + QStringList{"--screenshot", one}).exitCode, 0);
    EXPECT_EQ(runProgram(route + QStringList{"--screenshot", two, "--scale", "2"}).exitCode, 0);
    const QImage small(one);
    const QImage large(two);
    ASSERT_FALSE(small.isNull());
    EXPECT_EQ(large.size(), small.size() * 2);
}
