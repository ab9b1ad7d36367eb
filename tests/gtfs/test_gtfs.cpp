#include "cp932.h"
#include "feedcsv.h"
#include "gtfsfeed.h"
#include "gtfsfixture.h"
#include "importfiles.h"
#include "japanesereading.h"
#include "namesen.h"
#include "routesidefile.h"
#include "tapecsv.h"
#include "tripimport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <zip.h>
#include <zlib.h>

#include <functional>

#include <sys/stat.h>

using namespace q47;
using namespace q47::gtfs;
using namespace q47::gtfs::test;

namespace {

const QByteArray kBom("\xEF\xBB\xBF");

// A zone fare over six stops, written the way real feeds trip readers up: a byte-order mark,
// CR LF, every field quoted, columns in an unusual order, a station whose pole has no name,
// a name CP932 cannot hold, a stop without boarding, a pair without a fare, a pair with two
// prices, a fare in dollars, and readings in GTFS-JP's first layout.
Files zoneFeed() {
    Files f;
    f["stops.txt"] =
        kBom + QStringLiteral(
                   "\"stop_name\",\"zone_id\",\"stop_id\",\"location_type\",\"parent_station\"\r\n"
                   "\"駅前\",\"\",\"ST1\",\"1\",\"\"\r\n"
                   "\"\",\"Z1\",\"P1\",\"0\",\"ST1\"\r\n"
                   "\"本町\",\"Z1\",\"P2\",\"0\",\"\"\r\n"
                   "\"市役所前\",\"Z2\",\"P3\",\"0\",\"\"\r\n"
                   "\"中央公園\",\"Z3\",\"P4\",\"0\",\"\"\r\n"
                   "\"𠮷野町\",\"Z3\",\"P5\",\"0\",\"\"\r\n"
                   "\"北口\",\"Z4\",\"P6\",\"0\",\"\"\r\n")
                   .toUtf8();
    f["routes.txt"] = "route_id,route_short_name\r\nR1,1\r\n";
    f["trips.txt"] =
        QStringLiteral("trip_headsign,trip_id,route_id\r\n\"北口, 東口方面\",T1,R1\r\n").toUtf8();
    f["stop_times.txt"] = "trip_id,stop_sequence,stop_id,pickup_type\r\n"
                          "T1,10,P1,0\r\nT1,20,P2,\r\nT1,30,P3,1\r\nT1,40,P4,0\r\nT1,50,P5,0\r\n"
                          "T1,60,P6,1\r\n";
    f["fare_attributes.txt"] = "fare_id,price,currency_type\r\n"
                               "F170,170,JPY\r\nF200,200,JPY\r\nF230,230,JPY\r\nF260,260,USD\r\n";
    f["fare_rules.txt"] = "fare_id,route_id,origin_id,destination_id\r\n" // line 1
                          "F170,R1,Z1,Z1\r\n"
                          "F200,R1,Z1,Z2\r\n"
                          "F260,R1,Z1,Z3\r\n"
                          "F170,R1,Z3,Z3\r\n" // line 5
                          "F230,R1,Z3,Z4\r\n"
                          "F200,R1,Z3,Z4\r\n" // line 7: listed twice, the lower wins
                          "F999,R2,Z1,Z4\r\n";
    f["translations.txt"] =
        kBom + QStringLiteral("\"trans_id\",\"lang\",\"translation\"\r\n"
                              "\"駅前\",\"ja-Hrkt\",\"えきまえ\"\r\n"
                              "\"駅前\",\"en\",\"Ekimae\"\r\n"
                              "\"本町\",\"ja-Hrkt\",\"ほんまち\"\r\n"
                              "\"市役所前\",\"ja-Hrkt\",\"しやくしょまえ\"\r\n"
                              "\"中央公園\",\"ja-Hrkt\",\"ちゅうおう こうえん\"\r\n"
                              "\"𠮷野町\",\"ja-Hrkt\",\"よしのちょう\"\r\n"
                              "\"北口\",\"ja-Hrkt\",\"きたぐち\"\r\n")
                   .toUtf8();
    return f;
}

// The same readings in the current GTFS layout: by the station's and a pole's record_id, and
// by the text itself.
QByteArray currentLayoutTranslations() {
    return QStringLiteral("table_name,field_name,language,translation,record_id,record_sub_id,"
                          "field_value\n"
                          "stops,stop_name,ja-Hrkt,えきまえ,ST1,,\n"
                          "stops,stop_name,ja-Hrkt,ほんまち,P2,,\n"
                          "stops,stop_name,ja-Hrkt,しやくしょまえ,,,市役所前\n"
                          "stops,stop_name,ja-Hrkt,ちゅうおう こうえん,,,中央公園\n"
                          "stops,stop_name,ja-Hrkt,よしのちょう,P5,,\n"
                          "stops,stop_name,ja-Hrkt,きたぐち,P6,,\n"
                          "stops,stop_name,en,Kitaguchi,P6,,\n"
                          "routes,route_long_name,ja-Hrkt,ほんせん,R1,,\n")
        .toUtf8();
}

struct Loaded {
    Feed feed;
    bool ok = false;
};

Loaded load(const QString &folder) {
    Loaded l;
    const auto source = FeedSource::open(folder);
    l.ok = source && l.feed.load(**source);
    return l;
}

bool mentions(const Diagnostics &ds, const QString &file, int line, const QString &text) {
    for (const Error &d : ds)
        if (d.file == file && d.line == line && d.detail.contains(text))
            return true;
    return false;
}

QString dump(const Diagnostics &ds) {
    QStringList lines;
    for (const Error &d : ds)
        lines.append(d.diagnostic());
    return lines.join(QLatin1Char('\n'));
}

std::vector<int> fares(const StopRecord &r, int sections) {
    std::vector<int> out;
    for (int k = 1; k <= sections; ++k)
        out.push_back(r.DataCol(k));
    return out;
}

// A raw deflate stream of `piece` over and over, each piece packed on its own (a full flush),
// so that the repeats are copies of one packed piece: a gigabyte from a megabyte.
QByteArray deflatedRepeats(const QByteArray &piece, int repeats) {
    z_stream z{};
    deflateInit2(&z, 9, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY);
    const auto pack = [&z](QByteArray in, int flush) {
        QByteArray out(int(deflateBound(&z, uLong(in.size()))) + 64, '\0');
        z.next_in = reinterpret_cast<Bytef *>(in.data());
        z.avail_in = uInt(in.size());
        z.next_out = reinterpret_cast<Bytef *>(out.data());
        z.avail_out = uInt(out.size());
        deflate(&z, flush);
        out.truncate(out.size() - qsizetype(z.avail_out));
        return out;
    };
    const QByteArray once = pack(piece, Z_FULL_FLUSH), end = pack({}, Z_FINISH);
    deflateEnd(&z);
    return once.repeated(repeats) + end;
}

// The files as a zip, `bzip2` among them packed with bzip2, which packs a run of one byte
// tens of thousands of times tighter than deflate can.
bool writeZip(const QString &path, const Files &files, const QString &bzip2) {
    int err = 0;
    zip_t *z = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    if (!z)
        return false;
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        zip_source_t *src =
            zip_source_buffer(z, it.value().constData(), zip_uint64_t(it.value().size()), 0);
        const zip_int64_t at = zip_file_add(z, it.key().toUtf8().constData(), src, 0);
        if (at < 0 ||
            (it.key() == bzip2 && zip_set_file_compression(z, zip_uint64_t(at), ZIP_CM_BZIP2, 1)))
            return false;
    }
    return zip_close(z) == 0;
}

