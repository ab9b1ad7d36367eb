#include "cp932.h"

#include <gtest/gtest.h>

using namespace q47;

TEST(Cp932, RoundTripsJapaneseAndHalfWidthText) {
    const QString text = QStringLiteral("系統設定 ABC ｶﾀｶﾅ ①");
    const QByteArray bytes = toCp932(text);
    EXPECT_EQ(bytes.left(4), QByteArray("\x8C\x6E\x93\x9D", 4)); // 系統
    EXPECT_EQ(fromCp932(bytes), text);
}

TEST(Cp932, UnmappableCharactersBecomeQuestionMarks) {
    // An emoji and a Korean syllable have no CP932 form; the rest survives.
    EXPECT_EQ(toCp932(QStringLiteral("A😀B한C")), QByteArray("A?B?C"));
    EXPECT_EQ(toCp932(QString()), QByteArray());
}

TEST(Cp932, UndecodableBytesReadAsQuestionMarks) {
    EXPECT_EQ(fromCp932(QByteArray("\x82", 1)), QStringLiteral("?"));
    EXPECT_EQ(fromCp932(QByteArray("a\x82", 2)), QStringLiteral("a?"));
}

TEST(Cp932, LenBCountsBytes) {
    EXPECT_EQ(LenB_ASCII(QStringLiteral("")), 0);
    EXPECT_EQ(LenB_ASCII(QStringLiteral("ab")), 2);
    EXPECT_EQ(LenB_ASCII(QStringLiteral("駅前")), 4);
    EXPECT_EQ(LenB_ASCII(QStringLiteral("ｶﾅ")), 2); // half-width katakana are single bytes
    EXPECT_EQ(LenB_ASCII(QStringLiteral("駅A")), 3);
}

TEST(Cp932, MidBSlicesByBytes) {
    const QString name = QStringLiteral("市役所前");
    EXPECT_EQ(MidB_ASCII(name, 1, 2), QStringLiteral("市"));
    EXPECT_EQ(MidB_ASCII(name, 7, 2), QStringLiteral("前"));
    EXPECT_EQ(MidB_ASCII(name, 9, 2), QString()); // past the end
    // A trail byte alone decodes as whatever single-byte character it is (0x4F).
    EXPECT_EQ(MidB_ASCII(name, 8, 2), QStringLiteral("O"));
    EXPECT_EQ(MidB_ASCII(QStringLiteral("ABC"), 3, 2), QStringLiteral("C"));
    EXPECT_EQ(MidB_ASCII(QStringLiteral("A駅"), 1, 2), QStringLiteral("A?"));
    EXPECT_EQ(MidB_ASCII(name, 0, 2), QString());
}
