// The speech engine's latency, spoken into a clocked fake sink:
//  - from speak() to the first audio at the sink, for a sentence with kanji and a number,
//  - how long speak() keeps the caller while an entry is playing (it replaces that entry),
//  - how long stop() keeps the caller, and how long until the stopped entry's pipeline is gone.

#include "espeakspeech.h"

#include <benchmark/benchmark.h>

#include <QElapsedTimer>
#include <QThread>

#include <functional>

namespace {

const QString kSentence = QStringLiteral("次は、市役所前です。12番のりばへどうぞ。");

q47::EspeakSpeech *engine(benchmark::State &state) {
    static const std::unique_ptr<q47::EspeakSpeech> speech =
        q47::EspeakSpeech::create({}, QStringLiteral("fakesink sync=true")).value_or(nullptr);
    if (!speech)
        state.SkipWithError("the speech engine is unavailable");
    return speech.get();
}

bool waitFor(const std::function<bool()> &condition) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > 10000)
            return false;
        QThread::usleep(200);
    }
    return true;
}

// Speaks and waits until the entry is heard.
bool speakUntilHeard(q47::EspeakSpeech &speech) {
    const quint64 entry = speech.status().utterances + 1;
    speech.speak(kSentence);
    return waitFor([&] {
        const q47::SpeechStatus status = speech.status();
        return status.utterances == entry && status.buffers > 0;
    });
}

void BM_SpeakToFirstBuffer(benchmark::State &state) {
    q47::EspeakSpeech *engine = ::engine(state);
    if (!engine)
        return;
    q47::EspeakSpeech &speech = *engine;
    for (auto _ : state) {
        if (!speakUntilHeard(speech)) {
            state.SkipWithError("no audio reached the sink");
            break;
        }
        state.SetIterationTime(double(speech.status().firstBufferUs) / 1e6);
        speech.stop();
        speech.waitIdle(10000);
    }
}

void BM_SpeakReturnWhilePlaying(benchmark::State &state) {
    q47::EspeakSpeech *engine = ::engine(state);
    if (!engine)
        return;
    q47::EspeakSpeech &speech = *engine;
    for (auto _ : state) {
        state.PauseTiming();
        if (!speakUntilHeard(speech)) {
            state.SkipWithError("no audio reached the sink");
            break;
        }
        state.ResumeTiming();
        speech.speak(kSentence);
    }
    speech.stop();
    speech.waitIdle(10000);
}

void BM_StopReturn(benchmark::State &state) {
    q47::EspeakSpeech *engine = ::engine(state);
    if (!engine)
        return;
    q47::EspeakSpeech &speech = *engine;
    for (auto _ : state) {
        state.PauseTiming();
        if (!speakUntilHeard(speech)) {
            state.SkipWithError("no audio reached the sink");
            break;
        }
        state.ResumeTiming();
        speech.stop();
        state.PauseTiming();
        speech.waitIdle(10000);
        state.ResumeTiming();
    }
}

// Muting is immediate; this is how long the stopped entry's pipeline still exists.
void BM_StopToTornDown(benchmark::State &state) {
    q47::EspeakSpeech *engine = ::engine(state);
    if (!engine)
        return;
    q47::EspeakSpeech &speech = *engine;
    for (auto _ : state) {
        state.PauseTiming();
        if (!speakUntilHeard(speech)) {
            state.SkipWithError("no audio reached the sink");
            break;
        }
        state.ResumeTiming();
        speech.stop();
        speech.waitIdle(10000);
    }
}

} // namespace

BENCHMARK(BM_SpeakToFirstBuffer)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(30);
BENCHMARK(BM_SpeakReturnWhilePlaying)->Unit(benchmark::kMicrosecond)->Iterations(30);
BENCHMARK(BM_StopReturn)->Unit(benchmark::kMicrosecond)->Iterations(30);
BENCHMARK(BM_StopToTornDown)->Unit(benchmark::kMillisecond)->Iterations(30);

BENCHMARK_MAIN();