// A zip written byte by byte: the feed's files stored, and `name` holding `deflated`, which
// its headers say unpacks to `size` bytes.
QByteArray zipWithMember(const Files &stored, const QByteArray &name, const QByteArray &deflated,
                         quint32 size) {
    QByteArray out, directory;
    const auto put = [](QByteArray &to, quint64 v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            to.append(char(v >> (8 * i)));
    };
    const auto add = [&](const QByteArray &file, quint16 method, quint32 crc, quint32 unpacked,
                         const QByteArray &data) {
        const quint32 offset = quint32(out.size());
        for (QByteArray *h : {&out, &directory}) {
            const bool central = h == &directory;
            put(*h, central ? 0x02014b50 : 0x04034b50, 4);
            if (central)
                put(*h, 20, 2);                                // made by
            for (const quint32 v : {20u, 0u, quint32(method)}) // version, flags, method
                put(*h, v, 2);
            put(*h, 0, 4); // time and date
            for (const quint32 v : {crc, quint32(data.size()), unpacked})
                put(*h, v, 4);
            put(*h, quint32(file.size()), 2);
            put(*h, 0, 2); // extra field
            if (central) {
                put(*h, 0, 6); // comment, disk, internal attributes
                put(*h, 0, 4); // external attributes
                put(*h, offset, 4);
            }
            h->append(file);
        }
        out += data;
    };
    for (auto it = stored.cbegin(); it != stored.cend(); ++it)
        add(it.key().toUtf8(), 0,
            quint32(crc32(0, reinterpret_cast<const Bytef *>(it.value().constData()),
                          uInt(it.value().size()))),
            quint32(it.value().size()), it.value());
    add(name, 8, 0, size, deflated);
    const quint32 at = quint32(out.size());
    const quint32 count = quint32(stored.size() + 1);
    out += directory;
    put(out, 0x06054b50, 4);
    put(out, 0, 4);
    put(out, count, 2);
    put(out, count, 2);
    put(out, quint32(directory.size()), 4);
    put(out, at, 4);
    put(out, 0, 2);
    return out;
}

QString feedError(const QString &path) {
    const auto source = FeedSource::open(path);
    return source ? QString() : source.error().detail;
}

// Imports into the folders the whole way, as the tool and the dialog do.
bool runImport(const QString &feedFolder, const ImportRequest &request, const QString &data,
               const QString &sound, Diagnostics &out) {
    Loaded l = load(feedFolder);
    out = l.feed.diagnostics();
    if (!l.ok)
        return false;
    const ImportPlan plan = planImport(l.feed, request);
    out += plan.diagnostics;
    ImportFiles files;
    return plan.ok() && prepareImport(l.feed, plan, data, sound, files, out) &&
           writeImport(files, out) == ImportWrite::Written;
}

// A feed the import refuses: the message it gives at the file and line.
struct Refusal {
    const char *name;
    Files files;
    QString trip;
    QString file;
    int line;
    QString says;
};

// The import of the feed, after `prepare` has had the feed's folder, stops with the message
// and leaves the folders as they were: the user's readings.csv byte for byte, nothing else.
void expectRefused(const Refusal &c, const std::function<void(const QString &)> &prepare = {}) {
    QTemporaryDir feed, data, sound;
    ASSERT_TRUE(writeFeed(feed.path(), c.files));
    if (prepare)
        prepare(feed.path());
    const QByteArray readings = "# 自分の読み\n一口,イモアライ\n";
    ASSERT_TRUE(writeFeed(sound.path(), {{"readings.csv", readings}}));
    Diagnostics d;
    EXPECT_FALSE(runImport(feed.path(), {c.trip, 3, {}, {}}, data.path(), sound.path(), d))
        << c.name;
    EXPECT_TRUE(mentions(d, c.file, c.line, c.says)) << c.name << "\n" << dump(d).toStdString();
    EXPECT_TRUE(QDir(data.path()).isEmpty()) << c.name;
    EXPECT_EQ(QDir(sound.path()).entryList(QDir::Files), QStringList{"readings.csv"}) << c.name;
    EXPECT_EQ(readFile(QDir(sound.path()).filePath("readings.csv")), readings) << c.name;
}

} // namespace

TEST(FeedCsv, RecordsWithBomQuotesLineBreaksAndBlankLines) {
    const QByteArray bytes = kBom + "a,b,c\r\n"
                                    "\r\n"
                                    "\"x, y\",\"say \"\"hi\"\"\" , z\r\n"
                                    "\"two\nlines\",,\n"
                                    "  spaced  ,last,\n";
    CsvReader r(bytes);
    const std::vector<std::pair<int, QList<QByteArray>>> expected = {
        {1, {"a", "b", "c"}},
        {3, {"x, y", "say \"hi\"", "z"}},
        {4, {"two\nlines", "", ""}},
        {6, {"spaced", "last", ""}},
    };
    for (const auto &[line, fields] : expected) {
        ASSERT_TRUE(r.next());
        EXPECT_EQ(r.line(), line);
        ASSERT_EQ(r.fieldCount(), fields.size()) << line;
        for (qsizetype i = 0; i < fields.size(); ++i)
            EXPECT_EQ(r.field(i), fields[i]) << line;
    }
    EXPECT_FALSE(r.next());
    EXPECT_FALSE(r.failed());
}

