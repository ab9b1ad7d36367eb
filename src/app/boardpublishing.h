#pragma once

#include "brokeraddress.h"

#include <QString>

#include <memory>

namespace q47 {

class BoardModel;
class BoardPublisher;
class MqttClient;

// Publishing the board model's state on a broker's topic, to the address of the moment: none,
// the options' URL, or the one given for the run. Sounds and speech stay here.
class BoardPublishing {
public:
    explicit BoardPublishing(const BoardModel &model);
    ~BoardPublishing();
    BoardPublishing(const BoardPublishing &) = delete;
    BoardPublishing &operator=(const BoardPublishing &) = delete;

    // Publishes to `url` from now on, or stops publishing when it is empty; a URL that is not a
    // board's topic stops it too, and is told in the result. The same URL again changes nothing.
    Result<> publishTo(const QString &url);
    // Null while nothing is published.
    const MqttClient *client() const { return client_.get(); }

private:
    const BoardModel &model_;
    QString url_;
    std::unique_ptr<MqttClient> client_;
    std::unique_ptr<BoardPublisher> publisher_;
};

} // namespace q47
