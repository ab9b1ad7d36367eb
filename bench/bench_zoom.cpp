// The enlarged board: F11 from the key press to the board repainted full screen (and back to
// the window), and the off-screen picture of the board at scale 1 and 3.
#include "boardmodel.h"
#include "ledboard.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWindow>

#include <benchmark/benchmark.h>

namespace {

// Counts the board's own paint events.
struct PaintCount : QObject {
    int paints = 0;
    bool eventFilter(QObject *, QEvent *event) override {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

struct Board {
    q47::BoardModel model;
    q47::LedBoard board{model};
    PaintCount count;

    Board() {
        model.setPicture(q47::BoardPicture::builtIn(0));
        for (int k = 1; k <= 50; ++k)
            model.setCellValue(k, 100 + 10 * k);
        model.setStopName(QStringLiteral("市役所前"));
        board.installEventFilter(&count);
    }
    void show() {
        board.show();
        for (int i = 0; i < 200 && !board.windowHandle()->isExposed(); ++i)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        if (!board.windowHandle()->isExposed())
            qFatal("the board was never exposed");
        settle();
    }
    // Whatever the window system still has to say about the last change.
    void settle() {
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    // F11 pressed and released, then the event loop run until the board has been painted at
    // its new size and sent to the screen.
    void switchFullScreen() {
        const int before = count.paints;
        QKeyEvent press(QEvent::KeyPress, Qt::Key_F11, Qt::NoModifier);
        QCoreApplication::sendEvent(&board, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_F11, Qt::NoModifier);
        QCoreApplication::sendEvent(&board, &release);
        while (count.paints == before)
            QCoreApplication::processEvents();
    }
};

void BM_FullScreenEnter(benchmark::State &state) {
    Board b;
    b.show();
    for (auto _ : state) {
        b.switchFullScreen();
        state.PauseTiming();
        state.counters["scale"] = b.board.boardScale();
        b.settle();
        b.switchFullScreen();
        b.settle();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_FullScreenEnter)->Unit(benchmark::kMillisecond);

void BM_FullScreenLeave(benchmark::State &state) {
    Board b;
    b.show();
    for (auto _ : state) {
        state.PauseTiming();
        b.switchFullScreen();
        b.settle();
        state.ResumeTiming();
        b.switchFullScreen();
        state.PauseTiming();
        b.settle();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_FullScreenLeave)->Unit(benchmark::kMillisecond);

void BM_RenderBoard(benchmark::State &state) {
    Board b;
    const qreal scale = static_cast<qreal>(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(b.board.renderBoard(scale));
}
BENCHMARK(BM_RenderBoard)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond);

} // namespace
