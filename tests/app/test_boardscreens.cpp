// Both boards at once on two screens: each comes back on its own screen and place after a
// restart, fills its own screen, and goes to the primary screen when its screen is gone.
#include "boardmodel.h"
#include "boardplace.h"
#include "boardswitch.h"
#include "lcdboard.h"
#include "ledboard.h"
#include "settingsstore.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QTest>

using namespace q47;

class TestBoardScreens : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void eachBoardComesBackOnItsScreenAndPlace();
    void namesAreLookedUpForAnLcdBoardElsewhere();
};

void TestBoardScreens::eachBoardComesBackOnItsScreenAndPlace() {
    const QList<QScreen *> screens = QGuiApplication::screens();
    QCOMPARE(screens.size(), 2);
    QScreen *primary = QGuiApplication::primaryScreen();
    QScreen *other = screens[0] == primary ? screens[1] : screens[0];
    const QPoint place(30, 40);
    BoardModel model;
    const SettingsStore settings;
    {
        LedBoard led(model);
        BoardSwitch boards(led, model, settings);
        boards.show(lcd::BoardKind::Both);
        QVERIFY(led.isVisible() && boards.lcdBoard() && boards.lcdBoard()->isVisible());
        // The operator drags the LED board to the other screen and fills the primary one with
        // the LCD board; the run ends.
        led.move(other->geometry().topLeft() + place);
        boards.lcdBoard()->setBoardFullScreen(true);
        QCOMPARE(boards.lcdBoard()->geometry(), primary->geometry());
        boards.rememberWindows();
    }
    {
        LedBoard led(model);
        BoardSwitch boards(led, model, settings);
        boards.show(lcd::BoardKind::Both);
        boards.restoreLedPlace();
        QCOMPARE(led.screen(), other);
        QCOMPARE(led.pos(), other->geometry().topLeft() + place);
        LcdBoard &lcd = *boards.lcdBoard();
        QVERIFY(lcd.isBoardFullScreen());
        QCOMPARE(lcd.screen(), primary);
        QCOMPARE(lcd.geometry(), primary->geometry());
        // Full screen on the LED board's own screen, not the primary one.
        led.setBoardFullScreen(true);
        QCOMPARE(led.geometry(), other->geometry());
        led.setBoardFullScreen(false);
    }
    {
        QSettings user;
        writeBoardPlace(user, QStringLiteral("led"), {QStringLiteral("gone"), place, false});
    }
    LedBoard led(model);
    BoardSwitch boards(led, model, settings);
    boards.show(lcd::BoardKind::Led);
    // Where the screen was, right of the others.
    led.move(5000, 100);
    boards.restoreLedPlace();
    QCOMPARE(led.screen(), primary);
    QCOMPARE(led.pos(), primary->geometry().topLeft() + place);
}

// Only the LED board shows here, but a published state feeds LCD boards that follow it.
void TestBoardScreens::namesAreLookedUpForAnLcdBoardElsewhere() {
    BoardModel model;
    SettingsStore settings;
    settings.setText(setting::DataFolder, QStringLiteral(Q47_SAMPLES "/data"));
    LedBoard led(model);
    BoardSwitch boards(led, model, settings);
    boards.show(lcd::BoardKind::Led);
    model.setStopName(QStringLiteral("新町"));
    QVERIFY(model.content().stopForms[NameLanguage::Kana].isEmpty());
    boards.setNamesWanted(true);
    QCOMPARE(model.content().stopForms[NameLanguage::Kana], QStringLiteral("しんまち"));
    model.setStopName(QStringLiteral("駅西口"));
    QCOMPARE(model.content().stopForms[NameLanguage::English], QStringLiteral("Station West Exit"));
}

QTEST_MAIN(TestBoardScreens)
#include "test_boardscreens.moc"
