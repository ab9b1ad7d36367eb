#include "routesidefile.h"

#include "cp932.h"
#include "logging.h"
#include "regularfile.h"
#include "routedata.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace q47 {

QString routeSideFileName(const QString &routeText) {
    return routeName(routeText) + QStringLiteral(".route.json");
}

namespace {

// A string value, or an absent one as empty; nothing for a value of another kind.
std::optional<QString> text(const QJsonObject &object, QLatin1StringView key) {
    const QJsonValue value = object.value(key);
    if (value.isUndefined())
        return QString();
    if (!value.isString())
        return std::nullopt;
    return value.toString();
}

QColor colour(const QString &text) {
    static const QRegularExpression rgb(QStringLiteral("^#[0-9A-Fa-f]{6}$"));
    return rgb.match(text).hasMatch() ? QColor::fromString(text) : QColor();
}

} // namespace

Result<RouteSideFile> parseRouteSideFile(const QByteArray &bytes) {
    const auto invalid = [](const QString &why) { return Error(Error::Kind::Invalid, why); };
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError)
        return invalid(
            QStringLiteral("not JSON: %1 at byte %2").arg(error.errorString()).arg(error.offset));
    if (!document.isObject())
        return invalid(QStringLiteral("not a JSON object"));
    const QJsonObject root = document.object();
    const QJsonValue format = root.value(QLatin1StringView("format"));
    if (!format.isDouble() || format.toDouble() != 1 ||
        !root.value(QLatin1StringView("stops")).isArray())
        return invalid(QStringLiteral("not \"format\":1 with a list of \"stops\""));
    RouteSideFile side;
    const auto name = text(root, QLatin1StringView("name"));
    const auto color = text(root, QLatin1StringView("color"));
    const auto textColor = text(root, QLatin1StringView("textColor"));
    if (!name || !color || !textColor)
        return invalid(QStringLiteral("\"name\", \"color\" or \"textColor\" is not a string"));
    side.name = name->trimmed();
    side.color = colour(*color);
    side.textColor = colour(*textColor);
    const QJsonArray stops = root.value(QLatin1StringView("stops")).toArray();
    side.stops.reserve(size_t(stops.size()));
    for (const QJsonValue &entry : stops) {
        const auto stopName = text(entry.toObject(), QLatin1StringView("name"));
        const auto headsign = text(entry.toObject(), QLatin1StringView("headsign"));
        if (!entry.isObject() || !stopName || !headsign)
            return invalid(QStringLiteral("stop %1 is not an object of \"name\" and \"headsign\" "
                                          "strings")
                               .arg(side.stops.size() + 1));
        side.stops.push_back({stopName->trimmed(), headsign->trimmed()});
    }
    return side;
}

std::optional<RouteSideFile> loadRouteSideFile(const QString &path, int stopCount) {
    const RegularFileRead read = readRegularFile(path, kMaxRouteSideFileBytes);
    Result<RouteSideFile> parsed =
        read ? parseRouteSideFile(read.bytes)
             : Result<RouteSideFile>(readFailure(path, read.error, kMaxRouteSideFileBytes));
    if (parsed && int(parsed->stops.size()) != stopCount)
        parsed = Error(
            Error::Kind::Invalid,
            QStringLiteral("%1 stops for a route of %2").arg(parsed->stops.size()).arg(stopCount));
    if (!parsed) {
        parsed.error().file = path;
        logPassedOver(logRoute, parsed.error());
        return std::nullopt;
    }
    std::optional<RouteSideFile> side = std::move(*parsed);
    return side;
}

QString writtenStopName(const QString &routeName, const QString &realName) {
    if (realName.isEmpty() || toCp932(realName) != toCp932(routeName))
        return routeName;
    return realName;
}

} // namespace q47
