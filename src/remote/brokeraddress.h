#pragma once

#include "error.h"

#include <QProcessEnvironment>
#include <QSettings>
#include <QString>

namespace q47 {

inline constexpr quint16 kMqttPort = 1883;
inline constexpr quint16 kMqttTlsPort = 8883;

// Where a board's state is published and followed: a broker and one topic on it, from
//   mqtt://[USER[:PASSWORD]@]HOST[:PORT]/TOPIC    (TLS: mqtts://, port 8883 unless given)
struct BrokerAddress {
    bool tls = false;
    QString host;
    quint16 port = kMqttPort;
    QString topic; // never empty, no wildcards
    QString user;  // empty: none
    QString password;
    // TLS: the certificates of the authorities to trust, in place of the system's.
    QString caFile;

    // The address as a URL without its password, for messages and logs.
    QString shown() const;
    bool operator==(const BrokerAddress &) const = default;
};

// The address, or why the URL was turned down (Invalid, with the reason as its detail).
Result<BrokerAddress> parseBrokerUrl(const QString &url);

// Q47_MQTT_USER, Q47_MQTT_PASSWORD and Q47_MQTT_CAFILE, where the address has none: a password
// in the environment is not shown to every user of the machine as a command line is.
void takeBrokerEnvironment(BrokerAddress &address, const QProcessEnvironment &environment);

// The URL the options publish the board to, in the user's settings ("remote/publish"); empty
// for none.
QString readPublishUrl(const QSettings &settings);
void writePublishUrl(QSettings &settings, const QString &url);

} // namespace q47
