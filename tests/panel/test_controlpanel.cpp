#include "boardmodel.h"
#include "controlpanel.h"
#include "cp932.h"
#include "desktoppanel.h"
#include "fakepanel.h"
#include "fakespeech.h"
#include "fonts.h"
#include "ledboard.h"
#include "panelwidgets.h"
#include "recordingsound.h"
#include "routedata.h"
#include "settingsstore.h"
#include "ticketplugin.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace q47;

namespace {

// A panel with the board's model and the LED board showing it, its settings and a folder
// holding route 1 (three stops).
struct Rig {
    explicit Rig(bool realHost = false)
        : panel(model, state, settings, sound, realHost ? nullptr : &host, &runtime,
                [this] { return std::make_unique<FakeSpeech>(speech); }) {
        settings.setText(setting::DataFolder, dir.path());
        std::vector<StopRecord> stops(3);
        const qint16 fares[3] = {170, 200, 230};
        for (int i = 0; i < 3; ++i) {
            stops[static_cast<size_t>(i)].StopName = QStringLiteral("停留所%1").arg(i + 1);
            stops[static_cast<size_t>(i)].setDataCol(1, fares[i]);
        }
        writeRoute(QStringLiteral("1.hy3"), stops);
    }
    void writeRoute(const QString &name, const std::vector<StopRecord> &stops) {
        QFile f(dir.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(encodeRouteFile(stops));
    }
    void press(std::initializer_list<int> keys) {
        for (int key : keys)
            panel.pressKeypad(key);
    }
    void setRouteOne() {
        press({KeypadEntry::kRouteKey, 1, KeypadEntry::kSectionKey, 1});
        panel.setEnteredRoute(1);
    }
    const BoardContent &shown() const { return model.content(); }

    QTemporaryDir dir;
    SettingsStore settings{QDate(2026, 12, 7)};
    BoardModel model;
    LedBoard board{model};
    PanelState state;
    RecordingSound sound;
    QStringList log;
    FakeRuntime runtime{log};
    FakeHost host;
    QStringList speech;
    ControlPanel panel;
};

// Runs `action`, lets `look` see the modal box it opens, then accepts the box.
template <typename Action> void whileModal(Action action, std::function<void(QWidget *)> look) {
    QTimer::singleShot(0, [look] {
        QWidget *w = QApplication::activeModalWidget();
        QVERIFY(w);
        look(w);
        qobject_cast<QDialog *>(w)->accept();
    });
    action();
}

} // namespace

class TestControlPanel : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { installFontSubstitutes(); }

