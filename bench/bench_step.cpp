// One stop step on the control panel, from the click to the board fully redrawn: the fifty
// fare cells, the place name, and the window's own repaint. Sounds are not played. Once with
// the ticket preview open and in use, its ticket drawn with a barcode and repainted too.
#include "boardmodel.h"
#include "controlpanel.h"
#include "dotnamedisplay.h"
#include "fakepanel.h"
#include "ledboard.h"
#include "recordingsound.h"
#include "settingsstore.h"
#include "ticketplugin.h"
#include "twips.h"

#include <QCoreApplication>
#include <QWindow>

#include <benchmark/benchmark.h>

namespace {

void BM_StepAndRedraw(benchmark::State &state) {
    const bool preview = state.range(0) != 0;
    q47::SettingsStore settings;
    settings.setText(q47::setting::DataFolder, QStringLiteral(Q47_SAMPLES "/data"));
    q47::RecordingSound sound;
    q47::BoardModel model;
    q47::LedBoard board{model};
    QStringList log;
    q47::FakeRuntime runtime(log); // the lamp test's wait is skipped
    q47::FakeHost host;
    q47::PanelState panelState;
    q47::ControlPanel panel(model, panelState, settings, sound, &host, &runtime);
    if (preview) {
        const QString plugin = QStringLiteral(Q47_SAMPLES "/plugins/full.4SP");
        settings.setFlag(q47::setting::UsePreview, 1);
        settings.setText(q47::setting::PluginFile, plugin);
        const auto info = q47::ticketPluginInfo(plugin);
        if (!info)
            qFatal("the sample plug-in cannot be read");
        panel.describeTicket(
            QSize(q47::twipsToPx(info->widthTwips), q47::twipsToPx(info->heightTwips)),
            q47::ticketPluginCompanies(plugin));
        panelState.setPreviewOpen(true);
    }
    // repaint() paints nothing until the window is exposed.
    board.show();
    panel.show();
    for (int i = 0;
         i < 200 && !(board.windowHandle()->isExposed() && panel.windowHandle()->isExposed()); ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    if (!board.windowHandle()->isExposed() || !panel.windowHandle()->isExposed())
        qFatal("the windows were never exposed");
    panel.pressKeypad(q47::KeypadEntry::kRouteKey);
    panel.pressKeypad(2); // route 2: fifteen stops
    panel.pressKeypad(q47::KeypadEntry::kSectionKey);
    panel.pressKeypad(1);
    panel.setEnteredRoute(1);
    if (!host.messages.isEmpty())
        qFatal("%s", qPrintable(host.messages.first()));

    int direction = 1;
    for (auto _ : state) {
        const qint16 before = panel.route().CurStopPos;
        panel.stepStop(direction);
        if (panel.route().CurStopPos == before) { // an end: turn round
            direction = 1 - direction;
            panel.stepStop(direction);
        }
        board.repaint();
        if (preview)
            panel.repaint(); // the strip with its ticket
        sound.clear();
        log.clear();
    }
}
BENCHMARK(BM_StepAndRedraw)->ArgName("preview")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace
