#include "namesen.h"

#include <gtest/gtest.h>

using namespace q47;

namespace {

TEST(EnglishNames, ReadAsWrittenAndBack) {
    const QByteArray file = "\xEF\xBB\xBF"
                            "停留所名,英語名\r\n"
                            "駅前,Station\r\n"
                            "# a comment\r\n"
                            "\r\n"
                            "\"市役所前\",\"City Hall, Main Gate\"\r\n"
                            "\"#1 埠頭\",\"Pier \"\"One\"\"\"\n"
                            "中町,\n"
                            "駅前,Station Square\n";
    const QHash<QString, QString> names = readEnglishNames(file);
    const QHash<QString, QString> expected{
        {QStringLiteral("駅前"), QStringLiteral("Station Square")},
        {QStringLiteral("市役所前"), QStringLiteral("City Hall, Main Gate")},
        {QStringLiteral("#1 埠頭"), QStringLiteral("Pier \"One\"")}};
    EXPECT_EQ(names, expected);
    EXPECT_EQ(readEnglishNames(writeEnglishNames(names)), expected);
    // Without the header, the first line is a stop.
    EXPECT_EQ(readEnglishNames("新町,Shinmachi\n").value(QStringLiteral("新町")),
              QStringLiteral("Shinmachi"));
}

} // namespace
