// The LCD board in the real program: CPU at idle between page turns and name changes, and
// one stop step up to the window repainted, at zoom 1 and in full screen.
//
//   lcd_window [seconds] [page-seconds]
//
// Starts the program with the LCD board, sets sample route 1 (readings and English names from
// the samples; the page and the name change on one beat), fills the fare table to three pages and
// lets the event loop run; prints the process's CPU over that time and how often the window
// painted. Then steps the route to and fro, each step followed by a synchronous repaint, and prints
// the median. Run it under Xvfb with a 1920 x 1080 screen (bench/lcd_window.sh).
#include "boardswitch.h"
#include "controlpanel.h"
#include "fonts.h"
#include "lcdboard.h"
#include "ledboard.h"
#include "processusage.h"
#include "q47app.h"
#include "routesession.h"
#include "settingsstore.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

using q47::bench::cpuSeconds;

class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject *, QEvent *event) override {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

double median(std::vector<double> v) {
    std::nth_element(v.begin(), v.begin() + long(v.size() / 2), v.end());
    return v[v.size() / 2];
}

// `steps` steps, each repainted before the next: the medians of the whole, of the step (the
// panel's rules, both boards' models and the names looked up) and of the repaint.
void steps(q47::ControlPanel &panel, q47::LcdBoard &lcd, int steps, const char *what) {
    std::vector<double> whole, step, paint;
    for (int i = 0; i < steps; ++i) {
        QElapsedTimer t;
        t.start();
        panel.session().step(i % 8 < 4 ? 1 : 0);
        const qint64 stepped = t.nsecsElapsed();
        lcd.repaint();
        const qint64 painted = t.nsecsElapsed();
        whole.push_back(double(painted) / 1e6);
        step.push_back(double(stepped) / 1e6);
        paint.push_back(double(painted - stepped) / 1e6);
    }
    std::printf("step to repainted, %s (%dx%d): median %.2f ms (step %.2f, repaint %.2f)\n", what,
                lcd.width(), lcd.height(), median(whole), median(step), median(paint));
}

} // namespace

int main(int argc, char *argv[]) {
    q47::Q47App::preparePlatform(q47::lcd::BoardKind::Lcd);
    QApplication application(argc, argv);
    q47::installFontSubstitutes();
    const QStringList args = QCoreApplication::arguments();
    const double seconds = args.size() > 1 ? args.at(1).toDouble() : 20.0;
    const int pageSeconds = args.size() > 2 ? args.at(2).toInt() : 5;

    q47::Q47App app;
    app.setSpeechEnabled(false);
    app.setBoardOverride(q47::lcd::BoardKind::Lcd);
    app.setFolderOverrides(QStringLiteral(Q47_SAMPLES "/data"),
                           QStringLiteral(Q47_SAMPLES "/data"));
    app.start();
    q47::ControlPanel &panel = *app.controlPanel();
    panel.session().setLampTestMs(0);
    q47::LcdBoard &lcd = *app.boards()->lcdBoard();
    lcd.setPageSeconds(pageSeconds);
    if (!panel.setRoute(QStringLiteral("1"), 1)) {
        std::fprintf(stderr, "route 1 not set\n");
        return 1;
    }
    panel.session().step(1);
    // Three pages of fares, as a long route has.
    q47::BoardModel &board = app.model();
    for (int k = 1; k <= q47::kBoardCells; ++k)
        board.setCellValue(k, 170 + 10 * k);
    q47::RouteOnBoard route;
    route.number = QStringLiteral("1");
    route.headsign = QStringLiteral("北営業所行");
    route.highestSeiriNo = q47::kBoardCells;
    board.setRoute(route);
    if (!QTest::qWaitForWindowExposed(&lcd)) {
        std::fprintf(stderr, "the LCD board was not shown\n");
        return 1;
    }
    QTest::qWait(500);

    PaintCounter counter;
    lcd.installEventFilter(&counter);
    const double cpu0 = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    QTest::qWait(static_cast<int>(seconds * 1000));
    const double elapsed = double(wall.nsecsElapsed()) / 1e9;
    const double cpu = cpuSeconds() - cpu0;
    std::printf("platform %s, %.1f s idle, the page and the name on one beat of %d s\n",
                qPrintable(QGuiApplication::platformName()), elapsed, pageSeconds);
    std::printf("cpu %.3f s = %.2f%% of one core, %d paints\n", cpu, 100.0 * cpu / elapsed,
                counter.paints);

    steps(panel, lcd, 40, "zoom 1");
    lcd.setBoardFullScreen(true);
    QTest::qWait(500);
    steps(panel, lcd, 40, "full screen");
    std::fflush(stdout);
    // Leave without closing windows: closing asks the operator first.
    return 0;
}
