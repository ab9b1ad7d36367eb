#include "commandline.h"

#include "brokeraddress.h"
#include "lcdsettings.h"
#include "routedata.h"

#include <QCommandLineParser>
#include <QFileInfo>

#include <cmath>

namespace q47 {

namespace {

constexpr int kMaxSection = 300;
// A tenth of the board is still a picture of it; eight times a ticket is a poster.
constexpr double kMinScale = 0.1;
constexpr double kMaxScale = 8.0;
constexpr int kMaxPage = 50;

CommandLine fail(const QString &what) {
    CommandLine line;
    line.action = CommandLine::Action::Error;
    line.message = what + QStringLiteral("\nTry 'Q47 --help'.");
    return line;
}

QList<QCommandLineOption> remoteOptions() {
    return {QCommandLineOption(
                QStringLiteral("publish"),
                QStringLiteral("Publishes what the board shows, at every change, as the retained "
                               "message of a topic: mqtt://[USER@]HOST[:PORT]/TOPIC, or mqtts:// "
                               "for TLS. The password and a CA file may come from "
                               "Q47_MQTT_PASSWORD and Q47_MQTT_CAFILE."),
                QStringLiteral("URL")),
            QCommandLineOption(
                QStringLiteral("follow"),
                QStringLiteral("Shows only the board(s), following what is published on the "
                               "topic; with --screenshot, renders the first state received "
                               "(waiting at most 10 s) and ends."),
                QStringLiteral("URL"))};
}

// --publish and --follow, checked; an empty text when they are right.
QString takeRemoteOptions(const QCommandLineParser &parser, CommandLine &line) {
    line.publish = parser.value(QStringLiteral("publish"));
    line.follow = parser.value(QStringLiteral("follow"));
    if (!line.publish.isEmpty() && !line.follow.isEmpty())
        return QStringLiteral("--publish and --follow: one at a time");
    for (const QString &url : {line.publish, line.follow}) {
        if (url.isEmpty())
            continue;
        const Result<BrokerAddress> address = parseBrokerUrl(url);
        if (!address)
            return QStringLiteral("not a board's topic: %1: %2").arg(url, address.error().text());
    }
    if (!line.follow.isEmpty()) {
        for (const QString &name :
             {QStringLiteral("route"), QStringLiteral("ticket"), QStringLiteral("check-plugin"),
              QStringLiteral("data"), QStringLiteral("sound")}) {
            if (parser.isSet(name))
                return QStringLiteral("--follow shows what is published: no --%1").arg(name);
        }
    }
    return {};
}

} // namespace

CommandLine parseCommandLine(const QStringList &arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Bus fare display: the fare board of a Japanese route bus and its "
                       "control panel."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Shows this help and ends."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Shows the version and ends."));
    const QCommandLineOption data(QStringLiteral("data"),
                                  QStringLiteral("Route data folder (*.hy3) for this run."),
                                  QStringLiteral("DIR"));
    const QCommandLineOption sound(QStringLiteral("sound"),
                                   QStringLiteral("Announcement folder (*tp.csv) for this run."),
                                   QStringLiteral("DIR"));
    const QCommandLineOption board(
        QStringLiteral("board"),
        QStringLiteral("The board for this run, also for --screenshot: led (seven-segment), "
                       "lcd (liquid crystal) or led,lcd (both)."),
        QStringLiteral("KIND"));
    const QCommandLineOption screenshot(
        QStringLiteral("screenshot"),
        QStringLiteral("Starts with the saved state, renders the board to a PNG file and ends; "
                       "no display needed."),
        QStringLiteral("FILE"));
    const QCommandLineOption ticket(
        QStringLiteral("ticket"),
        QStringLiteral("Renders the ticket of the --plugin given to a PNG file and ends; no "
                       "display needed. With --route, the ticket of that route's stop; else "
                       "one with sample values."),
        QStringLiteral("FILE"));
    const QCommandLineOption plugin(QStringLiteral("plugin"),
                                    QStringLiteral("With --ticket: the ticket plug-in (*.4SP)."),
                                    QStringLiteral("FILE"));
    const QCommandLineOption checkPlugin(
        QStringLiteral("check-plugin"),
        QStringLiteral("Checks a ticket plug-in: prints each fault with its line (exit code 1) "
                       "and each barcode that would be left out."),
        QStringLiteral("FILE"));
    const QCommandLineOption route(
        QStringLiteral("route"),
        QStringLiteral("With --screenshot or --ticket: sets route N first."), QStringLiteral("N"));
    const QCommandLineOption section(
        QStringLiteral("section"),
        QStringLiteral("With --route: the starting stop (1 to 300, default 1)."),
        QStringLiteral("S"));
    const QCommandLineOption steps(
        QStringLiteral("steps"),
        QStringLiteral("With --route: steps the bus N stops forward first (0 to 299)."),
        QStringLiteral("N"));
    const QCommandLineOption scale(
        QStringLiteral("scale"),
        QStringLiteral("With --screenshot or --ticket: the scale of the board or the ticket "
                       "(0.1 to 8; default 1)."),
        QStringLiteral("S"));
    const QCommandLineOption nameForm(
        QStringLiteral("name-form"),
        QStringLiteral("With --screenshot: the LCD board's stop name in one form: kanji, kana, "
                       "en, zh-Hans, zh-Hant or ko (as written when the stop has no such "
                       "name)."),
        QStringLiteral("FORM"));
    const QCommandLineOption page(
        QStringLiteral("page"),
        QStringLiteral("With --screenshot: the page N of the LCD board's fare table (from 1; "
                       "past the last, the pages count round)."),
        QStringLiteral("N"));
    const QCommandLineOption backlight(
        QStringLiteral("backlight"),
        QStringLiteral("With --screenshot: the backlight, off, on1 or on2 (default on1, "
                       "whatever the settings hold)."),
        QStringLiteral("ROW"));
    parser.addOptions({help, version, data, sound, board, screenshot, ticket, plugin, checkPlugin,
                       route, section, steps, scale, nameForm, page, backlight});
    parser.addOptions(remoteOptions());

    if (!parser.parse(QStringList{QStringLiteral("Q47")} + arguments))
        return fail(parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return fail(QStringLiteral("Unexpected argument: %1").arg(parser.positionalArguments()[0]));

    CommandLine line;
    if (parser.isSet(help)) {
        line.action = CommandLine::Action::Help;
        line.message = parser.helpText();
        return line;
    }
    if (parser.isSet(version)) {
        line.action = CommandLine::Action::Version;
        line.message = QStringLiteral("Q47 " Q47_VERSION);
        return line;
    }
    for (const auto &[option, folder] :
         {std::pair{&data, &line.dataFolder}, std::pair{&sound, &line.soundFolder}}) {
        if (!parser.isSet(*option))
            continue;
        *folder = parser.value(*option);
        if (!QFileInfo(*folder).isDir())
            return fail(QStringLiteral("--%1: no such folder: %2")
                            .arg(option->names().constFirst(), *folder));
    }
    if (parser.isSet(board)) {
        line.board = parser.value(board);
        if (!lcd::boardKindNamed(line.board))
            return fail(QStringLiteral("--board: not led, lcd or led,lcd: %1").arg(line.board));
    }
    if (const QString wrong = takeRemoteOptions(parser, line); !wrong.isEmpty())
        return fail(wrong);
    if (parser.isSet(checkPlugin)) {
        line.action = CommandLine::Action::CheckPlugin;
        line.plugin = parser.value(checkPlugin);
        return line;
    }
    const bool shot = parser.isSet(screenshot);
    const bool oneTicket = parser.isSet(ticket);
    if (shot && oneTicket)
        return fail(QStringLiteral("--screenshot and --ticket: one at a time"));
    for (const QCommandLineOption *option : {&route, &scale}) {
        if (parser.isSet(*option) && !shot && !oneTicket)
            return fail(QStringLiteral("--%1 needs --screenshot or --ticket")
                            .arg(option->names().constFirst()));
    }
    if (parser.isSet(plugin) != oneTicket)
        return fail(oneTicket ? QStringLiteral("--ticket needs --plugin")
                              : QStringLiteral("--plugin needs --ticket"));
    for (const QCommandLineOption *option : {&nameForm, &page, &backlight}) {
        if (parser.isSet(*option) && !shot)
            return fail(
                QStringLiteral("--%1 needs --screenshot").arg(option->names().constFirst()));
    }
    for (const QCommandLineOption *option : {&section, &steps}) {
        if (parser.isSet(*option) && !parser.isSet(route))
            return fail(QStringLiteral("--%1 needs --route").arg(option->names().constFirst()));
    }
    if (!line.follow.isEmpty()) {
        line.action = CommandLine::Action::Follow;
        line.screenshot = parser.value(screenshot);
        if (shot && line.screenshot.isEmpty())
            return fail(QStringLiteral("--screenshot: no file name"));
    }
    if (!shot && !oneTicket)
        return line;

    if (shot && line.follow.isEmpty()) {
        line.action = CommandLine::Action::Screenshot;
        line.screenshot = parser.value(screenshot);
        if (line.screenshot.isEmpty())
            return fail(QStringLiteral("--screenshot: no file name"));
    } else if (oneTicket) {
        line.action = CommandLine::Action::Ticket;
        line.ticket = parser.value(ticket);
        line.plugin = parser.value(plugin);
        if (line.ticket.isEmpty())
            return fail(QStringLiteral("--ticket: no file name"));
    }
    if (parser.isSet(route)) {
        bool ok = false;
        const int n = parser.value(route).toInt(&ok);
        if (!ok || n < kFirstRoute || n > kLastRoute)
            return fail(QStringLiteral("--route: not a route number from %1 to %2: %3")
                            .arg(kFirstRoute)
                            .arg(kLastRoute)
                            .arg(parser.value(route)));
        line.route = QString::number(n);
    }
    if (parser.isSet(section)) {
        bool ok = false;
        line.section = parser.value(section).toInt(&ok);
        if (!ok || line.section < 1 || line.section > kMaxSection)
            return fail(QStringLiteral("--section: not a stop from 1 to %1: %2")
                            .arg(kMaxSection)
                            .arg(parser.value(section)));
    }
    if (parser.isSet(steps)) {
        bool ok = false;
        line.steps = parser.value(steps).toInt(&ok);
        if (!ok || line.steps < 0 || line.steps >= kMaxSection)
            return fail(QStringLiteral("--steps: not a count from 0 to %1: %2")
                            .arg(kMaxSection - 1)
                            .arg(parser.value(steps)));
    }
    if (parser.isSet(nameForm)) {
        static const QStringList kForms{QStringLiteral("kanji"),   QStringLiteral("kana"),
                                        QStringLiteral("en"),      QStringLiteral("zh-Hans"),
                                        QStringLiteral("zh-Hant"), QStringLiteral("ko")};
        line.nameForm = parser.value(nameForm);
        if (!kForms.contains(line.nameForm))
            return fail(QStringLiteral("--name-form: not one of %1: %2")
                            .arg(kForms.join(QStringLiteral(", ")), line.nameForm));
    }
    if (parser.isSet(page)) {
        bool ok = false;
        line.page = parser.value(page).toInt(&ok);
        if (!ok || line.page < 1 || line.page > kMaxPage)
            return fail(QStringLiteral("--page: not a page from 1 to %1: %2")
                            .arg(kMaxPage)
                            .arg(parser.value(page)));
    }
    if (parser.isSet(backlight)) {
        static const QStringList kRows{QStringLiteral("off"), QStringLiteral("on1"),
                                       QStringLiteral("on2")};
        line.backlight = int(kRows.indexOf(parser.value(backlight)));
        if (line.backlight < 0)
            return fail(QStringLiteral("--backlight: not off, on1 or on2: %1")
                            .arg(parser.value(backlight)));
    }
    if (parser.isSet(scale)) {
        bool ok = false;
        line.scale = parser.value(scale).toDouble(&ok);
        if (!ok || !std::isfinite(line.scale))
            return fail(QStringLiteral("--scale: not a number: %1").arg(parser.value(scale)));
        if (line.scale < kMinScale)
            return fail(QStringLiteral("--scale: too small, the least is %1: %2")
                            .arg(kMinScale)
                            .arg(parser.value(scale)));
        if (line.scale > kMaxScale)
            return fail(QStringLiteral("--scale: too large, the most is %1: %2")
                            .arg(kMaxScale)
                            .arg(parser.value(scale)));
    }
    return line;
}

} // namespace q47