// The sample's loop: 駅前 市役所前 港町 水族館 灯台 港町 市役所前 駅前, fares by the shortest way.
// From 駅前 the fare rises to 230 and falls back to 170. 水族館 and 灯台 lie in different zones
// but cost the same to every stop after them, so they share a ticket number; the second
// 港町 and 市役所前 are stops of their own.
TEST(FareSections, LoopWithFallingFaresSharesOnlyWhereEveryLaterFareIsEqual) {
    Loaded l = load(sampleFeed());
    ASSERT_TRUE(l.ok) << dump(l.feed.diagnostics()).toStdString();
    const ImportPlan plan = planImport(l.feed, {QStringLiteral("2_0900"), 7, {}, {}});
    ASSERT_TRUE(plan.ok()) << dump(plan.diagnostics).toStdString();
    ASSERT_EQ(plan.records.size(), 8u);
    EXPECT_EQ(plan.sections, 6);
    const std::vector<std::pair<QString, std::vector<int>>> expected = {
        {QStringLiteral("駅前"), {0, 0, 0, 0, 0, 0}},
        {QStringLiteral("市役所前"), {170, 0, 0, 0, 0, 0}},
        {QStringLiteral("港町"), {200, 170, 0, 0, 0, 0}},
        {QStringLiteral("水族館"), {230, 200, 170, 0, 0, 0}},
        {QStringLiteral("灯台"), {230, 200, 170, 170, 0, 0}},
        {QStringLiteral("港町"), {200, 170, 170, 170, 0, 0}},
        {QStringLiteral("市役所前"), {170, 170, 170, 200, 170, 0}},
        {QStringLiteral("駅前"), {170, 170, 200, 230, 200, 170}},
    };
    const qint16 seiri[] = {1, 2, 3, 4, 4, 5, 6, 6};
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(plan.records[i].StopName, expected[i].first) << i;
        EXPECT_EQ(plan.records[i].SeiriNo, seiri[i]) << i;
        EXPECT_EQ(fares(plan.records[i], 6), expected[i].second) << i;
    }
}

TEST(TripImport, ZoneFareWithEveryQuirkOfRealFeeds) {
    QTemporaryDir dir;
    ASSERT_TRUE(writeFeed(dir.path(), zoneFeed()));
    Loaded l = load(dir.path());
    ASSERT_TRUE(l.ok) << dump(l.feed.diagnostics()).toStdString();
    const ImportPlan plan = planImport(l.feed, {QStringLiteral("T1"), 3, {}, {}});
    ASSERT_TRUE(plan.ok()) << dump(plan.diagnostics).toStdString();

    // 本町 shares 駅前's zone; 市役所前 takes no passengers; 𠮷野町 shares 中央公園's fares.
    ASSERT_EQ(plan.records.size(), 6u);
    EXPECT_EQ(plan.sections, 2);
    const std::vector<std::pair<qint16, std::vector<int>>> expected = {
        {1, {0, 0}}, {1, {170, 0}}, {1, {200, 0}}, {2, {260, 0}}, {2, {260, 170}}, {2, {0, 200}},
    };
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(plan.records[i].SeiriNo, expected[i].first) << i;
        EXPECT_EQ(fares(plan.records[i], 2), expected[i].second) << i;
    }
    EXPECT_EQ(plan.records[0].StopName, QStringLiteral("駅前")); // the pole's name is its station's
    const QByteArray hy3 = encodeRouteFile(plan.records);
    EXPECT_EQ(decodeRouteFile(hy3).stops[4].StopName, QStringLiteral("?野町"));

    const Diagnostics &d = plan.diagnostics;
    EXPECT_TRUE(mentions(d, "fare_rules.txt", 7,
                         "listed twice with two prices: 200 yen (fare F200, "
                         "line 7) and 230 yen (fare F230, line 6)"))
        << dump(d).toStdString();
    EXPECT_TRUE(mentions(d, "fare_rules.txt", 0, "no fare from 駅前 (zone Z1) to 北口 (zone Z4)"));
    EXPECT_TRUE(mentions(d, "fare_attributes.txt", 5, "F260 is in USD"));
    EXPECT_TRUE(mentions(d, "stops.txt", 7, "𠮷野町 has characters the route file (CP932)"));

    // The list holds the name CP932 cannot hold as the route file does (the tape speaks the
    // side file's name in its place); the headsign keeps its comma.
    const QStringList texts = [&] {
        QStringList t;
        for (const TapeEntry &e : plan.announcements)
            t.append(e.TapeText);
        return t;
    }();
    EXPECT_EQ(texts.first(),
              QStringLiteral("ご乗車ありがとうございます。このバスは、北口, 東口方面行きです。"));
    // Each stop's linked entry is followed by its "まもなく" entry, which a list's readers find.
    EXPECT_EQ(fromCp932(toCp932(texts[7])), QStringLiteral("次は、?野町です。"));
    EXPECT_EQ(texts[9], QStringLiteral("次は、終点、北口です。"));
    EXPECT_EQ(texts[10], QStringLiteral("まもなく、終点、北口です。"));
    EXPECT_TRUE(texts.last().startsWith(QStringLiteral("終点、北口です。")));
    EXPECT_EQ(plan.announcements.size(), 12);
    const auto linkAt = [&](int pos) { return plan.announcements[pos - 1].TapeLink; };
    EXPECT_EQ(stopEntry(12, linkAt, 6, TapeEntryKind::Step), 10);
    EXPECT_EQ(stopEntry(12, linkAt, 6, TapeEntryKind::Approaching), 11);
    EXPECT_EQ(stopEntry(12, linkAt, 3, TapeEntryKind::Approaching), 5);
}

