#include "boardpublishing.h"

#include "boardlink.h"
#include "mqttclient.h"

namespace q47 {

BoardPublishing::BoardPublishing(const BoardModel &model) : model_(model) {}

BoardPublishing::~BoardPublishing() = default;

Result<> BoardPublishing::publishTo(const QString &url) {
    if (url.trimmed() == url_ && (client_ || url_.isEmpty()))
        return {};
    publisher_.reset();
    client_.reset();
    url_ = url.trimmed();
    if (url_.isEmpty())
        return {};
    Result<BrokerAddress> address = parseBrokerUrl(url_);
    if (!address) {
        url_.clear();
        return address.error();
    }
    takeBrokerEnvironment(*address, QProcessEnvironment::systemEnvironment());
    client_ = std::make_unique<MqttClient>(*address, MqttClient::Role::Publisher);
    publisher_ = std::make_unique<BoardPublisher>(model_, *client_);
    client_->start();
    return {};
}

} // namespace q47
