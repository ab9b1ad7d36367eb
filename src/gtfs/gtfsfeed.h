#pragma once

#include "error.h"
#include "feedcsv.h"
#include "feedsource.h"
#include "namesen.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <vector>

namespace q47::gtfs {

// What the reader or the import has to say about the feed: failures with their severity (a
// note, a warning or an error), their file and line (0: the file as a whole) and the text, told
// as "FILE:LINE: level: text" (Error::diagnostic()).
using Diagnostics = Errors;
Error diagnostic(Severity level, const QString &file, int line, const QString &text);

// Ids that fares are matched on (zones, routes) as small numbers; 0 is the empty id, which a
// fare rule uses for "any".
using Key = qint32;

struct Stop {
    QString id;
    QString name;
    Key zone = 0;
    QString parent;         // the station's stop_id, for a pole
    qint32 parentStop = -1; // its index, -1 for none or an id stops.txt lacks
    int line = 0;
};

struct Route {
    QString id;
    QString shortName;
    QString longName;
    QString color; // route_color and route_text_color as written, "RRGGBB" by the standard
    QString textColor;
    QString displayName() const;
};

struct StopTime {
    qint32 stop = -1; // index into stops(), -1 for an id stops.txt lacks
    qint32 sequence = 0;
    qint32 line = 0;
    qint32 headsign = 0;      // its stop_headsign, by Feed::stopHeadsign(); 0 for none
    qint32 arrival = -1;      // arrival_time in seconds from the service day's midnight; -1: none
    qint32 departure = -1;    // departure_time, likewise
    bool badTime = false;     // a time that is not H:MM:SS
    bool noPickup = false;    // pickup_type 1
    bool badSequence = false; // not a whole number of 0 or more
};

struct Trip {
    QString id;
    int route = -1;   // index into routes(), -1 for an id routes.txt lacks
    Key routeKey = 0; // the route_id as fare rules match it
    QString routeId;
    QString headsign;
    int line = 0;
    std::vector<StopTime> stopTimes; // in stop_sequence order
};

struct Fare {
    QString id;
    double price = 0;
    QString currency;
    int line = 0;
    bool priceRead = false; // a finite number
    QString priceText;      // as written, when it is not
};

struct FareRule {
    qint32 fare = -1; // index into fares(), -1 for an id fare_attributes.txt lacks
    Key route = 0;
    Key origin = 0;
    Key destination = 0;
    bool contains = false; // rules by zones passed through, which this reader does not apply
    int line = 0;
};

// Trips of one route that serve the same stops in the same order.
struct Pattern {
    std::vector<qint32> stops;
    int trips = 0;
    QString exampleTrip;
    QString headsign; // the most frequent one
};

struct RoutePatterns {
    int route = -1;
    QString routeId;
    std::vector<Pattern> patterns; // most trips first
};

// The tables of a GTFS(-JP) feed that a route on the board needs, read once.
class Feed {
public:
    // Fraction done, 0 to 1; returning false stops the reading.
    using Progress = std::function<bool(double)>;

    // Reads the feed. False when it is no feed, has an error or the reading was stopped;
    // diagnostics() says why. With `onlyTrip`, only that trip and what it needs (its route's
    // fare rules, the translations of its stops) are kept, as an import needs; patterns() then
    // knows that trip alone.
    bool load(const FeedSource &source, const Progress &progress = {},
              const QString &onlyTrip = {});

    QString name() const { return name_; }
    QStringList agencies() const { return agencies_; }
    const std::vector<Stop> &stops() const { return stops_; }
    const std::vector<Route> &routes() const { return routes_; }
    const std::vector<Trip> &trips() const { return trips_; }
    const std::vector<Fare> &fares() const { return fares_; }
    // With onlyTrip, the rules of other routes are left out; hasFareRules() still tells
    // whether the feed had any.
    const std::vector<FareRule> &fareRules() const { return fareRules_; }
    bool hasFareRules() const { return hasFareRules_; }
    const Diagnostics &diagnostics() const { return diagnostics_; }
    bool cancelled() const { return cancelled_; }

    int stopIndex(const QString &id) const { return stopIndex_.value(id, -1); }
    int tripIndex(const QString &id) const { return tripIndex_.value(id, -1); }
    // The text of an id key (a zone or a route).
    QString keyText(Key key) const { return keys_.value(key); }
    Key key(const QString &text) const { return keyIndex_.value(text, 0); }

    // The stop's name, else that of the nearest station above it that has one; its zone,
    // likewise.
    QString stopName(int stop) const;
    Key stopZone(int stop) const;
    // The stop_headsign of a stop time; empty when it gives none.
    QString stopHeadsign(const StopTime &stopTime) const {
        return headsigns_.value(stopTime.headsign);
    }
    // The stop name's reading in kana as translations.txt gives it (language ja-Hrkt), by the
    // stop's id or its name; a pole without a name of its own, or named as its station, takes
    // its station's. A pole named "<station>（１番のりば）" (full- or half-width digits and
    // brackets; のりば, 乗り場, 番線 and the like) that has none takes its station's reading (its
    // parent_station's, else that of the name without the suffix) with the suffix's:
    // えきまえいちばんのりば. Empty when it has none. Only the stops that trips serve have them.
    QString reading(int stop) const;
    // Its name in a language (as nameLanguageOf() takes translations.txt's tags), found by the
    // stop's id, its name, then as its station's when the pole is named as its station (with
    // or without a platform suffix); the kana as reading() tells.
    QString translation(NameLanguage language, int stop) const;
    // Every form known, the kana by reading().
    NameForms nameForms(int stop) const;

    // Every route with its stop patterns, in the order of routes.txt.
    std::vector<RoutePatterns> patterns() const;

private:
    Key intern(const QString &text);
    bool loadTables(const FeedSource &source);
    bool readTable(const FeedSource &source, const QString &file, bool required,
                   const std::function<bool(CsvTable &)> &header,
                   const std::function<void(CsvTable &)> &row);
    bool linkStations();
    void keepTranslationsOfUsedStops();
    bool readTranslations(const FeedSource &source);

    QString name_;
    QStringList agencies_;
    std::vector<Stop> stops_;
    std::vector<Route> routes_;
    std::vector<Trip> trips_;
    std::vector<Fare> fares_;
    std::vector<FareRule> fareRules_;
    bool hasFareRules_ = false;
    QHash<QString, int> stopIndex_, routeIndex_, tripIndex_, fareIndex_;
    QHash<QString, Key> keyIndex_;
    QStringList keys_{QString()};
    // Translations of stop names by the pole's or station's id and by the name itself.
    struct Translations {
        QHash<QString, QString> byId, byText;
    };
    std::array<Translations, kNameLanguages> translations_;
    QStringList headsigns_{QString()};
    QHash<QString, qint32> headsignIndex_;
    // What translations are kept for: the ids and names of the stops trips use, as UTF-8, so
    // that the rows of others are passed over without a copy.
    QSet<QByteArray> wantedIds_, wantedNames_;
    Diagnostics diagnostics_;
    bool cancelled_ = false;

    Progress progress_;
    QString onlyTrip_;
    qint64 totalBytes_ = 0, doneBytes_ = 0;
    // Files found to be Shift_JIS, and the one that asks for the reading to start again.
    QSet<QString> cp932Files_;
    QString readAgainAsCp932_;
};

} // namespace q47::gtfs
