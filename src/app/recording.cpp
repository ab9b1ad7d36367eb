#include "recording.h"

#include "boardswitch.h"
#include "commandline.h"
#include "controlpanel.h"
#include "espeakspeech.h"
#include "headlessrun.h"
#include "lcdboard.h"
#include "ledboard.h"
#include "logging.h"
#include "panelride.h"
#include "sounddecoder.h"
#include "soundtrack.h"
#include "videoencoder.h"

#include <QElapsedTimer>
#include <QHash>
#include <QPainter>
#include <QTime>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>

namespace q47 {

namespace {

volatile std::sig_atomic_t cancelWanted = 0;
extern "C" void wantCancel(int) {
    cancelWanted = 1;
}

constexpr int kVoiceLane = 4; // after the channels S1 to S4

qint64 sampleAt(qint64 ms) {
    return ms * kTrackRate / 1000;
}

// The program's sounds as they would play, placed on the track at the recording's time. A
// sound that is waited for holds back what follows it (the speech after its chime), as the
// waiting channel does.
class TrackSound final : public SoundOutput {
public:
    TrackSound(const RideClock &clock, SoundTrack &track) : clock_(clock), track_(track) {}

    void play(const QString &path, SoundChannel channel, SoundWait wait, int pauseMs) override {
        const int lane = static_cast<int>(channel);
        const std::shared_ptr<const PcmClip> clip = decoded(path);
        if (!clip)
            return;
        const qint64 at = nextStart();
        track_.place(lane, at, clip);
        if (wait == SoundWait::UntilEnd)
            heldUntil_ = at + clip->frames() + sampleAt(std::max(pauseMs, 0));
    }
    void closeAll() override {}

    // Where a sound that starts now begins.
    qint64 nextStart() const { return std::max(sampleAt(clock_.nowMs()), heldUntil_); }

private:
    std::shared_ptr<const PcmClip> decoded(const QString &path) {
        if (path.isEmpty())
            return nullptr;
        if (const auto known = clips_.constFind(path); known != clips_.constEnd())
            return *known;
        std::shared_ptr<const PcmClip> clip;
        if (Result<PcmClip> read = decodeSoundFile(path))
            clip = std::make_shared<const PcmClip>(std::move(read).value());
        else // silent, as the channel would be
            logPassedOver(logSound, read.error());
        clips_.insert(path, clip);
        return clip;
    }

    const RideClock &clock_;
    SoundTrack &track_;
    qint64 heldUntil_ = 0;
    QHash<QString, std::shared_ptr<const PcmClip>> clips_;
};

// The announcements' voice on the track: each entry synthesized as the desktop voice would
// speak it, at the recording's time, and spoken until its samples end.
class TrackSpeech final : public SpeechEngine {
public:
    TrackSpeech(const RideClock &clock, SoundTrack &track, const TrackSound &sound,
                std::unique_ptr<EspeakSpeech> voice)
        : clock_(clock), track_(track), sound_(sound), voice_(std::move(voice)) {}

