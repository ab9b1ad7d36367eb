// The announcement buttons on the real control panel, with the real speech engine speaking
// the sample lists into a clocked fake sink:
//  - from the "送り" click to the first audio of its entry at the sink;
//  - how long the user-interface thread is kept, while entries are spoken one after another
//    and the place name scrolls: the longest gap of a 1 ms timer on that thread, and the
//    longest "送り" handler (speaking plus, on linked entries, the stop step).
//
//   tape_ui [seconds]      (QT_QPA_PLATFORM=offscreen is fine)
#include "boardmodel.h"
#include "controlpanel.h"
#include "espeakspeech.h"
#include "fakepanel.h"
#include "ledboard.h"
#include "recordingsound.h"
#include "settingsstore.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace {

double median(QList<double> v) {
    std::sort(v.begin(), v.end());
    return v.isEmpty() ? 0 : v[v.size() / 2];
}

} // namespace

int main(int argc, char *argv[]) {
    QApplication application(argc, argv);
    const double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;

    q47::SettingsStore settings;
    settings.setText(q47::setting::DataFolder, QStringLiteral(Q47_SAMPLES "/data"));
    settings.setText(q47::setting::SoundFolder, QStringLiteral(Q47_SAMPLES "/data"));
    q47::RecordingSound sound;
    q47::BoardModel model;
    q47::LedBoard board{model};
    QStringList log;
    q47::FakeRuntime runtime(log);
    q47::FakeHost host;
    q47::EspeakSpeech *speech = nullptr;
    q47::PanelState panelState;
    q47::ControlPanel panel(model, panelState, settings, sound, &host, &runtime, [&] {
        auto engine = q47::EspeakSpeech::create(
                          [] { return QStringLiteral(Q47_SAMPLES "/data/readings.csv"); },
                          QStringLiteral("fakesink sync=true"))
                          .value_or(nullptr);
        speech = engine.get();
        return engine;
    });
    panel.start();
    if (!speech)
        qFatal("the speech engine is unavailable");
    board.show();
    panel.show();
    panel.state().setScrollSpeed(5);

    const auto setRoute = [&] {
        for (int key : {q47::KeypadEntry::kRouteKey, 1, q47::KeypadEntry::kSectionKey, 1})
            panel.pressKeypad(key);
        panel.setEnteredRoute(1);
    };
    setRoute();

    // Click to first audio, entry after entry; each click cuts the entry before short.
    QList<double> firstAudioMs;
    for (int i = 0; i < 30; ++i) {
        if (panel.tape().position() >= panel.tape().count())
            setRoute();
        const quint64 before = speech->status().utterances;
        QElapsedTimer clock;
        clock.start();
        panel.control().announceNext();
        while (clock.elapsed() < 5000) {
            const q47::SpeechStatus s = speech->status();
            if (s.utterances > before && s.buffers > 0)
                break;
            QThread::usleep(50);
        }
        firstAudioMs.append(double(clock.nsecsElapsed()) / 1e6);
        QThread::msleep(200);
    }
    std::sort(firstAudioMs.begin(), firstAudioMs.end());
    std::printf("click to first audio at the sink: median %.2f ms, max %.2f ms (%lld clicks)\n",
                median(firstAudioMs), firstAudioMs.last(), qlonglong(firstAudioMs.size()));
    std::fflush(stdout);

    // The thread's longest gap while entries are spoken in turn.
    double longestGapMs = 0;
    double longestClickMs = 0;
    QElapsedTimer since;
    since.start();
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longestGapMs = std::max(longestGapMs, double(since.nsecsElapsed()) / 1e6 - 1.0);
        since.restart();
    });
    QTimer presser;
    QObject::connect(&presser, &QTimer::timeout, [&] {
        if (panel.tape().position() >= panel.tape().count())
            panel.tape().loadList(QStringLiteral(Q47_SAMPLES "/data/"), QStringLiteral("1"));
        QElapsedTimer click;
        click.start();
        panel.control().announceNext();
        longestClickMs = std::max(longestClickMs, double(click.nsecsElapsed()) / 1e6);
    });
    const quint64 spokenBefore = speech->status().utterances;
    ticker.start(1);
    presser.start(700);
    // exit(), not quit(): quit() would ask the panel to close, which asks the operator.
    QTimer::singleShot(int(seconds * 1000), [] { QCoreApplication::exit(0); });
    application.exec();
    std::printf("while %llu entries were spoken in %.0f s with the name scrolling: longest "
                "gap of the thread %.2f ms, longest 送り click %.2f ms\n",
                static_cast<unsigned long long>(speech->status().utterances - spokenBefore),
                seconds, longestGapMs, longestClickMs);
    return 0;
}
