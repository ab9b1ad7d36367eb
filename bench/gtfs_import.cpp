// Importing one trip from a large feed, the way a user runs it: gtfstool in a process of its
// own, timed from start to exit, with its peak resident memory. Feeds of scale 1 (50,000 fare
// rules, 20,000 stop times) and 10 (ten times each), as a folder and as a zip.
//   gtfs_import GTFSTOOL [SCALE...]
#include "processusage.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <zip.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <vector>

namespace {

// Scale s: 20s routes of 50 stops, each stop in a zone of its own, a fare for every pair of
// zones of a route (2,500 rules a route), 20 trips a route.
std::map<QString, QByteArray> makeFeed(int scale) {
    constexpr int kStops = 50, kTrips = 20;
    const int routes = 20 * scale;
    std::map<QString, QByteArray> f;
    QByteArray stops = "stop_id,stop_name,zone_id\n", routesTxt = "route_id,route_short_name\n",
               trips = "route_id,trip_id,trip_headsign\n",
               times = "trip_id,arrival_time,departure_time,stop_id,stop_sequence\n",
               rules = "fare_id,route_id,origin_id,destination_id\n",
               fares = "fare_id,price,currency_type\n",
               tr = "table_name,field_name,language,translation,record_id\n";
    for (int d = 0; d < kStops; ++d)
        fares += "F" + QByteArray::number(d) + "," + QByteArray::number(150 + 10 * d) + ",JPY\n";
    for (int r = 0; r < routes; ++r) {
        const QByteArray rid = "R" + QByteArray::number(r);
        routesTxt += rid + "," + QByteArray::number(r + 1) + "\n";
        for (int s = 0; s < kStops; ++s) {
            const QByteArray sid = rid + "_" + QByteArray::number(s);
            stops += sid + "," + QStringLiteral("停留所%1の%2").arg(r).arg(s).toUtf8() + ",Z" +
                     sid + "\n";
            tr += "stops,stop_name,ja-Hrkt," + QStringLiteral("ていりゅうじょ").toUtf8() + "," +
                  sid + "\n";
            for (int t = 0; t < kStops; ++t)
                rules += "F" + QByteArray::number(std::abs(s - t)) + "," + rid + ",Z" + sid + ",Z" +
                         rid + "_" + QByteArray::number(t) + "\n";
        }
        for (int t = 0; t < kTrips; ++t) {
            const QByteArray tid = rid + "_T" + QByteArray::number(t);
            trips += rid + "," + tid + ",終点\n";
            for (int s = 0; s < kStops; ++s)
                times += tid + ",08:00:00,08:00:00," + rid + "_" + QByteArray::number(s) + "," +
                         QByteArray::number(s + 1) + "\n";
        }
    }
    f["stops.txt"] = stops;
    f["routes.txt"] = routesTxt;
    f["trips.txt"] = trips;
    f["stop_times.txt"] = times;
    f["fare_rules.txt"] = rules;
    f["fare_attributes.txt"] = fares;
    f["translations.txt"] = tr;
    return f;
}

bool writeFolder(const QString &dir, const std::map<QString, QByteArray> &files) {
    QDir().mkpath(dir);
    for (const auto &[name, bytes] : files) {
        QFile f(QDir(dir).filePath(name));
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            return false;
    }
    return true;
}

bool writeZip(const QString &path, const std::map<QString, QByteArray> &files) {
    int err = 0;
    zip_t *z = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    if (!z)
        return false;
    for (const auto &[name, bytes] : files) {
        zip_source_t *src = zip_source_buffer(z, bytes.constData(), zip_uint64_t(bytes.size()), 0);
        if (zip_file_add(z, name.toUtf8().constData(), src, ZIP_FL_ENC_UTF_8) < 0)
            return false;
    }
    return zip_close(z) == 0;
}

} // namespace

int main(int argc, char *argv[]) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: gtfs_import GTFSTOOL [SCALE...]\n");
        return 2;
    }
    std::vector<int> scales;
    for (int i = 2; i < argc; ++i)
        scales.push_back(std::atoi(argv[i]));
    if (scales.empty())
        scales = {1, 10};
    QTemporaryDir dir;
    constexpr int kRuns = 5;
    std::printf("%-6s %-6s %9s %11s %12s %12s\n", "scale", "form", "rules", "stop times",
                "median s", "peak MiB");
    for (const int scale : scales) {
        const auto files = makeFeed(scale);
        const QString folder = dir.filePath(QStringLiteral("feed%1").arg(scale));
        const QString zip = folder + QStringLiteral(".zip");
        if (!writeFolder(folder, files) || !writeZip(zip, files))
            return 1;
        const long rules = files.at(QStringLiteral("fare_rules.txt")).count('\n') - 1;
        const long times = files.at(QStringLiteral("stop_times.txt")).count('\n') - 1;
        for (const QString &feed : {folder, zip}) {
            std::vector<double> seconds;
            long rss = 0;
            for (int k = 0; k < kRuns; ++k) {
                const QString out = dir.filePath(QStringLiteral("out"));
                QDir().mkpath(out);
                const q47::bench::ProcessRun r = q47::bench::runProcess(
                    {argv[1], "import", QFile::encodeName(feed), "--trip", "R0_T0", "--route", "1",
                     "--data", QFile::encodeName(out), "--sound", QFile::encodeName(out)});
                if (r.status != 0) {
                    std::fprintf(stderr, "gtfstool failed on %s\n", qPrintable(feed));
                    return 1;
                }
                seconds.push_back(r.seconds);
                rss = std::max(rss, r.maxRssKiB);
            }
            std::sort(seconds.begin(), seconds.end());
            std::printf("%-6d %-6s %9ld %11ld %12.3f %12.1f\n", scale,
                        feed.endsWith(QLatin1String(".zip")) ? "zip" : "folder", rules, times,
                        seconds[kRuns / 2], double(rss) / 1024.0);
        }
    }
    return 0;
}
