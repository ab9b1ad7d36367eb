#pragma once

#include "brokeraddress.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <future>
#include <memory>
#include <thread>

namespace q47 {

enum class MqttState {
    Connecting,       // the first try, from start()
    WaitingForBroker, // the broker or the network is away: tried again and again, later each time
    Connected,
    Refused, // tried again only at the longest wait, or never (see MqttRefusal)
};

enum class MqttRefusal {
    None,
    BadCredentials, // "bad user name or password" (or not authorised, as mosquitto says it)
    Broker,         // the broker turned the connection down for another reason
    Tls,            // no TLS connection: a certificate not trusted, or not the broker's name
    Setup,          // a CA file or an option the library does not take: never tried again
    NoLibrary,      // libmosquitto is not installed: never tried again
};

struct MqttStatus {
    MqttState state = MqttState::Connecting;
    MqttRefusal refusal = MqttRefusal::None;
    QString detail; // the library's words, for the log
    bool operator==(const MqttStatus &) const = default;
};

// One topic on one broker, over libmosquitto, which is opened on first use. A publisher sends
// each state as one retained message (QoS 1) and sends the latest again whenever it connects,
// so that a broker that restarted without it has it again; a follower subscribes to the topic
// (QoS 1) and so gets the retained state at once. The connection is kept in a thread of its
// own, and tried again after the broker or the network went away, 0.5 s later at first and
// twice as long each time up to 30 s. Status and messages arrive through queued signals in the
// thread that made the client.
class MqttClient : public QObject {
    Q_OBJECT
public:
    enum class Role { Publisher, Follower };
    struct Options {
        int firstRetryMs = 500;
        int longestRetryMs = 30000;
        // The broker is asked to look for the client this often, and a silent broker is taken
        // as gone after about one and a half times as long.
        int keepAliveSeconds = 10;
        // Longer messages are logged and dropped.
        qsizetype maxMessageBytes = 64 * 1024;
    };

    MqttClient(BrokerAddress address, Role role, Options options, QObject *parent = nullptr);
    MqttClient(BrokerAddress address, Role role, QObject *parent = nullptr)
        : MqttClient(std::move(address), role, Options(), parent) {}
    // Says goodbye to the broker; waits at most two seconds for its thread.
    ~MqttClient() override;

    const BrokerAddress &address() const { return address_; }
    const MqttStatus &status() const { return status_; }

    // Connects, in the background; once only.
    void start();
    // The state to keep on the topic, now or as soon as the broker is there: only the latest
    // is kept while it is away.
    void publish(const QByteArray &message);

Q_SIGNALS:
    void statusChanged(const q47::MqttStatus &status);
    // A message on the topic, at most maxMessageBytes long.
    void messageReceived(const QByteArray &message);

private:
    struct Link;
    void setStatus(const MqttStatus &status);

    BrokerAddress address_;
    MqttStatus status_;
    std::shared_ptr<Link> link_;
    std::thread thread_;
    std::future<void> finished_;
};

} // namespace q47
