#pragma once

#include "fakepanel.h"
#include "form1.h"
#include "frmctl.h"
#include "frmoption.h"
#include "recordingsound.h"
#include "settingsstore.h"

namespace q47 {

// The options dialog with the board it dresses and the panel whose backlight it re-applies,
// as start-up leaves them. Header only: only tests that link the dialog include it.
struct OptionsRig {
    OptionsRig() { options.setControlPanel(&panel); }

    SettingsStore settings{QDate(2026, 12, 7)};
    Form1 board;
    frmOption options{settings, board};
    RecordingSound sound;
    QStringList log;
    FakeRuntime runtime{log};
    FakeHost host;
    frmCtl panel{board, settings, sound, options, &host, &runtime};
};

} // namespace q47
