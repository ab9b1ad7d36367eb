#pragma once

#include "feedcsv.h"
#include "feedsource.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace q47::gtfs {

// Something the reader or the import has to say about the feed, as "FILE:LINE: level: text".
struct Diagnostic {
    enum class Level { Note, Warning, Error };
    Level level = Level::Warning;
    QString file;
    int line = 0; // 0: the file as a whole
    QString text;

    QString toString() const;
};

using Diagnostics = QList<Diagnostic>;
bool hasError(const Diagnostics &diagnostics);

// Ids that fares are matched on (zones, routes) as small numbers; 0 is the empty id, which a
// fare rule uses for "any".
using Key = qint32;

struct Stop {
    QString id;
    QString name;
    Key zone = 0;
    QString parent; // the station's stop_id, for a pole
    int line = 0;
};

struct Route {
    QString id;
    QString shortName;
    QString longName;
    QString displayName() const;
};

struct StopTime {
    qint32 stop = -1; // index into stops(), -1 for an id stops.txt lacks
    qint32 sequence = 0;
    qint32 line = 0;
    bool noPickup = false; // pickup_type 1
    bool badSequence = false;
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
    bool priceRead = false;
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

    // Reads the feed. False when it is no feed or the reading was stopped; diagnostics() says
    // why.
    bool load(const FeedSource &source, const Progress &progress = {});

    QString name() const { return name_; }
    QStringList agencies() const { return agencies_; }
    const std::vector<Stop> &stops() const { return stops_; }
    const std::vector<Route> &routes() const { return routes_; }
    const std::vector<Trip> &trips() const { return trips_; }
    const std::vector<Fare> &fares() const { return fares_; }
    const std::vector<FareRule> &fareRules() const { return fareRules_; }
    const Diagnostics &diagnostics() const { return diagnostics_; }
    bool cancelled() const { return cancelled_; }

    int stopIndex(const QString &id) const { return stopIndex_.value(id, -1); }
    int tripIndex(const QString &id) const { return tripIndex_.value(id, -1); }
    // The text of an id key (a zone or a route).
    QString keyText(Key key) const { return keys_.value(key); }
    Key key(const QString &text) const { return keyIndex_.value(text, 0); }

    // The stop's name, the station's when the pole has none; its zone, likewise.
    QString stopName(int stop) const;
    Key stopZone(int stop) const;
    // The stop name's reading in kana as translations.txt gives it (language ja-Hrkt), by the
    // pole's id, the station's id or the name itself; empty when it has none.
    QString reading(int stop) const;
    // Its English name (language en), found the same way.
    QString englishName(int stop) const;

    // Every route with its stop patterns, in the order of routes.txt.
    std::vector<RoutePatterns> patterns() const;

private:
    Key intern(const QString &text);
    bool readTable(const FeedSource &source, const QString &file, bool required,
                   const std::function<bool(CsvTable &)> &header,
                   const std::function<void(CsvTable &)> &row);
    void readTranslations(CsvTable &table);

    QString name_;
    QStringList agencies_;
    std::vector<Stop> stops_;
    std::vector<Route> routes_;
    std::vector<Trip> trips_;
    std::vector<Fare> fares_;
    std::vector<FareRule> fareRules_;
    QHash<QString, int> stopIndex_, routeIndex_, tripIndex_, fareIndex_;
    QHash<QString, Key> keyIndex_;
    QStringList keys_{QString()};
    // Translations of stop names by the pole's or station's id and by the name itself.
    struct Translations {
        QHash<QString, QString> byId, byText;
    };
    QString translated(const Translations &t, int stop) const;
    Translations readings_, english_;
    Diagnostics diagnostics_;
    bool cancelled_ = false;

    Progress progress_;
    qint64 totalBytes_ = 0, doneBytes_ = 0;
};

} // namespace q47::gtfs
