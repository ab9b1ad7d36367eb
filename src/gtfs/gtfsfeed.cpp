#include "gtfsfeed.h"

#include "japanesereading.h"
#include "readingtext.h"
#include "timetable.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <map>

namespace q47::gtfs {

namespace {

bool missingColumns(CsvTable &table, std::initializer_list<const char *> names, Diagnostics &out) {
    bool missing = false;
    for (const char *name : names)
        if (table.column(name) < 0) {
            out.append(
                diagnostic(Severity::Error, table.fileName(), 1,
                           QStringLiteral("the header has no column %1").arg(QLatin1String(name))));
            missing = true;
        }
    return missing;
}

// A platform's suffix to a stop's name: "駅前（１番のりば）", "駅前 2番乗り場",
// "駅前（Ｂのりば）"...
struct PlatformSuffix {
    QString base; // the name without it
    QString kana; // its reading in hiragana: いちばんのりば
};

std::optional<PlatformSuffix> platformSuffix(const QString &name) {
    // The platform's number or letter, "番", the word for a platform; in brackets or not.
    static const QRegularExpression suffix(
        QStringLiteral("^(.*?\\S)\\s*(?:[（(]\\s*([0-9０-９]{1,3}|[A-Za-zＡ-Ｚａ-ｚ])\\s*(番)?\\s*("
                       "のりば|のり場|乗り場|乗場|"
                       "乗車場|乗車口|降り場|ホーム|線)?\\s*[）)]|([0-9０-９]{1,3}|[A-Za-zＡ-Ｚａ-"
                       "ｚ])(番)?(のりば|のり場|乗り場|"
                       "乗場|乗車場|乗車口|降り場|ホーム|線))$"));
    const QRegularExpressionMatch m = suffix.match(name.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    const bool bracketed = m.capturedLength(2) > 0;
    const QString mark = m.captured(bracketed ? 2 : 5);
    const bool ban = m.capturedLength(bracketed ? 3 : 6) > 0;
    const QString word = m.captured(bracketed ? 4 : 7);
    // "駅前（1）" or "東1線" (a place, not a platform) say too little.
    if (!ban && (word.isEmpty() || (!bracketed && word == QStringLiteral("線"))))
        return std::nullopt;
    const QString plain = reading::sanitize(mark);
    QString kana =
        reading::isAsciiDigit(plain.front()) ? numberReading(plain) : reading::latinReading(plain);
    if (kana.isEmpty())
        return std::nullopt;
    if (ban)
        kana += QStringLiteral("バン");
    static const QHash<QString, QString> words = {
        {QStringLiteral("のりば"), QStringLiteral("ノリバ")},
        {QStringLiteral("のり場"), QStringLiteral("ノリバ")},
        {QStringLiteral("乗り場"), QStringLiteral("ノリバ")},
        {QStringLiteral("乗場"), QStringLiteral("ノリバ")},
        {QStringLiteral("乗車場"), QStringLiteral("ジョウシャジョウ")},
        {QStringLiteral("乗車口"), QStringLiteral("ジョウシャグチ")},
        {QStringLiteral("降り場"), QStringLiteral("オリバ")},
        {QStringLiteral("ホーム"), QStringLiteral("ホーム")},
        {QStringLiteral("線"), QStringLiteral("セン")},
    };
    kana += words.value(word);
    return PlatformSuffix{m.captured(1), toHiragana(kana)};
}

} // namespace

Error diagnostic(Severity level, const QString &file, int line, const QString &text) {
    return Error(Error::Kind::Invalid, text).in(file).at(line).as(level);
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

// Reads one table through `row`, after `header` has found its columns (false: the table is
// not used). False when it gives an error: a file that is there but cannot be read, a record
// the reader refuses, an error `header` or `row` reported.
bool Feed::readTable(const FeedSource &source, const QString &file, bool required,
                     const std::function<bool(CsvTable &)> &header,
                     const std::function<void(CsvTable &)> &row) {
    if (!source.has(file)) {
        if (required)
            diagnostics_.append(diagnostic(
                Severity::Error, file, 0,
                QStringLiteral("%1 is missing: %2 is not a GTFS feed").arg(file, source.name())));
        return !required;
    }
    const Result<std::unique_ptr<ByteStream>> opened = source.openFile(file);
    if (!opened) {
        diagnostics_.append(diagnostic(Severity::Error, file, 0, opened.error().detail));
        return false;
    }
    ByteStream &stream = **opened;
    const bool cp932 = cp932Files_.contains(file);
    if (cp932)
        diagnostics_.append(diagnostic(Severity::Warning, file, 0,
                                       QStringLiteral("not UTF-8; read as Shift_JIS (CP932)")));
    const qsizetype before = diagnostics_.size();
    const qint64 size = source.size(file);
    CsvTable table(stream, file, cp932 ? TextEncoding::Cp932 : TextEncoding::Utf8);
    const CsvReader &reader = table.reader();
    if (table.hasHeader() && header(table)) {
        for (int n = 1; table.next(); ++n) {
            row(table);
            if (progress_ && n % 4096 == 0 && totalBytes_ > 0 &&
                !progress_(double(doneBytes_ + std::min(reader.bytesRead(), size)) /
                           double(totalBytes_))) {
                cancelled_ = true;
                diagnostics_.append(diagnostic(Severity::Error, source.name(), 0,
                                               QStringLiteral("reading stopped")));
                return false;
            }
        }
    }
    if (reader.wantsCp932()) {
        readAgainAsCp932_ = file;
        return false;
    }
    if (reader.failed()) {
        diagnostics_.append(
            diagnostic(Severity::Error, file, reader.failure().line, reader.failure().text));
        return false;
    }
    if (!table.hasHeader() && required) {
        diagnostics_.append(
            diagnostic(Severity::Error, file, 0, QStringLiteral("empty: no header row")));
        return false;
    }
    doneBytes_ += size;
    return std::none_of(diagnostics_.cbegin() + before, diagnostics_.cend(),
                        [](const Error &d) { return d.severity == Severity::Error; });
}

bool Feed::load(const FeedSource &source, const Progress &progress, const QString &onlyTrip) {
    // A file found to be Shift_JIS part way through is read again from the start, and with it
    // the feed: what was taken from its first lines would otherwise count twice.
    QSet<QString> cp932;
    for (;;) {
        *this = Feed();
        name_ = source.name();
        progress_ = progress;
        onlyTrip_ = onlyTrip;
        cp932Files_ = cp932;
        const bool ok = loadTables(source);
        if (readAgainAsCp932_.isEmpty() || cp932.contains(readAgainAsCp932_))
            return ok && !hasError(diagnostics_);
        cp932.insert(readAgainAsCp932_);
    }
}

bool Feed::loadTables(const FeedSource &source) {
    for (const char *f : {"stops.txt", "routes.txt", "trips.txt", "stop_times.txt",
                          "fare_attributes.txt", "fare_rules.txt", "translations.txt"})
        totalBytes_ += source.size(QString::fromLatin1(f));

    // Every required file is named when several are missing, not only the first.
    bool isFeed = true;
    for (const char *f : {"stops.txt", "routes.txt", "trips.txt", "stop_times.txt"})
        if (!source.has(QString::fromLatin1(f))) {
            diagnostics_.append(diagnostic(Severity::Error, QString::fromLatin1(f), 0,
                                           QStringLiteral("%1 is missing: %2 is not a GTFS feed")
                                               .arg(QLatin1String(f), source.name())));
            isFeed = false;
        }
    if (!isFeed)
        return false;

    // A handful of operators is all a comment names.
    constexpr qsizetype kMaxAgencies = 16;
    int name = -1;
    if (!readTable(
            source, QStringLiteral("agency.txt"), false,
            [&](CsvTable &t) { return (name = t.column("agency_name")) >= 0; },
            [&](CsvTable &t) {
                if (const QString n = t.text(name);
                    !n.isEmpty() && agencies_.size() < kMaxAgencies && !agencies_.contains(n))
                    agencies_.append(n);
            }))
        return false;

    int id = -1, zone = -1, parent = -1;
    if (!readTable(
            source, QStringLiteral("stops.txt"), true,
            [&](CsvTable &t) {
                id = t.column("stop_id");
                name = t.column("stop_name");
                zone = t.column("zone_id");
                parent = t.column("parent_station");
                return !missingColumns(t, {"stop_id", "stop_name"}, diagnostics_);
            },
            [&](CsvTable &t) {
                Stop s{t.text(id),     t.text(name), intern(t.text(zone)),
                       t.text(parent), -1,           t.line()};
                if (stopIndex_.contains(s.id)) {
                    diagnostics_.append(diagnostic(
                        Severity::Warning, t.fileName(), t.line(),
                        QStringLiteral("stop_id %1 again; the first is used").arg(s.id)));
                    return;
                }
                stopIndex_.insert(s.id, int(stops_.size()));
                stops_.push_back(std::move(s));
            }) ||
        !linkStations())
        return false;

    int shortName = -1, longName = -1, color = -1, textColor = -1;
    if (!readTable(
            source, QStringLiteral("routes.txt"), true,
            [&](CsvTable &t) {
                id = t.column("route_id");
                shortName = t.column("route_short_name");
                longName = t.column("route_long_name");
                color = t.column("route_color");
                textColor = t.column("route_text_color");
                return !missingColumns(t, {"route_id"}, diagnostics_);
            },
            [&](CsvTable &t) {
                Route r{t.text(id), t.text(shortName), t.text(longName), t.text(color),
                        t.text(textColor)};
                if (!routeIndex_.contains(r.id)) {
                    routeIndex_.insert(r.id, int(routes_.size()));
                    intern(r.id);
                    routes_.push_back(std::move(r));
                }
            }))
        return false;

    int route = -1, headsign = -1;
    const QByteArray onlyTripId = onlyTrip_.toUtf8();
    if (!readTable(
            source, QStringLiteral("trips.txt"), true,
            [&](CsvTable &t) {
                id = t.column("trip_id");
                route = t.column("route_id");
                headsign = t.column("trip_headsign");
                return !missingColumns(t, {"trip_id", "route_id"}, diagnostics_);
            },
            [&](CsvTable &t) {
                if (!onlyTrip_.isEmpty() && t.field(id) != onlyTripId)
                    return;
                Trip trip;
                trip.id = t.text(id);
                trip.routeId = t.text(route);
                trip.route = routeIndex_.value(trip.routeId, -1);
                trip.routeKey = intern(trip.routeId);
                trip.headsign = t.text(headsign);
                trip.line = t.line();
                if (tripIndex_.contains(trip.id)) {
                    diagnostics_.append(diagnostic(
                        Severity::Warning, t.fileName(), t.line(),
                        QStringLiteral("trip_id %1 again; the first is used").arg(trip.id)));
                    return;
                }
                tripIndex_.insert(trip.id, int(trips_.size()));
                trips_.push_back(std::move(trip));
            }))
        return false;

    int trip = -1, stop = -1, sequence = -1, pickup = -1, arrival = -1, departure = -1;
    QByteArray lastTrip, lastHeadsign;
    int lastTripIndex = -1;
    qint32 lastHeadsignIndex = 0;
    if (!readTable(
            source, QStringLiteral("stop_times.txt"), true,
            [&](CsvTable &t) {
                trip = t.column("trip_id");
                stop = t.column("stop_id");
                sequence = t.column("stop_sequence");
                pickup = t.column("pickup_type");
                arrival = t.column("arrival_time");
                departure = t.column("departure_time");
                headsign = t.column("stop_headsign");
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
                // Digits only: a sign, a fraction or a value past int are no stop_sequence.
                const QByteArrayView seq = t.field(sequence);
                bool ok = !seq.isEmpty() && std::all_of(seq.begin(), seq.end(), [](char c) {
                    return c >= '0' && c <= '9';
                });
                st.sequence = ok ? seq.toInt(&ok) : 0;
                st.badSequence = !ok;
                st.noPickup = t.field(pickup) == "1";
                // Times may be left out between timepoints; the ride puts those stops between.
                for (const auto &[column, time] :
                     {std::pair{arrival, &st.arrival}, std::pair{departure, &st.departure}}) {
                    const QString written = t.text(column).trimmed();
                    const std::optional<qint32> seconds = parseServiceTime(written);
                    *time = seconds.value_or(-1);
                    st.badTime = st.badTime || (!written.isEmpty() && !seconds);
                }
                st.line = t.line();
                // Headsigns repeat along a trip and from trip to trip: each is kept once.
                if (const QByteArrayView h = t.field(headsign); h != lastHeadsign) {
                    lastHeadsign = h.toByteArray();
                    const QString text = t.text(headsign);
                    lastHeadsignIndex = text.isEmpty() ? 0 : headsignIndex_.value(text, -1);
                    if (lastHeadsignIndex < 0) {
                        lastHeadsignIndex = qint32(headsigns_.size());
                        headsignIndex_.insert(text, lastHeadsignIndex);
                        headsigns_.append(text);
                    }
                }
                st.headsign = lastHeadsignIndex;
                trips_[size_t(lastTripIndex)].stopTimes.push_back(st);
            }))
        return false;
    for (Trip &t : trips_)
        std::stable_sort(
            t.stopTimes.begin(), t.stopTimes.end(),
            [](const StopTime &a, const StopTime &b) { return a.sequence < b.sequence; });
    keepTranslationsOfUsedStops();

    int price = -1, currency = -1;
    if (!readTable(
            source, QStringLiteral("fare_attributes.txt"), false,
            [&](CsvTable &t) {
                id = t.column("fare_id");
                price = t.column("price");
                currency = t.column("currency_type");
                return !missingColumns(t, {"fare_id", "price"}, diagnostics_);
            },
            [&](CsvTable &t) {
                Fare f{t.text(id), 0, t.text(currency), t.line(), false, {}};
                f.price = t.field(price).toDouble(&f.priceRead);
                // nan and inf are numbers to the conversion, not prices.
                f.priceRead = f.priceRead && std::isfinite(f.price);
                if (!f.priceRead)
                    f.priceText = t.text(price);
                if (fareIndex_.contains(f.id)) {
                    diagnostics_.append(diagnostic(
                        Severity::Warning, t.fileName(), t.line(),
                        QStringLiteral("fare_id %1 again; the first is used").arg(f.id)));
                    return;
                }
                fareIndex_.insert(f.id, int(fares_.size()));
                fares_.push_back(std::move(f));
            }))
        return false;

    // An import needs the rules of its trip's route and those for any route.
    const QByteArray onlyRoute =
        !onlyTrip_.isEmpty() && !trips_.empty() ? trips_.front().routeId.toUtf8() : QByteArray();
    int origin = -1, destination = -1, contains = -1;
    if (!readTable(
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
                hasFareRules_ = true;
                if (!onlyTrip_.isEmpty() && !t.field(route).isEmpty() &&
                    t.field(route) != onlyRoute)
                    return;
                FareRule r;
                r.fare = fareIndex_.value(t.text(id), -1);
                r.route = intern(t.text(route));
                r.origin = intern(t.text(origin));
                r.destination = intern(t.text(destination));
                r.contains = !t.field(contains).isEmpty();
                r.line = t.line();
                fareRules_.push_back(r);
            }))
        return false;

    if (!readTranslations(source))
        return false;
    if (progress_)
        progress_(1.0);
    return true;
}

// Poles find their stations by index, and a station that is its own ancestor is refused: the
// name of a stop in such a loop would never be found.
bool Feed::linkStations() {
    for (Stop &s : stops_)
        if (!s.parent.isEmpty())
            s.parentStop = stopIndex_.value(s.parent, -1);
    enum : char { Unseen, OnPath, Done };
    std::vector<char> state(stops_.size(), Unseen);
    std::vector<int> path;
    for (size_t start = 0; start < stops_.size(); ++start) {
        path.clear();
        int at = int(start);
        while (at >= 0 && state[size_t(at)] == Unseen) {
            state[size_t(at)] = OnPath;
            path.push_back(at);
            at = stops_[size_t(at)].parentStop;
        }
        if (at >= 0 && state[size_t(at)] == OnPath) {
            QStringList loop;
            for (auto it = std::find(path.begin(), path.end(), at); it != path.end(); ++it)
                loop.append(stops_[size_t(*it)].id);
            loop.append(stops_[size_t(at)].id);
            diagnostics_.append(diagnostic(Severity::Error, QStringLiteral("stops.txt"),
                                           stops_[size_t(at)].line,
                                           QStringLiteral("parent_station goes round in a loop: %1")
                                               .arg(loop.join(QStringLiteral(" -> ")))));
            return false;
        }
        for (const int p : path)
            state[size_t(p)] = Done;
    }
    return true;
}

// Translations tables can be far larger than the rest of a feed; only those of the stops that
// the kept trips serve, and of their stations, are worth their memory.
void Feed::keepTranslationsOfUsedStops() {
    std::vector<bool> seen(stops_.size());
    for (const Trip &t : trips_)
        for (const StopTime &st : t.stopTimes)
            for (int s = st.stop; s >= 0 && !seen[size_t(s)]; s = stops_[size_t(s)].parentStop) {
                seen[size_t(s)] = true;
                const Stop &stop = stops_[size_t(s)];
                wantedIds_.insert(stop.id.toUtf8());
                if (stop.parentStop < 0 && !stop.parent.isEmpty())
                    wantedIds_.insert(stop.parent.toUtf8()); // a station stops.txt lacks
                if (const QString n = stopName(s); !n.isEmpty())
                    wantedNames_.insert(n.toUtf8());
                // A pole named "<station>（１番のりば）" may be read by its station's name.
                if (const auto p = platformSuffix(stop.name))
                    wantedNames_.insert(p->base.toUtf8());
            }
}

// Two layouts: GTFS-JP's first one keys the translation by the Japanese text itself
// (trans_id,lang,translation); GTFS's names the table, field and record. Only stop names are
// kept, in the languages of the names file: kana (ja-Hrkt), English, Chinese and Korean.
bool Feed::readTranslations(const FeedSource &source) {
    // A feed writes a handful of tags a million times over.
    QHash<QByteArray, Translations *> byTag;
    const auto kept = [this, &byTag](QByteArrayView lang) -> Translations * {
        const QByteArray tag = QByteArray::fromRawData(lang.data(), lang.size());
        if (const auto it = byTag.constFind(tag); it != byTag.constEnd())
            return *it;
        const std::optional<NameLanguage> l = nameLanguageOf(QString::fromUtf8(lang));
        Translations *into = l ? &translations_[size_t(*l)] : nullptr;
        if (byTag.size() < 256)
            byTag.insert(lang.toByteArray(), into);
        return into;
    };
    bool byText = false;
    int key = -1, lang = -1, translation = -1, table = -1, field = -1, record = -1, value = -1;
    return readTable(
        source, QStringLiteral("translations.txt"), false,
        [&](CsvTable &t) {
            if (t.column("trans_id") >= 0) {
                byText = true;
                key = t.column("trans_id");
                lang = t.column("lang");
                translation = t.column("translation");
                return !missingColumns(t, {"lang", "translation"}, diagnostics_);
            }
            if (t.column("table_name") < 0) {
                diagnostics_.append(diagnostic(
                    Severity::Warning, t.fileName(), 1,
                    QStringLiteral("neither trans_id nor table_name in the header: a layout "
                                   "this reader does not know; no readings")));
                return false;
            }
            table = t.column("table_name");
            field = t.column("field_name");
            lang = t.column("language");
            translation = t.column("translation");
            record = t.column("record_id");
            value = t.column("field_value");
            return !missingColumns(t, {"field_name", "language", "translation"}, diagnostics_);
        },
        [&](CsvTable &t) {
            Translations *into = kept(t.field(lang));
            if (!into || t.field(translation).isEmpty())
                return;
            const auto wanted = [&t](const QSet<QByteArray> &set, int column) {
                const QByteArrayView v = t.field(column);
                return set.contains(QByteArray::fromRawData(v.data(), v.size()));
            };
            if (byText) {
                if (wanted(wantedNames_, key))
                    into->byText.insert(t.text(key), t.text(translation));
                return;
            }
            if (t.field(table) != "stops" || t.field(field) != "stop_name")
                return;
            if (!t.field(record).isEmpty()) {
                if (wanted(wantedIds_, record))
                    into->byId.insert(t.text(record), t.text(translation));
            } else if (wanted(wantedNames_, value)) {
                into->byText.insert(t.text(value), t.text(translation));
            }
        });
}

QString Feed::stopName(int stop) const {
    // Up the stations until one has a name; linkStations() has made sure the way ends.
    for (int s = stop; s >= 0 && s < int(stops_.size()); s = stops_[size_t(s)].parentStop)
        if (!stops_[size_t(s)].name.isEmpty())
            return stops_[size_t(s)].name;
    return {};
}

Key Feed::stopZone(int stop) const {
    for (int s = stop; s >= 0 && s < int(stops_.size()); s = stops_[size_t(s)].parentStop)
        if (stops_[size_t(s)].zone != 0)
            return stops_[size_t(s)].zone;
    return 0;
}

QString Feed::translation(NameLanguage language, int stop) const {
    const Translations &t = translations_[size_t(language)];
    const bool kana = language == NameLanguage::Kana;
    QString suffixes; // the kana of platform suffixes passed on the way up to the station
    for (int s = stop; s >= 0 && s < int(stops_.size());) {
        const Stop &at = stops_[size_t(s)];
        QString found = t.byId.value(at.id);
        if (found.isEmpty() && !at.name.isEmpty())
            found = t.byText.value(at.name);
        if (!found.isEmpty())
            return kana ? found + suffixes : found;
        const std::optional<PlatformSuffix> platform = platformSuffix(at.name);
        const QString base = platform ? platform->base : at.name;
        const QString suffix = kana && platform ? platform->kana : QString();
        if (at.parentStop >= 0 && (at.name.isEmpty() || base == stopName(at.parentStop))) {
            suffixes.prepend(suffix);
            s = at.parentStop;
            continue;
        }
        // A station stops.txt lacks, then the name without its platform.
        if (at.parentStop < 0 && !at.parent.isEmpty())
            found = t.byId.value(at.parent);
        if (found.isEmpty() && platform)
            found = t.byText.value(base);
        return found.isEmpty() ? QString() : kana ? found + suffix + suffixes : found;
    }
    return {};
}

QString Feed::reading(int stop) const {
    return translation(NameLanguage::Kana, stop);
}

NameForms Feed::nameForms(int stop) const {
    NameForms forms;
    for (int l = 0; l < kNameLanguages; ++l)
        forms.text[size_t(l)] = translation(NameLanguage(l), stop).trimmed();
    return forms;
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
