// CPU of the whole program while a long place name scrolls on the board.
//
//   dotname_scroll_cpu [seconds] [speed] [wait-ms] [name]
//
// Starts the program as usual, puts the name on the board's model, lets the event loop run for
// the given time and prints the process's CPU time over that time. Run it on a real display or
// under Xvfb
// (bench/dotname_scroll_cpu.sh); the offscreen platform paints nothing to a screen.
#include "boardmodel.h"
#include "fonts.h"
#include "processusage.h"
#include "q47app.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <cstdio>

using q47::bench::cpuSeconds;

int main(int argc, char *argv[]) {
    q47::Q47App::preparePlatform(q47::lcd::BoardKind::Led);
    QApplication application(argc, argv);
    q47::installFontSubstitutes();
    const QStringList args = QCoreApplication::arguments();
    const double seconds = args.size() > 1 ? args.at(1).toDouble() : 10.0;
    const auto speed = static_cast<qint16>(args.size() > 2 ? args.at(2).toInt() : 5);
    const qint32 wait = args.size() > 3 ? args.at(3).toInt() : 0;
    // Twenty cells.
    const QString name =
        args.size() > 4 ? args.at(4) : QStringLiteral("東京都千代田区丸の内一丁目北口前中央郵便局");

    q47::Q47App app;
    app.start();
    q47::BoardModel &board = app.model();
    board.setNameScroll(speed, wait);

    // Let start-up settle before measuring.
    QTimer::singleShot(500, [&] {
        board.setStopName(name);
        const double cpu0 = cpuSeconds();
        QElapsedTimer wall;
        wall.start();
        QTimer::singleShot(static_cast<int>(seconds * 1000), Qt::PreciseTimer, [=] {
            const double elapsed = double(wall.nsecsElapsed()) / 1e9;
            const double cpu = cpuSeconds() - cpu0;
            std::printf("platform %s, speed %d, wait %d ms, %.2f s\n",
                        qPrintable(QGuiApplication::platformName()), speed, wait, elapsed);
            std::printf("cpu %.3f s = %.2f%% of one core\n", cpu, 100.0 * cpu / elapsed);
            std::fflush(stdout);
            // Leave the loop without closing windows: closing asks the operator first.
            QCoreApplication::exit(0);
        });
    });
    return application.exec();
}