    void speak(const QString &text) override {
        const std::optional<SpeechSamples> said = voice_->synthesize(text);
        if (!said) {
            logPassedOver(logSpeech, Error(Error::Kind::Unavailable,
                                           QStringLiteral("no speech for \"%1\"").arg(text)));
            return;
        }
        auto clip = std::make_shared<const PcmClip>(clipFromSpeech(*said));
        const qint64 at = sound_.nextStart();
        track_.place(kVoiceLane, at, clip);
        speakingUntil_ = at + clip->frames();
    }
    void stop() override {
        const qint64 now = sampleAt(clock_.nowMs());
        if (speakingUntil_ > now)
            track_.place(kVoiceLane, now, std::make_shared<const PcmClip>());
        speakingUntil_ = std::min(speakingUntil_, now);
    }
    bool speaking() const override { return sampleAt(clock_.nowMs()) < speakingUntil_; }
    std::optional<qint32> state() const override { return std::nullopt; }
    void showSettings(QObject *, const QString &) override {}

private:
    const RideClock &clock_;
    SoundTrack &track_;
    const TrackSound &sound_;
    std::unique_ptr<EspeakSpeech> voice_;
    qint64 speakingUntil_ = 0;
};

// The board's pictures at the video's size: drawn by the board's own renderer at the largest
// scale that fits, centred on black, and drawn again only when the board changed.
class BoardFrames {
public:
    BoardFrames(Q47App &app, const BoardModel &model, QSize size) : size_(size) {
        if (app.boards()->kind() == lcd::BoardKind::Lcd)
            lcd_ = app.boards()->lcdBoard();
        else
            led_ = &app.board();
        const QSize design = draw(1, {}).size();
        scale_ =
            std::min(qreal(size.width()) / design.width(), qreal(size.height()) / design.height());
        const auto changed = [this] { dirty_ = true; };
        QObject::connect(&model, &BoardModel::contentChanged, &context_, changed);
        QObject::connect(&model, &BoardModel::cellChanged, &context_, changed);
        QObject::connect(&model, &BoardModel::cellReset, &context_, changed);
        QObject::connect(&model, &BoardModel::clockShownChanged, &context_, changed);
        QObject::connect(&model, &BoardModel::stopNameChanged, &context_, [this] {
            dirty_ = true;
            stopSince_ = now_;
        });
    }

    const QImage &at(qint64 ms) {
        now_ = ms;
        lcd::LcdPhase phase;
        if (lcd_) {
            phase = lcd_->phaseAt(ms - stopSince_);
            dirty_ = dirty_ || phase.page != shownPhase_.page || phase.name != shownPhase_.name;
        }
        if (!dirty_ && !frame_.isNull())
            return frame_;
        const QImage board = draw(scale_, phase);
        if (board.size() == size_) {
            frame_ = board;
        } else {
            QImage canvas(size_, QImage::Format_RGB32);
            canvas.fill(Qt::black);
            QPainter p(&canvas);
            p.drawImage(
                QPoint((size_.width() - board.width()) / 2, (size_.height() - board.height()) / 2),
                board);
            p.end();
            frame_ = canvas;
        }
        dirty_ = false;
        shownPhase_ = phase;
        return frame_;
    }

private:
    QImage draw(qreal scale, const lcd::LcdPhase &phase) {
        return lcd_ ? lcd_->renderBoard(scale, phase) : led_->renderBoard(scale);
    }

