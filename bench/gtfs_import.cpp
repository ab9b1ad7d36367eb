// Importing one trip from a large feed, the way a user runs it: gtfstool in a process of its
// own, timed from start to exit, with its peak resident memory. Feeds of scale 1 (50,000 fare
// rules, 20,000 stop times) and 10 (ten times each), as a folder and as a zip.
//   gtfs_import GTFSTOOL [SCALE...]
// With --huge, feeds whose one file is huge, written into DIR (several GB of disk): a 1.9 GB
// translations.txt, a 1 GB stop_times.txt, a stop_times.txt with one line of 200 MB, and a zip
// whose stop_times.txt is 1 GiB of blank lines packed with bzip2. Each line says how large
// the largest file is, how the tool ended, and its peak memory against twice that file plus
// 100 MiB; further tools (another build) are run on the same feeds.
//   gtfs_import GTFSTOOL --huge DIR [GTFSTOOL...]
#include "processusage.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <zip.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

// A process starts with its parent's resident size at the moment it was made as its peak, so
// the tool is run from a fresh, small copy of this program (--measure), which reports it.
q47::bench::ProcessRun run(const std::vector<QByteArray> &args) {
    QStringList measureArgs{QStringLiteral("--measure")};
    for (const QByteArray &a : args)
        measureArgs.append(QFile::decodeName(a));
    QProcess p;
    p.start(QStringLiteral("/proc/self/exe"), measureArgs);
    q47::bench::ProcessRun r;
    if (!p.waitForFinished(-1))
        return r;
    const QList<QByteArray> f = p.readAllStandardOutput().trimmed().split(' ');
    if (f.size() == 3) {
        r.seconds = f[0].toDouble();
        r.maxRssKiB = f[1].toLong();
        r.status = f[2].toInt();
    }
    return r;
}

// Appends to a file through a buffer, so that gigabytes are written without being held.
class Appender {
public:
    explicit Appender(const QString &path) : file_(path) { ok_ = file_.open(QIODevice::WriteOnly); }
    ~Appender() { flush(); }
    Appender(const Appender &) = delete;
    Appender &operator=(const Appender &) = delete;
    void add(const QByteArray &bytes) {
        buffer_ += bytes;
        if (buffer_.size() > (8 << 20))
            flush();
    }
    qint64 size() { return file_.size() + buffer_.size(); }
    bool ok() const { return ok_; }

private:
    void flush() {
        ok_ = ok_ && file_.write(buffer_) == buffer_.size();
        buffer_.clear();
    }
    QFile file_;
    QByteArray buffer_;
    bool ok_ = false;
};

// zip_source_function: `size` bytes of one byte, made as libzip packs them.
struct RunSource {
    zip_uint64_t size;
    zip_uint64_t done = 0;
    char byte;
};

zip_int64_t runSource(void *state, void *data, zip_uint64_t len, zip_source_cmd_t cmd) {
    auto *s = static_cast<RunSource *>(state);
    switch (cmd) {
    case ZIP_SOURCE_OPEN:
        s->done = 0;
        return 0;
    case ZIP_SOURCE_READ: {
        const zip_uint64_t n = std::min(len, s->size - s->done);
        std::memset(data, s->byte, n);
        s->done += n;
        return zip_int64_t(n);
    }
    case ZIP_SOURCE_STAT: {
        auto *st = static_cast<zip_stat_t *>(data);
        zip_stat_init(st);
        st->size = s->size;
        st->valid |= ZIP_STAT_SIZE;
        return sizeof(zip_stat_t);
    }
    case ZIP_SOURCE_SUPPORTS:
        return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE,
                                              ZIP_SOURCE_STAT, ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE,
                                              -1);
    case ZIP_SOURCE_ERROR:
        return 2 * sizeof(int);
    default:
        return 0;
    }
}

struct Huge {
    const char *name;
    QString feed;
    qint64 largest;
};

