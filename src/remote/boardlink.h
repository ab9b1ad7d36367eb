#pragma once

#include "boardcontent.h"

#include <QByteArray>
#include <QObject>

#include <optional>

namespace q47 {

class BoardModel;
class MqttClient;

// Publishes what a board model shows: at once, then after every change. The changes of one
// step, made one after another, go out as one message when the event loop next turns, and a
// change that leaves the state as it was sends nothing.
class BoardPublisher : public QObject {
    Q_OBJECT
public:
    BoardPublisher(const BoardModel &model, MqttClient &client, QObject *parent = nullptr);

private:
    void schedule();
    void publishNow();

    const BoardModel &model_;
    MqttClient &client_;
    QByteArray last_;
    bool scheduled_ = false;
};

// Reads what a publisher sends: each message that is a valid state becomes the content shown;
// any other is logged (q47.remote) and changes nothing.
class BoardFollower : public QObject {
    Q_OBJECT
public:
    explicit BoardFollower(MqttClient &client, QObject *parent = nullptr);

    // The last state received; none before the first.
    const std::optional<BoardContent> &content() const { return content_; }

Q_SIGNALS:
    void contentReceived(const q47::BoardContent &content);

private:
    void take(const QByteArray &message);

    const MqttClient &client_;
    std::optional<BoardContent> content_;
};

} // namespace q47