    void isAFixedWindowWithoutMaximise() {
        Rig r;
        r.panel.show();
        QCOMPARE(r.panel.size(), QSize(353, 173));
        QCOMPARE(r.panel.minimumSize(), r.panel.maximumSize());
        QVERIFY(!(r.panel.windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(r.panel.windowFlags() & Qt::WindowMinimizeButtonHint);
        QVERIFY(r.panel.windowFlags() & Qt::WindowCloseButtonHint);
        r.panel.showMaximized();
        QCOMPARE(r.panel.size(), QSize(353, 173));
    }

    // Every list shows its scroll bar; a user scrolls to 9 and clicks it.
    void digitListsReachNineWithTheMouse() {
        Rig r;
        r.panel.sendPaneToBack(1); // the lists in front
        r.panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&r.panel));
        r.settings.setText(setting::RouteSound, QStringLiteral("/s/section.wav"));
        r.settings.setText(setting::ResetSound, QStringLiteral("/s/route.wav"));
        QList<QListWidget *> lists;
        for (int i = 0; i < 5; ++i)
            lists.append(r.panel.entryPanes()->routeDigitList(i));
        for (int i = 0; i < 3; ++i)
            lists.append(r.panel.entryPanes()->sectionDigitList(i));
        for (QListWidget *list : lists) {
            QScrollBar *bar = list->verticalScrollBar();
            QVERIFY2(bar->isVisible(), qPrintable(list->objectName()));
            bar->setValue(bar->maximum());
            const QRect nine = list->visualItemRect(list->item(9));
            QVERIFY2(nine.top() >= 0 && nine.bottom() < list->viewport()->height(),
                     qPrintable(list->objectName())); // wholly in view
            r.sound.clear();
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, nine.center());
            QCOMPARE(list->currentRow(), 9);
            const bool routeList = list->objectName().startsWith(QStringLiteral("List2"));
            QCOMPARE(r.sound.calls().size(), 1);
            QCOMPARE(r.sound.calls().first().path,
                     routeList ? QStringLiteral("/s/route.wav") : QStringLiteral("/s/section.wav"));
            QCOMPARE(r.sound.calls().first().channel, SoundChannel::S1);
        }
        QCOMPARE(r.state.routeText(EntryPane::Lists), QStringLiteral("99999"));
        QCOMPARE(r.state.startSection(EntryPane::Lists), 999);
    }

    void routeFromTheListsReadsTheFileWithoutLeadingZeros() {
        Rig r;
        std::vector<StopRecord> stops(2);
        stops[0].setDataCol(1, 150);
        r.writeRoute(QStringLiteral("12.hy3"), stops);
        const int digits[5] = {0, 0, 0, 1, 2};
        for (int i = 0; i < 5; ++i)
            r.panel.control().chooseRouteDigit(i, digits[i]);
        r.panel.setEnteredRoute(0);
        QVERIFY2(r.host.messages.isEmpty(), qPrintable(r.host.messages.join(u'|')));
        QCOMPARE(r.panel.route().RouteText, QStringLiteral("00012"));
        QCOMPARE(r.shown().cells[1], QVariant(150));
        QVERIFY(r.state.canStep());
    }

    void keypadFillsRouteAndSection() {
        Rig r;
        r.settings.setText(setting::ResetSound, QStringLiteral("/key.wav"));
        r.press({4}); // before any choice, digits go to the section
        QCOMPARE(r.state.keypad().sectionText(), QStringLiteral("4"));
        r.press({KeypadEntry::kRouteKey, 1, 2, 3, 4, 5, 6, KeypadEntry::kSectionKey, 0, 0, 7, 1});
        QCOMPARE(r.state.keypad().routeText(), QStringLiteral("12345"));
        QCOMPARE(r.state.keypad().sectionText(), QStringLiteral("007"));
        QCOMPARE(r.sound.calls().size(), 13);
        QCOMPARE(r.sound.calls().last().path, QStringLiteral("/key.wav"));
    }

    void refusalHasOnlyOkAndTheProgramsTitle() {
        Rig r(true);
        QMessageBox::Icon icon = QMessageBox::Critical;
        QMessageBox::StandardButtons buttons;
        QString title, text;
        QDir(r.dir.path()).mkdir(QStringLiteral("7.hy3"));
        r.press({KeypadEntry::kRouteKey, 7, KeypadEntry::kSectionKey, 1});
        whileModal([&] { r.panel.setEnteredRoute(1); },
                   [&](QWidget *w) {
                       auto *box = qobject_cast<QMessageBox *>(w);
                       QVERIFY(box);
                       icon = box->icon();
                       buttons = box->standardButtons();
                       title = box->windowTitle();
                       text = box->text();
                   });
        QCOMPARE(icon, QMessageBox::NoIcon);
        QCOMPARE(buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(title, programBaseName());
        QCOMPARE(text,
                 route_messages::unreadable(QDir(r.dir.path()).filePath(QStringLiteral("7.hy3")),
                                            route_messages::isFolder()));
    }

    void panesFlipOnADoubleClick() {
        Rig r;
        r.panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&r.panel));
        const QPoint spot(5, 100); // on the pane, off its controls
        auto inFront = [&](int pane) {
            const QWidget *top = r.panel.childAt(spot);
            return top == r.panel.entryPanes()->pane(pane) ||
                   r.panel.entryPanes()->pane(pane)->isAncestorOf(top);
        };
        QVERIFY(inFront(1)); // the keypad, created last, starts in front
        QTest::mouseDClick(r.panel.entryPanes()->pane(1), Qt::LeftButton, {},
                           r.panel.entryPanes()->pane(1)->mapFrom(&r.panel, spot));
        QCOMPARE(r.state.backPane(), qint16(1));
        QVERIFY(inFront(0));
        QTest::mouseDClick(r.panel.entryPanes()->pane(0), Qt::LeftButton, {},
                           r.panel.entryPanes()->pane(0)->mapFrom(&r.panel, spot));
        QCOMPARE(r.state.backPane(), qint16(0));
        QVERIFY(inFront(1));
    }

    // The clear greys the regions that would change the route or its stop, and only those.
    void displayClearAndRestore() {
        Rig r;
        r.setRouteOne();
        r.panel.stepStop(1);
        // The outermost disabled widgets in sight, by name.
        const auto greyed = [&r] {
            QStringList names;
            for (const QWidget *w : r.panel.findChildren<QWidget *>())
                if (!w->isEnabled() && w->parentWidget()->isEnabled() && w->isVisibleTo(&r.panel))
                    names << w->objectName();
            names.sort();
            return names;
        };
        const QStringList tapeOnly{QStringLiteral("grpM_Tape")};
        QCOMPARE(greyed(), tapeOnly); // no announcement list
        r.panel.control().setCleared(true);
        QCOMPARE(r.shown().cells[1], QVariant(QString()));
        QVERIFY(r.shown().stopName.isEmpty() && r.shown().cleared);
        QCOMPARE(greyed(), (QStringList{"Command2_0", "Command2_1", "Frame1_0", "Frame1_1",
                                        "Frame6", "grpM_Tape"}));
        r.panel.control().setCleared(false);
        QVERIFY(!r.shown().cleared);
        QCOMPARE(greyed(), tapeOnly);
        QCOMPARE(r.shown().cells[1], QVariant(200));
    }

    // Route 1 with an announcement list whose second and third entries are linked to the stop.
    void announcementButtonsSpeakAndLinkedEntriesStep() {
        Rig r;
        r.panel.start();
        TapeGroup *group = r.panel.tapeGroup();
        QCOMPARE(group->title(), QStringLiteral("音合使用可"));
        QVERIFY(group->isEnabled() && !r.state.tapeButtonsEnabled());
        r.settings.setText(setting::SoundFolder, r.dir.path() + QLatin1Char('/'));
        QFile list(r.dir.filePath(QStringLiteral("1tp.csv")));
        QVERIFY(list.open(QIODevice::WriteOnly));
        list.write(
            toCp932(QStringLiteral("発車します,0,0\r\n次は停留所2,1,0\r\n終点です,1,0\r\n")));
        list.close();
        r.setRouteOne();
        QVERIFY(r.state.canAnnounce());

        PanelControl &control = r.panel.control();
        control.announceNext();
        QCOMPARE(r.panel.route().CurStopPos, 0);
        r.speech.clear();
        control.announceNext(); // spoken first, then the stop steps with its own sound
        QCOMPARE(r.speech.last(), QStringLiteral("speak 次は停留所2"));
        QCOMPARE(r.panel.route().CurStopPos, 1);
        control.announceNext();
        control.announceNext(); // the end of the list: nothing spoken, the link still read
        QCOMPARE(r.panel.route().CurStopPos, 2);
        control.announceBack();
        QCOMPARE(r.panel.route().CurStopPos, 1);
        r.speech.clear();
        control.stopAnnouncement();
        control.adjustVoice();
        QCOMPARE(r.speech,
                 (QStringList{QStringLiteral("stop"), QStringLiteral("settings 音声の調節")}));

        control.setCleared(true);
        QVERIFY(!group->isEnabled());
        control.setCleared(false);
        QVERIFY(group->isEnabled());
    }

    void scrollSettingsReachTheBoard() {
        Rig r;
        r.state.setScrollInterval(1500);
        QCOMPARE(r.shown().nameLook.scrollSpeed, qint16(1));
        QCOMPARE(r.shown().nameLook.scrollStartWait, 1500);
        r.state.setScrollSpeed(300);
        QCOMPARE(r.shown().nameLook.scrollSpeed, qint16(300));
        QCOMPARE(r.shown().nameLook.scrollStartWait, 1500);
    }

    void lateNightSwitchReachesTheFares() {
        Rig r;
        r.state.setLateNight(true);
        r.setRouteOne();
        QCOMPARE(r.shown().cells[1], QVariant(340));
    }

    void exitAnsweredNoChangesNothing() {
        Rig r;
        r.setRouteOne();
        r.host.answerYes = false;
        QVERIFY(!r.panel.close());
        QVERIFY(r.sound.calls().isEmpty() || !r.sound.calls().last().close);
        QCOMPARE(r.host.ended, 0);
        QVERIFY(!r.shown().stopName.isEmpty()); // the stop's name stays
        r.host.answerYes = true;
        QVERIFY(r.panel.confirmExit());
        QVERIFY(r.sound.calls().last().close);
        QCOMPARE(r.host.ended, 1);
        QVERIFY(r.shown().stopName.isEmpty());
    }

    void aboutBoxShowsTheModelAndTheYear() {
        Rig r;
        r.runtime.day = QDate(2031, 1, 2);
        QSignalSpy opened(&r.panel, &ControlPanel::dialogOpened);
        bool boardsWait = false;
        QString text;
        whileModal([&] { r.panel.showAbout(); },
                   [&](QWidget *box) {
                       boardsWait = opened.size() == 1 && opened.last().first().toBool();
                       text = box->findChild<QLabel *>(QStringLiteral("aboutText"))->text();
                   });
        QVERIFY(boardsWait);
        QVERIFY(!opened.last().first().toBool());
        QVERIFY(text.contains(QStringLiteral("バージョン：" Q47_VERSION)));
        QVERIFY(text.contains(QStringLiteral("2031")));
    }

    // ON1 on the built-in pictures, then on a user file that is missing (nothing changes, no
    // message) and that then exists (drawn from the top-left, grey around it).
    void backlightOn1TakesItsColourWhateverThePicture() {
        Rig r;
        r.settings.setColour(setting::LabelColourOn1, 0x0080FF);
        r.panel.switchBacklight(1);
        QCOMPARE(r.board.Picture(), r.board.backlightFace(1));

        const QString file = r.dir.filePath(QStringLiteral("on1.png"));
        r.settings.setText(setting::On1PanelFile, file);
        r.settings.select(setting::PanelsOneByOne);
        r.settings.select(setting::On1PanelUser);
        r.panel.switchBacklight(0);
        r.panel.switchBacklight(1);
        QCOMPARE(r.board.Picture(), r.board.backlightFace(0));
        QVERIFY(r.host.errors.isEmpty());
        QCOMPARE(r.shown().labels.colour, QColor(0xFF, 0x80, 0x00));

        QImage red(100, 50, QImage::Format_RGB32);
        red.fill(Qt::red);
        QVERIFY(red.save(file));
        r.panel.switchBacklight(1);
        QCOMPARE(r.board.Picture().size(), QSize(100, 50));
        const QImage shown = r.board.grab().toImage();
        // Spots clear of the cells and the name column.
        QCOMPARE(shown.pixel(99, 20), qRgb(255, 0, 0));
        QCOMPARE(shown.pixel(20, 49), qRgb(255, 0, 0));
        QCOMPARE(shown.pixel(100, 20), LedBoard::kBackground);
        QCOMPARE(shown.pixel(20, 50), LedBoard::kBackground);
        QVERIFY(r.host.errors.isEmpty());
    }

    // ON2 on a text file named like a picture: the error, the picture unchanged, and the
    // labels in ON2's colour all the same.
    void backlightOn2WithANonPictureTellsTheError() {
        Rig r;
        r.settings.setColour(setting::LabelColourOn2, 0xFF0000);
        r.settings.select(setting::PanelsOneByOne);
        r.settings.select(setting::On2PanelUser);
        QFile text(r.dir.filePath(QStringLiteral("on2.bmp")));
        QVERIFY(text.open(QIODevice::WriteOnly) && text.write("not a picture\n") > 0 &&
                text.flush());
        r.settings.setText(setting::On2PanelFile, text.fileName());
        const QImage before = r.board.Picture();
        r.panel.switchBacklight(2);
        QCOMPARE(
            r.host.errors,
            (QList<std::pair<QString, QString>>{
                {QStringLiteral("エラー"),
                 QStringLiteral("エラーです。\n\nエラーコード：481"
                                "　指定した画像の内容が不正です。この部分では扱えません。")}}));
        QCOMPARE(r.board.Picture(), before);
        QCOMPARE(r.shown().labels.colour, QColor(0x00, 0x00, 0xFF));
    }

    // ">>" opens the strip and "<<" closes it again, whatever the number of times and the size
    // of the ticket; the ticket is seen whole, the company list below it.
    void previewStripOpensAndCloses() {
        Rig rig;
        const int closed = rig.panel.width();
        const QPushButton *toggle = rig.panel.previewButton();
        for (int round = 0; round < 2; ++round) {
            rig.state.setPreviewOpen(true);
            QCOMPARE(toggle->text(), QStringLiteral("<<"));
            QCOMPARE(rig.panel.width(), twipsRect(0, 0, 8910, 0).width());
            rig.state.setPreviewOpen(false);
        }
        QCOMPARE(rig.panel.width(), closed);
        QCOMPARE(toggle->text(), QStringLiteral(">>"));
        QCOMPARE(toggle->toolTip(), QStringLiteral("整理券プレビューを開きます"));

        rig.panel.describeTicket(QSize(240, 160), {});
        rig.state.setPreviewOpen(true);
        PreviewStrip *strip = rig.panel.previewStrip();
        PictureBox *picture = strip->ticketPicture();
        const QRect ticket = picture->geometry().translated(strip->pos());
        const QRect list = strip->findChild<QComboBox *>()->geometry().translated(strip->pos());
        QCOMPARE(ticket.size(), QSize(240, 160));
        QVERIFY(rig.panel.rect().contains(ticket) && rig.panel.rect().contains(list));
        QVERIFY(list.top() > ticket.bottom());

        // The right button offers the copy even on a blank ticket; the left one offers nothing.
        QApplication::clipboard()->clear();
        QTest::mouseClick(picture, Qt::LeftButton);
        QVERIFY(!QApplication::activePopupWidget());
        QString offered;
        QTimer::singleShot(0, [&] {
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            QVERIFY(menu);
            offered = menu->actions().value(0)->text();
            menu->actions().value(0)->trigger();
            menu->close();
        });
        QTest::mousePress(picture, Qt::RightButton);
        QCOMPARE(offered, QStringLiteral("コピー(&C)"));
        const QImage copied = QApplication::clipboard()->image();
        QCOMPARE(copied.size(), QSize(240, 160) * strip->devicePixelRatioF());
        QCOMPARE(copied.convertToFormat(QImage::Format_RGB32).pixel(10, 10), qRgb(255, 255, 255));

        rig.state.setPreviewOpen(false);
        QCOMPARE(rig.panel.size(),
                 twipsRect(0, 0, ControlPanel::kClientWidthTwips, ControlPanel::kClientHeightTwips)
                     .size());
    }

    // With the preview in use every stop draws its ticket; another company shows only when
    // the stop is shown again, and with the preview off the picture is still wiped.
    void ticketFollowsTheStops() {
        Rig rig;
        const QString plugin = QStringLiteral(Q47_SAMPLES "/plugins/full.4SP");
        rig.settings.setFlag(setting::UsePreview, 1);
        rig.settings.setText(setting::PluginFile, plugin);
        rig.panel.describeTicket(QSize(226, 112), ticketPluginCompanies(plugin));
        const auto ticket = [&rig] {
            rig.panel.copyTicket();
            return QApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32);
        };
        QImage blank = ticket();
        blank.fill(Qt::white);
        rig.setRouteOne();
        const QImage first = ticket();
        QVERIFY(first != blank);
        rig.panel.chooseTicketCompany(2);
        QCOMPARE(ticket(), first);
        rig.panel.stepStop(1);
        rig.panel.stepStop(0);
        const QImage other = ticket();
        QVERIFY(other != first && other != blank);
        rig.settings.setFlag(setting::UsePreview, 0);
        rig.panel.stepStop(1);
        QCOMPARE(ticket(), blank);
    }

    // Digits and Enter set a route, the arrows step it, whichever control has the focus.
    void keysDriveThePanel() {
        Rig rig;
        rig.panel.show();
        rig.panel.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&rig.panel));
        rig.panel.entryPanes()->routeDigitList(0)->setFocus();
        for (int key : {Qt::Key_1, Qt::Key_Return, Qt::Key_1, Qt::Key_Enter})
            QTest::keyClick(&rig.panel, Qt::Key(key));
        QCOMPARE(rig.panel.route().StopCount, qint16(3));
        QTest::keyClick(&rig.panel, Qt::Key_Right);
        QTest::keyClick(&rig.panel, Qt::Key_Space);
        QCOMPARE(rig.panel.route().CurStopPos, qint16(2));
        QTest::keyClick(&rig.panel, Qt::Key_Left);
        QCOMPARE(rig.panel.route().CurStopPos, qint16(1));
    }

    void optionsDialogIsModalOverBothWindows() {
        Rig r;
        QDialog options;
        QObject::connect(&r.panel, &ControlPanel::optionsWanted, &options, &QDialog::exec);
        QSignalSpy opened(&r.panel, &ControlPanel::dialogOpened);
        bool bothWait = false;
        whileModal([&] { r.panel.showOptions(); },
                   [&](QWidget *) {
                       bothWait = !r.panel.isEnabled() && opened.size() == 1 &&
                                  opened.last().first().toBool();
                   });
        QVERIFY(bothWait);
        QVERIFY(r.panel.isEnabled() && !opened.last().first().toBool());
    }
};

QTEST_MAIN(TestControlPanel)
#include "test_controlpanel.moc"
