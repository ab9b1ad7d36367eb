#pragma once

#include "boardmodel.h"
#include "fakepanel.h"
#include "form1.h"
#include "frmctl.h"
#include "frmoption.h"
#include "recordingsound.h"
#include "settingsstore.h"

namespace q47 {

// The options dialog with the board's model it dresses, the LED board showing it and the panel
// whose backlight it re-applies, as start-up leaves them. Header only: only tests that link
// the dialog include it.
struct OptionsRig {
    OptionsRig() { options.setControlPanel(&panel); }

    SettingsStore settings{QDate(2026, 12, 7)};
    BoardModel model;
    Form1 board{model};
    frmOption options{settings, model};
    RecordingSound sound;
    QStringList log;
    FakeRuntime runtime{log};
    FakeHost host;
    PanelState panelState;
    frmCtl panel{model, panelState, settings, sound, options, &host, &runtime};
};

} // namespace q47
