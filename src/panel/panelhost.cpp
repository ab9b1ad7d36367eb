#include "fareboard.h"

#include "routedata.h"

#include <QFileInfo>

namespace q47 {

namespace route_messages {
QString missing(const QString &path) {
    return QStringLiteral("指定した系統のデータがありません...\n  ファイル：%1").arg(path);
}
QString countZero() {
    return QStringLiteral("指定した系統はデータの数が0(未登録)の可能性があります...");
}
QString sectionTooHigh() {
    return QStringLiteral(
        "指定した区間はデータの数よりも多いです...\n  解決法：正しい区間を入力して下さい.");
}
QString tooManyRecords(int count) {
    return QStringLiteral("系統データの停留所の数(%1)が多すぎます。読み込めるのは%2件までです。")
        .arg(count)
        .arg(kRouteSlots);
}
QString unreadable(const QString &path, const QString &reason) {
    return QStringLiteral("指定した系統のデータを読み込めません...\n  原因：%1\n  ファイル：%2")
        .arg(reason, path);
}
QString isFolder() {
    return QStringLiteral("同じ名前のフォルダーがあります");
}
QString noPermission() {
    return QStringLiteral("読み取りの権限がありません");
}
QString notAFile() {
    return QStringLiteral("通常のファイルではありません");
}
QString tooLarge() {
    return QStringLiteral("系統データとしては大きすぎます（%1 バイトまで）")
        .arg(kMaxRouteFileBytes);
}
QString truncated(const QString &path) {
    return QStringLiteral(
               "系統データが途中で終わっています。ファイルが壊れている可能性があります。\n%1")
        .arg(path);
}
} // namespace route_messages

namespace {

QString routeText(const Error &error) {
    using Kind = Error::Kind;
    switch (error.what) {
    case Kind::NotFound:
        return route_messages::missing(error.file);
    case Kind::IsFolder:
        return route_messages::unreadable(error.file, route_messages::isFolder());
    case Kind::NotAFile:
        return route_messages::unreadable(error.file, route_messages::notAFile());
    case Kind::TooLarge:
        return route_messages::unreadable(error.file, route_messages::tooLarge());
    case Kind::NoPermission:
        return route_messages::unreadable(error.file, route_messages::noPermission());
    case Kind::Truncated:
        return route_messages::truncated(error.file);
    case Kind::Empty:
        return route_messages::countZero();
    case Kind::OutOfRange:
        return route_messages::sectionTooHigh();
    case Kind::TooMany:
        return route_messages::tooManyRecords(error.detail.toInt());
    default:
        return route_messages::unreadable(error.file, error.detail);
    }
}

// "エラー Code:" and "内容:"; a failure of the restore also names the module that met it.
QString stateText(const Error &error) {
    QString text =
        QStringLiteral("エラー Code:%1\n内容:%2").arg(int(error.number)).arg(error.detail);
    if (error.what != Error::Kind::WriteFailed)
        text += QStringLiteral("\nモジュール:mdlIniIo.LoadIni()");
    return text;
}

QString pictureText(ErrorNumber number) {
    QString detail;
    switch (number) {
    case ErrorNumber::OutOfMemory:
        detail = QStringLiteral(
            "　内部的なエラーです。開発元へ報告してください。エラー場所：frmCtl.Option4_Click()");
        break;
    case ErrorNumber::FileNotFound:
    case ErrorNumber::AccessDenied:
    case ErrorNumber::BadPath:
        detail = QStringLiteral("　画像ファイルが見つからないか、指定している場所が不正です。");
        break;
    case ErrorNumber::DeviceIO:
        detail = QStringLiteral("　デバイスエラーもしくは準備が出来ていません。");
        break;
    case ErrorNumber::InvalidPicture:
        detail = QStringLiteral("　指定した画像の内容が不正です。この部分では扱えません。");
        break;
    default:
        break;
    }
    return QStringLiteral("エラーです。\n\nエラーコード：") + QString::number(int(number)) + detail;
}

// The lead, then every fault with its file's name and line: "mine.4SP:12: ...".
QString pluginText(std::span<const Error> faults) {
    QString text = QStringLiteral("指定したファイルはプラグインでないか、内容が不正です\n");
    for (const Error &fault : faults)
        text += QLatin1Char('\n') + fault.in(QFileInfo(fault.file).fileName()).text();
    return text;
}

} // namespace

FailureMessage failureMessage(std::span<const Error> errors) {
    if (errors.empty())
        return {};
    const Error &first = errors.front();
    switch (first.subject) {
    case Error::Subject::Route:
        return {QString(), routeText(first)};
    case Error::Subject::StateFile:
        return {QString(), stateText(first)};
    case Error::Subject::Picture:
        return {QStringLiteral("エラー"), pictureText(first.number)};
    case Error::Subject::Plugin:
        return {QStringLiteral("プラグインロードエラー"), pluginText(errors)};
    case Error::Subject::File:
        break;
    }
    return {QString(), first.text()};
}

void PanelHost::report(std::span<const Error> errors) {
    const FailureMessage told = failureMessage(errors);
    if (told.title.isEmpty())
        message(told.text);
    else
        error(told.title, told.text);
}

} // namespace q47
