// Lists the routes of a GTFS-JP feed and imports one trip as a route of the board, with its
// announcement list and the readings of its stop names.
#include "gtfsfeed.h"
#include "importfiles.h"
#include "routedata.h"
#include "tripimport.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstdio>

namespace {

const char *kHelp = R"(Usage:
  gtfstool list FEED
  gtfstool import FEED --trip TRIP_ID --route N --data DIR --sound DIR [--from SEQ] [--to SEQ]

FEED is a GTFS-JP feed (標準的なバス情報フォーマット): a folder or a .zip holding stops.txt,
routes.txt, trips.txt and stop_times.txt, and for fares fare_attributes.txt and
fare_rules.txt, for readings translations.txt.

list     every route, and under it each stop pattern (trips serving the same stops in
         the same order): stop count, first and last stop, headsign, number of trips
         and one trip_id to import it by.
import   the trip's stops in stop_sequence order become route N: N.hy3 and its side
         file N.route.json (the route's name and colours, the headsign at each stop,
         the names as written), its timetable N.timetable.csv (the arrival and
         departure time at each stop) and the names in kana, English, Chinese and
         Korean in names.csv in the data folder; the announcement list Ntp.csv (a
         linked "次は" and a "まもなく" entry for each stop) and the stop names'
         readings in readings.csv in the sound folder. --from and --to take
         stop_sequence values and import that part of the trip, its times with it.

Ticket numbers: consecutive boarding stops whose fares to every later stop are equal
share one ticket number (a fare section); numbers start at 1. At each stop, the cell of
ticket k shows the fare from the first stop of section k. A stop with pickup_type 1 starts
no section. Fares come from fare_rules.txt for the trip's route_id, by the zone_id of the
two stops; an empty field of a rule matches anything, and a feed with one fare and no
rules has that fare everywhere.

Problems are told as FILE:LINE: level: message. Warnings (a pair without a fare, a pair
with two prices, a name CP932 cannot hold, a currency other than JPY, fares of 10,000 yen
and more, which the LED board cuts to four digits) let the import go on; errors (more than 301 stops or 50 ticket numbers, an unknown trip, a folder that is
not a feed, a quote never closed, bytes that are not UTF-8 in a UTF-8 file, a zip member
that unpacks past 1 GiB) stop it before anything is written.
Exit 0: done, 1: refused, 2: usage error.
)";

void print(const q47::gtfs::Diagnostics &diagnostics) {
    for (const q47::Error &d : diagnostics)
        std::fprintf(stderr, "%s\n", qPrintable(d.diagnostic()));
}

int usage(const QString &message) {
    std::fprintf(stderr, "%s\n\n%s", qPrintable(message), kHelp);
    return 2;
}

// `onlyTrip`: an import keeps only what that trip needs, so that memory follows the trip and
// not the size of the feed.
bool loadFeed(const QString &path, q47::gtfs::Feed &feed, const QString &onlyTrip = {}) {
    const auto source = q47::gtfs::FeedSource::open(path);
    if (!source) {
        std::fprintf(stderr, "%s: error: %s\n", qPrintable(path),
                     qPrintable(source.error().detail));
        return false;
    }
    const bool ok = feed.load(**source, {}, onlyTrip);
    print(feed.diagnostics());
    return ok;
}

int list(const QString &path) {
    using namespace q47::gtfs;
    Feed feed;
    if (!loadFeed(path, feed))
        return 1;
    for (const RoutePatterns &r : feed.patterns()) {
        const QString name =
            r.route >= 0 ? feed.routes()[size_t(r.route)].displayName() : QStringLiteral("?");
        std::printf("route %s  %s\n", qPrintable(r.routeId), qPrintable(name));
        int k = 0;
        for (const Pattern &p : r.patterns)
            std::printf("  %d. %zu stops, %s -> %s, for %s, %d trip%s, e.g. %s\n", ++k,
                        p.stops.size(), qPrintable(feed.stopName(p.stops.front())),
                        qPrintable(feed.stopName(p.stops.back())), qPrintable(p.headsign), p.trips,
                        p.trips == 1 ? "" : "s", qPrintable(p.exampleTrip));
    }
    return 0;
}

