#include "cp932.h"
#include "routecsv.h"
#include "routesidefile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace q47;

namespace {

QByteArray readAll(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

const QByteArray kBom("\xEF\xBB\xBF");

} // namespace

TEST(RouteCsv, SampleRoutesRoundTripExactly) {
    for (const char *name : {"1", "2"}) {
        const QString src = QStringLiteral(Q47_SAMPLES "/routes/%1.csv").arg(QLatin1String(name));
        const QByteArray csv = readAll(src);
        ASSERT_FALSE(csv.isEmpty()) << name;
        const routecsv::ParseResult r = routecsv::parse(csv, src);
        ASSERT_TRUE(r.ok()) << r.errors.join(QLatin1Char('\n')).toStdString();
        const QByteArray hy3 = encodeRouteFile(r.stops);
        EXPECT_EQ(routecsv::write(decodeRouteFile(hy3).stops), csv) << name;
        // The shipped data files are what the tool makes of the sources.
        EXPECT_EQ(readAll(QStringLiteral(Q47_SAMPLES "/data/%1.hy3").arg(QLatin1String(name))), hy3)
            << name;
        EXPECT_TRUE(routecsv::check(hy3, src).isEmpty());
    }
    // Route 2's side file is written by hand beside its source: one entry per stop, each the
    // name that the route file holds in its CP932 form.
    const std::vector<StopRecord> stops =
        decodeRouteFile(readAll(QStringLiteral(Q47_SAMPLES "/data/2.hy3"))).stops;
    const auto side =
        loadRouteSideFile(QStringLiteral(Q47_SAMPLES "/data/2.route.json"), int(stops.size()));
    ASSERT_TRUE(side);
    for (size_t i = 0; i < stops.size(); ++i)
        EXPECT_EQ(writtenStopName(stops[i].StopName, side->stops[i].name), side->stops[i].name)
            << i;
}

TEST(RouteCsv, ReadsEncodingsHeadersQuotesAndMissingColumns) {
    const QString text = QStringLiteral("# comment\n"
                                        "停留所名,整理券\n"
                                        "\"駅前, 北口\",1,150\r\n"
                                        "\n"
                                        "\"大\"\"橋\"\"\",2,180,,-1\n"
                                        "終点,0\n");
    for (const QByteArray &bytes : {text.toUtf8(), kBom + text.toUtf8(), toCp932(text)}) {
        const routecsv::ParseResult r = routecsv::parse(bytes, QStringLiteral("r.csv"));
        ASSERT_TRUE(r.ok()) << r.errors.join(QLatin1Char('\n')).toStdString();
        ASSERT_EQ(r.stops.size(), 3u);
        EXPECT_EQ(r.stops[0].StopName, QStringLiteral("駅前, 北口"));
        EXPECT_EQ(r.stops[0].DataCol(1), 150);
        EXPECT_EQ(r.stops[0].DataCol(2), 0);
        EXPECT_EQ(r.stops[1].StopName, QStringLiteral("大\"橋\""));
        EXPECT_EQ(r.stops[1].DataCol(2), 0);
        EXPECT_EQ(r.stops[1].DataCol(3), -1);
        EXPECT_EQ(r.stops[2].SeiriNo, 0);
    }
}

TEST(RouteCsv, WrittenNamesSurviveAnotherRead) {
    StopRecord a, b;
    a.StopName = QStringLiteral(" 前後に空白 ");
    b.StopName = QStringLiteral("#で始まる,\"名前\"");
    b.setDataCol(120, 3);
    const QByteArray csv = routecsv::write({a, b});
    const routecsv::ParseResult r = routecsv::parse(csv, QStringLiteral("w.csv"));
    ASSERT_TRUE(r.ok());
    ASSERT_EQ(r.stops.size(), 2u);
    EXPECT_EQ(r.stops[0], a);
    EXPECT_EQ(r.stops[1], b);
}

struct BadCsv {
    const char *name;
    QString text;
    QString error;
};

class RouteCsvErrors : public ::testing::TestWithParam<BadCsv> {};

TEST_P(RouteCsvErrors, NameFileLineAndField) {
    const BadCsv &c = GetParam();
    const routecsv::ParseResult r = routecsv::parse(c.text.toUtf8(), QStringLiteral("bad.csv"));
    ASSERT_FALSE(r.ok());
    EXPECT_TRUE(r.errors.first().startsWith(c.error)) << r.errors.first().toStdString();
}

QString manyStops(int n) {
    QString s;
    for (int i = 0; i < n; ++i)
        s += QStringLiteral("s%1,%1\n").arg(i);
    return s;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RouteCsvErrors,
    ::testing::Values(BadCsv{"not_a_number", QStringLiteral("a,1\nb,2,15O\n"),
                             QStringLiteral("bad.csv:2:3: column 1")},
                      BadCsv{"out_of_range", QStringLiteral("a,1,40000\n"),
                             QStringLiteral("bad.csv:1:3: column 1")},
                      BadCsv{"bad_ticket", QStringLiteral("a,1\nb,x\n"),
                             QStringLiteral("bad.csv:2:2: ticket number")},
                      BadCsv{"beyond_150_columns",
                             QStringLiteral("a,1") + QStringLiteral(",0").repeated(151) +
                                 QStringLiteral("\n"),
                             QStringLiteral("bad.csv:1:153: column 151")},
                      BadCsv{"not_cp932", QStringLiteral("a,1\n한국,2\n"),
                             QStringLiteral("bad.csv:2:1: stop name")},
                      BadCsv{"unclosed_quote", QStringLiteral("a,1\n\"b,2\n"),
                             QStringLiteral("bad.csv:2: a quoted field")},
                      BadCsv{"no_stops", QStringLiteral("# nothing\n"),
                             QStringLiteral("bad.csv: the route has no stops")},
                      BadCsv{"too_many_stops", manyStops(302),
                             QStringLiteral("bad.csv:302: a route has at most 301")}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(RouteCsvCheck, ReportsBrokenFiles) {
    StopRecord s;
    s.StopName = QStringLiteral("駅");
    const QByteArray good = encodeRouteFile({s, s});
    EXPECT_TRUE(routecsv::check(good, QStringLiteral("g.hy3")).isEmpty());
    EXPECT_FALSE(routecsv::check(good.left(good.size() - 1), QStringLiteral("t.hy3")).isEmpty());
    EXPECT_FALSE(routecsv::check(good + "x", QStringLiteral("x.hy3")).isEmpty());
    EXPECT_FALSE(routecsv::check(encodeRouteFile({s}), QStringLiteral("one.hy3")).isEmpty());
}

TEST(RouteTool, WritesNothingWhenTheInputIsBad) {
    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("r.csv"));
    const QString out = dir.filePath(QStringLiteral("r.hy3"));
    QFile f(csv);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("a,1,150\nb,2,abc\n");
    f.close();
    QProcess tool;
    tool.start(QStringLiteral(Q47_HY3TOOL), {QStringLiteral("to-hy3"), csv, out});
    ASSERT_TRUE(tool.waitForFinished());
    EXPECT_NE(tool.exitCode(), 0);
    EXPECT_TRUE(tool.readAllStandardError().contains(":2:3: column 1"));
    EXPECT_FALSE(QFile::exists(out));

    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write("a,1,150\nb,2,180\n");
    f.close();
    tool.start(QStringLiteral(Q47_HY3TOOL), {QStringLiteral("to-hy3"), csv, out});
    ASSERT_TRUE(tool.waitForFinished());
    EXPECT_EQ(tool.exitCode(), 0);
    EXPECT_EQ(decodeRouteFile(readAll(out)).stops.size(), 2u);
}
