#include "fareboard.h"
#include "routedata.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

#include <sys/stat.h>

using namespace q47;

namespace {

// The message the operator reads for a refused route.
QString told(const Result<> &loaded) {
    return loaded ? QString() : failureMessage({&loaded.error(), 1}).text;
}

StopRecord stop(const QString &name, qint16 seiri, std::initializer_list<qint16> fares) {
    StopRecord s;
    s.StopName = name;
    s.SeiriNo = seiri;
    int k = 1;
    for (qint16 f : fares)
        s.setDataCol(k++, f);
    return s;
}

std::vector<StopRecord> fiveStops() {
    return {stop(QStringLiteral("駅前"), 1, {150}), stop(QStringLiteral("市役所前"), 2, {180, 150}),
            stop(QString(), 3, {210, 180, -1}),
            stop(QStringLiteral("中央病院"), 4, {230, 210, 180}),
            stop(QStringLiteral("終点"), 0, {260, 230, 210, 180})};
}

class RouteFolder : public ::testing::Test {
protected:
    void write(const QString &name, const QByteArray &bytes) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    // Opening for writing proves that no handle was left open by the reader.
    void expectWritable(const QString &name) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::ReadWrite)) << name.toStdString();
    }
    QString folder() const { return dir.path(); }
    QTemporaryDir dir;
};

} // namespace

TEST(RouteFile, EncodesTheExactByteLayout) {
    StopRecord s = stop(QStringLiteral("駅"), -2, {150});
    s.setDataCol(150, 0x1234);
    const QByteArray bytes = encodeRouteFile({s});
    ASSERT_EQ(bytes.size(), 2 + 304 + 2);
    EXPECT_EQ(bytes.left(2), QByteArray("\x01\x00", 2));
    EXPECT_EQ(bytes.mid(2, 2), QByteArray("\x02\x00", 2)); // name length in bytes
    EXPECT_EQ(bytes.mid(4, 2), QByteArray("\x89\x77", 2)); // 駅 in CP932
    EXPECT_EQ(bytes.mid(6, 2), QByteArray("\xFE\xFF", 2)); // SeiriNo -2
    EXPECT_EQ(bytes.mid(8, 2), QByteArray("\x96\x00", 2)); // column 1 = 150
    EXPECT_EQ(bytes.right(2), QByteArray("\x34\x12", 2));  // column 150
    const RouteFileContents back = decodeRouteFile(bytes);
    ASSERT_EQ(back.status, RouteFileContents::Status::Ok);
    ASSERT_EQ(back.stops.size(), 1u);
    EXPECT_EQ(back.stops[0], s);
}

TEST(RouteFile, DecodingNeverReadsPastTheData) {
    const QByteArray full = encodeRouteFile(fiveStops());
    for (qsizetype cut : {qsizetype(0), qsizetype(1), qsizetype(3), full.size() - 1}) {
        const RouteFileContents c = decodeRouteFile(full.left(cut));
        EXPECT_EQ(c.status, RouteFileContents::Status::Truncated) << cut;
    }
    QByteArray negative("\xFF\xFF", 2);
    EXPECT_EQ(decodeRouteFile(negative).status, RouteFileContents::Status::NegativeCount);
    QByteArray many("\x2E\x01", 2); // 302
    EXPECT_EQ(decodeRouteFile(many).status, RouteFileContents::Status::TooManyRecords);
}

TEST(RouteFile, NamesAndFolders) {
    EXPECT_EQ(routeFileName(QStringLiteral("00012")), QStringLiteral("12.hy3"));
    EXPECT_EQ(routeFileName(QStringLiteral("00000")), QStringLiteral("0.hy3"));
    EXPECT_EQ(routeFileName(QString()), QStringLiteral("0.hy3"));
    EXPECT_EQ(normalizeFolder(QString()), QString());
    EXPECT_EQ(normalizeFolder(QStringLiteral("/data")), QStringLiteral("/data/"));
    EXPECT_EQ(normalizeFolder(QStringLiteral("/data/")), QStringLiteral("/data/"));
    EXPECT_EQ(clampStartSection(0), 1);
    EXPECT_EQ(clampStartSection(999), 300);
    EXPECT_EQ(clampStartSection(7), 7);
}

TEST_F(RouteFolder, LoadsTheRouteNamedWithoutLeadingZeros) {
    write(QStringLiteral("12.hy3"), encodeRouteFile(fiveStops()));
    RouteTable t;
    const Result<> r = loadRoute(t, folder(), QStringLiteral("00012"), 2);
    ASSERT_TRUE(r) << told(r).toStdString();
    EXPECT_EQ(t.StopCount, 5);
    EXPECT_EQ(t.CurStopPos, 1);
    EXPECT_EQ(t.StartSection, 2);
    EXPECT_EQ(t.RouteText, QStringLiteral("00012"));
    EXPECT_EQ(t.at(2).StopName, QStringLiteral("市役所前"));
    EXPECT_EQ(t.at(3).StopName, QString()); // an empty name is valid
    EXPECT_EQ(t.at(3).DataCol(3), -1);      // -1 is kept
    EXPECT_EQ(t.at(6), StopRecord{});
    EXPECT_EQ(t.lastStopPos(), 4);
    expectWritable(QStringLiteral("12.hy3"));
}

