#include "tripimport.h"

#include "cp932.h"
#include "japanesereading.h"
#include "readingtext.h"

#include <QColor>
#include <QHash>
#include <QRegularExpression>
#include <QSet>

#include <cmath>

namespace q47::gtfs {

namespace {

const QString kStops = QStringLiteral("stops.txt");
const QString kTrips = QStringLiteral("trips.txt");
const QString kStopTimes = QStringLiteral("stop_times.txt");
const QString kFares = QStringLiteral("fare_attributes.txt");
const QString kFareRules = QStringLiteral("fare_rules.txt");
const QString kTranslations = QStringLiteral("translations.txt");

constexpr int kMaxFare = 32767;

Error warning(const QString &file, int line, const QString &text) {
    return diagnostic(Severity::Warning, file, line, text);
}
Error error(const QString &file, int line, const QString &text) {
    return diagnostic(Severity::Error, file, line, text);
}

bool cp932Holds(const QString &text) {
    return fromCp932(toCp932(text)) == text;
}

// Fares of one route between zones, by fare_rules.txt. A rule's empty field matches anything;
// the rule naming the most fields wins, and of equally specific rules the lowest price.
class FareLookup {
public:
    FareLookup(const Feed &feed, Key route, Diagnostics &out)
        : feed_(feed), route_(route), out_(out) {
        const auto &rules = feed.fareRules();
        if (!feed.hasFareRules()) {
            if (feed.fares().size() == 1)
                flat_ = 0;
            else if (feed.fares().empty())
                out_.append(warning(
                    kFares, 0, QStringLiteral("the feed has no fares; every cell stays blank")));
            else
                out_.append(warning(kFareRules, 0,
                                    QStringLiteral("%1 fares and no fare rules: which one applies "
                                                   "is not known; every cell stays blank")
                                        .arg(feed.fares().size())));
            return;
        }
        bool containsNoted = false;
        for (int i = 0; i < int(rules.size()); ++i) {
            const FareRule &r = rules[size_t(i)];
            if (r.route != 0 && r.route != route)
                continue;
            if (r.contains) {
                if (!containsNoted)
                    out_.append(warning(kFareRules, r.line,
                                        QStringLiteral("rules by contains_id are not applied")));
                containsNoted = true;
                continue;
            }
            if (r.fare < 0) {
                out_.append(warning(kFareRules, r.line,
                                    QStringLiteral("its fare_id is not in fare_attributes.txt; "
                                                   "the rule is not used")));
                continue;
            }
            byZones_[pairKey(r.origin, r.destination)].append(i);
        }
    }

    std::optional<int> fare(Key origin, Key destination) {
        const quint64 key = pairKey(origin, destination);
        const auto memo = memo_.constFind(key);
        if (memo != memo_.constEnd())
            return *memo;
        const std::optional<int> found = flat_ ? price(*flat_) : match(origin, destination);
        memo_.insert(key, found);
        return found;
    }

private:
    static quint64 pairKey(Key a, Key b) { return quint64(quint32(a)) << 32 | quint32(b); }

    std::optional<int> match(Key origin, Key destination) {
        const auto &rules = feed_.fareRules();
        const auto &fares = feed_.fares();
        QList<quint64> keys{pairKey(origin, destination)};
        for (const quint64 k : {pairKey(origin, 0), pairKey(0, destination), pairKey(0, 0)})
            if (!keys.contains(k))
                keys.append(k);
        int bestRank = -1;
        QList<int> best;
        for (const quint64 key : keys)
            for (const int i : byZones_.value(key)) {
                const FareRule &r = rules[size_t(i)];
                const int rank = (r.route != 0) + (r.origin != 0) + (r.destination != 0);
                if (rank > bestRank) {
                    bestRank = rank;
                    best.clear();
                }
                if (rank == bestRank)
                    best.append(i);
            }
        std::optional<int> lowest, highest;
        int low = -1, high = -1;
        for (const int i : best) {
            const std::optional<int> p = price(rules[size_t(i)].fare);
            if (!p)
                continue;
            if (!lowest || *p < *lowest) {
                lowest = p;
                low = i;
            }
            if (!highest || *p > *highest) {
                highest = p;
                high = i;
            }
        }
        if (lowest && *highest != *lowest) {
            const FareRule &a = rules[size_t(low)], &b = rules[size_t(high)];
            out_.append(warning(
                kFareRules, std::max(a.line, b.line),
                QStringLiteral("%1 is listed twice with two prices: %2 yen (fare %3, line %4) and "
                               "%5 yen (fare %6, line %7); the lower is used")
                    .arg(pairText(origin, destination))
                    .arg(*lowest)
                    .arg(fares[size_t(a.fare)].id)
                    .arg(a.line)
                    .arg(*highest)
                    .arg(fares[size_t(b.fare)].id)
                    .arg(b.line)));
        }
        return lowest;
    }

