// Loading an announcement list when a route is set: the file read, split into lines and every
// line parsed. A list of 100,000 short entries, one entry whose text is 1 MB, and a list at the
// size limit (64 MiB) of bare line ends, the most entries a file can hold. The peak resident
// memory of the run is printed at the end (run one benchmark at a time to read it for one).
#include "announcementtape.h"
#include "fakespeech.h"
#include "recordingsound.h"
#include "settingsstore.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>

#include <sys/resource.h>

namespace {

void loadList(benchmark::State &state, const QByteArray &list, int entries) {
    QTemporaryDir dir;
    const QString folder = dir.path() + QLatin1Char('/');
    QFile file(q47::AnnouncementTape::listPath(folder, QStringLiteral("1")));
    if (!file.open(QIODevice::WriteOnly) || file.write(list) != list.size())
        qFatal("cannot write the list");
    file.close();

    q47::SettingsStore settings;
    q47::RecordingSound sound;
    q47::FakeTapeView view;
    QStringList log;
    q47::AnnouncementTape tape(
        settings, sound, view, [&log] { return std::make_unique<q47::FakeSpeech>(log); },
        [] { return QStringLiteral("Linux"); });
    tape.startEngine();
    for (auto _ : state) {
        tape.loadList(folder, QStringLiteral("1"));
        if (tape.count() != entries || !view.buttonsEnabled)
            qFatal("the list did not load");
    }
    state.SetBytesProcessed(state.iterations() * list.size());
}

void BM_Load100000Lines(benchmark::State &state) {
    QByteArray list;
    for (int k = 1; k <= 100000; ++k)
        list +=
            "\"\x8E\x9F\x82\xCD\x81\x41\x89\x77\x91\x4F\x82\xC5\x82\xB7\x81\x42" + // 次は、駅前です。
            QByteArray::number(k) + "\"," + QByteArray::number(k % 2) + ',' +
            QByteArray::number(k % 4) + "\r\n";
    loadList(state, list, 100000);
}
BENCHMARK(BM_Load100000Lines)->Unit(benchmark::kMillisecond);

void BM_LoadOneMegabyteLine(benchmark::State &state) {
    QByteArray text;
    while (text.size() < 1024 * 1024)
        text += "\x89\x77\x91\x4F"; // 駅前
    loadList(state, '"' + text + "\",1,2\r\n", 1);
}
BENCHMARK(BM_LoadOneMegabyteLine)->Unit(benchmark::kMillisecond);

void BM_LoadLimitOfBareLineEnds(benchmark::State &state) {
    const qint64 size = q47::AnnouncementTape::kMaxListBytes;
    loadList(state, QByteArray(size, '\n'), static_cast<int>(size));
}
BENCHMARK(BM_LoadLimitOfBareLineEnds)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char **argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak resident memory: %ld MiB\n", usage.ru_maxrss / 1024);
    return 0;
}
