#include "brokeraddress.h"

#include <QUrl>

namespace q47 {

using namespace Qt::StringLiterals;

namespace {

// MQTT's own limit on a topic, in UTF-8 bytes.
constexpr qsizetype kMaxTopicBytes = 65535;

Error refused(const char *reason) {
    return Error(Error::Kind::Invalid, QString::fromLatin1(reason));
}

} // namespace

QString BrokerAddress::shown() const {
    QUrl url;
    url.setScheme(tls ? u"mqtts"_s : u"mqtt"_s);
    url.setUserName(user);
    url.setHost(host);
    url.setPort(port);
    url.setPath(u'/' + topic);
    return url.toString();
}

Result<BrokerAddress> parseBrokerUrl(const QString &url) {
    const QUrl parsed(url.trimmed());
    if (!parsed.isValid())
        return refused("not a URL");
    BrokerAddress address;
    const QString scheme = parsed.scheme().toLower();
    if (scheme != "mqtt"_L1 && scheme != "mqtts"_L1)
        return refused("not an mqtt:// or mqtts:// URL");
    address.tls = scheme == "mqtts"_L1;
    address.host = parsed.host(QUrl::FullyDecoded);
    if (address.host.isEmpty())
        return refused("no broker named");
    const int port = parsed.port(address.tls ? kMqttTlsPort : kMqttPort);
    if (port < 1 || port > 65535)
        return refused("not a port");
    address.port = quint16(port);
    // A '#' would start the fragment, a '?' the query: neither belongs in a board's topic.
    if (parsed.hasQuery() || parsed.hasFragment())
        return refused("a topic with ? or #");
    address.topic = parsed.path(QUrl::FullyDecoded).mid(1);
    if (address.topic.isEmpty())
        return refused("no topic");
    if (address.topic.contains(u'+') || address.topic.contains(u'#'))
        return refused("a topic with a wildcard");
    if (address.topic.startsWith(u'$'))
        return refused("a topic of the broker's own ($...)");
    if (address.topic.contains(QChar::Null) || address.topic.toUtf8().size() > kMaxTopicBytes)
        return refused("not a topic");
    address.user = parsed.userName(QUrl::FullyDecoded);
    address.password = parsed.password(QUrl::FullyDecoded);
    return address;
}

QString readPublishUrl(const QSettings &settings) {
    return settings.value(u"remote/publish"_s).toString();
}

void writePublishUrl(QSettings &settings, const QString &url) {
    settings.setValue(u"remote/publish"_s, url);
}

void takeBrokerEnvironment(BrokerAddress &address, const QProcessEnvironment &environment) {
    const auto take = [&environment](QString &field, const QString &name) {
        if (field.isEmpty())
            field = environment.value(name);
    };
    take(address.user, u"Q47_MQTT_USER"_s);
    take(address.password, u"Q47_MQTT_PASSWORD"_s);
    take(address.caFile, u"Q47_MQTT_CAFILE"_s);
}

} // namespace q47
