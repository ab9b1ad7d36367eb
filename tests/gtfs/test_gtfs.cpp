#include "feedcsv.h"
#include "gtfsfeed.h"
#include "gtfsfixture.h"
#include "importfiles.h"
#include "japanesereading.h"
#include "namesen.h"
#include "tapecsv.h"
#include "tripimport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <zip.h>

#include <sys/stat.h>

using namespace q47;
using namespace q47::gtfs;
using namespace q47::gtfs::test;

namespace {

const QByteArray kBom("\xEF\xBB\xBF");

QByteArray readAll(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

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
    QString error;
    const auto source = FeedSource::open(folder, &error);
    l.ok = source && l.feed.load(*source);
    return l;
}

bool mentions(const Diagnostics &ds, const QString &file, int line, const QString &text) {
    for (const Diagnostic &d : ds)
        if (d.file == file && d.line == line && d.text.contains(text))
            return true;
    return false;
}

QString dump(const Diagnostics &ds) {
    QStringList lines;
    for (const Diagnostic &d : ds)
        lines.append(d.toString());
    return lines.join(QLatin1Char('\n'));
}

std::vector<int> fares(const StopRecord &r, int sections) {
    std::vector<int> out;
    for (int k = 1; k <= sections; ++k)
        out.push_back(r.DataCol(k));
    return out;
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
    EXPECT_FALSE(r.unclosedQuote());
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

    // The name CP932 cannot hold is spoken by its reading; the headsign keeps its comma.
    const QStringList texts = [&] {
        QStringList t;
        for (const TapeEntry &e : plan.announcements)
            t.append(e.TapeText);
        return t;
    }();
    EXPECT_EQ(texts.first(),
              QStringLiteral("ご乗車ありがとうございます。このバスは、北口, 東口方面行きです。"));
    EXPECT_EQ(texts[4], QStringLiteral("次は、ヨシノチョウです。"));
    EXPECT_EQ(texts[5], QStringLiteral("次は、終点、北口です。"));
    EXPECT_TRUE(texts.last().startsWith(QStringLiteral("終点、北口です。")));
    EXPECT_EQ(plan.announcements.size(), 7);
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
        const QList<std::pair<QString, QString>> english = {
            current ? std::pair{QStringLiteral("北口"), QStringLiteral("Kitaguchi")}
                    : std::pair{QStringLiteral("駅前"), QStringLiteral("Ekimae")}};
        EXPECT_EQ(plan.englishNames, english);
    }
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

    struct Case {
        const char *name;
        Files files;
        QString trip;
        QString file;
        QString says;
    };
    const Case cases[] = {
        {"sections", tooManySections, "T1", "fare_rules.txt",
         "needs 52 ticket numbers and the board has 50: import it in parts with --from/--to, e.g. "
         "--from 1 --to 51, then --from 51"},
        {"stops", tooManyStops, "T1", "stop_times.txt", "has 302 stops and a route holds 301"},
        {"not a feed", notAFeed, "T1", "stop_times.txt", "stop_times.txt is missing"},
        {"unknown trip", zoneFeed(), "T9", "trips.txt", "`gtfstool list FEED` lists"},
    };
    for (const Case &c : cases) {
        QTemporaryDir feed, data, sound;
        ASSERT_TRUE(writeFeed(feed.path(), c.files));
        const QByteArray readings = "# 自分の読み\n一口,イモアライ\n";
        ASSERT_TRUE(writeFeed(sound.path(), {{"readings.csv", readings}}));
        Diagnostics d;
        EXPECT_FALSE(runImport(feed.path(), {c.trip, 3, {}, {}}, data.path(), sound.path(), d))
            << c.name;
        EXPECT_TRUE(mentions(d, c.file, 0, c.says)) << c.name << "\n" << dump(d).toStdString();
        EXPECT_TRUE(QDir(data.path()).isEmpty()) << c.name;
        EXPECT_EQ(QDir(sound.path()).entryList(QDir::Files), QStringList{"readings.csv"}) << c.name;
        EXPECT_EQ(readAll(QDir(sound.path()).filePath("readings.csv")), readings) << c.name;
    }