bool takeOption(QStringList &args, const QString &name, QString &value) {
    const qsizetype at = args.indexOf(name);
    if (at < 0 || at + 1 >= args.size())
        return false;
    value = args[at + 1];
    args.remove(at, 2);
    return true;
}

bool takeNumber(QStringList &args, const QString &name, std::optional<int> &value, bool &bad) {
    QString text;
    if (!takeOption(args, name, text))
        return false;
    bool ok = false;
    value = text.toInt(&ok);
    bad |= !ok;
    return true;
}

int import(QStringList args) {
    using namespace q47::gtfs;
    ImportRequest request;
    QString data, sound, routeText;
    std::optional<int> route;
    bool bad = false;
    if (!takeOption(args, QStringLiteral("--trip"), request.tripId) ||
        !takeNumber(args, QStringLiteral("--route"), route, bad) ||
        !takeOption(args, QStringLiteral("--data"), data) ||
        !takeOption(args, QStringLiteral("--sound"), sound))
        return usage(QStringLiteral("import needs --trip, --route, --data and --sound"));
    takeNumber(args, QStringLiteral("--from"), request.from, bad);
    takeNumber(args, QStringLiteral("--to"), request.to, bad);
    if (bad || args.size() != 2)
        return usage(QStringLiteral("import: a number that is not one, or an unknown argument"));
    if (*route < q47::kFirstRoute || *route > q47::kLastRoute)
        return usage(QStringLiteral("--route takes %1 to %2, the route number of the panel")
                         .arg(q47::kFirstRoute)
                         .arg(q47::kLastRoute));
    request.route = *route;

    Feed feed;
    if (!loadFeed(args[1], feed, request.tripId)) {
        std::fprintf(stderr, "nothing was written\n");
        return 1;
    }
    const ImportPlan plan = planImport(feed, request);
    Diagnostics diagnostics;
    recoverImportFolders(data, sound, diagnostics);
    diagnostics += plan.diagnostics;
    ImportFiles files;
    const ImportWrite written =
        plan.ok() && prepareImport(feed, plan, data, sound, files, diagnostics)
            ? writeImport(files, diagnostics)
            : ImportWrite::NothingWritten;
    print(diagnostics);
    if (written == ImportWrite::NothingWritten)
        std::fprintf(stderr, "nothing was written\n");
    if (written != ImportWrite::Written)
        return 1;
    // How many stops have a name in each language.
    QStringList languages;
    for (int l = 1; l < q47::kNameLanguages; ++l) {
        const auto language = q47::NameLanguage(l);
        const auto known =
            std::count_if(plan.names.cbegin(), plan.names.cend(),
                          [&](const auto &name) { return !name.second[language].isEmpty(); });
        languages.append(QStringLiteral("%1 %2").arg(q47::nameLanguageTag(language)).arg(known));
    }
    std::printf("route %d: %zu stops, %d ticket numbers, %lld announcements, %lld readings, "
                "names in %s\n",
                plan.route, plan.stops.size(), plan.sections,
                static_cast<long long>(plan.announcements.size()),
                static_cast<long long>(plan.readings.size()),
                qPrintable(languages.join(QStringLiteral(", "))));
    for (const QString &path : files.paths())
        std::printf("  %s\n", qPrintable(path));
    return 0;
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty())
        return usage(QStringLiteral("a command is missing"));
    if (args[0] == QStringLiteral("--help") || args[0] == QStringLiteral("-h")) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    if (args[0] == QStringLiteral("list") && args.size() == 2)
        return list(args[1]);
    if (args[0] == QStringLiteral("import"))
        return import(args);
    return usage(QStringLiteral("unknown command or arguments"));
}