TEST(TripImport, ReadsBothTranslationLayouts) {
    for (const bool current : {false, true}) {
        QTemporaryDir dir;
        Files files = zoneFeed();
        if (current)
            files["translations.txt"] = currentLayoutTranslations();
        ASSERT_TRUE(writeFeed(dir.path(), files));
        Loaded l = load(dir.path());
        ASSERT_TRUE(l.ok);
        const ImportPlan plan = planImport(l.feed, {QStringLiteral("T1"), 3, {}, {}});
        const QList<std::pair<QString, QString>> expected = {
            {QStringLiteral("駅前"), QStringLiteral("エキマエ")},
            {QStringLiteral("本町"), QStringLiteral("ホンマチ")},
            {QStringLiteral("市役所前"), QStringLiteral("シヤクショマエ")},
            {QStringLiteral("中央公園"), QStringLiteral("チュウオウ、コウエン")},
            {QStringLiteral("𠮷野町"), QStringLiteral("ヨシノチョウ")},
            {QStringLiteral("北口"), QStringLiteral("キタグチ")},
        };
        EXPECT_EQ(plan.readings, expected) << (current ? "GTFS layout" : "GTFS-JP layout");
        const QString english = current ? QStringLiteral("北口") : QStringLiteral("駅前");
        for (const auto &[name, forms] : plan.names)
            EXPECT_EQ(forms[NameLanguage::English].isEmpty(), name != english)
                << name.toStdString();
    }
}

// A line whose operator names it, its stops and their forms as real feeds do: language tags
// in any case and with regions (en-US, ko-KR, zh-Hant-HK, zh-CN, ja-HrKt, plain zh; ja and
// zh-Latn are no form of the board's), a pole named "<station>（１番のりば）" without a reading of
// its own, 𠮷 and an emoji in a name, readings with ～ and a bracketed code, a 12,000-yen
// fare, headsigns that change along the trip, and the route's own colours.
Files fourLanguageFeed(bool currentLayout) {
    Files f;
    f["stops.txt"] = QStringLiteral("stop_id,stop_name,zone_id,parent_station\n"
                                    "ST1,中央駅,,\n"
                                    "P1,中央駅（１番のりば）,Z1,ST1\n"
                                    "P2,𠮷野🚌ターミナル,Z1,\n"
                                    "P3,ゆ～らく温泉,Z2,\n"
                                    "P4,平山,Z2,\n"
                                    "P5,北港,Z3,\n")
                         .toUtf8();
    f["routes.txt"] = "route_id,route_short_name,route_long_name,route_color,route_text_color\n"
                      "R1,,北港線,1e90ff,FFFFFF\n";
    f["trips.txt"] = QStringLiteral("route_id,trip_id,trip_headsign\nR1,T1,北港\n").toUtf8();
    f["stop_times.txt"] = QStringLiteral("trip_id,stop_id,stop_sequence,stop_headsign\n"
                                         "T1,P1,1,𠮷野・平山経由 北港\n"
                                         "T1,P2,2,𠮷野・平山経由 北港\n"
                                         "T1,P3,3,平山経由 北港\n"
                                         "T1,P4,4,\n"
                                         "T1,P5,5,\n")
                              .toUtf8();
    f["fare_attributes.txt"] = "fare_id,price,currency_type\nF160,160,JPY\nF210,210,JPY\n"
                               "F12000,12000,JPY\n";
    f["fare_rules.txt"] = "fare_id,route_id,origin_id,destination_id\n"
                          "F160,R1,Z1,Z1\nF210,R1,Z1,Z2\nF12000,R1,Z1,Z3\n"
                          "F160,R1,Z2,Z2\nF210,R1,Z2,Z3\n";
    const QList<std::array<const char *, 3>> names = {
        // the translated text (the GTFS layout's record), language, translation
        {"中央駅", "ja-HrKt", "ちゅうおうえき"},
        {"中央駅", "en-US", "Central Station"},
        {"中央駅", "ko-KR", "중앙역"},
        {"中央駅", "zh-Hant-HK", "中央車站"},
        {"中央駅", "zh-CN", "中央车站"},
        {"中央駅", "ja", "ちゅうおうえき?"},
        {"𠮷野🚌ターミナル", "JA-HRKT", "よしのばすたーみなる"},
        {"𠮷野🚌ターミナル", "en", "Yoshino Bus Terminal"},
        {"ゆ～らく温泉", "ja-Hrkt", "ゆ～らくおんせん"},
        {"平山", "ja-Hrkt", "ひらやま（4013）"},
        {"北港", "ja-Hrkt", "きたみなと"},
        {"北港", "zh", "北港"},
        {"北港", "zh-Latn", "Beigang"},
    };
    const QHash<QString, QString> ids = {{"中央駅", "ST1"}, {"平山", "P4"}, {"北港", "P5"}};
    QString t = currentLayout ? QStringLiteral("table_name,field_name,language,translation,"
                                               "record_id,record_sub_id,field_value\n")
                              : QStringLiteral("trans_id,lang,translation\n");
    for (const auto &[text, language, translation] : names) {
        const QString id = ids.value(QString::fromUtf8(text));
        t += currentLayout ? QStringLiteral("stops,stop_name,%1,%2,%3,,%4\n")
                                 .arg(QString::fromUtf8(language), QString::fromUtf8(translation),
                                      id, id.isEmpty() ? QString::fromUtf8(text) : QString())
                           : QStringLiteral("%1,%2,%3\n")
                                 .arg(QString::fromUtf8(text), QString::fromUtf8(language),
                                      QString::fromUtf8(translation));
    }
    f["translations.txt"] = t.toUtf8();
    return f;
}

NameForms formsOf(std::initializer_list<std::pair<NameLanguage, const char16_t *>> given) {
    NameForms out;
    for (const auto &[language, text] : given)
        out[language] = QString::fromUtf16(text);
    return out;
}