    // A named pipe where the English names go is not read (nor waited for) and writes nothing.
    QTemporaryDir data, sound;
    const QString pipe = QDir(data.path()).filePath("names_en.csv");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    Diagnostics d;
    EXPECT_FALSE(runImport(sampleFeed(), {QStringLiteral("2_0900"), 7, {}, {}}, data.path(),
                           sound.path(), d));
    EXPECT_TRUE(mentions(d, pipe, 0, "not an ordinary file")) << dump(d).toStdString();
    EXPECT_TRUE(QDir(sound.path()).isEmpty());
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
// where it guesses wrong on its own (緑町 as ミドリチョウ, 港町 as ミナトチョウ); the English names
// join the user's own in names_en.csv, which stays as it was above them.
TEST(Readings, EveryStopNameOfTheSampleIsReadAsTheFeedReadsIt) {
    JapaneseReading reader;
    ASSERT_TRUE(reader.available());
    QTemporaryDir data, sound;
    ASSERT_TRUE(writeFeed(sound.path(), {{"readings.csv", "一口,イモアライ\n"}}));
    const QByteArray ownNames = "# mine\r\n一口,Imoarai\r\n駅前,Ekimae";
    ASSERT_TRUE(writeFeed(data.path(), {{"names_en.csv", ownNames}}));
    Diagnostics d;
    for (int pass = 0; pass < 2; ++pass)
        for (const char *trip : {"1_0700_out", "2_0900"})
            ASSERT_TRUE(runImport(sampleFeed(), {QString::fromLatin1(trip), 1, {}, {}}, data.path(),
                                  sound.path(), d))
                << dump(d).toStdString();
    const QString namesPath = QDir(data.path()).filePath("names_en.csv");
    EXPECT_TRUE(readAll(namesPath).startsWith(ownNames + "\r\n"));
    EXPECT_EQ(readAll(namesPath).count("\r\n駅前,Station\r\n"), 1); // not again on a re-import
    const QHash<QString, QString> english = loadEnglishNames(namesPath);
    EXPECT_EQ(english.value(QStringLiteral("一口")), QStringLiteral("Imoarai"));
    reader.setDictionary(ReadingDictionary::load(QDir(sound.path()).filePath("readings.csv")));
    EXPECT_EQ(reader.read(QStringLiteral("一口")).kana, QStringLiteral("イモアライ"));
    Loaded l = load(sampleFeed());
    int names = 0;
    for (const char *trip : {"1_0700_out", "2_0900"})
        for (const StopTime &st : l.feed.trips()[size_t(l.feed.tripIndex(trip))].stopTimes) {
            const QString name = l.feed.stopName(st.stop);
            EXPECT_EQ(reader.read(name).kana, toKatakana(l.feed.reading(st.stop)))
                << name.toStdString();
            EXPECT_EQ(english.value(name), l.feed.englishName(st.stop)) << name.toStdString();
            ++names;
        }
    EXPECT_EQ(names, 18);
    // The list is one the announcement tool accepts.
    const tapecsv::ParseResult list =
        tapecsv::readList(readAll(QDir(sound.path()).filePath("1tp.csv")));
    EXPECT_TRUE(list.ok()) << list.messages("1tp.csv").join('\n').toStdString();
    EXPECT_EQ(list.entries.size(), 9);
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
            keep.append(readAll(QDir(sampleFeed()).filePath(name)));
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
    const RouteFileContents route = decodeRouteFile(readAll(QDir(data.path()).filePath("12.hy3")));
    ASSERT_EQ(route.stops.size(), 6u);
    EXPECT_EQ(route.stops.front().StopName, QStringLiteral("市役所前"));
    EXPECT_EQ(route.stops.back().StopName, QStringLiteral("緑町"));
    EXPECT_TRUE(QFile::exists(QDir(sound.path()).filePath("12tp.csv")));

    EXPECT_EQ(run({"import", zipPath, "--trip", "nope", "--route", "13", "--data", data.path(),
                   "--sound", sound.path()},
                  &out, &err),
              1);
    EXPECT_TRUE(err.startsWith(QStringLiteral("trips.txt: error: no trip nope")))
        << err.toStdString();
    EXPECT_FALSE(QFile::exists(QDir(data.path()).filePath("13.hy3")));
}
