#include "boardlink.h"

#include "boardmodel.h"
#include "boardstate.h"
#include "logging.h"
#include "mqttclient.h"

#include <QTimer>

namespace q47 {

BoardPublisher::BoardPublisher(const BoardModel &model, MqttClient &client, QObject *parent)
    : QObject(parent), model_(model), client_(client) {
    connect(&model, &BoardModel::cellChanged, this, &BoardPublisher::schedule);
    connect(&model, &BoardModel::cellReset, this, &BoardPublisher::schedule);
    connect(&model, &BoardModel::stopNameChanged, this, &BoardPublisher::schedule);
    connect(&model, &BoardModel::clockShownChanged, this, &BoardPublisher::schedule);
    connect(&model, &BoardModel::contentChanged, this, &BoardPublisher::schedule);
    schedule();
}

void BoardPublisher::schedule() {
    if (scheduled_)
        return;
    scheduled_ = true;
    QTimer::singleShot(0, this, &BoardPublisher::publishNow);
}

void BoardPublisher::publishNow() {
    scheduled_ = false;
    QByteArray message = encodeBoardState(model_.content());
    if (message == last_)
        return;
    last_ = std::move(message);
    client_.publish(last_);
}

BoardFollower::BoardFollower(MqttClient &client, QObject *parent)
    : QObject(parent), client_(client) {
    connect(&client, &MqttClient::messageReceived, this, &BoardFollower::take);
}

void BoardFollower::take(const QByteArray &message) {
    Result<BoardContent> decoded = decodeBoardState(message);
    if (!decoded) {
        qCWarning(logRemote).noquote()
            << "a message on" << client_.address().shown() << "ignored:" << decoded.error().text();
        return;
    }
    content_ = std::move(decoded).value();
    Q_EMIT contentReceived(*content_);
}

} // namespace q47
