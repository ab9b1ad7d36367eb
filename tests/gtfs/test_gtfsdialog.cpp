#include "gtfsdialog.h"
#include "gtfsfixture.h"
#include "modelboard.h"
#include "optionsrig.h"
#include "panelcontrol.h"
#include "recordingsound.h"

#include <QFileInfo>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

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
        rig.options.Form_Load();
        auto *button = rig.options.findChild<QPushButton *>(QStringLiteral("cmdGtfsImport"));
        QVERIFY(button);
        button->click();
        auto *dialog = rig.options.findChild<GtfsImportDialog *>();
        QVERIFY(dialog);

        QSignalSpy loaded(dialog, &GtfsImportDialog::loaded);
        dialog->openFeed(test::sampleFeed());
        QVERIFY(dialog->loading());
        QVERIFY(loaded.wait(20000));
        QVERIFY(loaded.at(0).at(0).toBool());
        QCOMPARE(dialog->routeList()->count(), 2);
        dialog->selectRoute(1);
        QCOMPARE(dialog->patternList()->count(), 1);
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
        dialog->importButton()->click();
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
        QCOMPARE(panel.tape().TapeCount(), 9);
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
        QCOMPARE(dialog.routeList()->count(), 0);
        QVERIFY(!dialog.importButton()->isEnabled());
    }
};

QTEST_MAIN(TestGtfsDialog)
#include "test_gtfsdialog.moc"
