// Feeds arbitrary bytes to the GTFS feed reader and the import: a zip when the bytes start
// like one, otherwise the tables of a feed separated by NUL bytes. Whatever the reader takes,
// an import it allows must fit the route file and read back the same.
#include "gtfsfeed.h"
#include "importfiles.h"
#include "tripimport.h"

#include <QHash>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

class MemorySource final : public q47::gtfs::FeedSource {
public:
    explicit MemorySource(QByteArrayView bytes) : FeedSource(QStringLiteral("fuzz")) {
        static const char *const kFiles[] = {
            "stops.txt",           "routes.txt",     "trips.txt",        "stop_times.txt",
            "fare_attributes.txt", "fare_rules.txt", "translations.txt", "agency.txt"};
        const QList<QByteArray> parts = bytes.toByteArray().split('\0');
        for (qsizetype i = 0; i < parts.size() && i < 8; ++i)
            files_.insert(QString::fromLatin1(kFiles[i]), parts[i]);
    }
    bool has(const QString &file) const override { return files_.contains(file); }
    q47::Result<std::unique_ptr<q47::gtfs::ByteStream>>
    openFile(const QString &file) const override {
        return std::unique_ptr<q47::gtfs::ByteStream>(
            std::make_unique<q47::gtfs::BytesStream>(files_.value(file)));
    }
    qint64 size(const QString &file) const override { return files_.value(file).size(); }

private:
    QHash<QString, QByteArray> files_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    using namespace q47::gtfs;
    const QByteArrayView bytes(data, static_cast<qsizetype>(size));
    std::unique_ptr<FeedSource> source =
        bytes.startsWith("PK")
            ? FeedSource::fromZipBytes(bytes.toByteArray(), QStringLiteral("fuzz.zip"))
                  .value_or(nullptr)
            : std::make_unique<MemorySource>(bytes);
    if (!source)
        return 0;
    Feed feed;
    if (!feed.load(*source))
        return 0;
    (void)feed.patterns();
    for (size_t t = 0; t < feed.trips().size() && t < 3; ++t) {
        const ImportPlan plan = planImport(feed, {feed.trips()[t].id, 1, {}, {}});
        if (!plan.ok())
            continue;
        if (plan.records.size() < 2 || plan.records.size() > size_t(q47::kRouteSlots) ||
            plan.sections > q47::kFareCells)
            std::abort();
        for (const q47::StopRecord &r : plan.records)
            if (r.SeiriNo < 0 || r.SeiriNo > plan.sections)
                std::abort();
        const q47::RouteFileContents back =
            q47::decodeRouteFile(q47::encodeRouteFile(plan.records));
        if (back.status != q47::RouteFileContents::Status::Ok ||
            back.stops.size() != plan.records.size())
            std::abort();
        Diagnostics notes;
        (void)mergeReadings(bytes.first(std::min<qsizetype>(bytes.size(), 200)).toByteArray(),
                            plan.readings, QStringLiteral("fuzz"), notes);
        (void)q47::formatTapeList(plan.announcements);
    }
    return 0;
}
