#include "commondialogs.h"
#include "fakepanel.h"
#include "optionsdialog.h"
#include "optionsrig.h"
#include "optionstates.h"
#include "segmentcell.h"
#include "seirikennum.h"
#include "settingsstore.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace q47;

namespace {

using Rig = OptionsRig;

// Runs `action` while the modal dialog it opens is answered by `answer`.
void answering(const std::function<void()> &action, const std::function<void(QDialog *)> &answer) {
    QTimer::singleShot(0, [answer] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        answer(dialog);
    });
    action();
}

} // namespace

class TestOptionsDialog : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // On a fresh start no font option is chosen, and "OK" hands that on as it is.
    void okOnAFreshStartPassesNoFontMode() {
        Rig rig;
        rig.options.applyAndClose();
        QCOMPARE(rig.model.content().nameLook.fontMode, qint16(-1));
        QVERIFY(!rig.options.isVisible());
    }

    // A colour chosen on the digit page shows in the preview at once and on the board only
    // after "OK", with the label colour of the panel's backlight row and the other looks; the
    // panel is asked for its backlight again.
    void lookReachesTheBoardOnlyThroughOk() {
        Rig rig;
        rig.options.buildPages();
        SettingsStore &s = rig.settings;
        const BoardContent &board = rig.model.content();
        const OleColor start = board.digits.lit;
        s.setColour(setting::DigitLit, 0x0000FF);
        QCOMPARE(rig.options.digitPreview()->DigitForeColor(), OleColor(0x0000FF));
        QCOMPARE(board.digits.lit, start);

        s.setFlag(setting::ShowLabels, 1);
        s.setListIndex(setting::LabelStyle, 2);
        s.setColour(setting::LabelColourOn1, 0x00FF00);
        s.setColour(setting::NameDots, 0x123456);
        s.setListIndex(setting::NameFont, 3);
        s.setFlag(setting::NameBold, 1);
        rig.panelState.setBacklight(1);
        QSignalSpy backlight(&rig.options, &OptionsDialog::backlightOptionsApplied);
        rig.options.applyAndClose();
        QCOMPARE(backlight.count(), 1);

        QCOMPARE(board.digits.lit, OleColor(0x0000FF));
        QVERIFY(board.labels.shown);
        QCOMPARE(board.labels.colour, QColor(Qt::green));
        QCOMPARE(board.labels.texts[1], *seirikenNumbering(2, false).label1Word);
        QCOMPARE(board.nameLook.dots, OleColor(0x123456));
        QCOMPARE(board.nameLook.fontMode, qint16(3));
        QVERIFY(board.nameLook.bold);
    }

    // Changes made before the pages exist are what the pages show once built; afterwards the
    // pages follow the store both ways.
    void pagesFollowTheStore() {
        Rig rig;
        SettingsStore &s = rig.settings;
        s.setFlag(setting::ShowLabels, 1);
        s.select(setting::PanelsOneByOne);
        s.setListIndex(setting::InfoDataColumn, 149);
        QVERIFY(!rig.options.pagesBuilt());
        rig.options.buildPages();
        auto *frame3 = rig.options.findChild<QGroupBox *>(QStringLiteral("Frame3"));
        QVERIFY(frame3->isEnabled());
        QVERIFY(!rig.options.findChild<QGroupBox *>(QStringLiteral("Frame6(2)"))->isHidden());
        QCOMPARE(rig.options.findChild<QComboBox *>(QStringLiteral("Combo4(4)"))->currentText(),
                 QStringLiteral("150"));
        QCOMPARE(rig.options.findChild<QComboBox *>(QStringLiteral("Combo2"))->count(), 12);

        auto *check1 = rig.options.findChild<QCheckBox *>(QStringLiteral("Check1"));
        QTest::mouseClick(check1, Qt::LeftButton, {}, QPoint(5, check1->height() / 2));
        QCOMPARE(s.flag(setting::ShowLabels), 0);
        QVERIFY(!frame3->isEnabled());
        s.setFlag(setting::ShowDataColumn, 1);
        QVERIFY(rig.options.findChild<QComboBox *>(QStringLiteral("Combo4(3)"))->isEnabled());
    }

    // Every setting has one control, on the page the catalogue puts it on; a box clicked there
    // reaches the store.
    void everySettingStandsOnItsPage() {
        Rig rig;
        rig.options.buildPages();
        for (int slot = 0; slot < kSettingCount; ++slot) {
            const SettingRow &row = kSettingCatalogue[size_t(slot)];
            const QList<QWidget *> found = rig.options.findChildren<QWidget *>(controlName(slot));
            QVERIFY2(found.size() == 1, row.name);
            QVERIFY2(rig.options.pages()->widget(row.page)->isAncestorOf(found.first()), row.name);
            auto *box = qobject_cast<QCheckBox *>(found.first());
            if (!box || !box->isEnabled())
                continue;
            rig.options.showPage(row.page);
            const QVariant was = rig.settings.value(slot);
            QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, box->height() / 2));
            QVERIFY2(rig.settings.value(slot) != was, row.name);
        }
    }

    void dateDialogSetsTheFixedDate() {
        Rig rig;
        rig.settings.setText(setting::FixedDate, QStringLiteral("987/03/07"));
        answering([&] { rig.options.chooseFixedDate(); },
                  [](QDialog *d) {
                      auto *calendar = d->findChild<QCalendarWidget *>();
                      QCOMPARE(calendar->selectedDate(), QDate(987, 3, 7));
                      calendar->setSelectedDate(QDate(987, 3, 5));
                      d->accept();
                  });
        QCOMPARE(rig.settings.text(setting::FixedDate), QStringLiteral("987/03/05"));
    }

    // Every file, folder, colour and date choice that is cancelled leaves its setting alone.
    void cancelledChoicesChangeNothing() {
        Rig rig;
        OptionsDialog &o = rig.options;
        SettingsStore &s = rig.settings;
        const auto cancel = [](QDialog *d) { d->reject(); };
        s.setText(setting::DataFolder, QStringLiteral("/data"));
        s.setText(setting::PreSoundFile, QStringLiteral("/a.wav"));
        const QList<std::function<void()>> choices = {
            [&] { o.chooseDataFolder(0); },
            [&] { o.choosePanelPicture(1); },
            [&] { o.chooseSound(setting::PreSoundFile); },
            [&] { o.chooseFixedDate(); },
            [&] { o.chooseColour(setting::DigitBack); },
            [&] { o.chooseColour(setting::NameDots); },
        };
        const auto before = [&] {
            QVariantList values;
            for (int slot = 0; slot < kSettingCount; ++slot)
                values.append(s.value(slot));
            return values;
        };
        const QVariantList start = before();
        const CustomColourTable colours = o.customColours();
        for (const auto &choose : choices)
            answering(choose, cancel);
        QCOMPARE(before(), start);
        QVERIFY(o.customColours() == colours);
    }

    // A plug-in is described on the preview page and tells the panel its ticket's size and
    // companies; a file that is none changes nothing, and removing the plug-in tells the panel
    // nothing.
    void pluginDescriptionAndRemoval() {
        Rig rig;
        OptionsDialog &o = rig.options;
        QSignalSpy described(&o, &OptionsDialog::ticketDescribed);
        QVERIFY(o.describePlugin(QStringLiteral(Q47_SAMPLES "/plugins/plain.4SP")));
        QCOMPARE(o.pluginLines().size(), 6);
        QCOMPARE(described.count(), 1);
        QCOMPARE(described.last().at(1).toStringList().size(), 0);
        QVERIFY(o.describePlugin(QStringLiteral(Q47_SAMPLES "/plugins/full.4SP")));
        QCOMPARE(o.pluginLines().size(), 10);
        QCOMPARE(described.last().at(0).toSize(), QSize(226, 112));
        QCOMPARE(described.last().at(1).toStringList().size(), 3);
        const QString comment = o.pluginComment();
        QVERIFY(!comment.isEmpty());

        QVERIFY(!o.describePlugin(QStringLiteral(Q47_SAMPLES "/data/1.hy3")));
        QVERIFY(!o.describePlugin(QString()));
        QCOMPARE(o.pluginLines().size(), 10);
        QCOMPARE(o.pluginComment(), comment);

        rig.settings.setText(setting::PluginFile, QStringLiteral("x.4SP"));
        o.removePlugin();
        QVERIFY(rig.settings.text(setting::PluginFile).isEmpty());
        QVERIFY(o.pluginLines().isEmpty() && o.pluginComment().isEmpty());
        QCOMPARE(described.count(), 2);
    }

    // The folder buttons open only a folder that is there, and never complain.
    void openFolderOnlyWhenItExists() {
        Rig rig;
        QList<QUrl> opened;
        rig.options.setFolderOpener([&](const QUrl &url) {
            opened.append(url);
            return false;
        });
        QTemporaryDir dir;
        rig.options.openDataFolder(0); // empty
        rig.settings.setText(setting::DataFolder, dir.path() + QStringLiteral("/gone"));
        rig.options.openDataFolder(0);
        rig.settings.setText(setting::SoundFolder, dir.path());
        rig.options.openDataFolder(1);
        QCOMPARE(opened, QList<QUrl>{QUrl::fromLocalFile(dir.path())});
        QVERIFY(rig.host.errors.isEmpty());
    }

    // A file chosen that is no plug-in is refused with all its faults, each with its line, and
    // not kept.
    void pluginRefusedWithItsFaults() {
        Rig rig;
        OptionsDialog &o = rig.options;
        QTemporaryDir dir;
        QFile bad(dir.filePath(QStringLiteral("bad.4SP")));
        QVERIFY(bad.open(QIODevice::WriteOnly) &&
                bad.write("Q47 ticket plug-in 1\n[ticket]\nsize = 100 x 50\ncolour = red\n") > 0);
        bad.close();
        answering([&] { o.choosePlugin(); },
                  [&](QDialog *dialog) {
                      auto *files = qobject_cast<QFileDialog *>(dialog);
                      QVERIFY(files);
                      files->selectFile(bad.fileName());
                      QMetaObject::invokeMethod(files, "accept");
                  });
        QCOMPARE(rig.host.errors,
                 (QList<std::pair<QString, QString>>{
                     {QStringLiteral("プラグインロードエラー"),
                      QStringLiteral("指定したファイルはプラグインでないか、内容が不正です\n\n"
                                     "bad.4SP:4: an unknown key or attribute (colour)")}}));
        QVERIFY(rig.settings.text(setting::PluginFile).isEmpty());
    }

    // The board choice offers both boards and tells which the user chose, the LCD settings
    // usable with the LCD board; the publish URL is told once it is typed, and not again.
    void boardChoiceAndPublishUrl() {
        Rig rig;
        rig.options.buildPages();
        auto *kind = rig.options.findChild<QComboBox *>(QStringLiteral("cboBoardKind"));
        auto *seconds = rig.options.findChild<QSpinBox *>(QStringLiteral("spnPageSeconds"));
        auto *url = rig.options.findChild<QLineEdit *>(QStringLiteral("txtPublishUrl"));
        QVERIFY(kind && seconds && url);
        QSignalSpy chosen(&rig.options, &OptionsDialog::boardChosen);
        QSignalSpy published(&rig.options, &OptionsDialog::publishUrlChosen);
        for (const lcd::BoardKind k :
             {lcd::BoardKind::Both, lcd::BoardKind::Led, lcd::BoardKind::Lcd}) {
            kind->setCurrentIndex(
                kind->findText(k == lcd::BoardKind::Both  ? QStringLiteral("LED式と液晶式")
                               : k == lcd::BoardKind::Lcd ? QStringLiteral("液晶式")
                                                          : QStringLiteral("LED式")));
            QCOMPARE(chosen.takeLast().at(0).value<lcd::BoardKind>(), k);
            QCOMPARE(seconds->isEnabled(), k != lcd::BoardKind::Led);
        }
        url->setText(QStringLiteral(" mqtt://exhibit/q47/bus1 "));
        Q_EMIT url->editingFinished();
        Q_EMIT url->editingFinished();
        QCOMPARE(published.size(), 1);
        QCOMPARE(published.at(0).at(0).toString(), QStringLiteral("mqtt://exhibit/q47/bus1"));
    }
};

QTEST_MAIN(TestOptionsDialog)
#include "test_optionsdialog.moc"