    QSize size_;
    LcdBoard *lcd_ = nullptr;
    LedBoard *led_ = nullptr;
    qreal scale_ = 1;
    QObject context_;
    bool dirty_ = true;
    qint64 now_ = 0;
    qint64 stopSince_ = 0;
    lcd::LcdPhase shownPhase_;
    QImage frame_;
};

QString clockText(qint64 ms) {
    const qint64 s = ms / 1000;
    return s >= 3600 ? QStringLiteral("%1:%2:%3")
                           .arg(s / 3600)
                           .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
                           .arg(s % 60, 2, 10, QLatin1Char('0'))
                     : QStringLiteral("%1:%2").arg(s / 60).arg(s % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

int runRecording(const CommandLine &line, char *program) {
    // From the start: a cancel while the program starts up ends the run before any file.
    cancelWanted = 0;
    std::signal(SIGINT, wantCancel);
    std::signal(SIGTERM, wantCancel);
    ManualRideClock clock;
    SoundTrack track;
    TrackSound sound(clock, track);
    Q47App *appShown = nullptr;
    const auto speech = [&]() -> Result<std::unique_ptr<SpeechEngine>> {
        // Asked again at every entry, once the application is there.
        Result<std::unique_ptr<EspeakSpeech>> voice = EspeakSpeech::create(
            [&appShown] { return appShown ? appShown->readingsFile()() : QString(); },
            QStringLiteral("fakesink"));
        if (!voice)
            return voice.error();
        return std::make_unique<TrackSpeech>(clock, track, sound, std::move(*voice));
    };
    HeadlessRun run(line, program, &sound, speech);
    appShown = &run.app();
    ControlPanel &panel = *run.app().controlPanel();
    if (!run.setRoute(line))
        return 1;
    // Lit, as a picture of the board is, whatever the last run's switch was; shown, not kept.
    panel.selectBacklight(1);
    panel.applyBacklight();
    const int stops = panel.route().lastStopPos() + 1;
    for (const auto &[stop, option] :
         {std::pair{line.fromStop, "--from"}, std::pair{line.toStop, "--to"}}) {
        if (stop > stops) {
            std::fprintf(stderr, "Q47: %s: route %s has %d stops\n", option, qPrintable(line.route),
                         stops);
            return 2;
        }
    }

    const RideOptions options = rideOptions(line.speed, false, line.interval);
    PanelRide ride(panel.control(), run.app().model(), clock);
    bool finished = false;
    QObject::connect(&ride, &PanelRide::stateChanged, [&finished](RideState state) {
        finished = finished || state == RideState::Finished;
    });
    BoardFrames frames(run.app(), run.app().model(), line.videoSize);
    if (!ride.start(routeTimetable(run.app().settings(), panel.route().RouteText), options,
                    line.toStop)) {
        std::fprintf(stderr, "Q47: route %s has no stops to ride\n", qPrintable(line.route));
        return 1;
    }
    const RideSchedule &schedule = ride.ride()->schedule();
    const qint64 expectedMs =
        qint64(double(schedule.arrivalMs.back() - schedule.startMs) / std::max(line.speed, 1.0));

    VideoSettings video{line.videoSize, line.fps, *videoFormatForPath(line.record)};
    VideoEncoder encoder;
    Result<> step = encoder.open(line.record, video);
    std::vector<float> mixed;
    const auto addSound = [&](qint64 frame) {
        const qint64 from = frame * kTrackRate / line.fps;
        const qint64 count = (frame + 1) * kTrackRate / line.fps - from;
        mixed.resize(size_t(count) * kTrackChannels);
        track.mix(from, count, mixed.data());
        return encoder.addSound(mixed.data(), count);
    };
    QElapsedTimer working;
    working.start();
    qint64 toldAt = -1000;
    qint64 k = 0;
    // Each frame shows the board at its time; its sound follows once the next frame's time has
    // placed every sound that starts within it.
    for (; step; ++k) {
        const qint64 ms = k * 1000 / line.fps;
        clock.advanceTo(ms);
        if (cancelWanted) {
            encoder.cancel();
            std::fprintf(stderr, "\nQ47: recording cancelled; nothing written\n");
            return 130;
        }
        step = encoder.addFrame(frames.at(ms));
        if (step && k > 0)
            step = addSound(k - 1);
        if (working.elapsed() - toldAt >= 500 || finished) {
            toldAt = working.elapsed();
            const double done = expectedMs > 0 ? std::min(1.0, double(ms) / expectedMs) : 1.0;
            std::fprintf(stderr, "\rQ47: recording %s: %3d%% (%s of %s), %.1fx real time ",
                         qPrintable(line.record), int(done * 100), qPrintable(clockText(ms)),
                         qPrintable(clockText(std::max(expectedMs, ms))),
                         double(ms) / double(std::max<qint64>(working.elapsed(), 1)));
            std::fflush(stderr);
        }
        if (finished)
            break;
    }
    if (step)
        step = addSound(k);
    if (step)
        step = encoder.finish();
    std::fprintf(stderr, "\n");
    if (!step) {
        std::fprintf(stderr, "Q47: cannot record %s\n", qPrintable(step.error().text()));
        return 1;
    }
    return run.told() ? 1 : 0;
}

} // namespace q47
