#include "safefile.h"

#include "filesizelimit.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cerrno>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

using namespace q47;

namespace {

QByteArray bytesOf(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(unreadable)");
}

void put(const QString &path, const QByteArray &bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size()) << qPrintable(path);
}

QStringList namesIn(const QString &folder) {
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

QString systemText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

mode_t modeOf(const QString &path) {
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
}

} // namespace

// A full disk: the write fails with the file and the system's reason, the old file stays byte
// for byte and no temporary file is left behind.
TEST(SafeFile, AFullDiskKeepsTheOldFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("47.hy3"));
    const QByteArray old(3000, 'o');
    put(path, old);
    Result<> written;
    {
        const FileSizeLimit full(8192);
        written = writeFileSafely(path, QByteArray(64 * 1024, 'n'));
    }
    ASSERT_FALSE(written);
    EXPECT_EQ(written.error().text(), path + QStringLiteral(": ") + systemText(EFBIG));
    EXPECT_EQ(bytesOf(path), old);
    EXPECT_EQ(namesIn(dir.path()), QStringList{QStringLiteral("47.hy3")});
}

// What stands in the file's place and is no ordinary file is refused by name, and left as it
// is: a link's target is never written.
TEST(SafeFile, RefusesLinksAndWhatIsNoOrdinaryFile) {
    QTemporaryDir dir;
    const QString elsewhere = dir.filePath(QStringLiteral("elsewhere.csv"));
    put(elsewhere, "theirs");
    const QString link = dir.filePath(QStringLiteral("names_en.csv"));
    ASSERT_TRUE(QFile::link(elsewhere, link));
    const QString folder = dir.filePath(QStringLiteral("47.hy3"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString pipe = dir.filePath(QStringLiteral("47tp.csv"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QString dangling = dir.filePath(QStringLiteral("readings.csv"));
    ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("nowhere")), dangling));

    for (const QString &path : {link, folder, pipe, dangling}) {
        const Result<> written = writeFileSafely(path, "mine");
        ASSERT_FALSE(written) << qPrintable(path);
        EXPECT_EQ(written.error().file, path);
        EXPECT_TRUE(written.error().detail.contains(
            QFileInfo(path).isSymLink() ? "symbolic link" : "not an ordinary file"))
            << qPrintable(written.error().text());
    }
    EXPECT_EQ(bytesOf(elsewhere), "theirs");
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("nowhere"))));
    EXPECT_EQ(namesIn(dir.path()).size(), 5);
}

// A replaced file keeps its permission bits; a new one gets those the umask leaves.
TEST(SafeFile, KeepsPermissionBits) {
    QTemporaryDir dir;
    const QString kept = dir.filePath(QStringLiteral("Q47.in4"));
    put(kept, "old");
    ASSERT_EQ(::chmod(QFile::encodeName(kept).constData(), 0640), 0);
    ASSERT_TRUE(writeFileSafely(kept, "new"));
    EXPECT_EQ(bytesOf(kept), "new");
    EXPECT_EQ(modeOf(kept), mode_t(0640));

    const mode_t mask = ::umask(022);
    const QString fresh = dir.filePath(QStringLiteral("fresh"));
    ASSERT_TRUE(writeFileSafely(fresh, "new"));
    ::umask(mask);
    EXPECT_EQ(modeOf(fresh), mode_t(0644));
}

namespace {

// An import's files in two folders, old and new.
struct FileSet {
    QTemporaryDir data, sound;
    QString route() const { return data.filePath(QStringLiteral("47.hy3")); }
    QString english() const { return data.filePath(QStringLiteral("names_en.csv")); }
    QString list() const { return sound.filePath(QStringLiteral("47tp.csv")); }
    QString readings() const { return sound.filePath(QStringLiteral("readings.csv")); }
    QStringList paths() const { return {route(), english(), list(), readings()}; }

