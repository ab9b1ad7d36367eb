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

namespace {

NameForms forms(std::initializer_list<std::pair<NameLanguage, const char *>> given) {
    NameForms out;
    for (const auto &[language, text] : given)
        out[language] = QString::fromUtf8(text);
    return out;
}

// names.csv: the header names the columns in any order and case; unknown columns, blank and
// comment lines are passed over; a later row wins cell by cell; quoted names may hold commas,
// quotes and line breaks; names outside CP932 are keys like any other.
TEST(NamesFile, ColumnsByTheHeadersTags) {
    const NameTable table = NameTable::fromNamesFile(
        "\xEF\xBB\xBF"
        "name,EN,note,ja-hrkt,KO,zh-hant,Zh-Hans\r\n"
        "\xF0\xA0\xAE\xB7野家前,Yoshinoya-mae,x,よしのやまえ,,,\r\n"
        "# 駅前,Comment\r\n"
        "\r\n"
        "\"駅前, 北口\",\"Station \"\"North\"\"\",,えきまえ,역앞,站前,站前\n"
        "\"改行\n入口\",Entrance\n"
        "\xF0\xA0\xAE\xB7野家前,,,,요시노야,,\n"
        "short\n");
    EXPECT_EQ(table.lookUp(QStringLiteral(" \U00020BB7野家前 ")),
              forms({{NameLanguage::English, "Yoshinoya-mae"},
                     {NameLanguage::Kana, "よしのやまえ"},
                     {NameLanguage::Korean, "요시노야"}}));
    EXPECT_EQ(table.lookUp(QStringLiteral("駅前, 北口")),
              forms({{NameLanguage::English, "Station \"North\""},
                     {NameLanguage::Kana, "えきまえ"},
                     {NameLanguage::Korean, "역앞"},
                     {NameLanguage::ChineseHant, "站前"},
                     {NameLanguage::ChineseHans, "站前"}}));
    EXPECT_EQ(table.lookUp(QStringLiteral("改行\n入口")),
              forms({{NameLanguage::English, "Entrance"}}));
    EXPECT_EQ(table.lookUp(QStringLiteral("# 駅前")), NameForms());
    EXPECT_EQ(table.lookUp(QStringLiteral("short")), NameForms());
    EXPECT_EQ(table.lookUp(QStringLiteral("name")), NameForms());

    // A header naming no language, an empty file and bytes that are no CSV give nothing.
    for (const char *bytes : {"name,english\n駅前,Station\n", "", "\"\"\"\n\"\n,,\n"})
        EXPECT_TRUE(NameTable::fromNamesFile(bytes).isEmpty()) << bytes;
    // names_en.csv: the old file, its header optional.
    EXPECT_EQ(NameTable::fromEnglishNames("停留所名,英語名\n駅前,Station\n")
                  .lookUp(QStringLiteral("駅前")),
              forms({{NameLanguage::English, "Station"}}));
    EXPECT_EQ(NameTable::fromEnglishNames("新町,Shinmachi").lookUp(QStringLiteral("新町")),
              forms({{NameLanguage::English, "Shinmachi"}}));
}

} // namespace

namespace {

// Language tags as feeds write them: any case, with regions and scripts.
TEST(NamesFile, LanguageTagsByTheirPrimarySubtag) {
    using L = NameLanguage;
    const std::pair<const char *, std::optional<L>> cases[] = {
        {"ja-Hrkt", L::Kana},           {"ja-HrKt", L::Kana},
        {"JA_HRKT", L::Kana},           {"ja", std::nullopt},
        {"ja-Latn", std::nullopt},      {"en", L::English},
        {"en-US", L::English},          {" EN-gb ", L::English},
        {"ko-KR", L::Korean},           {"zh-Hans", L::ChineseHans},
        {"zh-CN", L::ChineseHans},      {"zh-SG", L::ChineseHans},
        {"zh-Hans-CN", L::ChineseHans}, {"zh", L::ChineseHans},
        {"zh-Hant", L::ChineseHant},    {"zh-TW", L::ChineseHant},
        {"zh-hk", L::ChineseHant},      {"zh-MO", L::ChineseHant},
        {"zh-Hant-HK", L::ChineseHant}, {"zh-Latn", std::nullopt},
        {"fr", std::nullopt},           {"", std::nullopt},
        {"eng", std::nullopt},
    };
    for (const auto &[tag, language] : cases)
        EXPECT_EQ(nameLanguageOf(QString::fromLatin1(tag)), language) << tag;
}

// An import's names join the file: the user's rows stay, a header lacking languages gets
// their columns, a name already given so is not added again, a later row wins.
TEST(NamesFile, AddedNamesKeepTheUsersRows) {
    const NameForms station = forms({{NameLanguage::Kana, "えきまえ"},
                                     {NameLanguage::English, "Station"},
                                     {NameLanguage::Korean, "역앞"}});
    const QByteArray own = "name,EN\r\n# mine\r\n駅前,Ekimae\r\n#1 埠頭,Pier One";
    const auto added = addStopNames(
        own, {{QStringLiteral("駅前"), station},
              {QStringLiteral("#1 埠頭"), forms({{NameLanguage::English, "Pier One"}})}});
    ASSERT_TRUE(added);
    // The unquoted "#1 埠頭" is a comment; the added one is quoted, a name.
    EXPECT_EQ(*added, QByteArray("name,EN,ja-Hrkt,zh-Hans,zh-Hant,ko\r\n# mine\r\n駅前,Ekimae\r\n"
                                 "#1 埠頭,Pier One\r\n駅前,Station,えきまえ,,,역앞\r\n"
                                 "\"#1 埠頭\",Pier One,,,,\r\n"));
    EXPECT_EQ(NameTable::fromNamesFile(*added).lookUp(QStringLiteral("駅前")), station);
    EXPECT_EQ(addStopNames(*added, {{QStringLiteral("駅前"), station}}), added);

    const auto fresh = addStopNames({}, {{QStringLiteral("駅前"), station}});
    ASSERT_TRUE(fresh);
    EXPECT_EQ(*fresh, "name,ja-Hrkt,en,zh-Hans,zh-Hant,ko\n駅前,えきまえ,Station,,,역앞\n");
    // Rows below a header naming no language would never be read.
    EXPECT_FALSE(addStopNames("停留所名,英語名\n", {{QStringLiteral("駅前"), station}}));
}

} // namespace
