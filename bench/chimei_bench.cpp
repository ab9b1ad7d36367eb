// Showing a 30-character place name: the first time (every glyph rasterised on the work
// surface) and again (patterns from the cache), and rendering the strip for the screen.
#include "chimeimodel.h"
#include "chimeirenderer.h"
#include "cp932.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

const QString kName =
    QStringLiteral("東京都千代田区丸の内一丁目北口前中央郵便局入口南側停留所行き");

void BM_SetChimeiFirstTime(benchmark::State &state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto model = std::make_unique<q47::ChimeiModel>();
        state.ResumeTiming();
        model->SetChimei(kName);
        benchmark::DoNotOptimize(model->stripRevision());
        state.PauseTiming();
        model.reset();
        state.ResumeTiming();
    }
    state.counters["cells"] = q47::LenB_ASCII(kName) / 2;
}
BENCHMARK(BM_SetChimeiFirstTime)->Unit(benchmark::kMicrosecond);

void BM_SetChimeiCached(benchmark::State &state) {
    q47::ChimeiModel model;
    model.SetChimei(kName);
    for (auto _ : state) {
        model.SetChimei(kName);
        benchmark::DoNotOptimize(model.stripRevision());
    }
    state.counters["rasterised"] = model.glyphs().rasterisedCount();
}
BENCHMARK(BM_SetChimeiCached)->Unit(benchmark::kMicrosecond);

// The part of a new name's cost that the widget adds at its next paint.
void BM_RenderStrip(benchmark::State &state) {
    const qreal ratio = static_cast<qreal>(state.range(0)) / 4;
    q47::ChimeiModel model;
    model.SetChimei(kName);
    for (auto _ : state) {
        QImage out = q47::renderChimeiStrip(model.strip(), model.BackColor(), ratio);
        benchmark::DoNotOptimize(out.constBits());
    }
    state.counters["dpr"] = ratio;
}
BENCHMARK(BM_RenderStrip)->Arg(4)->Arg(6)->Arg(8)->Unit(benchmark::kMicrosecond);

} // namespace
