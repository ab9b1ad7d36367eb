// Audio against picture in a recording: every frame where the board changes (a step or the
// "まもなく" phase) against the onset of the sound nearest to it (the step's chime or the
// announcement's words, started at the same moment). Prints each pair and the largest gap, in
// milliseconds and in frames.
//   recording_sync VIDEO WIDTH HEIGHT FPS
#include "soundtrack.h"
#include "videoreadback.h"

#include <QCoreApplication>
#include <QImage>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace q47;

int main(int argc, char *argv[]) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: recording_sync VIDEO WIDTH HEIGHT FPS\n");
        return 2;
    }
    QCoreApplication app(argc, argv);
    const QSize size(std::atoi(argv[2]), std::atoi(argv[3]));
    const int fps = std::atoi(argv[4]);
    QImage last;
    std::vector<qint64> changes;
    const VideoReadBack back =
        readVideoFile(QString::fromLocal8Bit(argv[1]), size, [&](qint64 ms, const QImage &frame) {
            // Below the header's clock, which changes every minute of the ride.
            const QImage body =
                frame.copy(0, size.height() / 5, size.width(), size.height() * 4 / 5);
            if (!last.isNull()) {
                qint64 diff = 0;
                for (int y = 0; y < body.height(); y += 2)
                    for (int x = 0; x < body.width(); x += 2)
                        diff += std::abs(qGray(body.pixel(x, y)) - qGray(last.pixel(x, y)));
                // A changed name band, not the encoder's noise.
                if (diff > qint64(body.width()) * body.height() / 4 / 8)
                    changes.push_back(ms);
            }
            last = body;
        });
    // Onsets: a 5 ms window loud after at least 150 ms of quiet.
    const int window = kTrackRate / 200;
    std::vector<qint64> onsets;
    int quiet = 0;
    for (size_t i = 0; i + size_t(window) * 2 <= back.pcm.size(); i += size_t(window) * 2) {
        float peak = 0;
        for (size_t j = i; j < i + size_t(window) * 2; ++j)
            peak = std::max(peak, std::abs(back.pcm[j]));
        if (peak > 0.02f) {
            if (quiet >= 30)
                onsets.push_back(qint64(i / 2) * 1000 / kTrackRate);
            quiet = 0;
        } else {
            ++quiet;
        }
    }
    qint64 worst = 0;
    int paired = 0;
    for (const qint64 change : changes) {
        qint64 best = -1;
        for (const qint64 onset : onsets)
            if (best < 0 || std::llabs(onset - change) < std::llabs(best - change))
                best = onset;
        // A change without a sound of its own (a page turn) has none within half a second.
        if (best < 0 || std::llabs(best - change) > 500)
            continue;
        ++paired;
        worst = std::max(worst, std::llabs(best - change));
        std::printf("board %7lld ms  sound %7lld ms  gap %+5lld ms\n", (long long)change,
                    (long long)best, (long long)(best - change));
    }
    std::printf("%d changes with their sound; largest gap %lld ms = %.2f frames at %d fps\n",
                paired, (long long)worst, double(worst) * fps / 1000.0, fps);
    return paired > 0 ? 0 : 1;
}
