#include "commandline.h"
#include "controlpanel.h"
#include "followrun.h"
#include "headless.h"
#include "q47app.h"
#include "recording.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char *argv[]) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    q47::CommandLine line = q47::parseCommandLine(arguments);
    switch (line.action) {
    case q47::CommandLine::Action::Help: {
        // The help names the program as it was started, which only an application object knows.
        const QCoreApplication core(argc, argv);
        line = q47::parseCommandLine(arguments);
        std::printf("%s\n", qPrintable(line.message));
        return 0;
    }
    case q47::CommandLine::Action::Version:
        std::printf("%s\n", qPrintable(line.message));
        return 0;
    case q47::CommandLine::Action::Error:
        std::fprintf(stderr, "Q47: %s\n", qPrintable(line.message));
        return 2;
    case q47::CommandLine::Action::CheckPlugin:
        return q47::runPluginCheck(line);
    case q47::CommandLine::Action::Screenshot:
        return q47::runScreenshot(line, argv[0]);
    case q47::CommandLine::Action::Ticket:
        return q47::runTicket(line, argv[0]);
    case q47::CommandLine::Action::Record:
        return q47::runRecording(line, argv[0]);
    case q47::CommandLine::Action::Follow:
        return q47::runFollower(line, argc, argv);
    case q47::CommandLine::Action::Run:
        break;
    }

    const std::optional<q47::lcd::BoardKind> board = q47::lcd::boardKindNamed(line.board);
    q47::Q47App::preparePlatform(board);
    QApplication application(argc, argv);
    q47::Q47App::prepareApplication();
    q47::Q47App app;
    app.setFolderOverrides(line.dataFolder, line.soundFolder);
    if (board)
        app.setBoardOverride(*board);
    if (!line.publish.isEmpty())
        app.setPublishOverride(line.publish);
    app.start();
    if (line.ride) {
        if (!line.route.isEmpty() && !app.controlPanel()->setRoute(line.route, line.section))
            return 1;
        app.controlPanel()->showRideFrame(true);
        app.controlPanel()->rideFrame()->showSettings(int(line.speed), line.loop, line.interval);
        if (!app.startRide(line.speed, line.loop, line.interval, line.toStop)) {
            std::fprintf(stderr, "Q47: --ride: no route is set\n");
            return 1;
        }
    }
    return application.exec();
}
