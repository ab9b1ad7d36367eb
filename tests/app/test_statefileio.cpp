#include "controlpanel.h"
#include "fakepanel.h"
#include "ledboard.h"
#include "optionsdialog.h"
#include "optionsrig.h"
#include "optionstates.h"
#include "recordingsound.h"
#include "settingsstore.h"
#include "statefile.h"
#include "statefileio.h"

#include <QCheckBox>
#include <QFile>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace q47;

namespace {

// The options with the models, the board and the panel whose places the state file keeps, as
// start-up leaves them, and their state file.
struct Rig : OptionsRig {
    explicit Rig(const QString &path) : ini(model, board, panel, options, host, path) {}

    LedBoard board{model};
    RecordingSound sound;
    QStringList log;
    FakeRuntime runtime{log};
    ControlPanel panel{model, panelState, settings, sound, &host, &runtime};
    StateFileIo ini;
};

QByteArray readAll(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestStateFileIo : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString path(const QString &name) { return dir_.filePath(name); }

private Q_SLOTS:
    // No file: nothing restored, nothing said; the first exit writes one.
    void firstStartKeepsStartValuesAndTheExitWrites() {
        Rig rig(path(QStringLiteral("first.in4")));
        rig.ini.load();
        QVERIFY(rig.host.messages.isEmpty());
        QVERIFY(!rig.ini.restoredPositions());
        QCOMPARE(rig.settings.listIndex(setting::NameFont), -1);
        rig.ini.save();
        const QByteArray bytes = readAll(rig.ini.path());
        // Every text empty but the start-up date of the fixed ticket date.
        QCOMPARE(bytes.size(), kStateFileFixedSize + QByteArray("2026/12/07").size());
        QVERIFY(decodeState(bytes));
    }

    // What one run saved, the next run restores through the controls' own behaviour, firing
    // exactly the controls whose value differs from the start; saved again unchanged, the file
    // comes back byte for byte.
    void restoreThroughTheWindowsAndSaveAgainUnchanged() {
        const QString file = path(QStringLiteral("full.in4"));
        {
            Rig rig(file);
            SettingsStore &s = rig.settings;
            s.setFlag(setting::ShowLabels, 1);
            s.setListIndex(setting::LabelStyle, 7);
            s.select(setting::PanelsOneByOne);
            s.setFlag(setting::ShowDataColumn, 1);
            s.setListIndex(setting::InfoDataColumn, 149);
            s.setText(setting::StepSoundFile, QStringLiteral("/音/送り.wav"));
            s.setColour(setting::DigitLit, 0x00FF00);
            s.setListIndex(setting::NameFont, 2);
            rig.options.customColours()[16] = 0x123456;
            rig.model.setCellFormat(7, {0, 0, 2});
            rig.model.setCellFormat(50, {1, 0, 0});
            rig.panelState.setScrollSpeed(40);
            rig.panelState.setLateNight(true);
            rig.panelState.sendToBack(EntryPane::Keypad);
            rig.panel.move(300, 200);
            rig.board.move(15, 30);
            rig.ini.save();
        }
        const QByteArray saved = readAll(file);

        Rig rig(file);
        QSignalSpy changed(&rig.settings, &SettingsStore::changed);
        rig.ini.load();
        QVERIFY(rig.host.messages.isEmpty());
        QStringList keys;
        for (const QList<QVariant> &c : changed)
            keys.append(controlName(c[0].toInt()));
        keys.sort();
        QCOMPARE(keys,
                 QStringList({"Check1", "Check3(3)", "Combo2", "Combo3", "Combo4(4)", "Command8(2)",
                              "Option3(0)", "Option3(1)", "txtSelectSound(7)"}));
        const OptionStates &states = rig.options.states();
        QVERIFY(states.labelSettingsEnabled() && states.imageRowsShown());
        QVERIFY(states.dataColumnEnabled() && !states.stopOrderEnabled());
        QCOMPARE(rig.model.content().formats[7], (CellFormat{0, 0, 2}));
        QCOMPARE(rig.model.content().formats[50], (CellFormat{1, 0, 0}));
        QCOMPARE(rig.model.content().digits.lit, OleColor(0x00FF00));
        QCOMPARE(rig.model.content().nameLook.fontMode, qint16(2));
        QCOMPARE(rig.panelState.scrollSpeed(), 40);
        QVERIFY(rig.panelState.lateNight());
        QCOMPARE(rig.panelState.backPane(), qint16(1));
        QCOMPARE(rig.panel.pos(), QPoint(300, 200));
        QCOMPARE(rig.options.customColours()[16], 0x123456u);

        rig.ini.save();
        QCOMPARE(readAll(file), saved);
    }

    // Twips from a screen of another density (12 to the pixel) go back as they came.
    void positionsFromAnotherDensitySurvive() {
        const QString file = path(QStringLiteral("dpi.in4"));
        Rig(file).ini.save();
        StateRecords records = *decodeState(readAll(file));
        records.mainWindow = {1236, 612};
        records.controlPanel.leftTwips = 9996;
        QVERIFY(saveStateFile(file, encodeState(records)));
        const QByteArray saved = readAll(file);
        Rig rig(file);
        rig.ini.load();
        rig.ini.save();
        QCOMPARE(readAll(file), saved);
    }

    // A file that cannot be read is told, and kept as ".bad" before the next save replaces it.
    void unreadableFileIsToldAndKept() {
        const QString file = path(QStringLiteral("short.in4"));
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(100, '\0'));
        f.close();
        Rig rig(file);
        rig.ini.load();
        QCOMPARE(rig.host.messages.size(), 1);
        QVERIFY(rig.host.messages[0].startsWith(QStringLiteral("エラー Code:")));
        QVERIFY(rig.host.messages[0].endsWith(QStringLiteral("\nモジュール:mdlIniIo.LoadIni()")));
        rig.ini.save();
        QCOMPARE(readAll(file + QStringLiteral(".bad")), QByteArray(100, '\0'));
        QVERIFY(decodeState(readAll(file)));
    }

    // A stored list index outside its list stops the restore there, with the refusal told;
    // the exit keeps the refused file as it was before replacing it.
    void refusedValueStopsTheRestore() {
        StateRecords records;
        records.options[setting::ShowLabels.slot].number = 1;
        records.options[setting::LabelStyle.slot].number = 12;
        const QString file = path(QStringLiteral("refused.in4"));
        QVERIFY(saveStateFile(file, encodeState(records)));
        Rig rig(file);
        rig.ini.load();
        QCOMPARE(rig.host.messages.size(), 1);
        QVERIFY(rig.host.messages[0].startsWith(QStringLiteral("エラー Code:380\n内容:")));
        QCOMPARE(rig.settings.flag(setting::ShowLabels), 1);
        QVERIFY(!rig.ini.restoredPositions());
        const QByteArray refused = readAll(file);
        rig.ini.save();
        QCOMPARE(rig.host.messages.size(), 1);
        QCOMPARE(readAll(file + QStringLiteral(".bad")), refused);
        QVERIFY(readAll(file) != refused);
    }
};

QTEST_MAIN(TestStateFileIo)
#include "test_statefileio.moc"
