// The import's files as gtfstool writes them on a disk that fills up, over a link, after a
// kill, with a route number out of the panel's range.
#include "filesizelimit.h"
#include "gtfsfixture.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>

using namespace q47::gtfs::test;

namespace {

struct ToolRun {
    int exitCode = -1;
    QString err;
};

// gtfstool import of the sample loop as route 7; `fileLimit` bytes at most per file it writes.
ToolRun importLoop(const QString &data, const QString &sound, const QString &route = "7",
                   rlim_t fileLimit = RLIM_INFINITY) {
    QProcess p;
    p.setChildProcessModifier([fileLimit] {
        if (fileLimit != RLIM_INFINITY)
            FileSizeLimit::limit(fileLimit);
    });
    p.start(QStringLiteral(Q47_GTFSTOOL), {"import", sampleFeed(), "--trip", "2_0900", "--route",
                                           route, "--data", data, "--sound", sound});
    p.waitForFinished(60000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardError())};
}

QStringList namesIn(const QString &folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                  QDir::NoDotAndDotDot);
}

} // namespace

// A full disk and a link in a file's place: the tool fails naming the file and the reason,
// truly says that nothing was written, and every file is as it was.
TEST(ImportWrite, AFullDiskOrALinkWritesNothing) {
    QTemporaryDir data, sound, elsewhere;
    const QString route = QDir(data.path()).filePath("7.hy3");
    ASSERT_TRUE(writeFeed(data.path(), {{"7.hy3", "old route"}}));
    ToolRun run = importLoop(data.path(), sound.path(), "7", 1024);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(route + ": error: File too large")) << qPrintable(run.err);
    EXPECT_TRUE(run.err.endsWith("nothing was written\n")) << qPrintable(run.err);
    EXPECT_EQ(readFile(route), "old route");
    EXPECT_EQ(namesIn(data.path()), QStringList{"7.hy3"});
    EXPECT_EQ(namesIn(sound.path()), QStringList());

    const QString theirs = QDir(elsewhere.path()).filePath("names.csv");
    ASSERT_TRUE(writeFeed(elsewhere.path(), {{"names.csv", "name,en\n"}}));
    const QString link = QDir(data.path()).filePath("names.csv");
    ASSERT_TRUE(QFile::link(theirs, link));
    run = importLoop(data.path(), sound.path());
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(link + ": error: a symbolic link")) << qPrintable(run.err);
    EXPECT_TRUE(run.err.endsWith("nothing was written\n")) << qPrintable(run.err);
    EXPECT_EQ(readFile(theirs), "name,en\n");
    EXPECT_EQ(readFile(route), "old route");
    EXPECT_EQ(namesIn(sound.path()), QStringList());
}

// The next run tidies what a killed one left before it writes; route 0 is no route.
TEST(ImportWrite, TheNextRunRemovesStrayTemporaryFiles) {
    QTemporaryDir data, sound;
    ASSERT_TRUE(writeFeed(data.path(), {{".7.hy3.q47tmp.Ab12Cd", "half a route"}}));
    ASSERT_TRUE(writeFeed(sound.path(), {{".7tp.csv.q47tmp.xY34zW", "half a list"}}));
    EXPECT_EQ(importLoop(data.path(), sound.path(), "0").exitCode, 2);
    const ToolRun run = importLoop(data.path(), sound.path());
    EXPECT_EQ(run.exitCode, 0) << qPrintable(run.err);
    EXPECT_EQ(namesIn(data.path()),
              (QStringList{"7.hy3", "7.route.json", "7.timetable.csv", "names.csv"}));
    EXPECT_EQ(namesIn(sound.path()), (QStringList{"7tp.csv", "readings.csv"}));
}