// The scale-1 feed, with one of its files made huge.
bool makeHuge(const QString &dir, std::vector<Huge> &out) {
    const auto base = makeFeed(1);
    constexpr qint64 kMB = 1000 * 1000;

    const QString translations = dir + QStringLiteral("/translations");
    if (!writeFolder(translations, base))
        return false;
    {
        // Other languages and other stops' names, as national feeds carry them.
        Appender a(translations + QStringLiteral("/translations.txt"));
        a.add(base.at(QStringLiteral("translations.txt")));
        for (qint64 n = 0; a.size() < 1900 * kMB; ++n)
            a.add("stops,stop_name,ko,정류장" + QByteArray::number(n) + ",X" +
                  QByteArray::number(n) + "\nstops,stop_name,en,Stop " + QByteArray::number(n) +
                  ",X" + QByteArray::number(n) + "\n");
        if (!a.ok())
            return false;
        out.push_back({"1.9 GB translations.txt", translations, a.size()});
    }

    const QString times = dir + QStringLiteral("/stop_times");
    auto files = base;
    QByteArray trips = files.at(QStringLiteral("trips.txt"));
    if (!writeFolder(times, {}))
        return false;
    {
        // Trips of route R0 all day long, each of 50 stops.
        Appender a(times + QStringLiteral("/stop_times.txt"));
        a.add(files.at(QStringLiteral("stop_times.txt")));
        for (int k = 0; a.size() < 1000 * kMB; ++k) {
            const QByteArray tid = "R0_D" + QByteArray::number(k);
            trips += "R0," + tid + ",終点\n";
            for (int s = 0; s < 50; ++s)
                a.add(tid + ",08:00:00,08:00:00,R0_" + QByteArray::number(s) + "," +
                      QByteArray::number(s + 1) + "\n");
        }
        files.erase(QStringLiteral("stop_times.txt"));
        files[QStringLiteral("trips.txt")] = trips;
        if (!a.ok() || !writeFolder(times, files))
            return false;
        out.push_back({"1 GB stop_times.txt", times, a.size()});
    }

    const QString line = dir + QStringLiteral("/long_line");
    files = base;
    files.erase(QStringLiteral("stop_times.txt"));
    if (!writeFolder(line, files))
        return false;
    {
        Appender a(line + QStringLiteral("/stop_times.txt"));
        a.add(base.at(QStringLiteral("stop_times.txt")));
        a.add("R0_T0,08:00:00,08:00:00,R0_1,");
        for (int k = 0; k < 200; ++k)
            a.add(QByteArray(int(kMB), '9'));
        a.add("\n");
        if (!a.ok())
            return false;
        out.push_back({"200 MB line in stop_times.txt", line, a.size()});
    }

    const QString bomb = dir + QStringLiteral("/bomb.zip");
    int err = 0;
    zip_t *z = zip_open(QFile::encodeName(bomb).constData(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    if (!z)
        return false;
    files = base;
    files.erase(QStringLiteral("stop_times.txt"));
    for (const auto &[name, bytes] : files)
        zip_file_add(z, name.toUtf8().constData(),
                     zip_source_buffer(z, bytes.constData(), zip_uint64_t(bytes.size()), 0), 0);
    RunSource blank{1ULL << 30, 0, '\n'};
    const zip_int64_t at =
        zip_file_add(z, "stop_times.txt", zip_source_function(z, runSource, &blank), 0);
    if (at < 0 || zip_set_file_compression(z, zip_uint64_t(at), ZIP_CM_BZIP2, 9) != 0 ||
        zip_close(z) != 0)
        return false;
    out.push_back({"1 GiB bzip2 bomb in a zip", bomb, QFileInfo(bomb).size()});
    return true;
}

int huge(const std::vector<const char *> &tools, const QString &dir) {
    std::vector<Huge> feeds;
    if (!makeHuge(dir, feeds)) {
        std::fprintf(stderr, "cannot write the feeds into %s\n", qPrintable(dir));
        return 1;
    }
    for (const char *tool : tools) {
        std::printf("%s\n%-30s %12s %6s %10s %10s %11s\n", tool, "feed", "largest MB", "exit",
                    "seconds", "peak MiB", "target MiB");
        for (const Huge &h : feeds) {
            const QString out = dir + QStringLiteral("/out");
            QDir(out).removeRecursively();
            QDir().mkpath(out);
            const q47::bench::ProcessRun r =
                run({tool, "import", QFile::encodeName(h.feed), "--trip", "R0_T0", "--route", "1",
                     "--data", QFile::encodeName(out), "--sound", QFile::encodeName(out)});
            std::printf("%-30s %12.1f %6d %10.2f %10.1f %11.1f\n", h.name, double(h.largest) / 1e6,
                        r.status, r.seconds, double(r.maxRssKiB) / 1024.0,
                        2.0 * double(h.largest) / 1048576.0 + 100.0);
        }
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[]) {
    if (argc >= 3 && std::strcmp(argv[1], "--measure") == 0) {
        const q47::bench::ProcessRun r =
            q47::bench::runProcess(std::vector<QByteArray>(argv + 2, argv + argc));
        std::printf("%.3f %ld %d\n", r.seconds, r.maxRssKiB, r.status);
        return 0;
    }
    if (argc < 2) {
        std::fprintf(stderr, "usage: gtfs_import GTFSTOOL [SCALE...] | GTFSTOOL --huge DIR\n");
        return 2;
    }
    if (argc >= 4 && std::strcmp(argv[2], "--huge") == 0) {
        std::vector<const char *> tools{argv[1]};
        tools.insert(tools.end(), argv + 4, argv + argc);
        return huge(tools, QString::fromLocal8Bit(argv[3]));
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
                const q47::bench::ProcessRun r =
                    run({argv[1], "import", QFile::encodeName(feed), "--trip", "R0_T0", "--route",
                         "1", "--data", QFile::encodeName(out), "--sound", QFile::encodeName(out)});
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
