// Boards linked through a real mosquitto: the test program starts its own broker.
#include "boardlink.h"
#include "boardmodel.h"
#include "boardstate.h"
#include "mqttclient.h"
#include "testbroker.h"

#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <mutex>

namespace q47 {
namespace {

using namespace Qt::StringLiterals;

bool waitFor(const std::function<bool()> &condition) {
    return QTest::qWaitFor(condition, 10000);
}

// The warnings q47.remote logs while it lives, from any thread.
class RemoteLog {
public:
    RemoteLog() {
        const std::lock_guard lock(mutex_);
        lines_.clear();
        previous_ = qInstallMessageHandler(&RemoteLog::record);
    }
    ~RemoteLog() { qInstallMessageHandler(previous_); }
    QStringList lines() const {
        const std::lock_guard lock(mutex_);
        return lines_;
    }
    bool has(const QString &words) const {
        const QStringList all = lines();
        return std::any_of(all.begin(), all.end(),
                           [&words](const QString &line) { return line.contains(words); });
    }

private:
    static void record(QtMsgType type, const QMessageLogContext &context, const QString &text) {
        if (QLatin1StringView(context.category) != "q47.remote"_L1 || type != QtWarningMsg)
            return previous_(type, context, text);
        const std::lock_guard lock(mutex_);
        lines_.append(text);
    }
    static inline std::mutex mutex_;
    static inline QStringList lines_;
    static inline QtMessageHandler previous_ = nullptr;
};

class BoardLink : public ::testing::Test {
protected:
    static void SetUpTestSuite() { broker_ = new TestBroker; }
    static void TearDownTestSuite() { delete broker_; }
    void SetUp() override { ASSERT_TRUE(broker_->isRunning()) << broker_->error().toStdString(); }

    static BrokerAddress at(quint16 port) {
        BrokerAddress address;
        address.host = u"127.0.0.1"_s;
        address.port = port;
        // A topic of each test's own: a broker's retained state outlives the test that left it.
        address.topic =
            u"q47/test/"_s +
            QString::fromLatin1(::testing::UnitTest::GetInstance()->current_test_info()->name());
        return address;
    }
    // Tries again quickly, so that a restart of the broker is soon noticed.
    static MqttClient::Options quick() {
        MqttClient::Options options;
        options.firstRetryMs = 50;
        options.longestRetryMs = 400;
        return options;
    }
    static bool connected(const MqttClient &client) {
        return client.status().state == MqttState::Connected;
    }

