// Setting Value on all fifty fare cells, each of which redraws its cached surface; rewriting
// the fifty ticket-number labels.
// Run with QT_SCALE_FACTOR=2 to measure the drawing at device pixel ratio 2.
#include "form1.h"
#include "mdegit.h"
#include "mdlq47_000.h"

#include <QLabel>

#include <QCoreApplication>

#include <benchmark/benchmark.h>

namespace {

void BM_FiftyCellsSetValue(benchmark::State &state) {
    q47::Form1 board;
    board.show();
    QCoreApplication::processEvents();
    int fare = 150;
    for (auto _ : state) {
        for (int k = 1; k <= 50; ++k)
            board.Degit(k)->setValue(fare + k * 10);
        fare = fare == 150 ? 160 : 150; // every round changes every cell
    }
    state.counters["dpr"] = board.Degit(1)->surface().devicePixelRatio();
    state.SetItemsProcessed(state.iterations() * 50);
}
BENCHMARK(BM_FiftyCellsSetValue)->Unit(benchmark::kMicrosecond);

void BM_FiftyCellsLampTest(benchmark::State &state) {
    q47::Form1 board;
    for (auto _ : state)
        for (int k = 1; k <= 50; ++k)
            board.Degit(k)->ResetDegit(-1);
}
BENCHMARK(BM_FiftyCellsLampTest)->Unit(benchmark::kMicrosecond);

// The fifty ticket-number labels rewritten for a numbering style, alternating between two
// styles so that every round changes every caption and label 1's face.
void BM_SeirikenNumSet(benchmark::State &state) {
    q47::Form1 board;
    for (int k = 1; k <= 50; ++k)
        board.lblSeiriNum(k)->setVisible(true);
    board.show();
    QCoreApplication::processEvents();
    qint16 style = 0;
    for (auto _ : state) {
        q47::SeirikenNumSet(board, style, 0);
        style = style == 0 ? 8 : 0;
    }
}
BENCHMARK(BM_SeirikenNumSet)->Unit(benchmark::kMicrosecond);

} // namespace
