// The whole program's resident memory around a key sound, and how long the sound takes to
// reach the sink: started as usual, left idle, then a keypad key pressed twice with the key
// sound set to the file given (the sample MIDI chime by default), each press left to ring out.
// Sounds play into a clocked fake sink (bench/sound_memory.sh runs it under Xvfb).
//
//   sound_memory [sound file]
#include "controlpanel.h"
#include "processusage.h"
#include "q47app.h"
#include "settingsstore.h"
#include "soundchannels.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>

#include <cstdio>

namespace {

using q47::bench::residentMiB;

// Keeps the interface running, as an operator's program would between clicks.
void idle(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QTest::qWait(10);
}

} // namespace

int main(int argc, char *argv[]) {
    q47::Q47App::preparePlatform();
    QApplication application(argc, argv);
    q47::Q47App::prepareApplication();
    const QStringList args = QCoreApplication::arguments();
    const QString sound =
        args.size() > 1 ? args.at(1) : QStringLiteral(Q47_SAMPLES "/sound/chime1.mid");

    q47::SoundChannels channels;
    q47::Q47App app(&channels);
    app.start();
    app.settings().setText(q47::setting::ResetSound, sound);
    idle(3000);
    std::printf("%-40s %7.2f MiB\n", "idle", residentMiB());

    for (int press = 1; press <= 2; ++press) {
        app.controlPanel()->pressKeypad(press);
        QElapsedTimer guard;
        guard.start();
        while (channels.status(q47::SoundChannel::S1).firstBufferUs < 0 && guard.elapsed() < 5000)
            QTest::qWait(1);
        const qint64 firstUs = channels.status(q47::SoundChannel::S1).firstBufferUs;
        while (channels.status(q47::SoundChannel::S1).playing && guard.elapsed() < 30000)
            QTest::qWait(10);
        const double lastedMs = double(guard.elapsed());
        idle(1000);
        std::printf("press %d: first audio at the sink %7.1f ms, rang %6.0f ms; then %7.2f MiB\n",
                    press, double(firstUs) / 1000.0, lastedMs, residentMiB());
    }
    std::fflush(stdout);
    // The program's own exit asks the operator first.
    std::_Exit(0);
}
