// The backlight switch, from switchBacklight to the board repainted: between the two built-in
// pictures, and with a board-sized JPEG read from its file at every switch.
#include "boardmodel.h"
#include "controlpanel.h"
#include "fakepanel.h"
#include "ledboard.h"
#include "recordingsound.h"
#include "settingsstore.h"

#include <QCoreApplication>
#include <QWindow>

#include <benchmark/benchmark.h>

namespace {

struct Panel {
    q47::SettingsStore settings;
    q47::RecordingSound sound;
    q47::BoardModel model;
    q47::LedBoard board{model};
    QStringList log;
    q47::FakeRuntime runtime{log};
    q47::FakeHost host;
    q47::PanelState panelState;
    q47::ControlPanel panel{model, panelState, settings, sound, &host, &runtime};

    Panel() {
        // repaint() paints nothing until the window is exposed.
        board.show();
        for (int i = 0; i < 200 && !board.windowHandle()->isExposed(); ++i)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        if (!board.windowHandle()->isExposed())
            qFatal("the board was never exposed");
    }
    void check(benchmark::State &state) {
        if (!host.errors.isEmpty())
            state.SkipWithError(qPrintable(host.errors.first().second));
    }
};

void BM_BacklightBuiltIn(benchmark::State &state) {
    Panel p;
    int row = 0;
    for (auto _ : state) {
        row = 1 - row; // a different picture every time, so the board redraws it
        p.panel.switchBacklight(row);
        p.board.repaint();
    }
    p.check(state);
}
BENCHMARK(BM_BacklightBuiltIn)->Unit(benchmark::kMicrosecond);

void BM_BacklightJpegFile(benchmark::State &state) {
    Panel p;
    p.settings.select(q47::setting::PanelsOneByOne);
    p.settings.select(q47::setting::On1PanelUser);
    p.settings.setText(q47::setting::On1PanelFile, QStringLiteral(Q47_SAMPLES "/panels/night.jpg"));
    for (auto _ : state) {
        p.panel.switchBacklight(1);
        p.board.repaint();
    }
    p.check(state);
}
BENCHMARK(BM_BacklightJpegFile)->Unit(benchmark::kMicrosecond);

} // namespace
