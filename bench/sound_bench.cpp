// The sound channels' latency, played into a clocked fake sink:
//  - how long an unwaited play keeps the caller (it also closes the channel's last sound),
//  - how long after the call the first audio reaches the sink, per file type, once the type
//    has played before (the first MIDI sound of a run also makes the synthesizer: that is
//    measured by bench/sound_memory.sh in the whole program),
//  - how long a waited play of a half-second WAV blocks, and of a two-second one played
//    into an unclocked sink named by the environment.

#include "soundchannels.h"
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
void BM_PlayUnwaitedReturn(benchmark::State &state) {
    q47::SoundChannels snd(kSink);
    const QString path = sample(static_cast<int>(state.range(0)));
    const auto gapMs = static_cast<unsigned long>(state.range(1));
    for (auto _ : state) {
        snd.play(path, q47::SoundChannel::S1, q47::SoundWait::No, 0);
        state.PauseTiming();
        QThread::msleep(gapMs);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PlayUnwaitedReturn)
    ->ArgNames({"wav0_mp3_1_mid2", "gap_ms"})
    ->ArgsProduct({{0, 1, 2}, {20, 100}})
    ->Iterations(40)
    ->Unit(benchmark::kMicrosecond);

// The same call with nothing left on the channel: the cost of opening alone.
void BM_PlayUnwaitedOnClosedChannel(benchmark::State &state) {
    q47::SoundChannels snd(kSink);
    const QString path = sample(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        snd.play(path, q47::SoundChannel::S1, q47::SoundWait::No, 0);
        state.PauseTiming();
        snd.closeAll();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PlayUnwaitedOnClosedChannel)
    ->ArgName("wav0_mp3_1_mid2")
    ->DenseRange(0, 2)
    ->Unit(benchmark::kMicrosecond);

// Closing a channel whose sound is playing.
void BM_CloseAllWhilePlaying(benchmark::State &state) {
    q47::SoundChannels snd(kSink);
    const QString path = sample(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        snd.play(path, q47::SoundChannel::S1, q47::SoundWait::No, 0);
        QThread::msleep(150);
        state.ResumeTiming();
        snd.closeAll();
    }
}
BENCHMARK(BM_CloseAllWhilePlaying)
    ->ArgName("wav0_mp3_1_mid2")
    ->DenseRange(0, 2)
    ->Iterations(20)
    ->Unit(benchmark::kMicrosecond);

// Plays the sound on S2 and waits for its first audio at the sink; -1 when none came.
qint64 firstAudioUs(q47::SoundChannels &snd, const QString &path) {
    snd.play(path, q47::SoundChannel::S2, q47::SoundWait::No, 0);
    QElapsedTimer guard;
    guard.start();
    qint64 us = -1;
    while ((us = snd.status(q47::SoundChannel::S2).firstBufferUs) < 0 && guard.elapsed() < 5000)
        QThread::usleep(100);
    return us;
}

void BM_FirstAudioAtSink(benchmark::State &state) {
    q47::SoundChannels snd(kSink);
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
    q47::SoundChannels snd(kSink);
    for (auto _ : state)
        snd.play(sounds().half, q47::SoundChannel::S3, q47::SoundWait::UntilEnd, 0);
}
BENCHMARK(BM_WaitedHalfSecondWav)->Iterations(5)->Unit(benchmark::kMillisecond);

// The sink the environment names, unsynchronised: two seconds of sound pass in far less.
void BM_WaitedTwoSecondsIntoAnUnclockedSinkFromTheEnvironment(benchmark::State &state) {
    qputenv(q47::kAudioSinkVariable, "fakesink sync=false");
    q47::SoundChannels snd;
    for (auto _ : state)
        snd.play(sounds().two, q47::SoundChannel::S3, q47::SoundWait::UntilEnd, 0);
    qunsetenv(q47::kAudioSinkVariable);
}
BENCHMARK(BM_WaitedTwoSecondsIntoAnUnclockedSinkFromTheEnvironment)
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
