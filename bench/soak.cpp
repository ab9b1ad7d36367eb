// Drives the real program for a long while and watches its memory: sets the sample routes on
// the keypad and the digit lists, steps each route to its end and back with the step sounds
// playing, speaks the route's announcements with their chimes (every third action, the linked
// ones stepping the board), lets long names scroll, clears and restores the display, flips the
// entry panes.
// Every ten seconds it prints the resident memory; at the end, the growth after the first
// minute: the median of the last minute's samples against that of the second minute's, so
// that a sound font loaded at the moment of one sample does not count as growth.
//
//   soak [minutes] [step sound] [route sound]
//        (default 10 minutes, the sample WAV step and MIDI chime; under Xvfb: bench/soak.sh)
#include "controlpanel.h"
#include "ledboard.h"
#include "processusage.h"
#include "q47app.h"
#include "settingsstore.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace {

using q47::bench::residentMiB;

// One operator at the panel: each tick does the next thing a user would.
class Operator {
public:
    explicit Operator(q47::ControlPanel &panel) : panel_(panel) {}

    void tick() {
        ++ticks_;
        if (ticks_ % 97 == 20) { // the display cleared and back, first within the first minute
            panel_.control().setCleared(true);
            panel_.control().setCleared(false);
            return;
        }
        if (needRoute_) {
            setRoute();
            return;
        }
        if (ticks_ % 3 == 0 && panel_.state().canAnnounce() &&
            panel_.tape().position() < panel_.tape().count()) {
            panel_.control().announceNext();
            return;
        }
        const qint16 before = panel_.route().CurStopPos;
        panel_.stepStop(forward_ ? 1 : 0);
        if (panel_.route().CurStopPos == before) { // an end of the route
            if (!forward_)
                needRoute_ = true;
            forward_ = !forward_;
        }
    }

private:
    void setRoute() {
        const int route = 1 + routes_++ % 2;
        if (routes_ % 2) { // on the keypad
            panel_.sendPaneToBack(0);
            for (int key : {q47::KeypadEntry::kRouteKey, route, q47::KeypadEntry::kSectionKey, 1})
                panel_.pressKeypad(key);
            panel_.setEnteredRoute(1);
        } else { // on the digit lists
            panel_.sendPaneToBack(1);
            panel_.control().chooseRouteDigit(4, route);
            panel_.control().chooseSectionDigit(2, 1);
            panel_.setEnteredRoute(0);
        }
        needRoute_ = false;
        forward_ = true;
    }

    q47::ControlPanel &panel_;
    long ticks_ = 0;
    int routes_ = 0;
    bool needRoute_ = true;
    bool forward_ = true;
};

} // namespace

int main(int argc, char *argv[]) {
    q47::Q47App::preparePlatform();
    QApplication application(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const double minutes = args.size() > 1 ? args.at(1).toDouble() : 10.0;
    const QString stepSound =
        args.size() > 2 ? args.at(2) : QStringLiteral(Q47_SAMPLES "/sound/step.wav");
    const QString routeSound =
        args.size() > 3 ? args.at(3) : QStringLiteral(Q47_SAMPLES "/sound/chime1.mid");

    q47::Q47App app;
    app.start();
    q47::SettingsStore &s = app.settings();
    s.setText(q47::setting::DataFolder, QStringLiteral(Q47_SAMPLES "/data"));
    s.setText(q47::setting::SoundFolder, QStringLiteral(Q47_SAMPLES "/data"));
    for (size_t k = 0; k < q47::setting::PreSounds.size(); ++k)
        s.setText(q47::setting::PreSounds[k],
                  QStringLiteral(Q47_SAMPLES "/sound/pre%1.wav").arg(k + 1));
    s.select(q47::setting::PreSoundByFlag); // the chime each entry asks for
    s.setText(q47::setting::RouteSound, routeSound);
    s.setText(q47::setting::ResetSound, QStringLiteral(Q47_SAMPLES "/sound/key.mp3"));
    s.setText(q47::setting::StepSoundFile, stepSound);
    q47::ControlPanel &panel = *app.controlPanel();
    panel.session().setLampTestMs(500);
    panel.state().setScrollSpeed(40); // long names cross the column in a few seconds

    Operator op(panel);
    QTimer actions;
    QObject::connect(&actions, &QTimer::timeout, [&] { op.tick(); });
    actions.start(700);

    QElapsedTimer clock;
    clock.start();
    QList<std::pair<double, double>> samples; // seconds, MiB
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        const double seconds = double(clock.elapsed()) / 1000.0;
        const double rss = residentMiB();
        samples.append({seconds, rss});
        std::printf("%6.0f s  resident %7.2f MiB\n", seconds, rss);
        std::fflush(stdout);
        if (seconds < minutes * 60)
            return;
        const auto median = [&](double from, double to) {
            QList<double> v;
            for (const auto &[t, mib] : samples)
                if (t >= from && t < to)
                    v.append(mib);
            std::sort(v.begin(), v.end());
            return v.isEmpty() ? 0.0 : v[v.size() / 2];
        };
        double peak = 0;
        for (const auto &sample : samples)
            peak = std::max(peak, sample.second);
        const double second = median(60, 120);
        const double last = median(seconds - 60, seconds + 1);
        std::printf("after %.1f min: resident %.2f MiB, peak %.2f MiB; median of the second "
                    "minute %.2f MiB, of the last %.2f MiB: growth %+.2f MiB\n",
                    minutes, rss, peak, second, last, last - second);
        std::fflush(stdout);
        QCoreApplication::exit(0); // not close(): that would ask the operator first
    });
    sampler.start(10000);
    return application.exec();
}
