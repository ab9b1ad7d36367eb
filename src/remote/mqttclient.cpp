#include "mqttclient.h"

#include "logging.h"

#include <QFile>

#include <mosquitto.h>
#include <mqtt_protocol.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace q47 {

namespace {

// How long one turn of the loop waits for the network at most; the client's end wakes it.
constexpr int kLoopTimeoutMs = 1000;

QString libraryWords(int rc) {
    return QString::fromUtf8(mosquitto_strerror(rc));
}

bool libraryReady() {
    static const bool ready = mosquitto_lib_init() == MOSQ_ERR_SUCCESS;
    return ready;
}

} // namespace

// What the client and its loop thread share. The thread keeps it alive after the client is
// gone, should a name lookup keep the thread past the client's end.
struct MqttClient::Link {
    Link(BrokerAddress address, Role role, Options options, MqttClient *owner)
        : address(std::move(address)), role(role), options(options),
          topic(this->address.topic.toUtf8()), owner(owner), retryMs(options.firstRetryMs) {}

    const BrokerAddress address;
    const Role role;
    const Options options;
    const QByteArray topic;

    std::mutex ownerMutex;
    MqttClient *owner; // null once the client is gone

    std::mutex stopMutex;
    std::condition_variable stopWake;
    bool stopping = false;

    // What both threads touch: the library's handle while it exists, and the state to publish.
    std::mutex sendMutex;
    mosquitto *mosq = nullptr;
    bool connected = false;
    std::optional<QByteArray> latest;

    // The loop thread's own.
    MqttStatus refusal; // of the current try, from the broker's answer
    int retryMs;

    // Runs `function` with the client in the client's thread, unless the client is gone by then.
    template <class Function> void post(Function function) {
        const std::lock_guard lock(ownerMutex);
        if (owner)
            QMetaObject::invokeMethod(
                owner, [client = owner, function = std::move(function)] { function(*client); },
                Qt::QueuedConnection);
    }
    void report(const MqttStatus &status) {
        post([status](MqttClient &client) { client.setStatus(status); });
    }

    bool isStopping() {
        const std::lock_guard lock(stopMutex);
        return stopping;
    }
    // False when the client ends meanwhile.
    bool waitBeforeRetry(int ms) {
        std::unique_lock lock(stopMutex);
        return !stopWake.wait_for(lock, std::chrono::milliseconds(ms), [this] { return stopping; });
    }
    void stop() {
        {
            const std::lock_guard lock(stopMutex);
            stopping = true;
        }
        stopWake.notify_all();
        // Wakes a loop that waits for the network.
        const std::lock_guard lock(sendMutex);
        if (mosq)
            mosquitto_disconnect(mosq);
    }

    // With sendMutex held, so that states reach the broker in the order they were given.
    void sendLatest() {
        const int rc = mosquitto_publish(mosq, nullptr, topic.constData(), int(latest->size()),
                                         latest->constData(), 1, true);
        if (rc != MOSQ_ERR_SUCCESS)
            qCInfo(logRemote).noquote()
                << "not published now, again on connecting:" << libraryWords(rc);
    }

    void run();
    bool setUp(mosquitto *m);
    MqttStatus afterTry(int rc) const;

    static void onConnect(mosquitto *m, void *data, int rc);
    static void onDisconnect(mosquitto *m, void *data, int rc);
    static void onMessage(mosquitto *m, void *data, const mosquitto_message *message);
};

bool MqttClient::Link::setUp(mosquitto *m) {
    mosquitto_threaded_set(m, true);
    mosquitto_connect_callback_set(m, &Link::onConnect);
    mosquitto_disconnect_callback_set(m, &Link::onDisconnect);
    mosquitto_message_callback_set(m, &Link::onMessage);
    int rc = MOSQ_ERR_SUCCESS;
    if (!address.user.isEmpty())
        rc = mosquitto_username_pw_set(
            m, address.user.toUtf8().constData(),
            address.password.isEmpty() ? nullptr : address.password.toUtf8().constData());
    if (rc == MOSQ_ERR_SUCCESS && address.tls)
        rc = address.caFile.isEmpty()
                 ? mosquitto_int_option(m, MOSQ_OPT_TLS_USE_OS_CERTS, 1)
                 : mosquitto_tls_set(m, QFile::encodeName(address.caFile).constData(), nullptr,
                                     nullptr, nullptr, nullptr);
    if (rc != MOSQ_ERR_SUCCESS)
        report({MqttState::Refused, MqttRefusal::Setup, libraryWords(rc)});
    return rc == MOSQ_ERR_SUCCESS;
}

MqttStatus MqttClient::Link::afterTry(int rc) const {
    if (refusal.state == MqttState::Refused)
        return refusal;
    if (rc == MOSQ_ERR_TLS || rc == MOSQ_ERR_TLS_HANDSHAKE)
        return {MqttState::Refused, MqttRefusal::Tls, libraryWords(rc)};
    return {MqttState::WaitingForBroker, MqttRefusal::None, libraryWords(rc)};
}

