// The ticket preview at every stop: the full sample ticket (texts, rules and a Code 128
// barcode) drawn at device pixel ratio 1 and 2, with a new ticket number each time; asking the
// host about an unchanged plug-in file; and reading the file the first time.
#include "pluginformat.h"
#include "ticketplugin.h"

#include <QFile>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

namespace {

const QString kFull = QStringLiteral(Q47_SAMPLES "/plugins/full.4SP");

void BM_DrawTicket(benchmark::State &state) {
    const qreal dpr = static_cast<qreal>(state.range(0));
    q47::PlgInfo info;
    if (!q47::KB4_GetPlgInfo(kFull, info))
        qFatal("the sample plug-in is not valid");
    const QSize size(info.widthTwips / 15, info.heightTwips / 15);
    QImage img(size * dpr, QImage::Format_RGB32);
    img.setDevicePixelRatio(dpr);
    int stop = 0;
    for (auto _ : state) {
        img.fill(Qt::white);
        QPainter painter(&img);
        stop = stop % 60 + 1;
        q47::KB4_DrawSeiriken(kFull, painter, QStringLiteral("市役所前"),
                              QStringLiteral("05-17-2025"), QStringLiteral("14:05:09"), 12,
                              static_cast<qint16>(stop), stop, stop % 3);
    }
}
BENCHMARK(BM_DrawTicket)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

void BM_GetPlgInfoUnchangedFile(benchmark::State &state) {
    q47::PlgInfo info;
    for (auto _ : state)
        if (!q47::KB4_GetPlgInfo(kFull, info))
            qFatal("the sample plug-in is not valid");
}
BENCHMARK(BM_GetPlgInfoUnchangedFile)->Unit(benchmark::kMicrosecond);

void BM_ParseFullSample(benchmark::State &state) {
    QFile file(kFull);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read the sample plug-in");
    const QByteArray bytes = file.readAll();
    for (auto _ : state)
        benchmark::DoNotOptimize(q47::ticket::parsePlugin(bytes));
}
BENCHMARK(BM_ParseFullSample)->Unit(benchmark::kMicrosecond);

} // namespace
