// SetProp, the options' "OK": the board's labels, the fifty-two digit cells, the place-name
// display and the backlight re-applied. Once with new digit colours every time, so that every
// cell redraws, and once with nothing changed.
#include "fakepanel.h"
#include "form1.h"
#include "frmctl.h"
#include "frmoption.h"
#include "recordingsound.h"
#include "settingsstore.h"

#include <benchmark/benchmark.h>

namespace {

struct Rig {
    q47::SettingsStore settings;
    q47::Form1 board;
    q47::frmOption options{settings, board};
    q47::RecordingSound sound;
    QStringList log;
    q47::FakeRuntime runtime{log};
    q47::FakeHost host;
    q47::frmCtl panel{board, settings, sound, options, &host, &runtime};

    Rig() {
        options.setControlPanel(&panel);
        settings.setFlag(QStringLiteral("Check1"), 1);
        settings.setListIndex(QStringLiteral("Combo2"), 5);
    }
};

void BM_SetPropNewColours(benchmark::State &state) {
    Rig rig;
    quint32 colour = 0x72D2F8;
    for (auto _ : state) {
        colour ^= 0x000101;
        rig.settings.setColour(QStringLiteral("Command8"), 2, colour);
        rig.options.SetProp();
    }
}
BENCHMARK(BM_SetPropNewColours)->Unit(benchmark::kMicrosecond);

void BM_SetPropUnchanged(benchmark::State &state) {
    Rig rig;
    for (auto _ : state)
        rig.options.SetProp();
}
BENCHMARK(BM_SetPropUnchanged)->Unit(benchmark::kMicrosecond);

} // namespace