    // The old set has no readings.csv: that file is new.
    void putOld() {
        for (const QString &p : {route(), english(), list()})
            put(p, "old " + QFileInfo(p).fileName().toUtf8());
        QFile::remove(readings());
    }
    bool isOld() const {
        return bytesOf(route()) == "old 47.hy3" && bytesOf(english()) == "old names_en.csv" &&
               bytesOf(list()) == "old 47tp.csv" && !QFileInfo::exists(readings());
    }
    bool isNew() const {
        for (const QString &p : paths())
            if (bytesOf(p) != "new " + QFileInfo(p).fileName().toUtf8())
                return false;
        return true;
    }
    // Only the set's own files: no temporary, kept or journal file.
    bool tidy() const {
        QStringList names = namesIn(data.path()) + namesIn(sound.path());
        names.removeAll(QStringLiteral("readings.csv"));
        return names == QStringList{"47.hy3", "names_en.csv", "47tp.csv"};
    }
};

} // namespace

// When the second file cannot take its place, the first gets its old contents back, and the
// failure says truly that nothing was written.
TEST(SafeFileSet, AFailedReplacementPutsBackThoseBeforeIt) {
    FileSet set;
    set.putOld();
    std::vector<PendingFile> files(4);
    for (size_t i = 0; i < files.size(); ++i) {
        const QString path = set.paths()[qsizetype(i)];
        ASSERT_TRUE(files[i].open(path));
        ASSERT_TRUE(files[i].write("new " + QFileInfo(path).fileName().toUtf8()));
    }
    // Something takes the place of names_en.csv just before it is replaced.
    int steps = 0;
    const auto blockSecond = [&] {
        if (++steps == 7) { // two journals, three kept files, the first replacement
            ASSERT_TRUE(QFile::remove(set.english()));
            ASSERT_TRUE(QDir().mkpath(set.english() + QStringLiteral("/inside")));
        }
    };
    const Expected<void, SetWriteFailure> committed = commitFiles(files, blockSecond);
    ASSERT_FALSE(committed);
    EXPECT_EQ(committed.error().cause.file, set.english());
    EXPECT_EQ(committed.error().written, QStringList());
    EXPECT_EQ(bytesOf(set.route()), "old 47.hy3");
    EXPECT_EQ(bytesOf(set.list()), "old 47tp.csv");
    EXPECT_FALSE(QFileInfo::exists(set.readings()));
    files.clear(); // the temporary files go with them
    EXPECT_EQ(namesIn(set.data.path()), (QStringList{"47.hy3", "names_en.csv"}));
    EXPECT_EQ(namesIn(set.sound.path()), QStringList{"47tp.csv"});
}

// Killed before each change a commit makes on disk, then recovered as the next run does: each
// folder holds the whole old set or the whole new one, and once a kill leaves the new set, so
// does every later one.
TEST(SafeFileSet, KilledAtEveryStepLeavesTheOldSetOrTheNew) {
    FileSet set;
    bool sawNew = false;
    for (int step = 1;; ++step) {
        SCOPED_TRACE(step);
        set.putOld();
        QProcess saver;
        saver.start(
            QString::fromUtf8(Q47_STATEFILE_SAVER),
            {QStringLiteral("commit"), QString::number(step), set.data.path(), set.sound.path()});
        ASSERT_TRUE(saver.waitForFinished(30000));
        if (saver.exitStatus() == QProcess::NormalExit) {
            ASSERT_EQ(saver.exitCode(), 0) << saver.readAllStandardError().constData();
            EXPECT_TRUE(set.isNew() && set.tidy());
            EXPECT_GT(step, 8);
            break;
        }
        // The sound folder first at odd steps: the folders may be recovered in either order.
        const QStringList folders = step % 2 ? QStringList{set.sound.path(), set.data.path()}
                                             : QStringList{set.data.path(), set.sound.path()};
        for (const QString &folder : folders)
            recoverFolder(folder);
        ASSERT_TRUE(set.isOld() || set.isNew());
        EXPECT_TRUE(set.tidy()) << qPrintable(
            (namesIn(set.data.path()) + namesIn(set.sound.path())).join(u' '));
        EXPECT_FALSE(sawNew && set.isOld());
        sawNew = set.isNew();
    }
    EXPECT_TRUE(sawNew);
}
