#include "routesidefile.h"

#include "cp932.h"
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

std::optional<RouteSideFile> parseRouteSideFile(const QByteArray &bytes) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject root = document.object();
    const QJsonValue format = root.value(QLatin1StringView("format"));
    if (!format.isDouble() || format.toDouble() != 1 ||
        !root.value(QLatin1StringView("stops")).isArray())
        return std::nullopt;
    RouteSideFile side;
    const auto name = text(root, QLatin1StringView("name"));
    const auto color = text(root, QLatin1StringView("color"));
    const auto textColor = text(root, QLatin1StringView("textColor"));
    if (!name || !color || !textColor)
        return std::nullopt;
    side.name = name->trimmed();
    side.color = colour(*color);
    side.textColor = colour(*textColor);
    const QJsonArray stops = root.value(QLatin1StringView("stops")).toArray();
    side.stops.reserve(size_t(stops.size()));
    for (const QJsonValue &entry : stops) {
        if (!entry.isObject())
            return std::nullopt;
        const auto stopName = text(entry.toObject(), QLatin1StringView("name"));
        const auto headsign = text(entry.toObject(), QLatin1StringView("headsign"));
        if (!stopName || !headsign)
            return std::nullopt;
        side.stops.push_back({stopName->trimmed(), headsign->trimmed()});
    }
    return side;
}

std::optional<RouteSideFile> loadRouteSideFile(const QString &path, int stopCount) {
    const RegularFileRead read = readRegularFile(path, kMaxRouteSideFileBytes);
    if (!read)
        return std::nullopt;
    std::optional<RouteSideFile> side = parseRouteSideFile(read.bytes);
    if (side && int(side->stops.size()) != stopCount)
        return std::nullopt;
    return side;
}

QString writtenStopName(const QString &routeName, const QString &realName) {
    if (realName.isEmpty() || toCp932(realName) != toCp932(routeName))
        return routeName;
    return realName;
}

} // namespace q47
