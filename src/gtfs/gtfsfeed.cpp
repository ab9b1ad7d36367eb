#include "gtfsfeed.h"

#include "cp932.h"

#include <algorithm>
#include <map>

namespace q47::gtfs {

namespace {

// Whether the bytes are UTF-8, without decoding them into a copy.
bool isUtf8(QByteArrayView bytes) {
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        const unsigned char c = p[i];
        int follow = 0;
        if (c < 0x80) {
            ++i;
            continue;
        }
        if (c >= 0xC2 && c <= 0xDF)
            follow = 1;
        else if (c >= 0xE0 && c <= 0xEF)
            follow = 2;
        else if (c >= 0xF0 && c <= 0xF4)
            follow = 3;
        else
            return false;
        if (i + follow >= n)
            return false;
        for (int k = 1; k <= follow; ++k)
            if ((p[i + k] & 0xC0) != 0x80)
                return false;
        i += follow + 1;
    }
    return true;
}

QString levelText(Diagnostic::Level level) {
    switch (level) {
    case Diagnostic::Level::Note:
        return QStringLiteral("note");
    case Diagnostic::Level::Warning:
        return QStringLiteral("warning");
    case Diagnostic::Level::Error:
        break;
    }
    return QStringLiteral("error");
}

bool missingColumns(CsvTable &table, std::initializer_list<const char *> names, Diagnostics &out) {
    bool missing = false;
    for (const char *name : names)
        if (table.column(name) < 0) {
            out.append({Diagnostic::Level::Error, table.fileName(), 1,
                        QStringLiteral("the header has no column %1").arg(QLatin1String(name))});
            missing = true;
        }
    return missing;
}

} // namespace

QString Diagnostic::toString() const {
    const QString where = line > 0 ? QStringLiteral("%1:%2").arg(file).arg(line) : file;
    return QStringLiteral("%1: %2: %3").arg(where, levelText(level), text);
}

bool hasError(const Diagnostics &diagnostics) {
    return std::any_of(diagnostics.begin(), diagnostics.end(),
                       [](const Diagnostic &d) { return d.level == Diagnostic::Level::Error; });
}

QString Route::displayName() const {
    if (!shortName.isEmpty() && !longName.isEmpty())
        return shortName + QLatin1Char(' ') + longName;
    return !shortName.isEmpty() ? shortName : !longName.isEmpty() ? longName : id;
}

Key Feed::intern(const QString &text) {
    if (text.isEmpty())
        return 0;
    const auto it = keyIndex_.constFind(text);
    if (it != keyIndex_.constEnd())
        return *it;
    const Key k = Key(keys_.size());
    keys_.append(text);
    keyIndex_.insert(text, k);
    return k;
}

bool Feed::readTable(const FeedSource &source, const QString &file, bool required,
                     const std::function<bool(CsvTable &)> &header,
                     const std::function<void(CsvTable &)> &row) {
    if (!source.has(file)) {
        if (required)
            diagnostics_.append(
                {Diagnostic::Level::Error, file, 0,
                 QStringLiteral("%1 is missing: %2 is not a GTFS feed").arg(file, source.name())});
        return !required;
    }
    QByteArray bytes;
    QString error;
    if (!source.read(file, bytes, &error)) {
        diagnostics_.append({Diagnostic::Level::Error, file, 0, error});
        return false;
    }
    if (!isUtf8(bytes)) {
        bytes = fromCp932(bytes).toUtf8();
        diagnostics_.append({Diagnostic::Level::Warning, file, 0,
                             QStringLiteral("not UTF-8; read as Shift_JIS (CP932)")});
    }
    const qint64 size = source.size(file);
    CsvTable table(bytes, file);
    if (!table.hasHeader()) {
        if (required)
            diagnostics_.append(
                {Diagnostic::Level::Error, file, 0, QStringLiteral("empty: no header row")});
        return !required;
    }
    if (!header(table))
        return false;
    for (int n = 1; table.next(); ++n) {
        row(table);
        if (progress_ && n % 4096 == 0 && totalBytes_ > 0 &&
            !progress_((double(doneBytes_) + table.progress() * double(size)) /
                       double(totalBytes_))) {
            cancelled_ = true;
            diagnostics_.append(
                {Diagnostic::Level::Error, source.name(), 0, QStringLiteral("reading stopped")});
            return false;
        }
    }
    if (table.reader().unclosedQuote())
        diagnostics_.append({Diagnostic::Level::Warning, file, 0,
                             QStringLiteral("a quoted field runs to the end of the file")});
    doneBytes_ += size;
    return true;
}

