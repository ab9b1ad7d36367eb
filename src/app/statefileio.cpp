#include "statefileio.h"

#include "boardlook.h"
#include "boardmodel.h"
#include "controlpanel.h"
#include "fareboard.h"
#include "ledboard.h"
#include "optionsdialog.h"
#include "twips.h"
#include "windowplacement.h"

#include <QGuiApplication>
#include <QScreen>

namespace q47 {

StateFileIo::StateFileIo(BoardModel &model, LedBoard &board, ControlPanel &panel,
                         OptionsDialog &options, PanelHost &host, QString path)
    : model_(model), board_(board), panel_(panel), options_(options), host_(host),
      file_(std::move(path)) {}

void StateFileIo::load() {
    records_.cells = {};
    const Result<std::optional<StateRecords>> loaded = file_.load();
    if (!loaded) {
        host_.report(loaded.error());
        return;
    }
    if (!*loaded)
        return;
    records_ = **loaded;

    restoreBoardCells(model_, records_);

    options_.customColours() = records_.customColors;
    if (const Result<> restored = options_.restoreFrom(records_); !restored) {
        // What was not restored would be lost with the file at the exit.
        file_.keepBadCopyOnSave();
        host_.report(restored.error());
        return;
    }
    panel_.restoreState(records_.controlPanel);
    const MainWindowPosition &main = records_.mainWindow;
    board_.restorePosition({main.leftTwips, main.topTwips});
    // Wherever the file puts it, the board comes back within reach.
    keepOnScreen(board_, QGuiApplication::primaryScreen()->availableGeometry().topLeft());
    restoredPositions_ = true;
    options_.applyLook();
}

void StateFileIo::save() {
    records_.cells = {};
    for (int k = 1; k <= kCellCount; ++k) {
        const CellFormat &format = model_.content().formats[static_cast<size_t>(k)];
        records_.cells[static_cast<size_t>(k - 1)] = {format.shift, format.zeroMode,
                                                      format.fillZero};
    }
    options_.saveTo(records_);
    // Positions saved at another screen density are not multiples of this one's pixel; a
    // window that has not moved keeps the twips it was restored from.
    const auto keep = [](qint32 stored, qint32 now) {
        return twipsToPx(stored) == twipsToPx(now) ? stored : now;
    };
    ControlPanelState panel = panel_.stateRecord();
    panel.leftTwips = keep(records_.controlPanel.leftTwips, panel.leftTwips);
    panel.topTwips = keep(records_.controlPanel.topTwips, panel.topTwips);
    records_.controlPanel = panel;
    const WindowPosition main = board_.windowPosition();
    records_.mainWindow = {keep(records_.mainWindow.leftTwips, main.Left),
                           keep(records_.mainWindow.topTwips, main.Top)};
    records_.customColors = options_.customColours();
    if (const Result<> saved = file_.save(records_); !saved)
        host_.report(saved.error());
}

} // namespace q47
