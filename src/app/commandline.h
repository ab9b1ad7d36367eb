#pragma once

#include <QSize>
#include <QString>
#include <QStringList>

namespace q47 {

// What the command line asks for. Folders given here take the place of the saved ones for
// this run only; a screenshot run renders the board to a picture and ends, a ticket run
// renders one ticket of a plug-in, and a plug-in check tells a plug-in's author its faults.
struct CommandLine {
    enum class Action {
        Run,
        Help,
        Version,
        Screenshot,
        Ticket,
        CheckPlugin,
        Record,
        Follow,
        Error
    };
    Action action = Action::Run;
    QString dataFolder;  // --data, empty: the saved one
    QString soundFolder; // --sound
    QString board;       // --board "led", "lcd" or "led,lcd", empty: as chosen in the options
    QString screenshot;  // --screenshot FILE
    QString ticket;      // --ticket FILE
    QString plugin;      // --plugin FILE with --ticket, or --check-plugin FILE
    QString route;       // --route N, as typed
    int section = 1;     // --section S
    int steps = 0;       // --steps N: stops stepped forward after the route is set
    double scale = 1.0;  // --scale, of the board or the ticket
    // With --screenshot: the LCD board's name in one form ("kanji", "kana", "en", "zh-Hans",
    // "zh-Hant", "ko"; empty: as it shows now), its fare table's page (1-based; 0: as it shows
    // now), and the backlight row (0 OFF, 1 ON1, 2 ON2), lit whatever the settings hold.
    QString nameForm;
    int page = 0;
    int backlight = 1;
    // --ride: the bus runs by itself from the start (on the route given, or the saved one);
    // --record FILE: the whole ride of --route as a video, made without a display.
    bool ride = false;
    QString record;
    double speed = 1;            // --speed, 1 (real time) to 60
    bool loop = false;           // --loop, with --ride
    int interval = 30;           // --interval, seconds between stops without a timetable
    QSize videoSize{1920, 1080}; // --size WxH
    int fps = 30;                // --fps
    int fromStop = 0;            // --from A, --to B: the stops the ride runs between; 0: the
    int toStop = 0;              // route's start and end
    // --publish URL: the boards' state goes to this broker's topic for this run. --follow URL:
    // the board(s) show what is published there, without a panel (with --screenshot: the first
    // state received, rendered).
    QString publish;
    QString follow;
    QString message; // the help or version text, or what is wrong
};

// Reads the arguments after the program's name. Never exits.
CommandLine parseCommandLine(const QStringList &arguments);

} // namespace q47
