#include "gtfsdialog.h"
#include "gtfsfixture.h"
#include "modelboard.h"
#include "optionsrig.h"
#include "panelcontrol.h"
#include "recordingsound.h"
#include "timetable.h"

#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace q47;
using namespace q47::gtfs;

class TestGtfsDialog : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // From the options' button to the board: the sample's loop imported as route 7 stands on
    // the panel's lists, "リセット" sets it, and four steps on the cells show the fares from
    // the first stop of each ticket number's section.
    void importedRouteIsSetOnThePanelAtOnce() {
        QTemporaryDir folder;
        OptionsRig rig;
        rig.settings.setText(setting::DataFolder, folder.path());
        rig.settings.setText(setting::SoundFolder, folder.path());
        rig.options.buildPages();
        GtfsImportDialog *dialog = rig.options.importGtfs();

        QSignalSpy loaded(dialog, &GtfsImportDialog::loaded);
        dialog->openFeed(test::sampleFeed());
        QVERIFY(dialog->loading());
        QVERIFY(loaded.wait(20000));
        QVERIFY(loaded.at(0).at(0).toBool());
        QCOMPARE(dialog->routes().size(), size_t(3));
        dialog->selectRoute(1);
        QCOMPARE(dialog->routes()[1].patterns.size(), size_t(1));
        QCOMPARE(dialog->patternList()->item(0)->text(),
                 QStringLiteral("駅前 → 駅前（8停留所、3便）"));
        QTableWidget *preview = dialog->preview();
        QCOMPARE(preview->rowCount(), 8);
        QCOMPARE(preview->item(4, 1)->text(), QStringLiteral("灯台"));
        QCOMPARE(preview->item(4, 2)->text(), QStringLiteral("とうだい"));
        QCOMPARE(preview->item(4, 3)->text(), QStringLiteral("4"));

        dialog->setRoute(7);
        // What a killed import left is tidied before this one writes.
        const QString stray = QDir(folder.path()).filePath(QStringLiteral(".7.hy3.q47tmp.Ab12Cd"));
        QVERIFY(test::writeFeed(folder.path(), {{QFileInfo(stray).fileName(), "half a route"}}));
        QSignalSpy imported(dialog, &GtfsImportDialog::imported);
        QVERIFY(dialog->importPattern());
        QCOMPARE(imported.count(), 1);
        QVERIFY(!QFileInfo::exists(stray));
        QCOMPARE(rig.panelState.routeText(EntryPane::Lists), QStringLiteral("00007"));
        QCOMPARE(rig.panelState.startSection(EntryPane::Lists), 1);

        ModelBoard board(rig.model);
        RecordingSound sound;
        QStringList log;
        FakeRuntime runtime(log);
        PanelControl panel(rig.panelState, board, rig.settings, sound, rig.host, runtime);
        panel.setRouteFrom(EntryPane::Lists);
        QCOMPARE(panel.session().route().StopCount, qint16(8));
        for (int i = 0; i < 4; ++i)
            panel.step(1);
        const int cells[] = {230, 200, 170, 170, 0, 0};
        for (int k = 1; k <= 6; ++k)
            QCOMPARE(rig.model.content().cells[size_t(k)].toInt(), cells[k - 1]);
        // Greeting, each stop's "次は" and "まもなく" after the first, the terminal's words.
        QCOMPARE(panel.tape().count(), 16);
    }

    // A trip needing 52 ticket numbers, read with Enter in the path field: the range is set to
    // the cut the import proposes, the number to the first free one, and an existing route is
    // overwritten only when the question says so.
    void longTripIsCutAndAnExistingRouteAsksFirst() {
        QTemporaryDir folder, feed;
        QByteArray stops = "stop_id,stop_name,zone_id\n", times = "trip_id,stop_id,stop_sequence\n",
                   rules = "fare_id,origin_id\n", prices = "fare_id,price\n";
        for (int i = 1; i <= 53; ++i) {
            stops += QStringLiteral("S%1,停留所%1,Z%1\n").arg(i).toUtf8();
            times += QStringLiteral("T1,S%1,%1\n").arg(i).toUtf8();
            rules += QStringLiteral("F%1,Z%1\n").arg(i).toUtf8();
            prices += QStringLiteral("F%1,%2\n").arg(i).arg(100 + i).toUtf8();
        }
        QVERIFY(test::writeFeed(feed.path(), {{"stops.txt", stops},
                                              {"stop_times.txt", times},
                                              {"fare_rules.txt", rules},
                                              {"fare_attributes.txt", prices},
                                              {"routes.txt", "route_id\nR1\n"},
                                              {"trips.txt", "trip_id,route_id\nT1,R1\n"}}));
        QVERIFY(test::writeFeed(folder.path(), {{"1.hy3", "mine"}, {"2.hy3", "mine"}}));
        GtfsImportDialog dialog(folder.path(), folder.path());
        QCOMPARE(dialog.route(), 3);

        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QSignalSpy loaded(&dialog, &GtfsImportDialog::loaded);
        dialog.pathField()->setText(feed.path());
        // Whatever window Enter opened instead of reading the feed is closed and told.
        QString opened;
        QTimer::singleShot(200, &dialog, [&opened] {
            if (QWidget *w = QApplication::activeModalWidget()) {
                opened = w->windowTitle();
                w->close();
            }
        });
        QTest::keyClick(dialog.pathField(), Qt::Key_Return);
        QVERIFY(dialog.loading());
        QVERIFY(loaded.wait(20000));
        QCOMPARE(opened, QString());
        QCOMPARE(dialog.firstStop()->currentData().toInt(), 1);
        QCOMPARE(dialog.lastStop()->currentData().toInt(), 51);
        QCOMPARE(dialog.lastStop()->count(), 53);
        QTableWidget *preview = dialog.preview();
        QCOMPARE(preview->rowCount(), 51);
        QCOMPARE(preview->item(49, 3)->text(), QStringLiteral("50"));
        QVERIFY(dialog.messages()->toPlainText().contains(
            QStringLiteral("the range is set to stops 1 to 51")));
        QVERIFY(dialog.canImport());
        dialog.selectRange(50, 52); // the rest, as another route
        QCOMPARE(preview->rowCount(), 3);
        QCOMPARE(preview->item(2, 1)->text(), QStringLiteral("停留所53"));

        dialog.setRoute(1);
        const QString route = QDir(folder.path()).filePath(QStringLiteral("1.hy3"));
        QString asked;
        const auto answer = [&](QMessageBox::StandardButton button) {
            QTimer::singleShot(0, [&asked, button] {
                auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
                QVERIFY(box);
                asked = box->text();
                box->button(button)->click();
            });
        };
        answer(QMessageBox::No);
        QVERIFY(!dialog.importPattern());
        QVERIFY(asked.contains(QStringLiteral("1.hy3")));
        QCOMPARE(test::readFile(route), QByteArray("mine"));
        answer(QMessageBox::Yes);
        QVERIFY(dialog.importPattern());
        QCOMPARE(decodeRouteFile(test::readFile(route)).stops.size(), size_t(3));
        QVERIFY(QFileInfo::exists(QDir(folder.path()).filePath(QStringLiteral("1.route.json"))));
        // The timetable is cut to the dialog's range with the route.
        const Result<Timetable> timetable =
            loadTimetable(QDir(folder.path()).filePath(QStringLiteral("1.timetable.csv")));
        QVERIFY(timetable);
        QCOMPARE(timetable->stops.size(), size_t(3));
    }

    // A folder that is no feed says which file is missing, and offers nothing to import.
    void aFolderThatIsNoFeedNamesTheMissingFile() {
        QTemporaryDir folder, feed;
        QVERIFY(test::writeFeed(feed.path(), {{"stops.txt", "stop_id,stop_name\nA,駅前\n"}}));
        GtfsImportDialog dialog(folder.path(), folder.path());
        QSignalSpy loaded(&dialog, &GtfsImportDialog::loaded);
        dialog.openFeed(feed.path());
        QVERIFY(loaded.wait(20000));
        QVERIFY(!loaded.at(0).at(0).toBool());
        QVERIFY(dialog.messages()->toPlainText().contains(
            QStringLiteral("stop_times.txt: error: stop_times.txt is missing")));
        QVERIFY(dialog.routes().empty());
        QVERIFY(!dialog.canImport());
    }
};

QTEST_MAIN(TestGtfsDialog)
#include "test_gtfsdialog.moc"