void MqttClient::Link::run() {
    if (!libraryReady()) {
        report(
            {MqttState::Refused, MqttRefusal::NoLibrary, QStringLiteral("libmosquitto not found")});
        return;
    }
    mosquitto *m = mosquitto_new(nullptr, true, this);
    if (!m) {
        report({MqttState::Refused, MqttRefusal::Setup, QStringLiteral("no client made")});
        return;
    }
    if (setUp(m)) {
        {
            const std::lock_guard lock(sendMutex);
            mosq = m;
        }
        const QByteArray host = address.host.toUtf8();
        bool first = true;
        while (!isStopping()) {
            refusal = {};
            // The first try names the broker; later ones find it again.
            int rc = first ? mosquitto_connect_async(m, host.constData(), address.port,
                                                     options.keepAliveSeconds)
                           : mosquitto_reconnect_async(m);
            first = false;
            while (rc == MOSQ_ERR_SUCCESS && !isStopping())
                rc = mosquitto_loop(m, kLoopTimeoutMs, 1);
            {
                const std::lock_guard lock(sendMutex);
                connected = false;
            }
            if (isStopping()) {
                // Says goodbye, so that the broker does not wait for the client.
                mosquitto_disconnect(m);
                for (int turn = 0; turn < 5 && mosquitto_loop(m, 20, 1) == MOSQ_ERR_SUCCESS;
                     ++turn) {
                }
                break;
            }
            const MqttStatus status = afterTry(rc);
            report(status);
            const int wait = status.state == MqttState::Refused ? options.longestRetryMs : retryMs;
            retryMs = std::min(retryMs * 2, options.longestRetryMs);
            if (!waitBeforeRetry(wait))
                break;
        }
    }
    {
        const std::lock_guard lock(sendMutex);
        mosq = nullptr;
    }
    mosquitto_destroy(m);
}

void MqttClient::Link::onConnect(mosquitto *m, void *data, int rc) {
    auto &link = *static_cast<Link *>(data);
    if (rc != 0) {
        const bool credentials =
            rc == CONNACK_REFUSED_BAD_USERNAME_PASSWORD || rc == CONNACK_REFUSED_NOT_AUTHORIZED;
        link.refusal = {MqttState::Refused,
                        credentials ? MqttRefusal::BadCredentials : MqttRefusal::Broker,
                        QString::fromUtf8(mosquitto_connack_string(rc))};
        return;
    }
    link.retryMs = link.options.firstRetryMs;
    if (link.role == Role::Follower) {
        const int subscribed = mosquitto_subscribe(m, nullptr, link.topic.constData(), 1);
        if (subscribed != MOSQ_ERR_SUCCESS)
            qCWarning(logRemote).noquote().nospace()
                << "no subscription to " << link.address.shown() << ": "
                << libraryWords(subscribed);
    }
    {
        const std::lock_guard lock(link.sendMutex);
        link.connected = true;
        if (link.latest)
            link.sendLatest();
    }
    link.report({MqttState::Connected, MqttRefusal::None, QString()});
}

void MqttClient::Link::onDisconnect(mosquitto *, void *data, int) {
    auto &link = *static_cast<Link *>(data);
    const std::lock_guard lock(link.sendMutex);
    link.connected = false;
}

void MqttClient::Link::onMessage(mosquitto *, void *data, const mosquitto_message *message) {
    auto &link = *static_cast<Link *>(data);
    if (message->payloadlen > link.options.maxMessageBytes) {
        qCWarning(logRemote).noquote().nospace()
            << "a message of " << message->payloadlen << " bytes on " << link.address.shown()
            << " ignored: longer than " << link.options.maxMessageBytes;
        return;
    }
    const QByteArray payload(static_cast<const char *>(message->payload), message->payloadlen);
    link.post([payload](MqttClient &client) { Q_EMIT client.messageReceived(payload); });
}

MqttClient::MqttClient(BrokerAddress address, Role role, Options options, QObject *parent)
    : QObject(parent), address_(address),
      link_(std::make_shared<Link>(std::move(address), role, options, this)) {}

MqttClient::~MqttClient() {
    {
        const std::lock_guard lock(link_->ownerMutex);
        link_->owner = nullptr;
    }
    link_->stop();
    if (!thread_.joinable())
        return;
    if (finished_.wait_for(std::chrono::seconds(2)) == std::future_status::ready) {
        thread_.join();
    } else {
        qCInfo(logRemote).noquote()
            << "the link to" << address_.shown() << "ends on its own, still looking the broker up";
        thread_.detach();
    }
}

void MqttClient::start() {
    if (thread_.joinable())
        return;
    std::promise<void> done;
    finished_ = done.get_future();
    thread_ = std::thread([link = link_, done = std::move(done)]() mutable {
        link->run();
        done.set_value();
    });
}

void MqttClient::publish(const QByteArray &message) {
    const std::lock_guard lock(link_->sendMutex);
    link_->latest = message;
    if (link_->connected)
        link_->sendLatest();
}

void MqttClient::setStatus(const MqttStatus &status) {
    if (status == status_)
        return;
    const bool sameState = status.state == status_.state;
    status_ = status;
    if (!sameState) {
        switch (status.state) {
        case MqttState::Connecting:
            break;
        case MqttState::WaitingForBroker:
            qCInfo(logRemote).noquote().nospace()
                << "waiting for the broker at " << address_.shown() << ": " << status.detail;
            break;
        case MqttState::Connected:
            qCInfo(logRemote).noquote() << "connected to" << address_.shown();
            break;
        case MqttState::Refused:
            qCWarning(logRemote).noquote().nospace()
                << address_.shown() << " refused: " << status.detail;
            break;
        }
    }
    Q_EMIT statusChanged(status_);
}

} // namespace q47