bool Feed::load(const FeedSource &source, const Progress &progress) {
    *this = Feed();
    name_ = source.name();
    progress_ = progress;
    for (const char *f : {"stops.txt", "routes.txt", "trips.txt", "stop_times.txt",
                          "fare_attributes.txt", "fare_rules.txt", "translations.txt"})
        totalBytes_ += source.size(QString::fromLatin1(f));

    // Every required file is named when several are missing, not only the first.
    bool isFeed = true;
    for (const char *f : {"stops.txt", "routes.txt", "trips.txt", "stop_times.txt"})
        if (!source.has(QString::fromLatin1(f))) {
            diagnostics_.append({Diagnostic::Level::Error, QString::fromLatin1(f), 0,
                                 QStringLiteral("%1 is missing: %2 is not a GTFS feed")
                                     .arg(QLatin1String(f), source.name())});
            isFeed = false;
        }
    if (!isFeed)
        return false;

    int name = -1;
    readTable(
        source, QStringLiteral("agency.txt"), false,
        [&](CsvTable &t) { return (name = t.column("agency_name")) >= 0; },
        [&](CsvTable &t) {
            if (const QString n = t.text(name); !n.isEmpty() && !agencies_.contains(n))
                agencies_.append(n);
        });

    int id = -1, zone = -1, parent = -1;
    const bool stopsRead = readTable(
        source, QStringLiteral("stops.txt"), true,
        [&](CsvTable &t) {
            id = t.column("stop_id");
            name = t.column("stop_name");
            zone = t.column("zone_id");
            parent = t.column("parent_station");
            return !missingColumns(t, {"stop_id", "stop_name"}, diagnostics_);
        },
        [&](CsvTable &t) {
            Stop s{t.text(id), t.text(name), intern(t.text(zone)), t.text(parent), t.line()};
            if (stopIndex_.contains(s.id)) {
                diagnostics_.append(
                    {Diagnostic::Level::Warning, t.fileName(), t.line(),
                     QStringLiteral("stop_id %1 again; the first is used").arg(s.id)});
                return;
            }
            stopIndex_.insert(s.id, int(stops_.size()));
            stops_.push_back(std::move(s));
        });
    if (!stopsRead)
        return false;

    int shortName = -1, longName = -1;
    if (!readTable(
            source, QStringLiteral("routes.txt"), true,
            [&](CsvTable &t) {
                id = t.column("route_id");
                shortName = t.column("route_short_name");
                longName = t.column("route_long_name");
                return !missingColumns(t, {"route_id"}, diagnostics_);
            },
            [&](CsvTable &t) {
                Route r{t.text(id), t.text(shortName), t.text(longName)};
                if (!routeIndex_.contains(r.id)) {
                    routeIndex_.insert(r.id, int(routes_.size()));
                    intern(r.id);
                    routes_.push_back(std::move(r));
                }
            }))
        return false;

    int route = -1, headsign = -1;
    if (!readTable(
            source, QStringLiteral("trips.txt"), true,
            [&](CsvTable &t) {
                id = t.column("trip_id");
                route = t.column("route_id");
                headsign = t.column("trip_headsign");
                return !missingColumns(t, {"trip_id", "route_id"}, diagnostics_);
            },
            [&](CsvTable &t) {
                Trip trip;
                trip.id = t.text(id);
                trip.routeId = t.text(route);
                trip.route = routeIndex_.value(trip.routeId, -1);
                trip.routeKey = intern(trip.routeId);
                trip.headsign = t.text(headsign);
                trip.line = t.line();
                if (tripIndex_.contains(trip.id)) {
                    diagnostics_.append(
                        {Diagnostic::Level::Warning, t.fileName(), t.line(),
                         QStringLiteral("trip_id %1 again; the first is used").arg(trip.id)});
                    return;
                }
                tripIndex_.insert(trip.id, int(trips_.size()));
                trips_.push_back(std::move(trip));
            }))
        return false;

    int trip = -1, stop = -1, sequence = -1, pickup = -1;
    QByteArray lastTrip;
    int lastTripIndex = -1;
    if (!readTable(
            source, QStringLiteral("stop_times.txt"), true,
            [&](CsvTable &t) {
                trip = t.column("trip_id");
                stop = t.column("stop_id");
                sequence = t.column("stop_sequence");
                pickup = t.column("pickup_type");
                return !missingColumns(t, {"trip_id", "stop_id", "stop_sequence"}, diagnostics_);
            },
            [&](CsvTable &t) {
                // Feeds list a trip's stop times together: the last trip saves the look-up.
                const QByteArrayView tripId = t.field(trip);
                if (tripId != lastTrip) {
                    lastTrip = tripId.toByteArray();
                    lastTripIndex = tripIndex_.value(QString::fromUtf8(tripId), -1);
                }
                if (lastTripIndex < 0)
                    return;
                StopTime st;
                st.stop = stopIndex_.value(t.text(stop), -1);
                bool ok = false;
                st.sequence = t.field(sequence).toInt(&ok);
                st.badSequence = !ok;
                st.noPickup = t.field(pickup) == "1";
                st.line = t.line();
                trips_[size_t(lastTripIndex)].stopTimes.push_back(st);
            }))
        return false;
    for (Trip &t : trips_)
        std::stable_sort(
            t.stopTimes.begin(), t.stopTimes.end(),
            [](const StopTime &a, const StopTime &b) { return a.sequence < b.sequence; });

    int price = -1, currency = -1;
    readTable(
        source, QStringLiteral("fare_attributes.txt"), false,
        [&](CsvTable &t) {
            id = t.column("fare_id");
            price = t.column("price");
            currency = t.column("currency_type");
            return !missingColumns(t, {"fare_id", "price"}, diagnostics_);
        },
        [&](CsvTable &t) {
            Fare f{t.text(id), 0, t.text(currency), t.line(), false};
            f.price = t.field(price).toDouble(&f.priceRead);
            if (!f.priceRead)
                diagnostics_.append({Diagnostic::Level::Warning, t.fileName(), t.line(),
                                     QStringLiteral("price \"%1\" is not a number; fare %2 is "
                                                    "not used")
                                         .arg(t.text(price), f.id)});
            if (fareIndex_.contains(f.id)) {
                diagnostics_.append(
                    {Diagnostic::Level::Warning, t.fileName(), t.line(),
                     QStringLiteral("fare_id %1 again; the first is used").arg(f.id)});
                return;
            }
            fareIndex_.insert(f.id, int(fares_.size()));
            fares_.push_back(std::move(f));
        });

    int origin = -1, destination = -1, contains = -1;
    readTable(
        source, QStringLiteral("fare_rules.txt"), false,
        [&](CsvTable &t) {
            id = t.column("fare_id");
            route = t.column("route_id");
            origin = t.column("origin_id");
            destination = t.column("destination_id");
            contains = t.column("contains_id");
            return !missingColumns(t, {"fare_id"}, diagnostics_);
        },
        [&](CsvTable &t) {
            FareRule r;
            r.fare = fareIndex_.value(t.text(id), -1);
            r.route = intern(t.text(route));
            r.origin = intern(t.text(origin));
            r.destination = intern(t.text(destination));
            r.contains = !t.field(contains).isEmpty();
            r.line = t.line();
            fareRules_.push_back(r);
        });

    readTable(
        source, QStringLiteral("translations.txt"), false,
        [&](CsvTable &t) {
            readTranslations(t);
            return true;
        },
        [](CsvTable &) {});
    if (progress_)
        progress_(1.0);
    return true;
}

