#include "commandline.h"

#include "brokeraddress.h"
#include "error.h"
#include "lcdsettings.h"
#include "ride.h"
#include "routedata.h"
#include "videoencoder.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QRegularExpression>

#include <array>
#include <cmath>
#include <tuple>

namespace q47 {

namespace {

constexpr int kMaxSection = 300;
// A tenth of the board is still a picture of it; eight times a ticket is a poster.
constexpr double kMinScale = 0.1;
constexpr double kMaxScale = 8.0;
constexpr int kMaxPage = 50;
// A video from a thumbnail to 4K, at up to 60 frames a second.
constexpr QSize kMinVideo{160, 90};
constexpr QSize kMaxVideo{3840, 2160};
constexpr int kMaxFps = 60;
constexpr int kMaxInterval = 3600;

// A whole number from `least` to `most`, or what is wrong with it.
Expected<int, QString> boundedInt(const QCommandLineParser &parser,
                                  const QCommandLineOption &option, int least, int most,
                                  const QString &what) {
    bool ok = false;
    const QString text = parser.value(option);
    const int n = text.toInt(&ok);
    if (!ok || n < least || n > most)
        return QStringLiteral("--%1: not %2 from %3 to %4: %5")
            .arg(option.names().constFirst(), what)
            .arg(least)
            .arg(most)
            .arg(text);
    return n;
}

// The options of a ride and of its recording into `line`.
Expected<void, QString> readRideOptions(const QCommandLineParser &parser,
                                        std::array<const QCommandLineOption *, 6> options,
                                        CommandLine &line) {
    const auto &[speed, interval, size, fps, from, to] = options;
    if (parser.isSet(*speed)) {
        bool ok = false;
        line.speed = parser.value(*speed).toDouble(&ok);
        if (!ok || !std::isfinite(line.speed) || line.speed < RideOptions::kMinSpeed ||
            line.speed > RideOptions::kMaxSpeed)
            return QStringLiteral("--speed: not a speed from %1 to %2: %3")
                .arg(RideOptions::kMinSpeed)
                .arg(RideOptions::kMaxSpeed)
                .arg(parser.value(*speed));
    }
    const std::array<std::tuple<const QCommandLineOption *, int *, int, int, QString>, 4> counts{{
        {interval, &line.interval, 1, kMaxInterval, QStringLiteral("a count of seconds")},
        {fps, &line.fps, 1, kMaxFps, QStringLiteral("a frame rate")},
        {from, &line.fromStop, 1, kMaxSection, QStringLiteral("a stop")},
        {to, &line.toStop, 1, kMaxSection, QStringLiteral("a stop")},
    }};
    for (const auto &[option, value, least, most, what] : counts) {
        if (!parser.isSet(*option))
            continue;
        const Expected<int, QString> n = boundedInt(parser, *option, least, most, what);
        if (!n)
            return n.error();
        *value = *n;
    }
    if (line.fromStop && line.toStop && line.toStop <= line.fromStop)
        return QStringLiteral("--to: stop %1 is not after --from's stop %2")
            .arg(line.toStop)
            .arg(line.fromStop);
    if (line.fromStop)
        line.section = line.fromStop;
    if (parser.isSet(*size)) {
        static const QRegularExpression kSize(QStringLiteral("^(\\d{1,5})x(\\d{1,5})$"));
        const QRegularExpressionMatch m = kSize.match(parser.value(*size));
        const QSize s =
            m.hasMatch() ? QSize(m.captured(1).toInt(), m.captured(2).toInt()) : QSize();
        if (!m.hasMatch())
            return QStringLiteral("--size: not WIDTHxHEIGHT: %1").arg(parser.value(*size));
        if (s.width() < kMinVideo.width() || s.height() < kMinVideo.height() ||
            s.width() > kMaxVideo.width() || s.height() > kMaxVideo.height())
            return QStringLiteral("--size: from %1x%2 to %3x%4: %5")
                .arg(kMinVideo.width())
                .arg(kMinVideo.height())
                .arg(kMaxVideo.width())
                .arg(kMaxVideo.height())
                .arg(parser.value(*size));
        if (s.width() % 2 || s.height() % 2)
            return QStringLiteral("--size: the video's width and height are even numbers: %1")
                .arg(parser.value(*size));
        line.videoSize = s;
    }
    return {};
}

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
              QStringLiteral("data"), QStringLiteral("sound"), QStringLiteral("ride"),
              QStringLiteral("record")}) {
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
        QStringLiteral("With --screenshot, --ticket, --ride or --record: the route N."),
        QStringLiteral("N"));
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
    const QCommandLineOption ride(
        QStringLiteral("ride"),
        QStringLiteral("The bus runs by itself from the start, on the route's timetable "
                       "(N.timetable.csv beside the route) or at --interval, on --route or the "
                       "saved route."));
    const QCommandLineOption record(
        QStringLiteral("record"),
        QStringLiteral("Records the whole ride of --route as a video and ends; no display "
                       "needed. .mp4 (H.264 + AAC), .webm (VP9 + Opus) or .mkv (H.264 + AAC)."),
        QStringLiteral("FILE"));
    const QCommandLineOption speed(
        QStringLiteral("speed"),
        QStringLiteral("With --ride or --record: times real time, 1 to 60 (default 1)."),
        QStringLiteral("S"));
    const QCommandLineOption loop(
        QStringLiteral("loop"),
        QStringLiteral("With --ride: after the last stop the ride starts again."));
    const QCommandLineOption interval(
        QStringLiteral("interval"),
        QStringLiteral("With --ride or --record: seconds between stops on a route without a "
                       "timetable, 1 to 3600 (default 30)."),
        QStringLiteral("S"));
    const QCommandLineOption size(
        QStringLiteral("size"),
        QStringLiteral("With --record: the video's size, even numbers from 160x90 to 3840x2160 "
                       "(default 1920x1080)."),
        QStringLiteral("WxH"));
    const QCommandLineOption fps(
        QStringLiteral("fps"),
        QStringLiteral("With --record: frames a second, 1 to 60 (default 30)."),
        QStringLiteral("F"));
    const QCommandLineOption from(
        QStringLiteral("from"),
        QStringLiteral("With --ride or --record: the stop the ride starts at (default the "
                       "first)."),
        QStringLiteral("A"));
    const QCommandLineOption to(
        QStringLiteral("to"),
        QStringLiteral("With --ride or --record: the stop the ride ends at (default the last)."),
        QStringLiteral("B"));
    parser.addOptions({help,   version,     data,  sound,   board, screenshot, ticket,
                       plugin, checkPlugin, route, section, steps, scale,      nameForm,
                       page,   backlight,   ride,  record,  speed, loop,       interval,
                       size,   fps,         from,  to});
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
    const bool riding = parser.isSet(ride);
    const bool recording = parser.isSet(record);
    if (int(shot) + int(oneTicket) + int(riding) + int(recording) > 1)
        return fail(QStringLiteral("--screenshot, --ticket, --ride and --record: one at a time"));
    if (parser.isSet(route) && !shot && !oneTicket && !riding && !recording)
        return fail(QStringLiteral("--route needs --screenshot, --ticket, --ride or --record"));
    if (parser.isSet(scale) && !shot && !oneTicket)
        return fail(QStringLiteral("--scale needs --screenshot or --ticket"));
    for (const QCommandLineOption *option : {&speed, &interval, &from, &to}) {
        if (parser.isSet(*option) && !riding && !recording)
            return fail(
                QStringLiteral("--%1 needs --ride or --record").arg(option->names().constFirst()));
    }
    if (parser.isSet(loop) && !riding)
        return fail(QStringLiteral("--loop needs --ride"));
    for (const QCommandLineOption *option : {&size, &fps}) {
        if (parser.isSet(*option) && !recording)
            return fail(QStringLiteral("--%1 needs --record").arg(option->names().constFirst()));
    }
    if (recording && !parser.isSet(route))
        return fail(QStringLiteral("--record needs --route"));
    if ((riding || recording) && (parser.isSet(section) || parser.isSet(steps)))
        return fail(QStringLiteral("--section and --steps: with --ride or --record, --from "
                                   "gives the first stop"));
    if (riding || recording) {
        const Expected<void, QString> read =
            readRideOptions(parser, {&speed, &interval, &size, &fps, &from, &to}, line);
        if (!read)
            return fail(read.error());
        line.loop = parser.isSet(loop);
        line.ride = riding;
        if (recording) {
            if (lcd::boardKindNamed(line.board) == lcd::BoardKind::Both)
                return fail(QStringLiteral("--record: one board, led or lcd"));
            line.action = CommandLine::Action::Record;
            line.record = parser.value(record);
            if (!videoFormatForPath(line.record))
                return fail(QStringLiteral("--record: the file must end in .mp4, .webm or "
                                           ".mkv: %1")
                                .arg(line.record));
        }
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
    if (!shot && !oneTicket && !recording && !riding)
        return line;

    if (recording || riding) {
        // The route below, its stops checked against the route when it is set.
    } else if (shot && line.follow.isEmpty()) {
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
