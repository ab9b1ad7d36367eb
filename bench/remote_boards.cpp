// Boards that follow a publisher over MQTT, as the program runs them: a mosquitto on loopback,
// the board model published as Q47 --publish does, and followers that are the real program
// (Q47 --follow). Prints, for one follower and then for `count` followers at once, the median
// and the slowest of 100 steps from the step on the publisher to the board(s) repainted (each
// follower logs "state shown" once it has painted a state), and the followers' whole-process
// resident memory after the steps.
//
//   remote_boards Q47 [count] [steps]        (bench/remote_boards.sh runs it under Xvfb)
#include "boardmodel.h"
#include "boardpublishing.h"
#include "mqttclient.h"
#include "testbroker.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

using namespace Qt::StringLiterals;

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Whole-process resident memory (VmRSS) and its peak (VmHWM), in MiB.
std::pair<double, double> memoryOf(qint64 pid) {
    QFile status(u"/proc/%1/status"_s.arg(pid));
    double rss = 0, peak = 0;
    if (!status.open(QIODevice::ReadOnly))
        return {0, 0};
    for (const QByteArray &line : status.readAll().split('\n')) {
        const QList<QByteArray> f = line.simplified().split(' ');
        if (f.size() > 1 && f[0] == "VmRSS:")
            rss = f[1].toDouble() / 1024;
        if (f.size() > 1 && f[0] == "VmHWM:")
            peak = f[1].toDouble() / 1024;
    }
    return {rss, peak};
}

// A follower and the states it has shown so far.
struct Follower {
    std::unique_ptr<QProcess> process = std::make_unique<QProcess>();
    int shown = 0;
};

void readShown(Follower &f) {
    while (f.process->canReadLine())
        f.shown += f.process->readLine().contains("state shown");
}

bool waitForAll(std::vector<Follower> &followers, int shown, int ms) {
    return QTest::qWaitFor(
        [&] {
            for (Follower &f : followers)
                readShown(f);
            return std::all_of(followers.begin(), followers.end(),
                               [shown](const Follower &f) { return f.shown >= shown; });
        },
        ms);
}

// `count` followers of `url`; steps on `model`; prints the figures.
bool run(const QString &program, const QString &url, q47::BoardModel &model, int count, int steps) {
    std::vector<Follower> followers(static_cast<size_t>(count));
    for (Follower &f : followers) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"QT_LOGGING_RULES"_s, u"q47.remote.info=true"_s);
        f.process->setProcessEnvironment(env);
        f.process->setProcessChannelMode(QProcess::SeparateChannels);
        f.process->setReadChannel(QProcess::StandardError);
        f.process->start(program, {u"--follow"_s, url, u"--board"_s, u"led"_s});
    }
    // Each shows the retained state first.
    if (!waitForAll(followers, 1, 60000)) {
        std::fprintf(stderr, "the followers did not show the first state\n");
        return false;
    }
    std::vector<double> first, all;
    for (int i = 1; i <= steps; ++i) {
        QElapsedTimer t;
        t.start();
        // A stop step: the name and a row of fares.
        model.setStopName(u"停留所%1"_s.arg(i));
        for (int k = 1; k <= 10; ++k)
            model.setCellValue(k + (i % 5) * 10, 150 + 10 * ((i + k) % 40));
        double firstMs = -1;
        const bool done = QTest::qWaitFor(
            [&] {
                int ready = 0;
                for (Follower &f : followers) {
                    readShown(f);
                    ready += f.shown > i;
                }
                if (ready > 0 && firstMs < 0)
                    firstMs = double(t.nsecsElapsed()) / 1e6;
                return ready == count;
            },
            10000);
        if (!done) {
            std::fprintf(stderr, "step %d not shown by every follower\n", i);
            return false;
        }
        first.push_back(firstMs);
        all.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::vector<double> rss, peak;
    for (Follower &f : followers) {
        const auto [now, most] = memoryOf(f.process->processId());
        rss.push_back(now);
        peak.push_back(most);
    }
    std::printf("%2d follower(s), %d steps: step to the first board repainted median %.1f ms "
                "(slowest %.1f); to every board median %.1f ms (slowest %.1f); follower's "
                "resident memory median %.1f MiB, largest %.1f MiB, peak %.1f MiB\n",
                count, steps, median(first), *std::max_element(first.begin(), first.end()),
                median(all), *std::max_element(all.begin(), all.end()), median(rss),
                *std::max_element(rss.begin(), rss.end()),
                *std::max_element(peak.begin(), peak.end()));
    for (Follower &f : followers) {
        f.process->terminate();
        f.process->waitForFinished(5000);
    }
    return true;
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication application(argc, argv);
    const QStringList args = application.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: remote_boards Q47 [count] [steps]\n");
        return 2;
    }
    const int count = args.size() > 2 ? args[2].toInt() : 20;
    const int steps = args.size() > 3 ? args[3].toInt() : 100;
    q47::TestBroker broker;
    if (!broker.isRunning()) {
        std::fprintf(stderr, "%s\n", qPrintable(broker.error()));
        return 1;
    }
    const QString url = u"mqtt://127.0.0.1:%1/q47/bench"_s.arg(broker.openPort());
    q47::BoardModel model;
    model.setBacklight(1);
    model.setPicture(q47::BoardPicture::builtIn(1));
    q47::BoardPublishing publishing(model);
    if (!publishing.publishTo(url) || !QTest::qWaitFor([&] {
            return publishing.client()->status().state == q47::MqttState::Connected;
        })) {
        std::fprintf(stderr, "no publisher\n");
        return 1;
    }
    for (const int n : {1, count}) {
        if (!run(args[1], url, model, n, steps))
            return 1;
    }
    return 0;
}