// Two layouts: GTFS-JP's first one keys the translation by the Japanese text itself
// (trans_id,lang,translation); GTFS's names the table, field and record. Only readings of stop
// names in kana (ja-Hrkt) and in English (en) are kept.
void Feed::readTranslations(CsvTable &t) {
    const auto kept = [this](QByteArrayView lang) -> Translations * {
        if (lang.compare("ja-Hrkt", Qt::CaseInsensitive) == 0)
            return &readings_;
        if (lang.compare("en", Qt::CaseInsensitive) == 0)
            return &english_;
        return nullptr;
    };
    if (t.column("trans_id") >= 0) {
        const int key = t.column("trans_id"), lang = t.column("lang"),
                  translation = t.column("translation");
        if (missingColumns(t, {"lang", "translation"}, diagnostics_))
            return;
        while (t.next())
            if (Translations *into = kept(t.field(lang)); into && !t.field(translation).isEmpty())
                into->byText.insert(t.text(key), t.text(translation));
        return;
    }
    if (t.column("table_name") < 0) {
        diagnostics_.append({Diagnostic::Level::Warning, t.fileName(), 1,
                             QStringLiteral("neither trans_id nor table_name in the header: a "
                                            "layout this reader does not know; no readings")});
        return;
    }
    if (missingColumns(t, {"field_name", "language", "translation"}, diagnostics_))
        return;
    const int table = t.column("table_name"), field = t.column("field_name"),
              lang = t.column("language"), translation = t.column("translation"),
              record = t.column("record_id"), value = t.column("field_value");
    while (t.next()) {
        Translations *into = kept(t.field(lang));
        if (!into || t.field(table) != "stops" || t.field(field) != "stop_name" ||
            t.field(translation).isEmpty())
            continue;
        if (!t.field(record).isEmpty())
            into->byId.insert(t.text(record), t.text(translation));
        else if (!t.field(value).isEmpty())
            into->byText.insert(t.text(value), t.text(translation));
    }
}

