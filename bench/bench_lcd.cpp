// The LCD fare display: one stop step repainted, at 960 x 540 and in full screen at 1920 x 1080.
// "Route": the stops of both sample routes in turn, a full page of 24 fares each, so that
// after one round every name has been drawn before. "NewName": a name never drawn before at
// every step (its characters known). "Cold": every kept text dropped before the step, so each
// glyph is rendered afresh; the background is kept, as it is between steps.
#include "lcdrenderer.h"

#include <QImage>
#include <QPainter>
#include <QStringList>

#include <benchmark/benchmark.h>

using namespace q47;

namespace {

const QStringList kNames =
    QStringLiteral("駅前 本町一丁目 市役所前 中央公園 県立中央病院前 桜ヶ丘 東高校前 "
                   "市民文化会館入口 緑町 工業団地 北ニュータウン 北営業所 駅西口 新町 "
                   "中町 図書館前 大学正門前 団地中央 山の手三丁目 運動公園 温泉入口 "
                   "ダム湖畔 上ノ原 峠口 西山分校前 西山 西山車庫")
        .split(QLatin1Char(' '));

BoardContent stop(int i, const QString &name) {
    BoardContent c;
    for (int k = 1; k <= kBoardCells; ++k)
        c.cells[size_t(k)] = k <= 24 ? 170 + 30 * ((i + 24 - k) % 40) : 0;
    c.route.highestSeiriNo = 24;
    c.stopName = name;
    c.route.number = QStringLiteral("12");
    c.route.headsign = QStringLiteral("西山車庫行");
    c.time = QTime(10, 24);
    c.backlight = 2;
    return c;
}

enum class Kind { Route, NewName, Cold };

void step(benchmark::State &state, Kind kind) {
    const QSize size(int(state.range(0)), int(state.range(0)) * 9 / 16);
    QImage surface(size, QImage::Format_ARGB32_Premultiplied);
    lcd::LcdRenderer renderer;
    {
        QPainter p(&surface);
        renderer.paint(p, size, 1, stop(0, kNames[0]), {});
    }
    int i = 0;
    for (auto _ : state) {
        ++i;
        QString name = kNames[i % kNames.size()];
        if (kind != Kind::Route)
            name += QString::number(i);
        const BoardContent content = stop(i, name);
        if (kind == Kind::Cold) {
            state.PauseTiming();
            renderer.dropTextCaches();
            state.ResumeTiming();
        }
        QPainter p(&surface);
        renderer.paint(p, size, 1, content, {});
        p.end();
        benchmark::DoNotOptimize(surface.constBits());
    }
}

void BM_LcdStep_Route(benchmark::State &state) {
    step(state, Kind::Route);
}
void BM_LcdStep_NewName(benchmark::State &state) {
    step(state, Kind::NewName);
}
void BM_LcdStep_Cold(benchmark::State &state) {
    step(state, Kind::Cold);
}
// A new renderer's first picture at a size: the background and every text drawn afresh, as
// after a change of size.
void BM_LcdFirstPaint(benchmark::State &state) {
    const QSize size(int(state.range(0)), int(state.range(0)) * 9 / 16);
    QImage surface(size, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        lcd::LcdRenderer renderer;
        QPainter p(&surface);
        renderer.paint(p, size, 1, stop(1, kNames[1]), {});
    }
}

BENCHMARK(BM_LcdStep_Route)->Arg(960)->Arg(1920)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LcdStep_NewName)->Arg(960)->Arg(1920)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LcdStep_Cold)->Arg(960)->Arg(1920)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LcdFirstPaint)->Arg(960)->Arg(1920)->Unit(benchmark::kMicrosecond);

} // namespace
