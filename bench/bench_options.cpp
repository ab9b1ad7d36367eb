// applyLook, the options' "OK": the board's labels, the fifty-two digit cells, the place-name
// display and the backlight re-applied. Once with new digit colours every time, so that every
// cell redraws, and once with nothing changed. Then the state file: save with its flush to
// the disk, and load with the values applied to the three windows.
#include "boardmodel.h"
#include "controlpanel.h"
#include "fakepanel.h"
#include "ledboard.h"
#include "optionsdialog.h"
#include "recordingsound.h"
#include "settingsstore.h"
#include "statefileio.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

struct Rig {
    q47::SettingsStore settings;
    q47::BoardModel model;
    q47::LedBoard board{model};
    q47::PanelState panelState;
    q47::OptionsDialog options{settings, model, panelState};
    q47::RecordingSound sound;
    QStringList log;
    q47::FakeRuntime runtime{log};
    q47::FakeHost host;
    q47::ControlPanel panel{model, panelState, settings, sound, &host, &runtime};
    QTemporaryDir dir;
    q47::StateFileIo ini{model,   board, panel,
                         options, host,  dir.filePath(QStringLiteral("Q47.in4"))};

    Rig() {
        QObject::connect(&options, &q47::OptionsDialog::backlightOptionsApplied, &panel,
                         &q47::ControlPanel::applyBacklight);
        settings.setFlag(q47::setting::ShowLabels, 1);
        settings.setListIndex(q47::setting::LabelStyle, 5);
    }
};

void BM_SetPropNewColours(benchmark::State &state) {
    Rig rig;
    quint32 colour = 0x72D2F8;
    for (auto _ : state) {
        colour ^= 0x000101;
        rig.settings.setColour(q47::setting::DigitLit, colour);
        rig.options.applyLook();
    }
}
BENCHMARK(BM_SetPropNewColours)->Unit(benchmark::kMicrosecond);

void BM_SetPropUnchanged(benchmark::State &state) {
    Rig rig;
    for (auto _ : state)
        rig.options.applyLook();
}
BENCHMARK(BM_SetPropUnchanged)->Unit(benchmark::kMicrosecond);

// A state file as a user's looks: folders, sounds and panels named, cells set, switches on.
void dressUp(Rig &rig) {
    q47::SettingsStore &s = rig.settings;
    s.setText(q47::setting::DataFolder, QStringLiteral("/home/運行/データ/系統"));
    s.setText(q47::setting::SoundFolder, QStringLiteral("/home/運行/放送"));
    for (const q47::TextSetting sound :
         {q47::setting::RouteSound, q47::setting::ResetSound, q47::setting::PreSoundFile,
          q47::setting::StepSoundFile, q47::setting::StepSound1, q47::setting::StepSound2,
          q47::setting::StepSound3})
        s.setText(sound,
                  QStringLiteral("/home/運行/音/%1.wav").arg(q47::catalogueRow(sound).index));
    s.select(q47::setting::PanelsOneByOne);
    s.setFlag(q47::setting::ShowStopOrder, 1);
    s.setListIndex(q47::setting::NameFont, 1);
    for (int k = 1; k <= 50; ++k)
        rig.model.setCellFormat(k, {0, 0, static_cast<qint16>(k % 3)});
}

void BM_SaveIni(benchmark::State &state) {
    Rig rig;
    dressUp(rig);
    for (auto _ : state)
        rig.ini.save();
    if (!rig.host.messages.isEmpty())
        state.SkipWithError(qPrintable(rig.host.messages.first()));
}
BENCHMARK(BM_SaveIni)->Unit(benchmark::kMicrosecond);

// Two files in turn, so that every load changes the windows as a start-up does.
void BM_LoadIni(benchmark::State &state) {
    Rig rig;
    q47::StateFileIo plain{rig.model,   rig.board, rig.panel,
                           rig.options, rig.host,  rig.dir.filePath(QStringLiteral("plain.in4"))};
    plain.save();
    dressUp(rig);
    rig.ini.save();
    bool dressed = false;
    for (auto _ : state) {
        dressed = !dressed;
        (dressed ? rig.ini : plain).load();
    }
    if (!rig.host.messages.isEmpty())
        state.SkipWithError(qPrintable(rig.host.messages.first()));
}
BENCHMARK(BM_LoadIni)->Unit(benchmark::kMicrosecond);

} // namespace