// What the import writes beside the route file: the side file with the route's name and
// colours, the headsign at each stop and the names as written; names.csv with four languages;
// readings without the code and with the long vowel; the 12,000-yen fare whole, with one
// warning.
TEST(TripImport, TheRouteAsItsOperatorNamesItInFourLanguages) {
    for (const bool current : {false, true}) {
        const char *layout = current ? "GTFS layout" : "GTFS-JP layout";
        QTemporaryDir feed, data, sound;
        ASSERT_TRUE(writeFeed(feed.path(), fourLanguageFeed(current)));
        Diagnostics d;
        ASSERT_TRUE(
            runImport(feed.path(), {QStringLiteral("T1"), 4, {}, {}}, data.path(), sound.path(), d))
            << layout << dump(d).toStdString();
        EXPECT_EQ(std::count_if(d.cbegin(), d.cend(),
                                [](const Error &x) {
                                    return x.detail.contains(QStringLiteral(
                                        "route R1 has fares of 10,000 yen and more, up to 12000 "
                                        "yen: the LED board shows only their last four digits"));
                                }),
                  1)
            << layout << dump(d).toStdString();
        const RouteFileContents route =
            decodeRouteFile(readFile(QDir(data.path()).filePath("4.hy3")));
        ASSERT_EQ(route.stops.size(), 5u);
        EXPECT_EQ(route.stops[4].DataCol(1), 12000);
        EXPECT_EQ(route.stops[1].StopName, QStringLiteral("?野?ターミナル"));

        const auto side =
            loadRouteSideFile(QDir(data.path()).filePath("4.route.json"), int(route.stops.size()));
        ASSERT_TRUE(side) << layout;
        EXPECT_EQ(side->name, QStringLiteral("北港線"));
        EXPECT_EQ(side->color, QColor(0x1E, 0x90, 0xFF));
        EXPECT_EQ(side->textColor, QColor(Qt::white));
        const QStringList names = {"中央駅（１番のりば）", "𠮷野🚌ターミナル", "ゆ～らく温泉",
                                   "平山", "北港"};
        const QStringList headsigns = {"𠮷野・平山経由 北港行", "𠮷野・平山経由 北港行",
                                       "平山経由 北港行", "北港行", "北港行"};
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(side->stops[size_t(i)].name, names[i]) << layout;
            EXPECT_EQ(side->stops[size_t(i)].headsign, headsigns[i]) << layout;
        }

        const NameTable table = NameTable::loadNamesFile(QDir(data.path()).filePath("names.csv"));
        using L = NameLanguage;
        EXPECT_EQ(table.lookUp(names[0]), formsOf({{L::Kana, u"ちゅうおうえきいちばんのりば"},
                                                   {L::English, u"Central Station"},
                                                   {L::Korean, u"중앙역"},
                                                   {L::ChineseHant, u"中央車站"},
                                                   {L::ChineseHans, u"中央车站"}}))
            << layout;
        EXPECT_EQ(table.lookUp(names[1]), formsOf({{L::Kana, u"よしのばすたーみなる"},
                                                   {L::English, u"Yoshino Bus Terminal"}}));
        EXPECT_EQ(table.lookUp(names[2]), formsOf({{L::Kana, u"ゆーらくおんせん"}}));
        EXPECT_EQ(table.lookUp(names[3]), formsOf({{L::Kana, u"ひらやま"}}));
        EXPECT_EQ(table.lookUp(names[4]),
                  formsOf({{L::Kana, u"きたみなと"}, {L::ChineseHans, u"北港"}}));

        const ReadingDictionary readings =
            ReadingDictionary::load(QDir(sound.path()).filePath("readings.csv"));
        for (const auto &[name, kana] :
             {std::pair{names[0], "チュウオウエキイチバンノリバ"},
              std::pair{names[2], "ユーラクオンセン"}, std::pair{names[3], "ヒラヤマ"}}) {
            QString found;
            EXPECT_EQ(readings.match(name, 0, &found), name.size()) << name.toStdString();
            EXPECT_EQ(found, QString::fromUtf8(kana)) << layout;
        }
    }
}

// A pole without a reading of its own, named as its station with a platform, reads as its
// station plus the platform, whichever way the platform is written; a pole named otherwise,
// or a bracketed number alone, is left to the dictionary.
TEST(Feed, PlatformPolesReadAsTheirStationPlusThePlatform) {
    const std::pair<const char16_t *, const char16_t *> poles[] = {
        {u"駅前（１番のりば）", u"えきまえいちばんのりば"},
        {u"駅前 12番乗り場", u"えきまえじゅうにばんのりば"},
        {u"駅前(A)", u""},
        {u"駅前（Ｂのりば）", u"えきまえびーのりば"},
        {u"駅前3番線", u"えきまえさんばんせん"},
        {u"駅前（２番）", u"えきまえにばん"},
        {u"駅前（1）", u""},
        {u"駅前東口", u""},
        {u"駅前", u"えきまえ"},
    };
    QString stops = QStringLiteral("stop_id,stop_name,parent_station\nST,駅前,\n"),
            times = QStringLiteral("trip_id,stop_id,stop_sequence\n");
    for (int i = 0; i < int(std::size(poles)); ++i) {
        stops += QStringLiteral("P%1,%2,ST\n").arg(i).arg(QString::fromUtf16(poles[i].first));
        times += QStringLiteral("T1,P%1,%1\n").arg(i);
    }
    QTemporaryDir dir;
    ASSERT_TRUE(writeFeed(dir.path(), {{"stops.txt", stops.toUtf8()},
                                       {"stop_times.txt", times.toUtf8()},
                                       {"routes.txt", "route_id\nR1\n"},
                                       {"trips.txt", "trip_id,route_id\nT1,R1\n"},
                                       {"translations.txt", "trans_id,lang,translation\n"
                                                            "駅前,ja-Hrkt,えきまえ\n"}}));
    Loaded l = load(dir.path());
    ASSERT_TRUE(l.ok);
    for (int i = 0; i < int(std::size(poles)); ++i)
        EXPECT_EQ(l.feed.reading(l.feed.stopIndex(QStringLiteral("P%1").arg(i))),
                  QString::fromUtf16(poles[i].second))
            << QString::fromUtf16(poles[i].first).toStdString();
}

// The headsign as a board shows it gets "行" only where it does not say where the bus goes.
TEST(TripImport, BoardHeadsignAddsTheDestinationsWordWhereItIsMissing) {
    const QStringList route = {QStringLiteral("港めぐり")};
    const std::pair<const char16_t *, const char16_t *> cases[] = {
        {u"北港", u"北港行"},
        {u"大学経由 北港", u"大学経由 北港行"},
        {u"北港行", u"北港行"},
        {u"北港行き", u"北港行き"},
        {u"北港ゆき", u"北港ゆき"},
        {u"北港方面", u"北港方面"},
        {u"大学経由", u"大学経由"},
        {u"市内循環 右回り", u"市内循環 右回り"},
        {u"外回り", u"外回り"},
        {u"港めぐり", u"港めぐり"},
        {u"Airport", u"Airport"},
        {u" 北港 ", u"北港行"},
        {u"", u""},
    };
    for (const auto &[given, shown] : cases)
        EXPECT_EQ(boardHeadsign(QString::fromUtf16(given), route), QString::fromUtf16(shown))
            << QString::fromUtf16(given).toStdString();
}

