// Fifty fare cells written into the board's model, which the LED board's cells follow, each
// redrawing its cached surface; the fifty ticket-number labels numbered afresh.
// Run with QT_SCALE_FACTOR=2 to measure the drawing at device pixel ratio 2.
#include "boardmodel.h"
#include "ledboard.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

namespace {

void BM_FiftyCellsSetValue(benchmark::State &state) {
    q47::BoardModel model;
    q47::LedBoard board(model);
    board.show();
    QCoreApplication::processEvents();
    int fare = 150;
    for (auto _ : state) {
        for (int k = 1; k <= 50; ++k)
            model.setCellValue(k, fare + k * 10);
        fare = fare == 150 ? 160 : 150; // every round changes every cell
    }
    state.counters["dpr"] = board.devicePixelRatioF();
    state.SetItemsProcessed(state.iterations() * 50);
}
BENCHMARK(BM_FiftyCellsSetValue)->Unit(benchmark::kMicrosecond);

void BM_FiftyCellsLampTest(benchmark::State &state) {
    q47::BoardModel model;
    q47::LedBoard board(model);
    for (auto _ : state)
        for (int k = 1; k <= 50; ++k)
            model.resetCell(k, -1);
}
BENCHMARK(BM_FiftyCellsLampTest)->Unit(benchmark::kMicrosecond);

// The fifty ticket-number labels rewritten for a numbering style, alternating between two
// styles so that every round changes every caption and label 1's face.
void BM_SeirikenNumSet(benchmark::State &state) {
    q47::BoardModel model;
    q47::LedBoard board(model);
    model.setLabelsShown(true);
    board.show();
    QCoreApplication::processEvents();
    int style = 0;
    for (auto _ : state) {
        model.setNumbering(style, false);
        style = style == 0 ? 8 : 0;
    }
}
BENCHMARK(BM_SeirikenNumSet)->Unit(benchmark::kMicrosecond);

} // namespace
