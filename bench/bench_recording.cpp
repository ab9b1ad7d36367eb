// The recording's encoder at 1920 x 1080, 30 fps: seconds of video made per second of work
// (times real time) for H.264 + AAC and VP9 + Opus, and the whole process's peak memory, each
// format in a process of its own. Frames come from a cheap source (four board-like pictures
// taken in turn every two seconds), the sound is a chime every five seconds.
//   bench_recording [SECONDS]          (default 20)
#include "processusage.h"
#include "soundtrack.h"
#include "videoencoder.h"

#include <QDir>
#include <QGuiApplication>
#include <QPainter>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>
#include <numbers>

using namespace q47;

namespace {

std::vector<QImage> pictures(QSize size) {
    std::vector<QImage> out;
    for (int k = 0; k < 4; ++k) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(QColor(20, 20, 24));
        QPainter p(&image);
        for (int cell = 0; cell < 50; ++cell) {
            const QRect r(40 + (cell % 10) * 184, 60 + (cell / 10) * 150, 170, 130);
            p.fillRect(r, QColor(40, 40, 44));
            p.setPen(QColor(255, 140, 0));
            p.setFont(QFont(QStringLiteral("DejaVu Sans"), 40, QFont::Bold));
            p.drawText(r, Qt::AlignCenter, QString::number((cell + 1) * 10 * (k + 1)));
        }
        p.fillRect(QRect(0, 840, size.width(), 240), QColor(0, 60 + 40 * k, 0));
        out.push_back(image);
    }
    return out;
}

int child(const QString &path, int seconds) {
    const VideoSettings settings{QSize(1920, 1080), 30, *videoFormatForPath(path)};
    const std::vector<QImage> frames = pictures(settings.size);
    auto chime = std::make_shared<PcmClip>();
    for (int i = 0; i < kTrackRate; ++i) {
        const float v = 0.4f * std::exp(-3.0f * float(i) / kTrackRate) *
                        std::sin(2 * std::numbers::pi_v<float> * 660 * float(i) / kTrackRate);
        chime->samples.insert(chime->samples.end(), {v, v});
    }
    SoundTrack track;
    for (int s = 0; s < seconds; s += 5)
        track.place(0, qint64(s) * kTrackRate, chime);
    RecordingJob job{path,
                     settings,
                     qint64(seconds) * settings.fps,
                     [&](qint64 k) { return frames[size_t(k / 60 % 4)]; },
                     &track,
                     {}};
    const RecordingResult r = recordVideo(job);
    if (r.outcome != RecordingOutcome::Written) {
        std::fprintf(stderr, "%s\n", qPrintable(r.failure.value_or(Error{}).text()));
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[]) {
    if (argc == 4 && QByteArray(argv[1]) == "--child") {
        QGuiApplication app(argc, argv);
        return child(QString::fromLocal8Bit(argv[2]), std::atoi(argv[3]));
    }
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    QTemporaryDir dir;
    std::printf("%d s of video at 1920 x 1080, 30 fps, on %ld cores\n", seconds,
                sysconf(_SC_NPROCESSORS_ONLN));
    for (const char *name : {"ride.mp4", "ride.webm"}) {
        const QByteArray out = QFile::encodeName(QDir(dir.path()).filePath(name));
        const bench::ProcessRun run =
            bench::runProcess({QByteArray(argv[0]), "--child", out, QByteArray::number(seconds)});
        if (run.status != 0) {
            std::printf("%-10s failed (%d)\n", name, run.status);
            continue;
        }
        std::printf("%-10s %6.2f s  %5.2fx real time  peak %6.1f MiB  %7.1f KiB\n", name,
                    run.seconds, seconds / run.seconds, double(run.maxRssKiB) / 1024.0,
                    double(QFileInfo(QString::fromLocal8Bit(out)).size()) / 1024.0);
    }
    return 0;
}
