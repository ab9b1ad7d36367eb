#pragma once

#include "boardmodel.h"
#include "fakepanel.h"
#include "optionsdialog.h"
#include "panelstate.h"
#include "settingsstore.h"

namespace q47 {

// The options dialog with the models it writes, the board's and the panel's, and a reporter
// that keeps what it is told. Header only: only tests that link the dialog include it.
struct OptionsRig {
    OptionsRig() { options.setReporter(&host); }

    SettingsStore settings{QDate(2026, 12, 7)};
    BoardModel model;
    PanelState panelState;
    FakeHost host;
    OptionsDialog options{settings, model, panelState};
};

} // namespace q47
