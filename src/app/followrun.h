#pragma once

#include "boardlink.h"
#include "boardmodel.h"
#include "lcdsettings.h"
#include "mqttclient.h"

#include <memory>
#include <vector>

class QLabel;
class QWidget;

namespace q47 {

struct CommandLine;
class LedBoard;
class LcdBoard;

// The board(s) of a machine without a panel: what another instance publishes on a broker's
// topic is put in a model of their own, which they show. While the broker is away, or before
// the first state, each board says that it waits.
class FollowedBoards {
public:
    FollowedBoards(lcd::BoardKind kind, const BrokerAddress &address,
                   MqttClient::Options options = {});
    ~FollowedBoards();
    FollowedBoards(const FollowedBoards &) = delete;
    FollowedBoards &operator=(const FollowedBoards &) = delete;

    // Connects and shows the boards.
    void start(bool shown);

    const BoardModel &model() const { return model_; }
    const MqttClient &client() const { return client_; }
    const BoardFollower &follower() const { return follower_; }
    bool hasState() const { return follower_.content().has_value(); }
    // Null for a board not followed.
    LedBoard *led() const { return led_.get(); }
    LcdBoard *lcd() const { return lcd_.get(); }
    // True while the boards say that they wait.
    bool waiting() const;
    // The boards followed as they show now, one above the other, at `scale`.
    QImage render(qreal scale);

private:
    // A state received, on the boards; "state shown" is logged (q47.remote, info) once painted.
    void show(const BoardContent &content);
    void showWaiting();

    BoardModel model_;
    MqttClient client_;
    BoardFollower follower_;
    std::unique_ptr<LedBoard> led_;
    std::unique_ptr<LcdBoard> lcd_;
    std::vector<QLabel *> badges_;
};

// `Q47 --follow URL`: the boards until they are closed, or with --screenshot the first state
// received (at most 10 s), rendered to the file. The program's exit code.
int runFollower(const CommandLine &line, int &argc, char **argv);

} // namespace q47
