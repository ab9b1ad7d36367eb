// The sound channels' latency, played into a clocked fake sink:
//  - how long an unwaited PlaySnd keeps the caller (it also closes the channel's last sound),
//  - how long after the call the first audio reaches the sink, per file type, once the type
//    has played before (the first MIDI sound of a run also makes the synthesizer: that is
//    measured by bench/sound_memory.sh in the whole program),
//  - how long a waited PlaySnd of a half-second WAV blocks, and of a two-second one played
//    into an unclocked sink named by the environment.

#include "mdlsndapi.h"
#include "soundsynth.h"

#include <benchmark/benchmark.h>

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

namespace {

const QString kSink = QStringLiteral("fakesink sync=true");

class Sounds {
public:
    Sounds() {
        half = write(QStringLiteral("half.wav"), 0.5);
        two = write(QStringLiteral("two.wav"), 2.0);
    }
    QString write(const QString &name, double seconds) {
        const QString path = dir.filePath(name);
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(q47::soundgen::wavFile(q47::soundgen::sine(660, seconds)));
        return path;
    }
    QTemporaryDir dir;
    QString half;
    QString two;
};

const Sounds &sounds() {
    static const Sounds s;
    return s;
}

QString sample(int type) {
    static const char *names[] = {"step.wav", "step.mp3", "step.mid"};
    return QStringLiteral(Q47_SAMPLE_SOUND_DIR "/") + QLatin1String(names[type]);
}

// Key presses in quick succession: each call cuts off the sound the one before started.
void BM_PlaySndUnwaitedReturn(benchmark::State &state) {
    q47::mdlSndAPI snd(kSink);
    const QString path = sample(static_cast<int>(state.range(0)));
    const auto gapMs = static_cast<unsigned long>(state.range(1));
    for (auto _ : state) {
        snd.PlaySnd(path, QStringLiteral("S1"), 0, 0);
        state.PauseTiming();
        QThread::msleep(gapMs);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PlaySndUnwaitedReturn)
    ->ArgNames({"wav0_mp3_1_mid2", "gap_ms"})
    ->ArgsProduct({{0, 1, 2}, {20, 100}})
    ->Iterations(40)
    ->Unit(benchmark::kMicrosecond);

// The same call with nothing left on the channel: the cost of opening alone.
void BM_PlaySndUnwaitedOnClosedChannel(benchmark::State &state) {
    q47::mdlSndAPI snd(kSink);
    const QString path = sample(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        snd.PlaySnd(path, QStringLiteral("S1"), 0, 0);
        state.PauseTiming();
        snd.CloseSnd();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PlaySndUnwaitedOnClosedChannel)
    ->ArgName("wav0_mp3_1_mid2")
    ->DenseRange(0, 2)
    ->Unit(benchmark::kMicrosecond);

// Closing a channel whose sound is playing.
void BM_CloseSndWhilePlaying(benchmark::State &state) {
    q47::mdlSndAPI snd(kSink);
    const QString path = sample(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        snd.PlaySnd(path, QStringLiteral("S1"), 0, 0);
        QThread::msleep(150);
        state.ResumeTiming();
        snd.CloseSnd();
    }
}
BENCHMARK(BM_CloseSndWhilePlaying)
    ->ArgName("wav0_mp3_1_mid2")
    ->DenseRange(0, 2)
    ->Iterations(20)
    ->Unit(benchmark::kMicrosecond);

// Plays the sound on S2 and waits for its first audio at the sink; -1 when none came.
qint64 firstAudioUs(q47::mdlSndAPI &snd, const QString &path) {
    snd.PlaySnd(path, QStringLiteral("S2"), 0, 0);
    QElapsedTimer guard;
    guard.start();
    qint64 us = -1;
    while ((us = snd.status(QStringLiteral("S2")).firstBufferUs) < 0 && guard.elapsed() < 5000)
        QThread::usleep(100);
    return us;
}

void BM_FirstAudioAtSink(benchmark::State &state) {
    q47::mdlSndAPI snd(kSink);
    const QString path = sample(static_cast<int>(state.range(0)));
    firstAudioUs(snd, path);
    for (auto _ : state) {
        const qint64 us = firstAudioUs(snd, path);
        if (us < 0) {
            state.SkipWithError("no audio reached the sink");
            break;
        }
        state.SetIterationTime(static_cast<double>(us) / 1e6);
    }
}
BENCHMARK(BM_FirstAudioAtSink)
    ->ArgName("wav0_mp3_1_mid2")
    ->DenseRange(0, 2)
    ->UseManualTime()
    ->Iterations(20)
    ->Unit(benchmark::kMillisecond);

void BM_WaitedHalfSecondWav(benchmark::State &state) {
    q47::mdlSndAPI snd(kSink);
    for (auto _ : state)
        snd.PlaySnd(sounds().half, QStringLiteral("S3"), -1, 0);
}
BENCHMARK(BM_WaitedHalfSecondWav)->Iterations(5)->Unit(benchmark::kMillisecond);

// The sink the environment names, unsynchronised: two seconds of sound pass in far less.
void BM_WaitedTwoSecondsIntoAnUnclockedSinkFromTheEnvironment(benchmark::State &state) {
    qputenv(q47::kAudioSinkVariable, "fakesink sync=false");
    q47::mdlSndAPI snd;
    for (auto _ : state)
        snd.PlaySnd(sounds().two, QStringLiteral("S3"), -1, 0);
    qunsetenv(q47::kAudioSinkVariable);
}
BENCHMARK(BM_WaitedTwoSecondsIntoAnUnclockedSinkFromTheEnvironment)
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
