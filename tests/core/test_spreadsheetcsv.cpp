#include "cp932.h"
#include "spreadsheetcsv.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace q47;
namespace csv = q47::spreadsheetcsv;

namespace {

// Names files, routes and announcement lists are read only from ordinary files of a sensible
// size, and a line past the limit stops the reading there.
TEST(SpreadsheetCsv, ReadsOnlyOrdinaryFilesOfBoundedSize) {
    QTemporaryDir dir;
    const QString pipe = dir.filePath("names_en.csv");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    EXPECT_EQ(csv::readFile(pipe).error().detail, "a named pipe, not an ordinary file");
    EXPECT_EQ(csv::readFile("/dev/zero").error().detail, "a device, not an ordinary file");
    const QString big = dir.filePath("big.csv");
    QFile f(big);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.resize(csv::kMaxFileBytes + 1));
    f.close();
    EXPECT_EQ(csv::readFile(big).error().detail, "larger than 16 MiB");

    const QString text =
        QStringLiteral("a,b\n") + QString(csv::kMaxLineChars + 1, u'x') + QStringLiteral("\nc,d\n");
    const csv::Rows rows = csv::splitRows(text);
    EXPECT_EQ(rows.longLine, 2);
    ASSERT_EQ(rows.rows.size(), 1);
    EXPECT_EQ(rows.rows[0].fields, QStringList({"a", "b"}));
}

// One bad byte in UTF-8 text is a bad line, not a reason to read every name as Shift_JIS;
// Shift_JIS text is still read as such.
TEST(SpreadsheetCsv, ShiftJisOnlyForShiftJisText) {
    const QByteArray utf8 = QStringLiteral("駅前,Station\n市役所前,City Hall\n").toUtf8();
    QByteArray broken = utf8;
    broken.insert(broken.indexOf("City"), '\xff');
    const csv::Decoded fromBroken = csv::decode(broken, csv::Encoding::Detect);
    EXPECT_TRUE(fromBroken.text.startsWith(QStringLiteral("駅前,Station\n市役所前,")));
    EXPECT_EQ(fromBroken.badLines, QSet<int>{2});

    const csv::Decoded fromCp932 =
        csv::decode(toCp932(QString::fromUtf8(utf8)), csv::Encoding::Detect);
    EXPECT_EQ(fromCp932.text, QString::fromUtf8(utf8));
    EXPECT_TRUE(fromCp932.badLines.isEmpty());
}

} // namespace
