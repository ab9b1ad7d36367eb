// Showing a 30-character place name: the first time (every glyph rasterised on the work
// surface) and again (patterns from the cache), and rendering the strip for the screen.
#include "cp932.h"
#include "dotnamemodel.h"
#include "dotnamerenderer.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

const QString kName =
    QStringLiteral("東京都千代田区丸の内一丁目北口前中央郵便局入口南側停留所行き");

void BM_SetDotNameFirstTime(benchmark::State &state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto model = std::make_unique<q47::DotNameModel>();
        state.ResumeTiming();
        model->showName(kName);
        benchmark::DoNotOptimize(model->stripRevision());
        state.PauseTiming();
        model.reset();
        state.ResumeTiming();
    }
    state.counters["cells"] = q47::LenB_ASCII(kName) / 2;
}
BENCHMARK(BM_SetDotNameFirstTime)->Unit(benchmark::kMicrosecond);

void BM_SetDotNameCached(benchmark::State &state) {
    q47::DotNameModel model;
    model.showName(kName);
    for (auto _ : state) {
        model.showName(kName);
        benchmark::DoNotOptimize(model.stripRevision());
    }
    state.counters["rasterised"] = model.glyphs().rasterisedCount();
}
BENCHMARK(BM_SetDotNameCached)->Unit(benchmark::kMicrosecond);

// The part of a new name's cost that the widget adds at its next paint.
void BM_RenderStrip(benchmark::State &state) {
    const qreal ratio = static_cast<qreal>(state.range(0)) / 4;
    q47::DotNameModel model;
    model.showName(kName);
    for (auto _ : state) {
        QImage out = q47::renderDotNameStrip(model.strip(), model.BackColor(), ratio);
        benchmark::DoNotOptimize(out.constBits());
    }
    state.counters["dpr"] = ratio;
}
BENCHMARK(BM_RenderStrip)->Arg(4)->Arg(6)->Arg(8)->Unit(benchmark::kMicrosecond);

} // namespace
