#include "followrun.h"

#include "boardplace.h"
#include "commandline.h"
#include "lcdboard.h"
#include "ledboard.h"
#include "logging.h"
#include "q47app.h"
#include "safefile.h"

#include <QApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QProcessEnvironment>
#include <QScreen>
#include <QSettings>
#include <QTimer>

#include <cstdio>

namespace q47 {

namespace {

// How long a screenshot run waits for the first state.
constexpr int kFirstStateWaitMs = 10000;

QLabel *waitingBadge(QWidget &board) {
    auto *badge = new QLabel(&board);
    badge->setObjectName(QStringLiteral("waitingBadge"));
    badge->setStyleSheet(QStringLiteral(
        "background: rgba(0, 0, 0, 170); color: white; padding: 4px 8px; font-size: 14px;"));
    badge->move(8, 8);
    return badge;
}

} // namespace

FollowedBoards::FollowedBoards(lcd::BoardKind kind, const BrokerAddress &address,
                               MqttClient::Options options)
    : client_(address, MqttClient::Role::Follower, options), follower_(client_) {
    // A board stays dark until the first state arrives.
    model_.setPicture(BoardPicture::builtIn(0));
    if (lcd::showsLed(kind)) {
        led_ = std::make_unique<LedBoard>(model_);
        led_->applyRoundedMask();
        badges_.push_back(waitingBadge(*led_));
    }
    if (lcd::showsLcd(kind)) {
        lcd_ = std::make_unique<LcdBoard>(model_);
        badges_.push_back(waitingBadge(*lcd_));
    }
    for (QWidget *board : std::initializer_list<QWidget *>{led_.get(), lcd_.get()}) {
        if (board)
            board->setWindowTitle(QStringLiteral("Q47 - ") + address.shown());
    }
    QObject::connect(&follower_, &BoardFollower::contentReceived, &client_,
                     [this](const BoardContent &content) { show(content); });
    QObject::connect(&client_, &MqttClient::statusChanged, &client_, [this] { showWaiting(); });
    showWaiting();
}

FollowedBoards::~FollowedBoards() = default;

void FollowedBoards::show(const BoardContent &content) {
    model_.setContent(content);
    showWaiting();
    // Painted now rather than when the loop next turns: a state is shown as soon as it comes.
    for (QWidget *board : std::initializer_list<QWidget *>{led_.get(), lcd_.get()}) {
        if (board && board->isVisible())
            board->repaint();
    }
    qCInfo(logRemote) << "state shown";
}

void FollowedBoards::start(bool shown) {
    client_.start();
    if (!shown)
        return;
    // Each board on the screen and at the place it had when this machine last followed.
    const QSettings user;
    if (led_) {
        // First in the corner, as the panel's run puts it: placed by the window manager it
        // would land where the LCD board is about to stand.
        if (const QScreen *screen = QGuiApplication::primaryScreen())
            led_->move(screen->availableGeometry().topLeft());
        led_->show();
        if (const auto place = readBoardPlace(user, QStringLiteral("led")))
            restoreBoardPlace(*led_, *place);
    }
    if (lcd_) {
        // Below the LED board when both show, until the user moves it.
        if (led_)
            lcd_->move(led_->frameGeometry().bottomLeft() + QPoint(0, 1));
        lcd_->show();
        if (const auto place = readBoardPlace(user, QStringLiteral("lcd")))
            restoreBoardPlace(*lcd_, *place);
    }
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, &client_, [this] {
        QSettings settings;
        if (led_)
            writeBoardPlace(settings, QStringLiteral("led"), placeOf(*led_));
        if (lcd_)
            writeBoardPlace(settings, QStringLiteral("lcd"), placeOf(*lcd_));
    });
}

bool FollowedBoards::waiting() const {
    return client_.status().state != MqttState::Connected || !hasState();
}

void FollowedBoards::showWaiting() {
    const MqttStatus &status = client_.status();
    QString text;
    if (status.state == MqttState::Refused)
        text =
            QStringLiteral("接続できません: ") + client_.address().shown() + u' ' + status.detail;
    else if (status.state != MqttState::Connected)
        text = QStringLiteral("ブローカーを待っています: ") + client_.address().shown();
    else if (!hasState())
        text = QStringLiteral("表示の受信を待っています: ") + client_.address().shown();
    for (QLabel *badge : badges_) {
        badge->setText(text);
        badge->adjustSize();
        badge->setVisible(!text.isEmpty());
        badge->raise();
    }
}

QImage FollowedBoards::render(qreal scale) {
    QImage ledShot = led_ ? led_->renderBoard(scale) : QImage();
    QImage lcdShot = lcd_ ? lcd_->renderBoard(scale) : QImage();
    if (ledShot.isNull() || lcdShot.isNull())
        return ledShot.isNull() ? lcdShot : ledShot;
    QImage both(std::max(ledShot.width(), lcdShot.width()), ledShot.height() + lcdShot.height(),
                QImage::Format_ARGB32_Premultiplied);
    both.fill(Qt::transparent);
    QPainter p(&both);
    p.drawImage(0, 0, ledShot);
    p.drawImage(0, ledShot.height(), lcdShot);
    return both;
}

int runFollower(const CommandLine &line, int &argc, char **argv) {
    const bool shot = !line.screenshot.isEmpty();
    if (shot && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    Result<BrokerAddress> address = parseBrokerUrl(line.follow);
    if (!address) {
        std::fprintf(stderr, "Q47: %s\n", qPrintable(address.error().text()));
        return 2;
    }
    takeBrokerEnvironment(*address, QProcessEnvironment::systemEnvironment());
    const std::optional<lcd::BoardKind> asked = lcd::boardKindNamed(line.board);
    Q47App::preparePlatform(asked);
    const QApplication application(argc, argv);
    Q47App::prepareApplication();
    // Without --board, the board(s) the options chose on this machine.
    const lcd::BoardKind kind = asked.value_or(lcd::readBoardKind(QSettings()));
    FollowedBoards boards(kind, *address);
    boards.start(!shot);
    if (!shot) {
        Q47App::installWindowIcon();
        return QApplication::exec();
    }

    QEventLoop loop;
    QObject::connect(&boards.follower(), &BoardFollower::contentReceived, &loop, &QEventLoop::quit);
    QTimer::singleShot(kFirstStateWaitMs, &loop, &QEventLoop::quit);
    loop.exec();
    if (!boards.hasState()) {
        std::fprintf(stderr, "Q47: no state on %s within %d s\n", qPrintable(address->shown()),
                     kFirstStateWaitMs / 1000);
        return 1;
    }
    const Result<> written = writeImageSafely(line.screenshot, boards.render(line.scale), "PNG");
    if (!written) {
        std::fprintf(stderr, "Q47: cannot write %s\n", qPrintable(written.error().text()));
        return 1;
    }
    return 0;
}

} // namespace q47
