#include "cp932.h"
#include "tapecsv.h"

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

void writeAll(const QString &path, const QByteArray &bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QString join(const QStringList &lines) {
    return lines.join(QLatin1Char('\n'));
}

} // namespace

TEST(TapeCsv, SampleListsAreWhatTheToolMakesOfTheirSources) {
    for (const char *name : {"1tp", "2tp"}) {
        const QString src =
            QStringLiteral(Q47_SAMPLES "/announcements/%1.csv").arg(QLatin1String(name));
        const QByteArray csv = readAll(src);
        const tapecsv::ParseResult r = tapecsv::parseCsv(csv);
        ASSERT_TRUE(r.ok() && !r.entries.isEmpty()) << join(r.messages(src)).toStdString();
        const QByteArray list = tapecsv::writeList(r.entries);
        EXPECT_EQ(readAll(QStringLiteral(Q47_SAMPLES "/data/%1.csv").arg(QLatin1String(name))),
                  list)
            << name;
        const tapecsv::ParseResult back = tapecsv::readList(list);
        EXPECT_TRUE(back.ok()) << join(back.messages(name)).toStdString();
        EXPECT_EQ(tapecsv::writeCsv(back.entries), csv) << name;
    }
}

TEST(TapeCsv, ReadsEveryEncodingWithHeaderCommasAndSpaces) {
    const QString text = QStringLiteral("放送文,連動,音\r\n"
                                        "\"駅前, 北口です。\",1,\n"
                                        " 案内 ,,3\r\n"
                                        "\" 前後に空白 \",-1,2");
    const QList<TapeEntry> expected{{QStringLiteral("駅前, 北口です。"), 1, 0},
                                    {QStringLiteral("案内"), 0, 3},
                                    {QStringLiteral(" 前後に空白 "), -1, 2}};
    for (const QByteArray &bytes :
         {text.toUtf8(), QByteArray("\xEF\xBB\xBF") + text.toUtf8(), toCp932(text)}) {
        const tapecsv::ParseResult r = tapecsv::parseCsv(bytes);
        ASSERT_TRUE(r.ok()) << join(r.messages(QStringLiteral("t.csv"))).toStdString();
        EXPECT_EQ(r.entries, expected);
        EXPECT_EQ(r.lines, (QList<int>{2, 3, 4}));
        EXPECT_EQ(tapecsv::readList(tapecsv::writeList(r.entries)).entries, expected);
        EXPECT_EQ(tapecsv::parseCsv(tapecsv::writeCsv(r.entries)).entries, expected);
    }
}

struct Bad {
    const char *name;
    bool isList;
    QByteArray bytes;
    const char *problem; // "f:LINE: ..." as reported
    bool readable;       // a conversion to CSV would still be faithful
};

void PrintTo(const Bad &bad, std::ostream *os) {
    *os << bad.name;
}

class TapeCsvProblems : public ::testing::TestWithParam<Bad> {};

TEST_P(TapeCsvProblems, AreReportedWithTheirLine) {
    const Bad &c = GetParam();
    const tapecsv::ParseResult r =
        c.isList ? tapecsv::readList(c.bytes) : tapecsv::parseCsv(c.bytes);
    const QString all = join(r.messages(QStringLiteral("f")));
    EXPECT_TRUE(all.contains(QString::fromUtf8(c.problem))) << all.toStdString();
    EXPECT_EQ(r.readable(), c.readable) << all.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TapeCsvProblems,
    ::testing::Values(
        Bad{"csv_not_a_number", false, "a,1,0\nb,x,0\n", "f:2: the link \"x\"", true},
        Bad{"csv_out_of_range", false, "a,0,40000\n", "f:1: the sound \"40000\"", true},
        Bad{"csv_not_cp932", false, "a,1\n\xED\x95\x9C,0\n", "f:2: characters CP932", true},
        Bad{"csv_empty_text", false, "a,1\n,1,0\nb\n", "f:2: the text is empty", true},
        Bad{"csv_quote", false, "a\n\"\xE5\xA4\xA7\"\"\",0,0\n", "f:2: a double quote", true},
        Bad{"csv_extra_fields", false, "a,1,2,3\n", "f:1: 1 extra fields", true},
        Bad{"csv_unclosed", false, "a\n\"b,1\n", "f:2: a quoted field is not closed", false},
        Bad{"csv_line_break", false, "a\n\"b\nc\",1\n", "f:2: a line break", true},
        Bad{"csv_bad_bytes", false, "\x82\xA0\n\x82\x20,1\n", "f:2: bytes that are neither", false},
        Bad{"list_unclosed", true, "\"a,1,0\r\n", "f:1: a quoted field is not closed", false},
        Bad{"list_not_a_number", true, "a,1,0\r\nb,x\r\n", "f:2: the link is not a number", false},
        Bad{"list_out_of_range", true, "a,1,40000\r\n", "f:1: the sound is out of range", false},
        Bad{"list_bad_bytes", true, "a\r\n\x82\x20,1,0\r\n", "f:2: bytes that are not CP932",
            false},
        Bad{"list_lost_character", true, "\"?\",0,0\r\n", "f:1: a '?'", true},
        Bad{"list_blank_line", true, "a\r\n\r\nb\r\n", "f:2: the text is empty", true},
        Bad{"list_extra_fields", true, "a,1,0,x\r\n", "f:1: 1 extra fields", false},
        Bad{"list_quote_ends_text", true, "\"a\"b\",1,0\r\n", "f:1: a double quote inside", false},
        Bad{"list_quote_in_text", true, "a\"b,1,0\r\n", "f:1: a double quote in", true},
        Bad{"list_utf8", true, "\xE9\xA7\x85,1,0\r\n", "f:1: the list is UTF-8", false},
        Bad{"list_empty", true, "", "f:1: the list is empty", false}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(TapeTool, ExitCodesAndNothingWrittenOnError) {
    QTemporaryDir dir;
    const QString good = dir.filePath(QStringLiteral("1tp.csv"));
    const QString bad = dir.filePath(QStringLiteral("2tp.csv"));
    const QString badCsv = dir.filePath(QStringLiteral("bad.csv"));
    const QString out = dir.filePath(QStringLiteral("out"));
    writeAll(good, tapecsv::writeList({{QStringLiteral("次は、駅前です。"), 1, 0}}));
    writeAll(bad, "a,1,0\r\nb,x,0\r\n");
    writeAll(badCsv, "a,1,0\nb,x,0\n");
    const auto run = [](const QStringList &args) {
        QProcess tool;
        tool.start(QStringLiteral(Q47_TAPETOOL), args);
        EXPECT_TRUE(tool.waitForFinished());
        return tool.exitCode();
    };
    EXPECT_EQ(run({QStringLiteral("check"), good}), 0);
    EXPECT_EQ(run({QStringLiteral("check"), bad}), 1);
    EXPECT_EQ(run({QStringLiteral("check"), dir.filePath(QStringLiteral("none"))}), 2);
    EXPECT_EQ(run({QStringLiteral("to-tp"), badCsv, out}), 1);
    EXPECT_EQ(run({QStringLiteral("to-csv"), bad, out}), 1);
    EXPECT_FALSE(QFile::exists(out));
}
