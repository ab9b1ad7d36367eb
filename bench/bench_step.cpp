// One stop step on the control panel, from the click to the board fully redrawn: the fifty
// fare cells, the place name, and the window's own repaint. Sounds are not played.
#include "chimeictl.h"
#include "fakepanel.h"
#include "form1.h"
#include "frmctl.h"
#include "recordingsound.h"
#include "settingsstore.h"

#include <QCoreApplication>
#include <QDialog>
#include <QWindow>

#include <benchmark/benchmark.h>

namespace {

void BM_StepAndRedraw(benchmark::State &state) {
    q47::SettingsStore settings;
    settings.setText(QStringLiteral("Text2"), 0, QStringLiteral(Q47_SAMPLES "/data"));
    q47::RecordingSound sound;
    q47::Form1 board;
    QDialog options;
    QStringList log;
    q47::FakeRuntime runtime(log); // the lamp test's wait is skipped
    q47::FakeHost host;
    q47::frmCtl panel(board, settings, sound, options, &host, &runtime);
    // repaint() paints nothing until the window is exposed.
    board.show();
    for (int i = 0; i < 200 && !board.windowHandle()->isExposed(); ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    if (!board.windowHandle()->isExposed())
        qFatal("the board was never exposed");
    panel.CommandButton1_Click(q47::KeypadEntry::kRouteKey);
    panel.CommandButton1_Click(2); // route 2: fifteen stops
    panel.CommandButton1_Click(q47::KeypadEntry::kSectionKey);
    panel.CommandButton1_Click(1);
    panel.Command1_Click(1);
    if (!host.messages.isEmpty())
        qFatal("%s", qPrintable(host.messages.first()));

    int direction = 1;
    for (auto _ : state) {
        const qint16 before = panel.route().CurStopPos;
        panel.Command2_Click(direction);
        if (panel.route().CurStopPos == before) { // an end: turn round
            direction = 1 - direction;
            panel.Command2_Click(direction);
        }
        board.repaint();
        sound.clear();
        log.clear();
    }
}
BENCHMARK(BM_StepAndRedraw)->Unit(benchmark::kMicrosecond);

} // namespace