    // The fare's price in yen as a cell holds it; each fare's problems are told once.
    std::optional<int> price(int fareIndex) {
        const Fare &f = feed_.fares()[size_t(fareIndex)];
        const bool first = !told_.contains(fareIndex);
        told_.insert(fareIndex);
        if (!f.priceRead) {
            // A fare the feed names but cannot give would leave its cells silently blank.
            if (first)
                out_.append(error(kFares, f.line,
                                  QStringLiteral("price \"%1\" of fare %2 is not a number of yen")
                                      .arg(f.priceText, f.id)));
            return std::nullopt;
        }
        if (first && f.currency != QLatin1String("JPY"))
            out_.append(warning(
                kFares, f.line,
                QStringLiteral("fare %1 is in %2, not JPY; its price %3 is shown "
                               "as it is")
                    .arg(f.id, f.currency.isEmpty() ? QStringLiteral("no currency") : f.currency)
                    .arg(f.price)));
        const double rounded = std::round(f.price);
        if (rounded < 0 || rounded > kMaxFare) {
            if (first)
                out_.append(error(kFares, f.line,
                                  QStringLiteral("fare %1 of %2 does not fit a cell (0 to %3)")
                                      .arg(f.id)
                                      .arg(f.price)
                                      .arg(kMaxFare)));
            return std::nullopt;
        }
        if (first && rounded != f.price)
            out_.append(warning(kFares, f.line,
                                QStringLiteral("fare %1 of %2 is shown as %3")
                                    .arg(f.id)
                                    .arg(f.price)
                                    .arg(rounded)));
        return int(rounded);
    }

    QString pairText(Key origin, Key destination) const {
        const auto zone = [this](Key k) {
            return k == 0 ? QStringLiteral("any zone")
                          : QStringLiteral("zone %1").arg(feed_.keyText(k));
        };
        return QStringLiteral("%1 to %2 on route %3")
            .arg(zone(origin), zone(destination), feed_.keyText(route_));
    }