    static inline TestBroker *broker_ = nullptr;
};

TEST_F(BoardLink, FollowersShowEveryChangeAndLateJoinersTheStateAtOnce) {
    BoardModel model;
    MqttClient publisherClient(at(broker_->openPort()), MqttClient::Role::Publisher, quick());
    BoardPublisher publisher(model, publisherClient);
    MqttClient followerClient(at(broker_->openPort()), MqttClient::Role::Follower, quick());
    BoardFollower follower(followerClient);
    QList<QVariant> fares;
    QObject::connect(&follower, &BoardFollower::contentReceived,
                     [&fares](const BoardContent &content) { fares.append(content.cells[1]); });
    followerClient.start();
    publisherClient.start();

    model.setStopName(u"市役所前"_s);
    model.setCellFormat(3, {1, 2, 0, 5});
    model.setBacklight(2);
    ASSERT_TRUE(waitFor([&] { return follower.content() == model.content(); }));

    // One step after another, each shown in its turn.
    fares.clear();
    for (int fare = 150; fare <= 190; fare += 10) {
        model.setCellValue(1, fare);
        ASSERT_TRUE(waitFor([&] { return follower.content() == model.content(); }));
    }
    EXPECT_EQ(fares, (QList<QVariant>{150, 160, 170, 180, 190}));

    MqttClient lateClient(at(broker_->openPort()), MqttClient::Role::Follower, quick());
    BoardFollower late(lateClient);
    lateClient.start();
    EXPECT_TRUE(waitFor([&] { return late.content() == model.content(); }));
}

TEST_F(BoardLink, BoardsFindTheBrokerAgainAfterItRestarted) {
    BoardModel model;
    MqttClient publisherClient(at(broker_->openPort()), MqttClient::Role::Publisher, quick());
    BoardPublisher publisher(model, publisherClient);
    MqttClient followerClient(at(broker_->openPort()), MqttClient::Role::Follower, quick());
    BoardFollower follower(followerClient);
    publisherClient.start();
    followerClient.start();
    model.setStopName(u"駅前"_s);
    ASSERT_TRUE(waitFor([&] { return follower.content() == model.content(); }));

    broker_->stop();
    ASSERT_TRUE(waitFor([&] {
        return publisherClient.status().state == MqttState::WaitingForBroker &&
               followerClient.status().state == MqttState::WaitingForBroker;
    }));
    // A step while the broker is away goes out when it is back.
    model.setStopName(u"中央公園"_s);
    ASSERT_TRUE(broker_->start()) << broker_->error().toStdString();
    ASSERT_TRUE(waitFor([&] { return follower.content() == model.content(); }));
    EXPECT_TRUE(connected(publisherClient) && connected(followerClient));

    model.setCellValue(5, 230);
    EXPECT_TRUE(waitFor([&] { return follower.content() == model.content(); }));
}

TEST_F(BoardLink, GarbageAndOversizedMessagesAreLoggedAndChangeNothing) {
    MqttClient sender(at(broker_->openPort()), MqttClient::Role::Publisher, quick());
    MqttClient followerClient(at(broker_->openPort()), MqttClient::Role::Follower, quick());
    BoardFollower follower(followerClient);
    int received = 0;
    QObject::connect(&follower, &BoardFollower::contentReceived, [&received] { ++received; });
    sender.start();
    followerClient.start();
    BoardContent first;
    first.stopName = u"一番目"_s;
    sender.publish(encodeBoardState(first));
    ASSERT_TRUE(waitFor([&] { return follower.content() == first && connected(sender); }));

    const RemoteLog log;
    QByteArray otherVersion = encodeBoardState(first);
    otherVersion.replace("\"v\":1", "\"v\":9");
    sender.publish("not a state");
    sender.publish(otherVersion);
    sender.publish(QByteArray(kMaxBoardStateBytes + 1, ' '));
    BoardContent next;
    next.stopName = u"二番目"_s;
    sender.publish(encodeBoardState(next));
    ASSERT_TRUE(waitFor([&] { return follower.content() == next; }));
    EXPECT_EQ(received, 2);
    // The long one is dropped as it arrives, the others when read: in any order.
    EXPECT_EQ(log.lines().size(), 3) << log.lines().join(u'\n').toStdString();
    EXPECT_TRUE(log.has(u"not JSON"_s));
    EXPECT_TRUE(log.has(u"not format version"_s));
    EXPECT_TRUE(log.has(u"longer than"_s));
}

TEST_F(BoardLink, AWrongPasswordIsRefusedAndSaidSo) {
    BrokerAddress wrong = at(broker_->passwordPort());
    wrong.user = QString::fromLatin1(TestBroker::kUser);
    wrong.password = u"not-the-password"_s;
    MqttClient refused(wrong, MqttClient::Role::Follower, quick());
    BrokerAddress right = wrong;
    right.password = QString::fromLatin1(TestBroker::kPassword);
    MqttClient accepted(right, MqttClient::Role::Follower, quick());
    refused.start();
    accepted.start();
    ASSERT_TRUE(waitFor([&] { return refused.status().state == MqttState::Refused; }));
    EXPECT_EQ(refused.status().refusal, MqttRefusal::BadCredentials);
    EXPECT_TRUE(waitFor([&] { return connected(accepted); }));
}

TEST_F(BoardLink, TlsWithTheBrokersAuthorityAndRefusedWithout) {
    BoardModel model;
    BrokerAddress tls = at(broker_->tlsPort());
    tls.tls = true;
    tls.caFile = broker_->caFile();
    MqttClient publisherClient(tls, MqttClient::Role::Publisher, quick());
    BoardPublisher publisher(model, publisherClient);
    MqttClient followerClient(tls, MqttClient::Role::Follower, quick());
    BoardFollower follower(followerClient);
    BrokerAddress untrusted = tls;
    untrusted.caFile.clear(); // the system's authorities know nothing of the test's
    MqttClient refused(untrusted, MqttClient::Role::Follower, quick());
    publisherClient.start();
    followerClient.start();
    refused.start();
    model.setStopName(u"県庁前"_s);
    EXPECT_TRUE(waitFor([&] { return follower.content() == model.content(); }));
    EXPECT_TRUE(waitFor([&] { return refused.status().state == MqttState::Refused; }));
    EXPECT_EQ(refused.status().refusal, MqttRefusal::Tls);
}

} // namespace
} // namespace q47