TEST(TripImport, FlatFares) {
    struct Case {
        const char *name;
        QByteArray fares;
        QByteArray rules; // empty: no fare_rules.txt
    };
    const Case cases[] = {
        {"one fare, no rules", "fare_id,price\nF,210\n", {}},
        {"a rule with only route_id", "fare_id,price\nF,210\nG,500\n",
         "fare_id,route_id,origin_id,destination_id\nF,R1,,\nG,R9,,\n"},
    };
    for (const Case &c : cases) {
        QTemporaryDir dir;
        Files files = zoneFeed();
        files["fare_attributes.txt"] = c.fares;
        files.remove("fare_rules.txt");
        if (!c.rules.isEmpty())
            files["fare_rules.txt"] = c.rules;
        ASSERT_TRUE(writeFeed(dir.path(), files));
        Loaded l = load(dir.path());
        const ImportPlan plan = planImport(l.feed, {QStringLiteral("T1"), 3, {}, {}});
        ASSERT_TRUE(plan.ok()) << c.name;
        EXPECT_EQ(plan.sections, 1) << c.name;
        for (size_t i = 0; i < plan.records.size(); ++i) {
            EXPECT_EQ(plan.records[i].SeiriNo, 1) << c.name;
            EXPECT_EQ(plan.records[i].DataCol(1), i == 0 ? 0 : 210) << c.name << i;
            EXPECT_EQ(plan.records[i].DataCol(2), 0) << c.name << i;
        }
    }
}

// Whatever refuses an import leaves the folders as they were.
TEST(TripImport, RefusalsWriteNothing) {
    Files tooManySections = zoneFeed(), tooManyStops = zoneFeed(), notAFeed = zoneFeed();
    // 53 stops, each in a zone whose fare depends on where one boards: 52 ticket numbers.
    QByteArray stops = "stop_id,stop_name,zone_id\n", times = "trip_id,stop_id,stop_sequence\n",
               rules = "fare_id,origin_id\n", prices = "fare_id,price\n";
    for (int i = 1; i <= 53; ++i) {
        stops += QStringLiteral("S%1,停留所%1,Z%1\n").arg(i).toUtf8();
        times += QStringLiteral("T1,S%1,%1\n").arg(i).toUtf8();
        rules += QStringLiteral("F%1,Z%1\n").arg(i).toUtf8();
        prices += QStringLiteral("F%1,%2\n").arg(i).arg(100 + i).toUtf8();
    }
    tooManySections["stops.txt"] = stops;
    tooManySections["stop_times.txt"] = times;
    tooManySections["fare_rules.txt"] = rules;
    tooManySections["fare_attributes.txt"] = prices;
    times = "trip_id,stop_id,stop_sequence\n";
    for (int i = 1; i <= 302; ++i)
        times += QStringLiteral("T1,P%1,%2\n").arg(i % 2 ? 1 : 2).arg(i).toUtf8();
    tooManyStops["stop_times.txt"] = times;
    notAFeed.remove("stop_times.txt");

    const Refusal cases[] = {
        {"sections", tooManySections, "T1", "fare_rules.txt", 0,
         "needs 52 ticket numbers and the board has 50: import it in parts with --from/--to, e.g. "
         "--from 1 --to 51, then --from 51"},
        {"stops", tooManyStops, "T1", "stop_times.txt", 0, "has 302 stops and a route holds 301"},
        {"not a feed", notAFeed, "T1", "stop_times.txt", 0, "stop_times.txt is missing"},
        {"unknown trip", zoneFeed(), "T9", "trips.txt", 0, "`gtfstool list FEED` lists"},
    };
    for (const Refusal &c : cases)
        expectRefused(c);

    // A named pipe where the names go is not read (nor waited for) and writes nothing.
    QTemporaryDir data, sound;
    const QString pipe = QDir(data.path()).filePath("names.csv");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    Diagnostics d;
    EXPECT_FALSE(runImport(sampleFeed(), {QStringLiteral("2_0900"), 7, {}, {}}, data.path(),
                           sound.path(), d));
    EXPECT_TRUE(mentions(d, pipe, 0, "not an ordinary file")) << dump(d).toStdString();
    EXPECT_TRUE(QDir(sound.path()).isEmpty());
}

// Reading a feed costs time and memory bounded by what it holds: a pipe or a device in the
// feed's place is refused unread, a zip member is unpacked only up to its limits whatever its
// headers claim, and a line past 1 MiB is refused where it starts.
TEST(BoundedReading, RefusesWhatWouldHangOrFillMemory) {
    QTemporaryDir dir;
    const QString pipe = dir.filePath("feed.zip");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    EXPECT_EQ(feedError(pipe), "a named pipe, not a folder or a .zip file");
    EXPECT_EQ(feedError("/dev/zero"), "a device, not a folder or a .zip file");

    // Blank lines packed 300,000 to 1, as the tool meets them.
    Files feed = zoneFeed();
    feed["stop_times.txt"] += QByteArray(16 << 20, '\n');
    ASSERT_TRUE(writeZip(dir.filePath("bomb.zip"), feed, "stop_times.txt"));
    QTemporaryDir data;
    QProcess tool;
    tool.start(QStringLiteral(Q47_GTFSTOOL),
               {"import", dir.filePath("bomb.zip"), "--trip", "T1", "--route", "3", "--data",
                data.path(), "--sound", data.path()});
    ASSERT_TRUE(tool.waitForFinished(60000));
    const QString err = QString::fromUtf8(tool.readAllStandardError());
    EXPECT_EQ(tool.exitCode(), 1);
    EXPECT_TRUE(err.contains("stop_times.txt: error: stop_times.txt in the zip unpacks to more "
                             "than 1000 times its packed size"))
        << err.toStdString();
    EXPECT_TRUE(QDir(data.path()).isEmpty());

    // Packed as tightly as deflate can, 800 to 1, a member stops at 1 GiB unpacked.
    feed.remove("stop_times.txt");
    QByteArray sparse(1 << 20, '\n');
    for (qsizetype i = 4095; i < sparse.size(); i += 4096)
        sparse[i] = 'x';
    const auto zip = FeedSource::fromZipBytes(
        zipWithMember(feed, "stop_times.txt", deflatedRepeats(sparse, 1100), 1100u << 20),
        "sparse.zip");
    ASSERT_TRUE(zip) << qPrintable(zip.error().text());
    const auto opened = (*zip)->openFile("stop_times.txt");
    ASSERT_TRUE(opened);
    ByteStream *member = opened->get();
    QByteArray chunk(1 << 20, '\0');
    qint64 n = 0, total = 0;
    while ((n = member->read(chunk.data(), chunk.size())) > 0)
        total += n;
    EXPECT_EQ(n, -1);
    EXPECT_LE(total, kMaxMemberBytes + chunk.size());
    EXPECT_EQ(member->errorString(),
              "stop_times.txt in the zip unpacks to more than 1 GiB; a member that large is "
              "refused");

    // A line of 2 MiB.
    Files longLine = zoneFeed();
    longLine["stop_times.txt"].insert(longLine["stop_times.txt"].indexOf("T1,30"),
                                      QByteArray(2 << 20, 'a') + "\r\n");
    expectRefused(
        {"long line", longLine, "T1", "stop_times.txt", 4, "the line is longer than 1 MiB"});
}

