// The state a recording is measured from (bench/record.sh): the sample folders and a chime as
// the step sound, so that every step's sound begins with the chime's sharp onset, saved as the
// program saves it.
//   record_state STATE_FILE CHIME
#include "headlessrun.h"
#include "q47app.h"
#include "settingsstore.h"
#include "statefileio.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char *argv[]) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: record_state STATE_FILE CHIME\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    q47::Q47App::preparePlatform();
    QApplication application(argc, argv);
    q47::Q47App::prepareApplication();
    q47::SilentSound silent;
    q47::StderrHost host;
    q47::Q47App app(&silent, QString::fromLocal8Bit(argv[1]));
    app.setPanelHost(&host);
    app.setSpeechEnabled(false);
    app.start();
    q47::SettingsStore &s = app.settings();
    s.setText(q47::setting::DataFolder, QStringLiteral(Q47_SAMPLES "/data"));
    s.setText(q47::setting::SoundFolder, QStringLiteral(Q47_SAMPLES "/data"));
    s.select(q47::setting::StepSoundFixed);
    s.setText(q47::setting::StepSoundFile, QString::fromLocal8Bit(argv[2]));
    app.stateFile()->save();
    return host.told ? 1 : 0;
}