TEST_F(RouteFolder, StartingStopMustNotBeTheLast) {
    write(QStringLiteral("5.hy3"), encodeRouteFile(fiveStops()));
    for (int section : {0, 1, 4}) {
        RouteTable t;
        EXPECT_TRUE(loadRoute(t, folder(), QStringLiteral("5"), section)) << section;
    }
    RouteTable t;
    const Result<> r = loadRoute(t, folder(), QStringLiteral("5"), 5);
    EXPECT_FALSE(r);
    EXPECT_EQ(told(r), route_messages::sectionTooHigh());
    EXPECT_FALSE(loadRoute(t, folder(), QStringLiteral("5"), 999));
}

struct Refusal {
    const char *name;
    QByteArray bytes; // empty: no file at all
    QString message;
    qint16 stopCountAfter;
};

class RefusedRoutes : public RouteFolder, public ::testing::WithParamInterface<Refusal> {};

TEST_P(RefusedRoutes, LeaveTheTableAsItWasAndTheFileClosed) {
    const Refusal &c = GetParam();
    write(QStringLiteral("1.hy3"), encodeRouteFile(fiveStops()));
    RouteTable t;
    ASSERT_TRUE(loadRoute(t, folder(), QStringLiteral("1"), 2));
    const RouteTable before = t;

    if (!c.bytes.isNull())
        write(QStringLiteral("7.hy3"), c.bytes);
    const Result<> r = loadRoute(t, folder(), QStringLiteral("00007"), 1);
    EXPECT_FALSE(r);
    EXPECT_TRUE(told(r).startsWith(c.message)) << told(r).toStdString();
    EXPECT_EQ(t.slots, before.slots);
    EXPECT_EQ(t.CurStopPos, before.CurStopPos);
    EXPECT_EQ(t.StartSection, before.StartSection);
    EXPECT_EQ(t.RouteText, before.RouteText);
    EXPECT_EQ(t.loaded, before.loaded);
    EXPECT_EQ(t.StopCount, c.stopCountAfter);
    EXPECT_LE(t.lastStopPos(), 4);
    if (!c.bytes.isNull())
        expectWritable(QStringLiteral("7.hy3"));
}

QByteArray countOnly(qint16 n) {
    QByteArray b(2, '\0');
    b[0] = static_cast<char>(n & 0xFF);
    b[1] = static_cast<char>((n >> 8) & 0xFF);
    return b;
}

INSTANTIATE_TEST_SUITE_P(
    EveryFailure, RefusedRoutes,
    ::testing::Values(
        Refusal{"missing", QByteArray(), QStringLiteral("指定した系統のデータがありません..."), 5},
        Refusal{"count_zero", countOnly(0), route_messages::countZero(), 0},
        Refusal{"negative_count", countOnly(-3), route_messages::sectionTooHigh(), -3},
        Refusal{"only_one_stop", encodeRouteFile({stop(QStringLiteral("a"), 1, {})}),
                route_messages::sectionTooHigh(), 1},
        Refusal{"too_many", countOnly(400) + QByteArray(400 * 304, '\0'),
                route_messages::tooManyRecords(400), 400},
        Refusal{"shorter_than_count", countOnly(9) + encodeRouteFile(fiveStops()).mid(2),
                QStringLiteral("系統データが途中で終わっています"), 9},
        Refusal{"empty_file", QByteArray(""), QStringLiteral("系統データが途中で終わっています"),
                5}),
    [](const auto &info) { return std::string(info.param.name); });

// What stands in the route file's place and is none is named with why; a pipe is refused at
// once rather than blocking the panel until someone writes to it.
TEST_F(RouteFolder, WhatIsNoRouteFileIsNamedWithWhy) {
    const QString path = QDir(folder()).filePath(QStringLiteral("3.hy3"));
    const struct {
        const char *name;
        std::function<bool()> make;
        QString says;
    } cases[] = {
        {"nothing", [] { return true; }, QStringLiteral("指定した系統のデータがありません...")},
        {"pipe", [&] { return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0; },
         route_messages::notAFile()},
        {"device", [&] { return QFile::link(QStringLiteral("/dev/zero"), path); },
         route_messages::notAFile()},
        {"folder", [&] { return QDir().mkdir(path); }, route_messages::isFolder()},
    };
    for (const auto &c : cases) {
        ASSERT_TRUE(c.make()) << c.name;
        RouteTable t;
        const Result<> r = loadRoute(t, folder(), QStringLiteral("3"), 1);
        EXPECT_FALSE(r);
        EXPECT_TRUE(told(r).contains(c.says) && told(r).contains(path))
            << c.name << ": " << told(r).toStdString();
        QFile::remove(path);
        QDir().rmdir(path);
    }
}

TEST(RouteTableBounds, SlotsOutsideTheTableReadEmpty) {
    RouteTable t;
    t.StopCount = 400;
    t.loaded = 3;
    EXPECT_EQ(t.lastStopPos(), 2);
    EXPECT_EQ(t.at(0), StopRecord{});
    EXPECT_EQ(t.at(302), StopRecord{});
    EXPECT_EQ(t.at(-5).DataCol(1), 0);
    t.StopCount = -4;
    EXPECT_EQ(t.lastStopPos(), 0);
}
