#include "boardswitch.h"

#include "form1.h"
#include "lcdboard.h"
#include "routedata.h"
#include "settingsstore.h"
#include "stopreadings.h"
#include "windowplacement.h"

#include <QSettings>

namespace q47 {

BoardSwitch::BoardSwitch(Form1 &led, const SettingsStore &settings)
    : led_(led), settings_(settings) {
    QObject::connect(&led_.model(), &BoardModel::stopNameChanged, &led_, [this] {
        if (kind_ == lcd::BoardKind::Lcd)
            lookUpNames();
    });
}

BoardSwitch::~BoardSwitch() = default;

void BoardSwitch::setWindowPreparer(std::function<void(QWidget *)> prepare) {
    prepare_ = std::move(prepare);
    if (prepare_ && lcd_)
        prepare_(lcd_.get());
}

void BoardSwitch::makeLcd() {
    lcd_ = std::make_unique<LcdBoard>(led_.model());
    const QSettings user;
    lcd_->setPageSeconds(lcd::readPageSeconds(user));
    lcd_->setFormBeats(lcd::readFormBeats(user));
    lcd_->setZoom(lcd::readLcdZoom(user));
    lcd_->move(lcd::readLcdPosition(user).value_or(led_.pos()));
    // A place no screen shows any more (another monitor, a smaller one) would lose the window.
    if (!onSomeScreen(*lcd_))
        lcd_->move(led_.pos());
    QObject::connect(lcd_.get(), &LcdBoard::zoomChanged, lcd_.get(), [](qreal zoom) {
        QSettings user;
        lcd::writeLcdZoom(user, zoom);
    });
    if (prepare_)
        prepare_(lcd_.get());
}

QWidget &BoardSwitch::show(lcd::BoardKind kind) {
    kind_ = kind;
    if (kind == lcd::BoardKind::Lcd) {
        if (!lcd_)
            makeLcd();
        lookUpNames();
        lcd_->show();
        lcd_->raise();
        led_.hide();
        return *lcd_;
    }
    if (lcd_ && lcd_->isVisible()) {
        rememberLcdWindow();
        lcd_->hide();
    }
    led_.show();
    led_.raise();
    return led_;
}

QWidget &BoardSwitch::shown() {
    if (kind_ == lcd::BoardKind::Lcd && lcd_)
        return *lcd_;
    return led_;
}

void BoardSwitch::setPageSeconds(int seconds) {
    if (lcd_)
        lcd_->setPageSeconds(seconds);
}

void BoardSwitch::setFormBeats(const std::array<int, lcd::kNameForms> &beats) {
    if (lcd_)
        lcd_->setFormBeats(beats);
}

void BoardSwitch::rememberLcdWindow() const {
    if (!lcd_)
        return;
    QSettings user;
    lcd::writeLcdPosition(user, lcd_->windowedPosition());
    lcd::writeLcdZoom(user, lcd_->zoom());
}

void BoardSwitch::lookUpNames() {
    if (!readings_)
        readings_ = std::make_unique<lcd::StopReadings>();
    led_.setStopForms(readings_->lookUp(led_.model().content().writtenName(),
                                        normalizeFolder(settings_.text(setting::DataFolder)),
                                        normalizeFolder(settings_.text(setting::SoundFolder))));
}

} // namespace q47
