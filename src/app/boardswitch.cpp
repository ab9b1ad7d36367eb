#include "boardswitch.h"

#include "boardplace.h"
#include "boardzoom.h"
#include "lcdboard.h"
#include "ledboard.h"
#include "routedata.h"
#include "settingsstore.h"
#include "stopreadings.h"
#include "windowplacement.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QSettings>

namespace q47 {

BoardSwitch::BoardSwitch(LedBoard &led, BoardModel &model, const SettingsStore &settings)
    : led_(led), model_(model), settings_(settings) {
    QObject::connect(&model_, &BoardModel::stopNameChanged, &led_, [this] {
        if (lcd::showsLcd(kind_) || namesWanted_)
            lookUpNames();
    });
}

void BoardSwitch::setNamesWanted(bool wanted) {
    if (wanted == namesWanted_)
        return;
    namesWanted_ = wanted;
    if (wanted)
        lookUpNames();
}

BoardSwitch::~BoardSwitch() = default;

void BoardSwitch::setWindowPreparer(std::function<void(QWidget *)> prepare) {
    prepare_ = std::move(prepare);
    if (prepare_ && lcd_)
        prepare_(lcd_.get());
}

void BoardSwitch::makeLcd() {
    lcd_ = std::make_unique<LcdBoard>(model_);
    const QSettings user;
    lcd_->setPageSeconds(lcd::readPageSeconds(user));
    lcd_->setFormBeats(lcd::readFormBeats(user));
    // Shown with the LED board, it first stands below it rather than over it.
    const QPoint first = kind_ == lcd::BoardKind::Both
                             ? led_.frameGeometry().bottomLeft() + QPoint(0, 1)
                             : led_.pos();
    lcd_->move(lcd::readLcdPosition(user).value_or(first));
    keepOnScreen(*lcd_, first);
    lcd_->setZoom(lcd::readLcdZoom(user));
    if (const auto place = readBoardPlace(user, QStringLiteral("lcd")))
        restoreBoardPlace(*lcd_, *place);
    QObject::connect(lcd_.get(), &LcdBoard::zoomChanged, lcd_.get(), [](qreal zoom) {
        QSettings user;
        lcd::writeLcdZoom(user, zoom);
    });
    if (prepare_)
        prepare_(lcd_.get());
}

QWidget &BoardSwitch::show(lcd::BoardKind kind) {
    kind_ = kind;
    if (lcd::showsLcd(kind)) {
        if (!lcd_)
            makeLcd();
        lookUpNames();
        lcd_->show();
        lcd_->raise();
    } else if (lcd_ && lcd_->isVisible()) {
        rememberWindows();
        lcd_->hide();
    }
    if (lcd::showsLed(kind)) {
        led_.show();
        led_.raise();
    } else {
        led_.hide();
    }
    return shown();
}

QWidget &BoardSwitch::shown() {
    if (kind_ == lcd::BoardKind::Lcd && lcd_)
        return *lcd_;
    return led_;
}

void BoardSwitch::restoreLedPlace() {
    const QSettings user;
    if (const auto place = readBoardPlace(user, QStringLiteral("led")))
        restoreBoardPlace(led_, *place);
}

void BoardSwitch::takeBoardKeys(QWidget &window) {
    class BoardKeys : public QObject {
    public:
        BoardKeys(BoardSwitch &boards, QWidget &window) : boards_(boards), window_(window) {}
        bool eventFilter(QObject *watched, QEvent *event) override {
            if (event->type() != QEvent::KeyPress || !watched->isWidgetType() ||
                static_cast<QWidget *>(watched)->window() != &window_)
                return false;
            const auto *key = static_cast<QKeyEvent *>(event);
            if (board::zoomKey(key->key(), key->modifiers()) == board::ZoomKey::None)
                return false;
            QKeyEvent copy(QEvent::KeyPress, key->key(), key->modifiers(), key->text());
            QCoreApplication::sendEvent(&boards_.shown(), &copy);
            return true;
        }

    private:
        BoardSwitch &boards_;
        QWidget &window_;
    };
    // Watched before the focused control, which might take the key for itself.
    boardKeys_ = std::make_unique<BoardKeys>(*this, window);
    QCoreApplication::instance()->installEventFilter(boardKeys_.get());
}

void BoardSwitch::setEnabled(bool enabled) {
    led_.setEnabled(enabled);
    if (lcd_)
        lcd_->setEnabled(enabled);
}

void BoardSwitch::setPageSeconds(int seconds) {
    if (lcd_)
        lcd_->setPageSeconds(seconds);
}

void BoardSwitch::setFormBeats(const std::array<int, lcd::kNameForms> &beats) {
    if (lcd_)
        lcd_->setFormBeats(beats);
}

void BoardSwitch::rememberWindows() const {
    QSettings user;
    writeBoardPlace(user, QStringLiteral("led"), placeOf(led_));
    if (!lcd_)
        return;
    lcd::writeLcdPosition(user, lcd_->windowedPosition());
    lcd::writeLcdZoom(user, lcd_->zoom());
    writeBoardPlace(user, QStringLiteral("lcd"), placeOf(*lcd_));
}

void BoardSwitch::lookUpNames() {
    if (!readings_)
        readings_ = std::make_unique<lcd::StopReadings>();
    model_.setStopForms(readings_->lookUp(model_.content().writtenName(),
                                          normalizeFolder(settings_.text(setting::DataFolder)),
                                          normalizeFolder(settings_.text(setting::SoundFolder))));
}

} // namespace q47
