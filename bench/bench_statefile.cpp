// The state file at the exit and at the start: encoding, decoding, and the save including its
// flush to disk, for a file in use (every path a Japanese one, about 2 KB).
#include "statefile.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

q47::StateRecords inUse() {
    q47::StateRecords r;
    const auto layout = q47::optionLayout();
    for (size_t k = 0; k < layout.size(); ++k) {
        if (layout[k].kind == q47::SettingKind::Text)
            r.options[k].text.setText(
                QStringLiteral("/home/運転士/バス運賃表示/路線データ/営業所%1/放送音声.wav")
                    .arg(k));
        else
            r.options[k].number = qint32(k % 2);
    }
    for (int k = 0; k < q47::kCellCount; ++k)
        r.cells[size_t(k)] = {qint16(k % 3), 1, 0};
    return r;
}

void BM_Encode(benchmark::State &state) {
    const q47::StateRecords records = inUse();
    for (auto _ : state)
        benchmark::DoNotOptimize(q47::encodeState(records));
    state.SetLabel(std::to_string(q47::encodeState(records).size()) + " bytes");
}
BENCHMARK(BM_Encode)->Unit(benchmark::kMicrosecond);

// Every text changed since the file was read, so that each is converted to CP932 again.
void BM_EncodeEveryTextChanged(benchmark::State &state) {
    const q47::StateRecords records = inUse();
    const auto layout = q47::optionLayout();
    int round = 0;
    for (auto _ : state) {
        q47::StateRecords changed = records;
        for (size_t k = 0; k < layout.size(); ++k) {
            if (layout[k].kind == q47::SettingKind::Text)
                changed.options[k].text.setText(records.options[k].text.text() +
                                                QString::number(++round % 2));
        }
        benchmark::DoNotOptimize(q47::encodeState(changed));
    }
}
BENCHMARK(BM_EncodeEveryTextChanged)->Unit(benchmark::kMicrosecond);

void BM_Decode(benchmark::State &state) {
    const QByteArray file = q47::encodeState(inUse());
    for (auto _ : state) {
        const q47::Result<q47::StateRecords> read = q47::decodeState(file);
        if (!read)
            state.SkipWithError("the file did not decode");
        benchmark::DoNotOptimize(read);
    }
}
BENCHMARK(BM_Decode)->Unit(benchmark::kMicrosecond);

// The safe writer's temporary file, fsync, rename and the folder's fsync: what the exit waits
// for.
void BM_SaveToDisk(benchmark::State &state) {
    // In the working folder: /tmp may be held in memory, where a flush costs nothing.
    QTemporaryDir dir(QStringLiteral("bench_statefile-XXXXXX"));
    const QString path = dir.filePath(QStringLiteral("Q47.in4"));
    const QByteArray file = q47::encodeState(inUse());
    for (auto _ : state) {
        if (!q47::saveStateFile(path, file))
            state.SkipWithError("the save failed");
    }
}
BENCHMARK(BM_SaveToDisk)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
