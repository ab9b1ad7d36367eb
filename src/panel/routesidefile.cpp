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
    const Result<QByteArray> read = readRegularFile(path, kMaxRouteSideFileBytes);
    Result<RouteSideFile> parsed =
        read ? parseRouteSideFile(*read) : Result<RouteSideFile>(read.error());
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

namespace {

// A JSON string: quotes, backslashes and control characters escaped, the rest as UTF-8.
QByteArray jsonString(const QString &text) {
    QByteArray out = "\"";
    for (const char c : text.toUtf8()) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (uchar(c) < 0x20) {
            out += QStringLiteral("\\u%1").arg(int(uchar(c)), 4, 16, QLatin1Char('0')).toLatin1();
        } else {
            out += c;
        }
    }
    return out + '"';
}

} // namespace

QByteArray encodeRouteSideFile(const RouteSideFile &side) {
    QByteArray out = "{\"format\":1";
    if (!side.name.isEmpty())
        out += ",\"name\":" + jsonString(side.name);
    if (side.color.isValid())
        out += ",\"color\":" + jsonString(side.color.name().toUpper());
    if (side.textColor.isValid())
        out += ",\"textColor\":" + jsonString(side.textColor.name().toUpper());
    out += ",\"stops\":[";
    for (size_t i = 0; i < side.stops.size(); ++i) {
        const RouteSideFile::Stop &stop = side.stops[i];
        out += i == 0 ? "\n  {" : ",\n  {";
        out += "\"name\":" + jsonString(stop.name);
        if (!stop.headsign.isEmpty())
            out += ",\"headsign\":" + jsonString(stop.headsign);
        out += '}';
    }
    return out + "\n]}\n";
}

QList<std::pair<QString, QString>> cp932Substitutes(const RouteSideFile &side) {
    QList<std::pair<QString, QString>> out;
    const auto add = [&out](const QString &text) {
        const QString form = fromCp932(toCp932(text));
        if (form != text && !out.contains({form, text}))
            out.append({form, text});
    };
    for (const RouteSideFile::Stop &stop : side.stops) {
        add(stop.name);
        add(stop.headsign);
    }
    return out;
}

QString writtenStopName(const QString &routeName, const QString &realName) {
    if (realName.isEmpty() || toCp932(realName) != toCp932(routeName))
        return routeName;
    return realName;
}

} // namespace q47