// Where a reader that guesses would lose data without a word, the import stops with the file
// and line, and writes nothing.
TEST(StrictCsv, RefusesWhatAGuessWouldLose) {
    const auto edit = [](const char *file,
                         std::initializer_list<std::pair<QByteArray, QByteArray>> changes) {
        Files f = zoneFeed();
        for (const auto &[from, to] : changes)
            f[file].replace(from, to);
        return f;
    };
    const Refusal cases[] = {
        {"unclosed quote", edit("stop_times.txt", {{"T1,30", "T1,\"30"}}), "T1", "stop_times.txt",
         4, "the quote opened on this line is never closed"},
        {"quote closed lines later",
         edit("stop_times.txt", {{"T1,30", "T1,\"30"}, {"P5", "\"P5\""}}), "T1", "stop_times.txt",
         4, "closes on line 6 with text after its quote"},
        {"a bad byte in UTF-8", edit("stops.txt", {{"中央公園", "中央\xff公園"}}), "T1",
         "stops.txt", 6, "bytes that are not UTF-8, in a file that is UTF-8 elsewhere"},
        {"NUL", edit("trips.txt", {{"T1,R1", QByteArray("T1\0,R1", 6)}}), "T1", "trips.txt", 2,
         "a NUL byte"},
        {"negative stop_sequence", edit("stop_times.txt", {{"T1,20", "T1,-20"}}), "T1",
         "stop_times.txt", 3, "stop_sequence is not a whole number of 0 or more"},
        {"nan price", edit("fare_attributes.txt", {{"F200,200", "F200,nan"}}), "T1",
         "fare_attributes.txt", 3, "price \"nan\" of fare F200 is not a number of yen"},
        {"parent_station loop", edit("stops.txt", {{"\"ST1\",\"1\",\"\"", "\"ST1\",\"1\",\"P1\""}}),
         "T1", "stops.txt", 2, "parent_station goes round in a loop: ST1 -> P1 -> ST1"},
        {"a pipe for a required file", zoneFeed(), "T1", "stop_times.txt", 0,
         "a named pipe, not an ordinary file"},
        {"a device for fare rules", zoneFeed(), "T1", "fare_rules.txt", 0,
         "a device, not an ordinary file"},
    };
    for (const Refusal &c : cases)
        expectRefused(c, [&c](const QString &feed) {
            const QString path = QDir(feed).filePath(c.file);
            if (c.says.contains("pipe")) {
                QFile::remove(path);
                ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
            } else if (c.says.contains("device")) {
                QFile::remove(path);
                ASSERT_TRUE(QFile::link("/dev/zero", path));
            }
        });

    // Shift_JIS is taken for a file that is Shift_JIS throughout.
    Files cp932 = zoneFeed();
    cp932["stops.txt"] = toCp932(QString::fromUtf8(cp932["stops.txt"].mid(kBom.size())));
    QTemporaryDir feed;
    ASSERT_TRUE(writeFeed(feed.path(), cp932));
    Loaded l = load(feed.path());
    ASSERT_TRUE(l.ok) << dump(l.feed.diagnostics()).toStdString();
    EXPECT_TRUE(mentions(l.feed.diagnostics(), "stops.txt", 0, "read as Shift_JIS (CP932)"));
    EXPECT_EQ(l.feed.stopName(l.feed.stopIndex("P4")), QStringLiteral("中央公園"));
}

TEST(Readings, MergeKeepsTheUsersLinesAndReplacesEarlierImports) {
    const QByteArray existing = kBom + QStringLiteral("# 自分の読み\r\n"
                                                      "一口,イモアライ\r\n"
                                                      "港町,ミナトチョウ\r\n"
                                                      "# gtfstool: 前の取り込み\r\n"
                                                      "駅前,エキマエ\r\n"
                                                      "灯台,トーダイ\r\n"
                                                      "# gtfstool: end\r\n"
                                                      "# gtfstool: もっと前\r\n"
                                                      "灯台,トウダイ\r\n"
                                                      "# gtfstool: end\r\n"
                                                      "放出,ハナテン\r\n")
                                           .toUtf8();
    Diagnostics d;
    const QByteArray merged =
        mergeReadings(existing,
                      {{QStringLiteral("灯台"), QStringLiteral("トウダイ")},
                       {QStringLiteral("港町"), QStringLiteral("ミナトマチ")}},
                      QStringLiteral("かもめ台交通 (gtfs), route 7, trip 2_0900"), d);
    EXPECT_EQ(merged,
              kBom + QStringLiteral("# 自分の読み\r\n"
                                    "一口,イモアライ\r\n"
                                    "港町,ミナトチョウ\r\n"
                                    "# gtfstool: 前の取り込み\r\n"
                                    "駅前,エキマエ\r\n"
                                    "# gtfstool: end\r\n"
                                    "放出,ハナテン\r\n"
                                    "# gtfstool: かもめ台交通 (gtfs), route 7, trip 2_0900\r\n"
                                    "灯台,トウダイ\r\n"
                                    "港町,ミナトマチ\r\n"
                                    "# gtfstool: end\r\n")
                         .toUtf8());
    EXPECT_TRUE(mentions(d, "readings.csv", 3, "your reading ミナトチョウ of 港町 stays"))
        << dump(d).toStdString();
}

