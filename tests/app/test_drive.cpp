// Drives the real program on a real X display (Xvfb), once bare and once with a window
// manager: where the windows stand and how the window manager may treat them, then keypad
// entry of a sample route, "リセット", two steps forward, and the board's pixels.
#include "boardlayout.h"
#include "boardmodel.h"
#include "boardswitch.h"
#include "boardzoom.h"
#include "controlpanel.h"
#include "fonts.h"
#include "lcdboard.h"
#include "lcdlayout.h"
#include "lcdtexts.h"
#include "ledboard.h"
#include "optionsdialog.h"
#include "panelride.h"
#include "panelwidgets.h"
#include "q47app.h"
#include "recordingsound.h"
#include "scrollframe.h"
#include "settingsstore.h"
#include "statefileio.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSettings>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

QString x11(const QString &program, const QStringList &args) {
    QProcess p;
    p.start(program, args);
    p.waitForFinished(5000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

int field(const QString &text, const QString &name) {
    const QRegularExpression re(QRegularExpression::escape(name) + QStringLiteral(":\\s*(-?\\d+)"));
    return re.match(text).captured(1).toInt();
}

// Where a window's frame stands on the screen, as the X server and the window manager see
// it: the client's absolute geometry widened by the frame extents the manager announces.
QRect frameOnScreen(const QWidget &w) {
    const QString id = QString::number(w.winId());
    const QString info = x11(QStringLiteral("xwininfo"), {QStringLiteral("-id"), id});
    const QRect client(field(info, QStringLiteral("Absolute upper-left X")),
                       field(info, QStringLiteral("Absolute upper-left Y")),
                       field(info, QStringLiteral("Width")), field(info, QStringLiteral("Height")));
    const QString extents = x11(QStringLiteral("xprop"),
                                {QStringLiteral("-id"), id, QStringLiteral("_NET_FRAME_EXTENTS")});
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("= (\\d+), (\\d+), (\\d+), (\\d+)")).match(extents);
    if (!m.hasMatch())
        return client; // no window manager: no frame
    return client.adjusted(-m.captured(1).toInt(), -m.captured(3).toInt(), m.captured(2).toInt(),
                           m.captured(4).toInt());
}

bool windowManagerRunning() {
    return x11(QStringLiteral("xprop"),
               {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")})
        .contains(QStringLiteral("window id"));
}

// Pixels of the cell's lit colour in a picture of the screen.
int litPixels(const QImage &screen, const QRect &cell, QRgb lit) {
    int n = 0;
    for (int y = cell.top(); y <= cell.bottom(); ++y)
        for (int x = cell.left(); x <= cell.right(); ++x)
            n += screen.pixel(x, y) == lit;
    return n;
}

QImage screen() {
    return QGuiApplication::primaryScreen()->grabWindow(0).toImage();
}

QByteArray fileBytes(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestDrive : public QObject {
    Q_OBJECT
    QTemporaryDir stateDir_;
    std::unique_ptr<q47::RecordingSound> sound_;
    std::unique_ptr<q47::Q47App> app_;
    QString statePath() const { return stateDir_.filePath(QStringLiteral("Q47.in4")); }

private Q_SLOTS:
    void initTestCase() {
        q47::installFontSubstitutes();
        if (qEnvironmentVariableIsSet("Q47_EXPECT_WM"))
            QVERIFY2(windowManagerRunning(), "the window manager did not start");
        sound_ = std::make_unique<q47::RecordingSound>();
        app_ = std::make_unique<q47::Q47App>(sound_.get(), statePath());
        app_->start();
        app_->settings().setText(q47::setting::DataFolder, QStringLiteral(Q47_SAMPLES "/data"));
        app_->settings().setText(q47::setting::SoundFolder, QStringLiteral(Q47_SAMPLES "/data"));
        app_->controlPanel()->session().setLampTestMs(100);
        QVERIFY(QTest::qWaitForWindowExposed(&app_->board()));
        QVERIFY(QTest::qWaitForWindowExposed(app_->controlPanel()));
    }

    void cleanupTestCase() { app_.reset(); }

    // The panel's whole frame in the bottom-right corner, the board at the top-left: both
    // wholly on the screen, whatever frame the window manager gives them.
    void bothWindowsLieOnTheScreen() {
        const QScreen *screen = QGuiApplication::primaryScreen();
        const QRect available = screen->availableGeometry();
        QTRY_COMPARE_WITH_TIMEOUT(frameOnScreen(*app_->controlPanel()).bottomRight(),
                                  available.bottomRight(), 5000);
        const QRect panel = frameOnScreen(*app_->controlPanel());
        const QRect board = frameOnScreen(app_->board());
        QVERIFY2(screen->geometry().contains(panel), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                                    .arg(panel.x())
                                                                    .arg(panel.y())
                                                                    .arg(panel.width())
                                                                    .arg(panel.height())));
        if (windowManagerRunning())
            QVERIFY(panel.size() != app_->controlPanel()->size()); // a title bar was counted
        QCOMPARE(board, QRect(available.topLeft(), app_->board().size())); // no frame
        QCOMPARE(app_->board().mask(), q47::LedBoard::roundedRegion(app_->board().size()));
    }

    // Neither the window manager nor the operator can maximise or resize the panel.
    void panelIsAFixedWindow() {
        const QString id = QString::number(app_->controlPanel()->winId());
        const QString hints = x11(QStringLiteral("xprop"),
                                  {QStringLiteral("-id"), id, QStringLiteral("WM_NORMAL_HINTS")});
        QVERIFY2(hints.contains(QStringLiteral("minimum size: 353 by 173")), qPrintable(hints));
        QVERIFY2(hints.contains(QStringLiteral("maximum size: 353 by 173")), qPrintable(hints));
        if (windowManagerRunning()) {
            const QString actions =
                x11(QStringLiteral("xprop"),
                    {QStringLiteral("-id"), id, QStringLiteral("_NET_WM_ALLOWED_ACTIONS")});
            QVERIFY2(actions.contains(QStringLiteral("_NET_WM_ACTION_CLOSE")), qPrintable(actions));
            QVERIFY2(!actions.contains(QStringLiteral("MAXIMIZE")), qPrintable(actions));
            QVERIFY2(!actions.contains(QStringLiteral("RESIZE")), qPrintable(actions));
        }
        const QRect before = frameOnScreen(*app_->controlPanel());
        app_->controlPanel()->showMaximized(); // asks the window manager
        QTest::qWait(300);
        QCOMPARE(frameOnScreen(*app_->controlPanel()), before);
        app_->controlPanel()->showNormal();
    }

    void keypadRouteResetAndTwoSteps() {
        q47::ControlPanel &panel = *app_->controlPanel();
        for (int key : {10, 1, 11, 1})
            QTest::mouseClick(panel.entryPanes()->keypadKey(key), Qt::LeftButton, {},
                              QPoint(15, 13));
        QCOMPARE(panel.entryPanes()->keypadDisplay(0)->text(), QStringLiteral("1"));
        QCOMPARE(panel.entryPanes()->keypadDisplay(2)->text(), QStringLiteral("1"));
        QTest::mouseClick(panel.entryPanes()->setRouteButton(1), Qt::LeftButton);
        QVERIFY(panel.stepButtons()->stepButton(1)->isEnabled());
        QCOMPARE(panel.route().StopCount, 12);
        QCOMPARE(panel.route().CurStopPos, 0);

        QTest::mouseClick(panel.stepButtons()->stepButton(1), Qt::LeftButton);
        QTest::mouseClick(panel.stepButtons()->stepButton(1), Qt::LeftButton);
        QCOMPARE(panel.route().CurStopPos, 2);
        q47::LedBoard &board = app_->board();
        const q47::BoardContent &shownOnBoard = app_->model().content();
        QCOMPARE(shownOnBoard.cells[1], QVariant(200));
        QCOMPARE(shownOnBoard.cells[3], QVariant(170));
        QCOMPARE(shownOnBoard.cells[4], QVariant(0));

        const QRgb lit = qRgb(0xF8, 0xD2, 0x72);
        const QPoint origin = board.mapToGlobal(QPoint(0, 0));
        const auto cellLit = [&](const QImage &shown, int k) {
            return litPixels(shown, board.cellRect(k).translated(origin), lit);
        };
        // The place-name column shows the stop in its dot colour.
        const auto nameDots = [&](const QImage &shown) {
            const QRect column = board.nameRect().translated(origin);
            int dots = 0;
            for (int y = column.top(); y <= column.bottom(); ++y)
                for (int x = column.left(); x <= column.right(); ++x)
                    dots += qRed(shown.pixel(x, y)) > 200 && qBlue(shown.pixel(x, y)) < 80;
            return dots;
        };
        QImage shown;
        QTRY_VERIFY_WITH_TIMEOUT(
            (shown = screen(), cellLit(shown, 1) > 20 && cellLit(shown, 2) > 20 &&
                                   cellLit(shown, 3) > 20 && nameDots(shown) > 50),
            5000);
        QCOMPARE(cellLit(shown, 4), 0);
        const QString shots = qEnvironmentVariable("Q47_DRIVE_SHOTS");
        if (!shots.isEmpty())
            shown.save(shots + QStringLiteral("/board-stepped.png"));

        // A double-click on the keypad pane brings the digit lists to the front.
        QTest::mouseDClick(panel.entryPanes()->pane(1), Qt::LeftButton, {}, QPoint(5, 100));
        QCOMPARE(panel.state().backPane(), qint16(1));
        const QListWidget *list = panel.entryPanes()->routeDigitList(0);
        const QRect digits =
            list->viewport()->geometry().translated(list->mapToGlobal(QPoint(0, 0)));
        QTRY_COMPARE_WITH_TIMEOUT(screen().pixel(digits.left() + 2, digits.bottom() - 2),
                                  qRgb(255, 255, 255), 5000);
        if (!shots.isEmpty())
            screen().save(shots + QStringLiteral("/panel-lists.png"));
    }

    // The LCD board is another view of what the panel put on the board: switched to on the
    // route, it shows what the LED board shows, late-night fares too, and both follow a step.
    // It stands where the LED board stood, unframed, and comes back where it was left.
    void bothBoardsFollowOneRoute() {
        q47::ControlPanel &panel = *app_->controlPanel();
        q47::BoardSwitch &boards = *app_->boards();
        q47::LedBoard &led = app_->board();
        const auto sameFares = [&] {
            QStringList differ;
            for (int k = 1; k <= q47::kBoardCells; ++k) {
                const QString lcd = q47::lcd::fareText(led.model().content(), k);
                if (led.cellText(k) != lcd)
                    differ << QStringLiteral("%1: %2").arg(k).arg(lcd);
            }
            return differ.join(u", ");
        };
        const QString stop = panel.route().at(panel.route().CurStopPos + 1).StopName;
        boards.show(q47::lcd::BoardKind::Lcd);
        q47::LcdBoard *lcd = boards.lcdBoard();
        QVERIFY(QTest::qWaitForWindowExposed(lcd));
        QVERIFY(!led.isVisible());
        QTRY_COMPARE(frameOnScreen(*lcd), QRect(led.pos(), lcd->size()));
        QCOMPARE(lcd->shownContent().stopName, stop);
        QCOMPARE(sameFares(), QString());
        QVERIFY(!q47::lcd::fareText(lcd->shownContent(), 1).trimmed().isEmpty());

        panel.scrollFrame()->lateNightBox()->click(); // late night
        QTest::mouseClick(panel.stepButtons()->stepButton(1), Qt::LeftButton);
        QCOMPARE(lcd->shownContent().stopName,
                 panel.route().at(panel.route().CurStopPos + 1).StopName);
        QCOMPARE(sameFares(), QString());
        QTest::mouseClick(panel.stepButtons()->stepButton(0), Qt::LeftButton);
        panel.scrollFrame()->lateNightBox()->click();
        QCOMPARE(sameFares(), QString());

        lcd->move(300, 200);
        QTRY_COMPARE(lcd->pos(), QPoint(300, 200));
        boards.show(q47::lcd::BoardKind::Led);
        QVERIFY(QTest::qWaitForWindowExposed(&led));
        QVERIFY(!lcd->isVisible());
        boards.show(q47::lcd::BoardKind::Lcd);
        QTRY_COMPARE(lcd->pos(), QPoint(300, 200));
        const QString shots = qEnvironmentVariable("Q47_DRIVE_SHOTS");
        if (!shots.isEmpty())
            screen().save(shots + QStringLiteral("/lcd-board.png"));
        boards.show(q47::lcd::BoardKind::Led);
        // The name, drawn while the board was hidden, in its dot colour.
        const QImage named = led.renderBoard(1).copy(led.nameRect());
        int dots = 0;
        for (int y = 0; y < named.height(); ++y)
            for (int x = 0; x < named.width(); ++x)
                dots += qRed(named.pixel(x, y)) > 200 && qBlue(named.pixel(x, y)) < 80;
        QVERIFY(dots > 0);
    }

    // The route's announcement list came with it: the buttons speak, and "調整" opens the
    // voice dialog over the panel.
    void announcementsWithTheRoute() {
        q47::ControlPanel &panel = *app_->controlPanel();
        q47::TapeGroup *group = panel.tapeGroup();
        QCOMPARE(group->title(), QStringLiteral("音合使用可"));
        QVERIFY(group->isEnabled() && group->nextButton()->isEnabled());
        QTest::mouseClick(group->nextButton(), Qt::LeftButton);
        QCOMPARE(panel.tape().position(), 1);
        QTest::qWait(200);
        const QString shots = qEnvironmentVariable("Q47_DRIVE_SHOTS");
        if (!shots.isEmpty())
            QGuiApplication::primaryScreen()->grabWindow(0).save(shots + "/panel-tape.png");
        QTest::mouseClick(group->stopButton(), Qt::LeftButton);

        bool seen = false;
        QTimer::singleShot(500, [&] {
            QWidget *dialog = QApplication::activeModalWidget();
            seen = dialog && dialog->windowTitle() == QStringLiteral("音声の調節") &&
                   frameOnScreen(*dialog).intersects(QGuiApplication::primaryScreen()->geometry());
            if (!shots.isEmpty())
                QGuiApplication::primaryScreen()->grabWindow(0).save(shots + "/voice-dialog.png");
            if (dialog)
                qobject_cast<QDialog *>(dialog)->reject();
        });
        QTest::mouseClick(group->voiceButton(), Qt::LeftButton);
        QVERIFY(seen);
    }

    // "設定..." opens the options on the screen, small enough for 1024 x 768, every page
    // reachable; "OK" closes it and the panel takes input again.
    void optionsDialogPages() {
        q47::ControlPanel &panel = *app_->controlPanel();
        const QString shots = qEnvironmentVariable("Q47_DRIVE_SHOTS");
        app_->settings().setFlag(q47::setting::UsePreview, 1);
        QString failure = QStringLiteral("no dialog");
        QTimer::singleShot(300, [&] {
            auto *dialog = qobject_cast<q47::OptionsDialog *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            const QRect frame = frameOnScreen(*dialog);
            failure.clear();
            if (frame.width() > 1024 || frame.height() > 768 ||
                !QGuiApplication::primaryScreen()->geometry().contains(frame))
                failure = QStringLiteral("frame %1x%2").arg(frame.width()).arg(frame.height());
            for (int k = 0; k < 6; ++k) {
                QTest::mouseClick(
                    dialog->findChild<QPushButton *>(QStringLiteral("Option1(%1)").arg(k)),
                    Qt::LeftButton);
                QTest::qWait(100);
                if (dialog->pages()->currentIndex() != k)
                    failure = QStringLiteral("page %1 not shown").arg(k);
                if (!shots.isEmpty())
                    dialog->grab().save(shots + QStringLiteral("/options-%1.png").arg(k));
                if (!shots.isEmpty() && k == 1)
                    QGuiApplication::primaryScreen()->grabWindow(0).save(shots +
                                                                         "/options-screen.png");
            }
            QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("Command4")),
                              Qt::LeftButton);
        });
        QTest::mouseClick(panel.optionsButton(), Qt::LeftButton);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QVERIFY(!app_->options()->isVisible());
        QVERIFY(panel.isEnabled() && app_->board().isEnabled());
        app_->settings().setFlag(q47::setting::UsePreview, 0);
    }

    // The ticket preview opens beside the panel without leaving the screen, and shows the
    // ticket of the stop on the board.
    void ticketPreviewOnTheScreen() {
        q47::ControlPanel &panel = *app_->controlPanel();
        q47::SettingsStore &s = app_->settings();
        const QString plugin = QStringLiteral(Q47_SAMPLES "/plugins/full.4SP");
        QVERIFY(app_->options()->describePlugin(plugin));
        s.setText(q47::setting::PluginFile, plugin);
        s.setFlag(q47::setting::UsePreview, 1);
        QTest::mouseClick(panel.previewButton(), Qt::LeftButton);
        QTest::mouseClick(panel.stepButtons()->stepButton(1), Qt::LeftButton);
        QTest::qWait(300);
        QTRY_VERIFY(QGuiApplication::primaryScreen()->geometry().contains(frameOnScreen(panel)));
        const QString shots = qEnvironmentVariable("Q47_DRIVE_SHOTS");
        if (!shots.isEmpty())
            QGuiApplication::primaryScreen()->grabWindow(0).save(shots + "/panel-preview.png");
        // A larger ticket grows the panel, which still stays on the screen.
        const QSize before = panel.size();
        panel.describeTicket(QSize(240, 160), {});
        QVERIFY(panel.height() > before.height());
        QTRY_VERIFY(QGuiApplication::primaryScreen()->geometry().contains(frameOnScreen(panel)));
        panel.describeTicket(QSize(226, 112), {});
        QTest::mouseClick(panel.previewButton(), Qt::LeftButton);
        s.setFlag(q47::setting::UsePreview, 0);
    }

    // ON1 with the operator's own panel and the labels in style 7, as the README shows it.
    void userPanelOnOne() {
        q47::SettingsStore &s = app_->settings();
        s.select(q47::setting::PanelsOneByOne);
        s.select(q47::setting::On1PanelUser);
        s.setText(q47::setting::On1PanelFile, QStringLiteral(Q47_SAMPLES "/panels/led.gif"));
        s.setColour(q47::setting::LabelColourOn1, 0x0000FFFF); // yellow
        q47::LedBoard &board = app_->board();
        app_->model().setLabelsShown(true);
        app_->model().setNumbering(7, false);
        QTest::mouseClick(app_->controlPanel()->backlightFrame()->backlightButton(1),
                          Qt::LeftButton);
        QVERIFY(board.Picture() != board.backlightFace(1));
        QCOMPARE(app_->model().content().labels.colour, QColor(Qt::yellow));
        QTest::qWait(300);
        const QString shots = qEnvironmentVariable("Q47_DRIVE_SHOTS");
        if (!shots.isEmpty())
            QGuiApplication::primaryScreen()->grabWindow(0).save(shots + "/board-on1.png");
    }

    // On a small screen a zoom grows each board within the available area, moving it aside as
    // far as it must; a step that cannot fit is not taken. A board saved at zoom 3 near the
    // bottom-right corner comes back within reach, and the board's keys pressed on the panel
    // act on the board.
    void boardsStayWithinTheScreen() {
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        const auto within = [&](const QWidget &w) { return area.contains(frameOnScreen(w)); };
        q47::LedBoard &led = app_->board();
        const QPoint home = led.pos();
        q47::LcdBoard *lcd =
            &static_cast<q47::LcdBoard &>(app_->boards()->show(q47::lcd::BoardKind::Lcd));
        for (QWidget *board : {static_cast<QWidget *>(&led), static_cast<QWidget *>(lcd)}) {
            app_->boards()->show(board == lcd ? q47::lcd::BoardKind::Lcd
                                              : q47::lcd::BoardKind::Led);
            QVERIFY(QTest::qWaitForWindowExposed(board));
            board->move(area.right() - 200, area.bottom() - 100);
            QTRY_COMPARE(board->pos(), QPoint(area.right() - 200, area.bottom() - 100));
            for (int step = 0; step < 3; ++step)
                QTest::keyClick(board, Qt::Key_Plus, Qt::ControlModifier);
            QTRY_VERIFY(within(*board));
        }
        const QSize design = q47::board::clientSizePx();
        QCOMPARE(led.zoom(), q47::board::fittingZoom(3, design, area.size()));
        QVERIFY(led.zoom() < 3);
        QCOMPARE(lcd->zoom(), q47::board::fittingZoom(3, q47::lcd::kDesignSize, area.size()));
        QTest::keyClick(app_->controlPanel(), Qt::Key_0, Qt::ControlModifier);
        QCOMPARE(lcd->zoom(), 1.0);
        app_->boards()->show(q47::lcd::BoardKind::Led);
        QTest::keyClick(app_->controlPanel(), Qt::Key_0, Qt::ControlModifier);
        QCOMPARE(led.zoom(), 1.0);

        led.move(area.right() - 300, area.bottom() - 100);
        QTRY_COMPARE(led.pos(), QPoint(area.right() - 300, area.bottom() - 100));
        app_->stateFile()->save();
        QSettings user;
        q47::board::writeZoom(user, 3);
        {
            q47::Q47App again(sound_.get(), statePath());
            again.setSpeechEnabled(false);
            again.start();
            QVERIFY(QTest::qWaitForWindowExposed(&again.board()));
            QTRY_VERIFY(within(again.board()));
            QCOMPARE(again.board().zoom(), q47::board::fittingZoom(3, design, area.size()));
            QTest::keyClick(again.controlPanel(), Qt::Key_F11);
            QVERIFY(again.board().isBoardFullScreen());
            QTest::keyClick(again.controlPanel(), Qt::Key_F11);
            QVERIFY(!again.board().isBoardFullScreen());
        }
        q47::board::writeZoom(user, 1);
        led.move(home);
        QTRY_COMPARE(led.pos(), home);
    }

    // A state file saved and restored with the panel left where it was comes back byte for
    // byte, window manager or not: the panel does not creep by its title bar.
    void stateFileRoundTripsWithThePanelInPlace() {
        app_->controlPanel()->move(600, 500);
        QTRY_COMPARE(app_->controlPanel()->pos(), QPoint(600, 500));
        app_->stateFile()->save();
        const QByteArray saved = fileBytes(statePath());
        QVERIFY(!saved.isEmpty());
        for (int restart = 0; restart < 2; ++restart) {
            q47::Q47App again(sound_.get(), statePath());
            again.setSpeechEnabled(false);
            again.start();
            QVERIFY(QTest::qWaitForWindowExposed(again.controlPanel()));
            // Until the window manager has framed it, where the panel stands is not settled.
            if (windowManagerRunning())
                QTRY_VERIFY(again.controlPanel()->frameGeometry() !=
                            again.controlPanel()->geometry());
            QTest::qWait(200);
            again.stateFile()->save();
            QCOMPARE(fileBytes(statePath()), saved);
        }
    }

    // "自動運行" through the panel runs the application's ride: started, the bus steps by
    // itself (route 1 has no timetable: at the frame's interval); paused, it stays; the
    // operator's step still works and the ride follows it; stopped, it can start again. The
    // frame opens below the panel, on the screen, and closes to the designed size.
    void rideFromThePanel() {
        q47::ControlPanel &panel = *app_->controlPanel();
        q47::RideFrame &frame = *panel.rideFrame();
        const QSize designed = panel.size();
        panel.showRideFrame(true);
        QVERIFY(panel.height() > designed.height());
        QVERIFY(panel.rect().contains(frame.geometry()));
        QTRY_VERIFY(QGuiApplication::primaryScreen()->geometry().contains(frameOnScreen(panel)));
        QVERIFY(panel.setRoute(QStringLiteral("1"), 1));
        frame.speedBox()->setValue(60);
        frame.intervalBox()->setValue(1);
        QTest::mouseClick(frame.startButton(), Qt::LeftButton);
        QCOMPARE(app_->ride()->state(), q47::RideState::Running);
        QVERIFY(!frame.startButton()->isEnabled() && frame.pauseButton()->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(panel.route().CurStopPos >= 1, 10000);

        QTest::mouseClick(frame.pauseButton(), Qt::LeftButton);
        QCOMPARE(app_->ride()->state(), q47::RideState::Paused);
        const int paused = panel.route().CurStopPos;
        QTest::qWait(300);
        QCOMPARE(panel.route().CurStopPos, paused);
        QTest::mouseClick(panel.stepButtons()->stepButton(1), Qt::LeftButton);
        QCOMPARE(panel.route().CurStopPos, paused + 1);
        QCOMPARE(app_->ride()->ride()->stop(), paused + 2);

        QTest::mouseClick(frame.stopButton(), Qt::LeftButton);
        QCOMPARE(app_->ride()->state(), q47::RideState::Idle);
        QVERIFY(frame.startButton()->isEnabled() && !frame.pauseButton()->isEnabled());
        panel.showRideFrame(false);
        QCOMPARE(panel.size(), designed);
    }
};

QTEST_MAIN(TestDrive)
#include "test_drive.moc"