    const Feed &feed_;
    Key route_;
    Diagnostics &out_;
    std::optional<int> flat_;
    QHash<quint64, QList<int>> byZones_;
    QHash<quint64, std::optional<int>> memo_;
    QSet<int> told_;
};

QString destinationWords(QString headsign) {
    headsign = headsign.trimmed();
    for (const QString &suffix : {QStringLiteral("行き"), QStringLiteral("行")})
        if (headsign.endsWith(suffix) && headsign.size() > suffix.size())
            return headsign.chopped(suffix.size());
    return headsign;
}

// The stop range the request asks for, as indices into the trip's stop times.
bool requestedRange(const Trip &trip, const ImportRequest &request, int &first, int &last,
                    Diagnostics &out) {
    const auto &times = trip.stopTimes;
    first = 0;
    last = int(times.size()) - 1;
    const auto find = [&](int sequence, const char *option, int &index) {
        for (int i = 0; i < int(times.size()); ++i)
            if (times[size_t(i)].sequence == sequence) {
                index = i;
                return true;
            }
        out.append(error(kStopTimes, 0,
                         QStringLiteral("trip %1 has no stop_sequence %2 (%3); its stops are "
                                        "numbered %4 to %5")
                             .arg(trip.id)
                             .arg(sequence)
                             .arg(QLatin1String(option))
                             .arg(times.front().sequence)
                             .arg(times.back().sequence)));
        return false;
    };
    if (request.from && !find(*request.from, "--from", first))
        return false;
    if (request.to && !find(*request.to, "--to", last))
        return false;
    if (last - first < 1) {
        out.append(error(kStopTimes, 0,
                         QStringLiteral("a route needs at least two stops; --from must come "
                                        "before --to")));
        return false;
    }
    return true;
}

} // namespace

std::vector<int> fareSections(int stopCount, const std::vector<bool> &boarding, const FareFn &fare,
                              std::vector<qint16> &seiriNo) {
    std::vector<int> starts;
    seiriNo.assign(size_t(stopCount), 0);
    for (int j = 0; j < stopCount; ++j) {
        bool opens = boarding[size_t(j)];
        if (opens && !starts.empty()) {
            const int s = starts.back();
            bool same = true;
            for (int i = j + 1; i < stopCount && same; ++i)
                same = fare(s, i) == fare(j, i);
            opens = !same;
        }
        if (opens)
            starts.push_back(j);
        seiriNo[size_t(j)] = qint16(std::min<size_t>(starts.size(), 32767));
    }
    return starts;
}

QString boardHeadsign(const QString &headsign, const QStringList &routeNames) {
    const QString text = headsign.trimmed();
    static const QStringList kSaysWhere = {
        QStringLiteral("行"),   QStringLiteral("行き"),   QStringLiteral("ゆき"),
        QStringLiteral("方面"), QStringLiteral("止まり"), QStringLiteral("経由"),
        QStringLiteral("回り"), QStringLiteral("まわり"), QStringLiteral("周り")};
    bool japanese = false;
    int size = 1;
    for (qsizetype i = 0; i < text.size() && !japanese; i += size)
        japanese = reading::isJapanese(reading::codePointAt(text, i, &size));
    if (text.isEmpty() || !japanese || text.contains(QStringLiteral("循環")) ||
        routeNames.contains(text) ||
        std::any_of(kSaysWhere.cbegin(), kSaysWhere.cend(),
                    [&text](const QString &end) { return text.endsWith(end); }))
        return text;
    return text + QStringLiteral("行");
}

QString speakableReading(const QString &feedReading) {
    // Before the clean-up, which would make a full-width "～" a tilde.
    const QString text = toKatakana(reading::sanitize(reading::plainKanaReading(feedReading)));
    QString out;
    bool pause = false;
    const auto add = [&](const QString &kana) {
        if (pause && !out.isEmpty())
            out += u'、';
        pause = false;
        out += kana;
    };
    for (qsizetype i = 0; i < text.size();) {
        const QChar c = text[i];
        const char16_t u = c.unicode();
        if ((u >= u'ァ' && u <= u'ヺ') || u == u'ー' || u == u'ヽ' || u == u'ヾ') {
            add(QString(c));
            ++i;
        } else if (reading::isAsciiDigit(c)) {
            qsizetype j = i;
            while (j < text.size() && reading::isAsciiDigit(text[j]))
                ++j;
            add(numberReading(QStringView(text).sliced(i, j - i)));
            i = j;
        } else if (reading::isAsciiLetter(c)) {
            qsizetype j = i;
            while (j < text.size() && reading::isAsciiLetter(text[j]))
                ++j;
            const QString kana = reading::latinReading(QStringView(text).sliced(i, j - i));
            if (kana.isEmpty())
                return {};
            add(kana);
            i = j;
        } else if (c.isSpace() || c.isPunct()) {
            pause = true;
            ++i;
        } else {
            return {};
        }
    }
    return out;
}

ImportPlan planImport(const Feed &feed, const ImportRequest &request) {
    ImportPlan plan;
    plan.tripId = request.tripId;
    plan.route = request.route;
    plan.feedName = feed.name();
    Diagnostics &out = plan.diagnostics;

    const int tripIndex = feed.tripIndex(request.tripId);
    if (tripIndex < 0) {
        out.append(error(kTrips, 0,
                         QStringLiteral("no trip %1 in the feed; `gtfstool list FEED` lists "
                                        "each pattern with an example trip_id")
                             .arg(request.tripId)));
        return plan;
    }
    const Trip &trip = feed.trips()[size_t(tripIndex)];
    plan.routeId = trip.routeId;
    if (trip.route < 0)
        out.append(warning(kTrips, trip.line,
                           QStringLiteral("route %1 is not in routes.txt").arg(trip.routeId)));
    if (trip.stopTimes.empty()) {
        out.append(error(kStopTimes, 0, QStringLiteral("trip %1 has no stop times").arg(trip.id)));
        return plan;
    }
    for (size_t i = 0; i < trip.stopTimes.size(); ++i) {
        const StopTime &st = trip.stopTimes[i];
        if (st.badSequence)
            out.append(error(kStopTimes, st.line,
                             QStringLiteral("stop_sequence is not a whole number of 0 or more")));
        else if (st.stop < 0)
            out.append(
                error(kStopTimes, st.line, QStringLiteral("its stop_id is not in stops.txt")));
        else if (i > 0 && trip.stopTimes[i - 1].sequence == st.sequence)
            out.append(warning(
                kStopTimes, st.line,
                QStringLiteral("stop_sequence %1 twice in trip %2").arg(st.sequence).arg(trip.id)));
    }
    int first = 0, last = 0;
    if (hasError(out) || !requestedRange(trip, request, first, last, out))
        return plan;

    const int n = last - first + 1;
    const auto times =
        std::vector<StopTime>(trip.stopTimes.begin() + first, trip.stopTimes.begin() + last + 1);
    const auto partHint = [&](int cut) {
        plan.proposedPart.emplace(times.front().sequence, times[size_t(cut)].sequence);
        return QStringLiteral("import it in parts with --from/--to, e.g. --from %1 --to %2, "
                              "then --from %2")
            .arg(times.front().sequence)
            .arg(times[size_t(cut)].sequence);
    };
    if (n > kRouteSlots) {
        out.append(error(kStopTimes, 0,
                         QStringLiteral("trip %1 has %2 stops and a route holds %3: %4")
                             .arg(trip.id)
                             .arg(n)
                             .arg(kRouteSlots)
                             .arg(partHint(kRouteSlots - 1))));
        return plan;
    }

    // Stops, names and readings.
    QSet<int> told;
    QHash<QString, QString> readingOf;
    for (const StopTime &st : times) {
        PlannedStop p;
        p.name = feed.stopName(st.stop);
        p.sequence = st.sequence;
        p.boarding = !st.noPickup;
        p.forms = feed.nameForms(st.stop);
        p.forms[NameLanguage::Kana] = reading::plainKanaReading(p.forms[NameLanguage::Kana]);
        p.feedReading = p.forms[NameLanguage::Kana];
        p.reading = speakableReading(p.feedReading);
        p.headsign = feed.stopHeadsign(st);
        const Stop &stop = feed.stops()[size_t(st.stop)];
        if (!told.contains(st.stop)) {
            told.insert(st.stop);
            // A nameless stop would be announced as "次は、です。".
            if (p.name.isEmpty())
                out.append(error(kStops, stop.line,
                                 QStringLiteral("stop %1 has no name, nor has a station above it")
                                     .arg(stop.id)));
            else if (!cp932Holds(p.name))
                out.append(warning(kStops, stop.line,
                                   QStringLiteral("%1 has characters the route file (CP932) cannot "
                                                  "hold; they show as ? on the LED board, and the "
                                                  "route's side file keeps the name as written")
                                       .arg(p.name)));
            if (p.feedReading.isEmpty())
                out.append(diagnostic(
                    Severity::Note, kTranslations, 0,
                    QStringLiteral("no kana reading for %1; the reader guesses it").arg(p.name)));
            else if (p.reading.isEmpty())
                out.append(warning(kTranslations, 0,
                                   QStringLiteral("the reading %1 of %2 has characters that "
                                                  "cannot be spoken; it is not used")
                                       .arg(p.feedReading, p.name)));
        }
        if (!p.name.isEmpty() && !p.reading.isEmpty()) {
            const auto it = readingOf.constFind(p.name);
            if (it == readingOf.constEnd()) {
                readingOf.insert(p.name, p.reading);
                plan.readings.append({p.name, p.reading});
            } else if (*it != p.reading) {
                out.append(warning(kTranslations, 0,
                                   QStringLiteral("%1 has two readings, %2 and %3; the first is "
                                                  "used")
                                       .arg(p.name, *it, p.reading)));
            }
        }
        if (st.badTime)
            out.append(warning(kStopTimes, st.line,
                               QStringLiteral("a time that is not H:MM:SS; the timetable leaves "
                                              "it out")));
        const auto seconds = [](qint32 t) { return t < 0 ? std::nullopt : std::optional(t); };
        plan.timetable.stops.push_back({seconds(st.arrival), seconds(st.departure), p.name});
        if (!p.name.isEmpty() && p.forms != NameForms() &&
            std::none_of(plan.names.cbegin(), plan.names.cend(),
                         [&](const auto &known) { return known.first == p.name; }))
            plan.names.append({p.name, p.forms});
        plan.stops.push_back(std::move(p));
    }

    // Fares between the stops of the trip, by their zones.
    FareLookup lookup(feed, trip.routeKey, out);
    std::vector<Key> zones;
    for (const StopTime &st : times)
        zones.push_back(feed.stopZone(st.stop));
    std::vector<std::optional<int>> matrix(size_t(n) * size_t(n));
    for (int j = 0; j < n; ++j)
        for (int i = j + 1; i < n; ++i)
            matrix[size_t(j) * size_t(n) + size_t(i)] =
                lookup.fare(zones[size_t(j)], zones[size_t(i)]);
    const FareFn fare = [&](int j, int i) { return matrix[size_t(j) * size_t(n) + size_t(i)]; };

    std::vector<bool> boarding;
    for (const PlannedStop &p : plan.stops)
        boarding.push_back(p.boarding);
    std::vector<qint16> seiriNo;
    const std::vector<int> starts = fareSections(n, boarding, fare, seiriNo);
    plan.sections = int(starts.size());
    if (plan.sections > kFareCells) {
        out.append(error(kFareRules, 0,
                         QStringLiteral("trip %1 needs %2 ticket numbers and the board has %3: %4")
                             .arg(trip.id)
                             .arg(plan.sections)
                             .arg(kFareCells)
                             .arg(partHint(starts[size_t(kFareCells)]))));
        return plan;
    }

    QSet<quint64> missingTold;
    int dearest = 0;
    for (int i = 0; i < n; ++i) {
        PlannedStop &p = plan.stops[size_t(i)];
        p.seiriNo = seiriNo[size_t(i)];
        StopRecord r;
        r.StopName = p.name;
        r.SeiriNo = p.seiriNo;
        for (int k = 0; k < plan.sections; ++k) {
            const int s = starts[size_t(k)];
            if (s >= i)
                break;
            const std::optional<int> f = fare(s, i);
            r.setDataCol(k + 1, qint16(f.value_or(0)));
            dearest = std::max(dearest, f.value_or(0));
            const quint64 pair =
                quint64(quint32(zones[size_t(s)])) << 32 | quint32(zones[size_t(i)]);
            if (!f && !missingTold.contains(pair)) {
                missingTold.insert(pair);
                out.append(warning(
                    kFareRules, 0,
                    QStringLiteral("no fare from %1 (zone %2) to %3 (zone %4) on route %5; the "
                                   "cell stays blank")
                        .arg(plan.stops[size_t(s)].name, feed.keyText(zones[size_t(s)]), p.name,
                             feed.keyText(zones[size_t(i)]), trip.routeId)));
            }
        }
        plan.records.push_back(std::move(r));
    }

    // The LED board's cells have four digits; the LCD board shows a fare whole.
    if (dearest >= 10000)
        out.append(warning(kFares, 0,
                           QStringLiteral("route %1 has fares of 10,000 yen and more, up to %2 "
                                          "yen: the LED board shows only their last four "
                                          "digits (the LCD board shows them whole)")
                               .arg(trip.routeId)
                               .arg(dearest)));

    // What the route file cannot hold: the route's name and colours, the headsign at each stop
    // (the stop's own, else the trip's, else its last stop), the names as written.
    const Route *route = trip.route >= 0 ? &feed.routes()[size_t(trip.route)] : nullptr;
    const QString lastStop = feed.stopName(trip.stopTimes.back().stop);
    const auto headsignAt = [&](const PlannedStop &p) {
        return !p.headsign.trimmed().isEmpty()      ? p.headsign.trimmed()
               : !trip.headsign.trimmed().isEmpty() ? trip.headsign.trimmed()
                                                    : lastStop;
    };
    if (route) {
        plan.side.name = !route->shortName.trimmed().isEmpty() ? route->shortName.trimmed()
                                                               : route->longName.trimmed();
        const auto colour = [&](const QString &text, const char *field) {
            static const QRegularExpression rgb(QStringLiteral("^#?[0-9A-Fa-f]{6}$"));
            const QString t = text.trimmed();
            if (t.isEmpty())
                return QColor();
            if (!rgb.match(t).hasMatch()) {
                out.append(warning(QStringLiteral("routes.txt"), 0,
                                   QStringLiteral("%1 \"%2\" of route %3 is no colour RRGGBB; the "
                                                  "board uses none")
                                       .arg(QLatin1String(field), t, route->id)));
                return QColor();
            }
            return QColor::fromString(t.startsWith(u'#') ? t : QLatin1Char('#') + t);
        };
        plan.side.color = colour(route->color, "route_color");
        plan.side.textColor = colour(route->textColor, "route_text_color");
    }
    const QStringList routeNames =
        route ? QStringList{route->shortName.trimmed(), route->longName.trimmed(),
                            route->displayName()}
              : QStringList();
    plan.headsign = headsignAt(plan.stops.front());
    for (PlannedStop &p : plan.stops) {
        p.headsign = boardHeadsign(headsignAt(p), routeNames);
        plan.side.stops.push_back({p.name, p.headsign});
    }

    // The announcements: where the bus goes, each next stop linked to the step, the end. The
    // list is CP932, as the route file: a name it cannot hold is written as the route file
    // holds it, and the tape speaks the side file's real name in its place.
    const bool toTerminal = last == int(trip.stopTimes.size()) - 1;
    plan.announcements.append(
        {QStringLiteral("ご乗車ありがとうございます。このバスは、%1行きです。")
             .arg(destinationWords(plan.headsign)),
         0, 1});
    // After each stop's linked entry, its "まもなく" entry for the last moments before it.
    for (int i = 1; i < n; ++i) {
        const bool end = toTerminal && i == n - 1;
        const QString &name = plan.stops[size_t(i)].name;
        plan.announcements.append(
            {(end ? QStringLiteral("次は、終点、%1です。") : QStringLiteral("次は、%1です。"))
                 .arg(name),
             kStepLink, 2});
        plan.announcements.append({(end ? QStringLiteral("まもなく、終点、%1です。")
                                        : QStringLiteral("まもなく、%1です。"))
                                       .arg(name),
                                   kApproachingLink, 0});
    }
    if (toTerminal)
        plan.announcements.append(
            {QStringLiteral(
                 "終点、%1です。本日もご乗車、ありがとうございました。お忘れ物のないよう、"
                 "ご注意ください。")
                 .arg(plan.stops.back().name),
             0, 1});
    // A trip whose times a timetable cannot hold (none at an end, or going back) rides at an
    // interval instead.
    if (plan.timetable.hasTimes()) {
        const Result<Timetable> check = parseTimetable(encodeTimetable(plan.timetable));
        if (!check) {
            out.append(warning(kStopTimes, 0,
                               QStringLiteral("the trip's times make no timetable (%1); it is "
                                              "written without them")
                                   .arg(check.error().detail)));
            for (TimetableStop &stop : plan.timetable.stops)
                stop.arrival = stop.departure = std::nullopt;
        }
    }
    return plan;
}

} // namespace q47::gtfs