// With the readings an import writes, the reader says every stop name as the feed does, also
// where it guesses wrong on its own (緑町 as ミドリチョウ, 港町 as ミナトチョウ); the names join
// the user's own in names.csv, which keeps them as they were, and names_en.csv is left alone.
TEST(Readings, EveryStopNameOfTheSampleIsReadAsTheFeedReadsIt) {
    JapaneseReading reader;
    ASSERT_TRUE(reader.available());
    QTemporaryDir data, sound;
    ASSERT_TRUE(writeFeed(sound.path(), {{"readings.csv", "一口,イモアライ\n"}}));
    const QByteArray ownNames = "name,en\r\n# mine\r\n一口,Imoarai\r\n駅前,Ekimae";
    ASSERT_TRUE(writeFeed(data.path(), {{"names.csv", ownNames}, {"names_en.csv", "a,b\n"}}));
    Diagnostics d;
    for (int pass = 0; pass < 2; ++pass)
        for (const char *trip : {"1_0700_out", "2_0900"})
            ASSERT_TRUE(runImport(sampleFeed(), {QString::fromLatin1(trip), 1, {}, {}}, data.path(),
                                  sound.path(), d))
                << dump(d).toStdString();
    const QString namesPath = QDir(data.path()).filePath("names.csv");
    const QByteArray written = readFile(namesPath);
    EXPECT_TRUE(
        written.startsWith("name,en,ja-Hrkt,zh-Hans,zh-Hant,ko\r\n" + ownNames.mid(9) + "\r\n"))
        << written.toStdString();
    EXPECT_EQ(written.count("\r\n駅前,"), 2); // the user's, then the feed's, not again
    EXPECT_EQ(readFile(QDir(data.path()).filePath("names_en.csv")), "a,b\n");
    const NameTable table = NameTable::fromNamesFile(written);
    EXPECT_EQ(table.lookUp(QStringLiteral("一口"))[NameLanguage::English],
              QStringLiteral("Imoarai"));
    reader.setDictionary(ReadingDictionary::load(QDir(sound.path()).filePath("readings.csv")));
    EXPECT_EQ(reader.read(QStringLiteral("一口")).kana, QStringLiteral("イモアライ"));
    Loaded l = load(sampleFeed());
    int names = 0;
    for (const char *trip : {"1_0700_out", "2_0900"})
        for (const StopTime &st : l.feed.trips()[size_t(l.feed.tripIndex(trip))].stopTimes) {
            const QString name = l.feed.stopName(st.stop);
            EXPECT_EQ(reader.read(name).kana, toKatakana(l.feed.reading(st.stop)))
                << name.toStdString();
            EXPECT_EQ(table.lookUp(name), l.feed.nameForms(st.stop)) << name.toStdString();
            ++names;
        }
    EXPECT_EQ(names, 18);
    // The list is one the announcement tool accepts.
    const tapecsv::ParseResult list =
        tapecsv::readList(readFile(QDir(sound.path()).filePath("1tp.csv")));
    EXPECT_TRUE(list.ok()) << list.messages("1tp.csv").join('\n').toStdString();
    // Greeting, each stop's "次は" and "まもなく" after the first, the terminal's words.
    EXPECT_EQ(list.entries.size(), 16);
}

// The tool on a zip whose files sit in a folder, as feeds are often packed.
TEST(GtfsTool, ListsAndImportsFromAZip) {
    QTemporaryDir dir;
    const QString zipPath = dir.filePath("kamome.zip");
    {
        int err = 0;
        zip_t *z = zip_open(zipPath.toLocal8Bit().constData(), ZIP_CREATE | ZIP_TRUNCATE, &err);
        ASSERT_NE(z, nullptr);
        QList<QByteArray> keep;
        for (const QString &name : QDir(sampleFeed()).entryList(QDir::Files)) {
            keep.append(readFile(QDir(sampleFeed()).filePath(name)));
            zip_source_t *src =
                zip_source_buffer(z, keep.back().constData(), zip_uint64_t(keep.back().size()), 0);
            ASSERT_GE(
                zip_file_add(z, ("kamome/" + name).toUtf8().constData(), src, ZIP_FL_ENC_UTF_8), 0);
        }
        ASSERT_EQ(zip_close(z), 0);
    }
    const auto run = [](const QStringList &args, QString *out, QString *err) {
        QProcess p;
        p.start(QStringLiteral(Q47_GTFSTOOL), args);
        p.waitForFinished(60000);
        *out = QString::fromUtf8(p.readAllStandardOutput());
        *err = QString::fromUtf8(p.readAllStandardError());
        return p.exitCode();
    };
    QString out, err;
    ASSERT_EQ(run({"list", zipPath}, &out, &err), 0) << err.toStdString();
    EXPECT_TRUE(out.contains(
        QStringLiteral("  1. 10 stops, 駅前 -> 北営業所, for 北営業所, 5 trips, e.g. 1_0700_out")))
        << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("route R2  循環 港めぐり")));

    QTemporaryDir data, sound;
    EXPECT_EQ(run({"import", zipPath, "--trip", "1_0700_out", "--route", "12", "--data",
                   data.path(), "--sound", sound.path(), "--from", "3", "--to", "8"},
                  &out, &err),
              0)
        << err.toStdString();
    const RouteFileContents route = decodeRouteFile(readFile(QDir(data.path()).filePath("12.hy3")));
    ASSERT_EQ(route.stops.size(), 6u);
    EXPECT_EQ(route.stops.front().StopName, QStringLiteral("市役所前"));
    EXPECT_EQ(route.stops.back().StopName, QStringLiteral("緑町"));
    EXPECT_TRUE(QFile::exists(QDir(sound.path()).filePath("12tp.csv")));
    // The timetable is cut with the route: stop_sequence 3 to 8, times from the feed.
    const Result<Timetable> times = loadTimetable(QDir(data.path()).filePath("12.timetable.csv"));
    ASSERT_TRUE(times) << times.error().text().toStdString();
    ASSERT_EQ(times->stops.size(), 6u);
    EXPECT_EQ(times->stops.front().departure, 7 * 3600 + 6 * 60);
    EXPECT_EQ(times->stops.back().arrival, 7 * 3600 + 21 * 60);
    EXPECT_EQ(times->stops.front().name, QStringLiteral("市役所前"));

    EXPECT_EQ(run({"import", zipPath, "--trip", "nope", "--route", "13", "--data", data.path(),
                   "--sound", sound.path()},
                  &out, &err),
              1);
    EXPECT_TRUE(err.startsWith(QStringLiteral("trips.txt: error: no trip nope")))
        << err.toStdString();
    EXPECT_FALSE(QFile::exists(QDir(data.path()).filePath("13.hy3")));
}
