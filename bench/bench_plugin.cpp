// The ticket preview at every stop: the full sample ticket (texts, rules and a Code 128
// barcode) drawn at device pixel ratio 1 and 2, with a new ticket number each time; asking the
// host about an unchanged plug-in file; and reading the file the first time. Then the dearest
// plug-in the format's limits allow: drawn in this process at ratio 1 and 2, and as the user
// sees it, `Q47 --ticket` from start to exit at scale 1 and 8 with its peak resident memory.
#include "pluginformat.h"
#include "processusage.h"
#include "ticketplugin.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

const QString kFull = QStringLiteral(Q47_SAMPLES "/plugins/full.4SP");

// The largest ticket, filled up to the drawing cost allowed with the items that take longest
// for their cost: condensed texts of the largest glyphs, then QR codes and slanted rules.
QByteArray dearestPlugin() {
    QByteArray bytes = "Q47 ticket plug-in 1\n[ticket]\nsize = 640 x 640\n[capabilities]\n";
    for (const char *key :
         {"print date", "print time", "print route", "print stop name", "print barcode",
          "barcode count", "highest route", "barcode route method", "lowest stop", "highest stop",
          "company switching"})
        bytes += QByteArray(key) + " = 1\n";
    bytes += "[layout]\n";
    const QByteArray many = QString(40, QChar(u'券')).toUtf8();
    const QByteArray items[] = {
        "text x=0 y=0 w=640 h=640 size=640 text=\"" + many + "\"\n",
        "text x=0 y=0 w=640 h=640 size=300 text=\"" + many + "\"\n",
        "barcode x=0 y=0 w=640 h=640 type=qr level=H data=\"" + QByteArray(250, 'Q') + "\"\n",
        "line x1=0 y1=0 x2=640 y2=639 width=100\n",
        "box x=0 y=0 w=640 h=640 color=navy\n",
    };
    for (const QByteArray &item : items)
        while (q47::ticket::parsePlugin(bytes + item))
            bytes += item;
    return bytes;
}

// The dearest plug-in in a file of its own for the whole run.
const QString &dearestFile() {
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString p = dir.filePath(QStringLiteral("dearest.4SP"));
        QFile f(p);
        if (!f.open(QIODevice::WriteOnly) || f.write(dearestPlugin()) < 0)
            qFatal("cannot write the dearest plug-in");
        return p;
    }();
    return path;
}

void drawTickets(benchmark::State &state, const QString &plugin) {
    const qreal dpr = static_cast<qreal>(state.range(0));
    const auto read = q47::ticketPluginInfo(plugin);
    if (!read)
        qFatal("the plug-in is not valid");
    const q47::PlgInfo &info = *read;
    const QSize size(info.widthTwips / 15, info.heightTwips / 15);
    QImage img(size * dpr, QImage::Format_RGB32);
    img.setDevicePixelRatio(dpr);
    int stop = 0;
    for (auto _ : state) {
        img.fill(Qt::white);
        QPainter painter(&img);
        stop = stop % 60 + 1;
        q47::drawPluginTicket(plugin, painter, QStringLiteral("市役所前"),
                              QStringLiteral("05-17-2025"), QStringLiteral("14:05:09"), 12,
                              static_cast<qint16>(stop), stop, stop % 3);
    }
}

void BM_DrawTicket(benchmark::State &state) {
    drawTickets(state, kFull);
}
BENCHMARK(BM_DrawTicket)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

void BM_DrawDearestTicket(benchmark::State &state) {
    drawTickets(state, dearestFile());
}
BENCHMARK(BM_DrawDearestTicket)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// The whole `Q47 --ticket` process on the dearest plug-in at scale 1 and 8.
void BM_DearestTicketProgram(benchmark::State &state) {
    QTemporaryDir out;
    const QByteArray png = QFile::encodeName(out.filePath(QStringLiteral("ticket.png")));
    const QByteArray scale = QByteArray::number(state.range(0));
    long peakKiB = 0;
    for (auto _ : state) {
        const q47::bench::ProcessRun run =
            q47::bench::runProcess({Q47_PROGRAM, "--ticket", png, "--plugin",
                                    QFile::encodeName(dearestFile()), "--scale", scale});
        if (run.status != 0)
            qFatal("Q47 --ticket failed");
        state.SetIterationTime(run.seconds);
        peakKiB = std::max(peakKiB, run.maxRssKiB);
    }
    state.counters["peak_MiB"] = double(peakKiB) / 1024.0;
}
BENCHMARK(BM_DearestTicketProgram)
    ->Arg(1)
    ->Arg(8)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

void BM_GetPlgInfoUnchangedFile(benchmark::State &state) {
    for (auto _ : state)
        if (!q47::ticketPluginInfo(kFull))
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
