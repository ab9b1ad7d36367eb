// Audio against picture in a recording made with a chime as the step sound and no
// announcements (bench/record.sh): every sound's onset (a step's chime) against the frame
// nearest to it where the board changes. Prints each pair and the largest gap, in milliseconds
// and in frames.
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
                for (int y = 0; y < body.height(); y += 2) {
                    const auto *now = reinterpret_cast<const QRgb *>(body.constScanLine(y));
                    const auto *before = reinterpret_cast<const QRgb *>(last.constScanLine(y));
                    for (int x = 0; x < body.width(); x += 2)
                        diff += std::abs(qGray(now[x]) - qGray(before[x]));
                }
                // A changed name or fare, not the encoder's noise (still pictures are repeated).
                if (diff > qint64(body.width()) * body.height() / 4 / 64)
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
    // Each chime against the board's change nearest to it: a change without a sound of its own
    // (a page turn, the clock) is no chime's.
    qint64 worst = 0;
    int paired = 0;
    for (const qint64 onset : onsets) {
        qint64 best = -1;
        for (const qint64 change : changes)
            if (best < 0 || std::llabs(change - onset) < std::llabs(best - onset))
                best = change;
        if (best < 0 || std::llabs(best - onset) > 500) {
            std::printf("sound %7lld ms  without a change within 500 ms\n", (long long)onset);
            continue;
        }
        ++paired;
        worst = std::max(worst, std::llabs(onset - best));
        std::printf("board %7lld ms  sound %7lld ms  gap %+5lld ms\n", (long long)best,
                    (long long)onset, (long long)(onset - best));
    }
    std::printf("%d chimes with their change of the board; largest gap %lld ms = %.2f frames at "
                "%d fps\n",
                paired, (long long)worst, double(worst) * fps / 1000.0, fps);
    return paired > 0 ? 0 : 1;
}
