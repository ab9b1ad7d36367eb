#include "fareboard.h"

#include <gtest/gtest.h>

using namespace q47;

namespace {

using Kind = Error::Kind;
using Subject = Error::Subject;

const QString kRoute = QStringLiteral("/data/7.hy3");

Error route(Kind what, const QString &detail = QString()) {
    return Error(what, detail).in(kRoute).about(Subject::Route);
}

Error picture(ErrorNumber number) {
    return Error(Kind::Invalid)
        .in(QStringLiteral("/p/on1.bmp"))
        .about(Subject::Picture)
        .numbered(number);
}

QString pictureText(int number, const char *detail) {
    return QStringLiteral("エラーです。\n\nエラーコード：%1").arg(number) +
           QString::fromUtf8(detail);
}

} // namespace

// Every subject's failure in the words the operator reads, and the box it comes in.
TEST(FailureMessage, EachSubjectInItsOwnWords) {
    const char *missingPicture = "　画像ファイルが見つからないか、指定している場所が不正です。";
    const QString unreadable =
        QStringLiteral("指定した系統のデータを読み込めません...\n  原因：%1\n  ファイル：") +
        kRoute;
    const struct {
        const char *name;
        Errors errors;
        FailureMessage told;
    } cases[] = {
        {"route missing",
         {route(Kind::NotFound)},
         {{}, QStringLiteral("指定した系統のデータがありません...\n  ファイル：") + kRoute}},
        {"route folder",
         {route(Kind::IsFolder)},
         {{}, unreadable.arg(QStringLiteral("同じ名前のフォルダーがあります"))}},
        {"route pipe",
         {route(Kind::NotAFile)},
         {{}, unreadable.arg(QStringLiteral("通常のファイルではありません"))}},
        {"route too large",
         {route(Kind::TooLarge)},
         {{},
          unreadable.arg(QStringLiteral("系統データとしては大きすぎます（19817541 バイトまで）"))}},
        {"route not readable",
         {route(Kind::NoPermission)},
         {{}, unreadable.arg(QStringLiteral("読み取りの権限がありません"))}},
        {"route read fails",
         {route(Kind::DeviceFailed, QStringLiteral("Input/output error"))},
         {{}, unreadable.arg(QStringLiteral("Input/output error"))}},
        {"route cut short",
         {route(Kind::Truncated)},
         {{},
          QStringLiteral(
              "系統データが途中で終わっています。ファイルが壊れている可能性があります。\n") +
              kRoute}},
        {"route of no stops",
         {route(Kind::Empty)},
         {{}, QStringLiteral("指定した系統はデータの数が0(未登録)の可能性があります...")}},
        {"section past the stops",
         {route(Kind::OutOfRange)},
         {{},
          QStringLiteral(
              "指定した区間はデータの数よりも多いです...\n  解決法：正しい区間を入力して下さい.")}},
        {"too many stops",
         {route(Kind::TooMany, QStringLiteral("400"))},
         {{},
          QStringLiteral(
              "系統データの停留所の数(400)が多すぎます。読み込めるのは301件までです。")}},
        {"state file refused",
         {Error(Kind::BadValue, QStringLiteral("プロパティの値が不正です（Combo1 = 12）"))
              .about(Subject::StateFile)
              .numbered(ErrorNumber::InvalidValue)},
         {{},
          QStringLiteral("エラー Code:380\n内容:プロパティの値が不正です（Combo1 = "
                         "12）\nモジュール:mdlIniIo.LoadIni()")}},
        {"state file not written",
         {Error(
              Kind::WriteFailed,
              QStringLiteral("状態ファイルを書き込めません（/c/Q47.in4: No space left on device）"))
              .about(Subject::StateFile)
              .numbered(ErrorNumber::DeviceIO)},
         {{},
          QStringLiteral("エラー Code:57\n内容:状態ファイルを書き込めません（/c/Q47.in4: No space "
                         "left on device）")}},
        {"picture out of memory",
         {picture(ErrorNumber::OutOfMemory)},
         {QStringLiteral("エラー"), pictureText(7, "　内部的なエラーです。開発元へ報告してください"
                                                   "。エラー場所：frmCtl.Option4_Click()")}},
        {"picture missing",
         {picture(ErrorNumber::FileNotFound)},
         {QStringLiteral("エラー"), pictureText(53, missingPicture)}},
        {"picture denied",
         {picture(ErrorNumber::AccessDenied)},
         {QStringLiteral("エラー"), pictureText(75, missingPicture)}},
        {"picture path",
         {picture(ErrorNumber::BadPath)},
         {QStringLiteral("エラー"), pictureText(76, missingPicture)}},
        {"picture device",
         {picture(ErrorNumber::DeviceIO)},
         {QStringLiteral("エラー"),
          pictureText(57, "　デバイスエラーもしくは準備が出来ていません。")}},
        {"no picture",
         {picture(ErrorNumber::InvalidPicture)},
         {QStringLiteral("エラー"),
          pictureText(481, "　指定した画像の内容が不正です。この部分では扱えません。")}},
        {"no backlight row",
         {picture(ErrorNumber::NoSuchBacklightRow)},
         {QStringLiteral("エラー"), pictureText(340, "")}},
        {"plug-in faults",
         {Error(Kind::Invalid, QStringLiteral("an unknown key or attribute (colour)"))
              .in(QStringLiteral("/p/mine.4SP"))
              .at(12)
              .about(Subject::Plugin),
          Error(Kind::Invalid, QStringLiteral("a required key or attribute is missing"))
              .in(QStringLiteral("/p/mine.4SP"))
              .about(Subject::Plugin)},
         {QStringLiteral("プラグインロードエラー"),
          QStringLiteral(
              "指定したファイルはプラグインでないか、内容が不正です\n\nmine.4SP:12: an unknown key "
              "or attribute (colour)\nmine.4SP: a required key or attribute is missing")}},
        {"anything else",
         {Error(Kind::WriteFailed, QStringLiteral("No space left on device"))
              .in(QStringLiteral("47.hy3"))},
         {{}, QStringLiteral("47.hy3: No space left on device")}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(failureMessage(c.errors), c.told)
            << c.name << ": " << qPrintable(failureMessage(c.errors).text);
}
