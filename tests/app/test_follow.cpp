// Boards that follow a publisher over a broker of the test's own: in this process, and as the
// program run by a user.
#include "boardpublishing.h"
#include "followrun.h"
#include "lcdboard.h"
#include "ledboard.h"
#include "mqttclient.h"
#include "testbroker.h"

#include <QImage>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace q47 {
namespace {

bool waitFor(const std::function<bool()> &condition) {
    return QTest::qWaitFor(condition, 10000);
}

#define BROKER_RUNNING(broker) QVERIFY2((broker).isRunning(), qPrintable((broker).error()))

QString urlOf(const TestBroker &broker, const char *topic) {
    return u"mqtt://127.0.0.1:%1/q47/follow/"_s.arg(broker.openPort()) + QLatin1StringView(topic);
}

bool badgeShown(QWidget *board) {
    const auto *badge = board->findChild<QLabel *>(u"waitingBadge"_s);
    return badge && !badge->isHidden();
}

} // namespace
} // namespace q47

class TestFollow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void boardsShowWhatIsPublishedAndSayWhenTheyWait();
    void theProgramRendersTheRetainedStateOfBothBoards();
};

using namespace q47;

void TestFollow::boardsShowWhatIsPublishedAndSayWhenTheyWait() {
    TestBroker broker;
    BROKER_RUNNING(broker);
    MqttClient::Options quick;
    quick.firstRetryMs = 50;
    quick.longestRetryMs = 400;
    const QString url = urlOf(broker, "inprocess");
    FollowedBoards boards(lcd::BoardKind::Both, *parseBrokerUrl(url), quick);
    boards.start(false);
    QVERIFY(boards.led() && boards.lcd());
    QVERIFY(boards.waiting());
    QVERIFY(badgeShown(boards.led()) && badgeShown(boards.lcd()));

    BoardModel model;
    BoardPublishing publishing(model);
    QVERIFY(publishing.publishTo(url));
    model.setStopName(u"市民病院前"_s);
    model.setCellValue(4, 320);
    model.setBacklight(1);
    QVERIFY(waitFor([&] { return boards.model().content() == model.content(); }));
    QVERIFY(!boards.waiting());
    QVERIFY(!badgeShown(boards.led()) && !badgeShown(boards.lcd()));
    // The same board as drawn from the publisher's own model.
    const LedBoard own(model);
    QCOMPARE(boards.led()->renderBoard(1), own.renderBoard(1));

    broker.stop();
    QVERIFY(waitFor([&] { return badgeShown(boards.led()); }));
    QVERIFY2(broker.start(), qPrintable(broker.error()));
    model.setCellValue(4, 340);
    QVERIFY(waitFor([&] { return boards.model().content() == model.content(); }));
    QVERIFY(waitFor([&] { return !badgeShown(boards.led()); }));
}

void TestFollow::theProgramRendersTheRetainedStateOfBothBoards() {
    TestBroker broker;
    BROKER_RUNNING(broker);
    const QString url = urlOf(broker, "program");
    BoardModel model;
    model.setStopName(u"港町"_s);
    model.setCellValue(1, 150);
    BoardPublishing publishing(model);
    QVERIFY(publishing.publishTo(url));
    QVERIFY(waitFor([&] { return publishing.client()->status().state == MqttState::Connected; }));

    // A late joiner: the state was published before the program started.
    QTemporaryDir folder;
    const QString shot = folder.filePath(u"follow.png"_s);
    QProcess program;
    program.start(QStringLiteral(Q47_PROGRAM),
                  {u"--follow"_s, url, u"--board"_s, u"led,lcd"_s, u"--screenshot"_s, shot});
    QVERIFY(program.waitForFinished(30000));
    QVERIFY2(program.exitCode() == 0, program.readAllStandardError().constData());
    const QImage image(shot);
    const LedBoard led(model);
    LcdBoard lcd(model);
    const QImage ledShot = led.renderBoard(1);
    const QImage lcdShot = lcd.renderBoard(1);
    QCOMPARE(image.size(), QSize(std::max(ledShot.width(), lcdShot.width()),
                                 ledShot.height() + lcdShot.height()));
    // The LED board's part is the publisher's board.
    QCOMPARE(image.copy(QRect(QPoint(0, 0), ledShot.size())).convertToFormat(ledShot.format()),
             ledShot);
}

QTEST_MAIN(TestFollow)
#include "test_follow.moc"