QString Feed::stopName(int stop) const {
    if (stop < 0 || stop >= int(stops_.size()))
        return {};
    const Stop &s = stops_[size_t(stop)];
    if (s.name.isEmpty() && !s.parent.isEmpty()) {
        const int p = stopIndex(s.parent);
        if (p >= 0)
            return stops_[size_t(p)].name;
    }
    return s.name;
}

Key Feed::stopZone(int stop) const {
    if (stop < 0 || stop >= int(stops_.size()))
        return 0;
    const Stop &s = stops_[size_t(stop)];
    if (s.zone == 0 && !s.parent.isEmpty()) {
        const int p = stopIndex(s.parent);
        if (p >= 0)
            return stops_[size_t(p)].zone;
    }
    return s.zone;
}

QString Feed::translated(const Translations &t, int stop) const {
    if (stop < 0 || stop >= int(stops_.size()))
        return {};
    const Stop &s = stops_[size_t(stop)];
    for (const QString &id : {s.id, s.parent})
        if (!id.isEmpty())
            if (const auto it = t.byId.constFind(id); it != t.byId.constEnd())
                return *it;
    return t.byText.value(stopName(stop));
}

QString Feed::reading(int stop) const {
    return translated(readings_, stop);
}

QString Feed::englishName(int stop) const {
    return translated(english_, stop);
}

std::vector<RoutePatterns> Feed::patterns() const {
    std::vector<RoutePatterns> out;
    QHash<QString, size_t> byRoute;
    for (const Route &r : routes_) {
        byRoute.insert(r.id, out.size());
        out.push_back({routeIndex_.value(r.id), r.id, {}});
    }
    std::vector<std::map<std::vector<qint32>, size_t>> seen(out.size());
    std::vector<std::vector<QHash<QString, int>>> headsigns(out.size());
    for (const Trip &t : trips_) {
        if (t.stopTimes.empty())
            continue;
        auto it = byRoute.constFind(t.routeId);
        if (it == byRoute.constEnd()) {
            it = byRoute.insert(t.routeId, out.size());
            out.push_back({-1, t.routeId, {}});
            seen.emplace_back();
            headsigns.emplace_back();
        }
        const size_t r = *it;
        std::vector<qint32> stops;
        stops.reserve(t.stopTimes.size());
        for (const StopTime &st : t.stopTimes)
            stops.push_back(st.stop);
        auto [at, added] = seen[r].try_emplace(stops, out[r].patterns.size());
        if (added) {
            out[r].patterns.push_back({std::move(stops), 0, t.id, {}});
            headsigns[r].emplace_back();
        }
        Pattern &p = out[r].patterns[at->second];
        ++p.trips;
        ++headsigns[r][at->second][t.headsign];
    }
    for (size_t r = 0; r < out.size(); ++r) {
        for (size_t k = 0; k < out[r].patterns.size(); ++k) {
            Pattern &p = out[r].patterns[k];
            int best = 0;
            for (auto it = headsigns[r][k].cbegin(); it != headsigns[r][k].cend(); ++it)
                if (it.value() > best || (it.value() == best && it.key() < p.headsign)) {
                    best = it.value();
                    p.headsign = it.key();
                }
            if (p.headsign.isEmpty())
                p.headsign = stopName(p.stops.back());
        }
        std::stable_sort(out[r].patterns.begin(), out[r].patterns.end(),
                         [](const Pattern &a, const Pattern &b) { return a.trips > b.trips; });
    }
    return out;
}

} // namespace q47::gtfs
