#include "soundchannels.h"

#include "gstsink.h"
#include "logging.h"
#include "midisynth.h"

#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <gst/gst.h>

#include <malloc.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace q47 {

namespace {

// playbin's GST_PLAY_FLAG_AUDIO: no video or subtitle branches, so a cover picture in an MP3
// needs no video sink.
constexpr guint kPlayAudioOnly = 1u << 1;

// Players' pipelines not yet finalised, whoever still holds them.
std::atomic<int> livePipelines{0};

void onPipelineFinalised(gpointer, GObject *) {
    --livePipelines;
}

Result<> initGStreamer() {
    static const Result<> started = []() -> Result<> {
        // Sounds come and go all run long, MIDI instruments' samples with them. malloc would
        // raise its threshold for mapping large blocks after the first such block is freed and
        // then keep later ones in its heap, which a long run fragments page by page; blocks
        // from a megabyte up are mapped and given back on release.
        mallopt(M_MMAP_THRESHOLD, 1024 * 1024);
        GError *error = nullptr;
        const bool done = gst_init_check(nullptr, nullptr, &error);
        const QString why = error ? QString::fromUtf8(error->message) : QString();
        if (error)
            g_error_free(error);
        if (done)
            return {};
        return Error(Error::Kind::Unavailable,
                     why.isEmpty() ? QStringLiteral("GStreamer cannot be opened")
                                   : QStringLiteral("GStreamer does not start: ") + why);
    }();
    return started;
}

// Written by GStreamer's threads, read by the caller's.
struct Progress {
    Progress(QString path, QString channel) : path(std::move(path)), channel(std::move(channel)) {}
    const QString path; // the sound, and its channel, for the log
    const QString channel;
    std::mutex mutex;
    std::condition_variable cv;
    bool ended = false;
    bool failed = false;
    std::atomic<quint64> buffers{0};
    std::atomic<qint64> firstBufferUs{-1};
    qint64 startUs = 0;

    void finish(bool error) {
        {
            std::lock_guard lock(mutex);
            ended = true;
            failed = failed || error;
        }
        cv.notify_all();
    }
};

using ProgressRef = std::shared_ptr<Progress>;

void releaseProgressRef(gpointer data) {
    delete static_cast<ProgressRef *>(data);
}

GstBusSyncReply onBusMessage(GstBus *, GstMessage *message, gpointer data) {
    Progress &progress = **static_cast<ProgressRef *>(data);
    switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_EOS:
        progress.finish(false);
        break;
    case GST_MESSAGE_ERROR:
        logPassedOver(logSound,
                      Error(Error::Kind::ReadFailed,
                            QStringLiteral("%1: %2").arg(progress.channel, busErrorText(message)))
                          .in(progress.path));
        progress.finish(true);
        break;
    default:
        break;
    }
    // Nobody pops this bus; dropping keeps it from filling while a channel sits idle. A sync
    // handler that drops a message owns it: each one kept would hold its player alive.
    gst_message_unref(message);
    return GST_BUS_DROP;
}

GstPadProbeReturn onSinkData(GstPad *, GstPadProbeInfo *, gpointer data) {
    Progress &progress = **static_cast<ProgressRef *>(data);
    if (progress.buffers.fetch_add(1) == 0)
        progress.firstBufferUs = g_get_monotonic_time() - progress.startUs;
    return GST_PAD_PROBE_OK;
}

} // namespace

class SoundChannels::Player {
public:
    // `channel` names it in the log: "S1" to "S4".
    Player(QString alias, QString path, SoundDevice device, const QString &channel)
        : alias_(std::move(alias)), path_(std::move(path)), device_(device),
          progress_(std::make_shared<Progress>(path_, channel)) {}

    ~Player() {
        if (stream_) {
            mute();
            // The synthesizer lets go of the source before the pipeline goes.
            MidiSynth::shared().sync();
        }
        if (pipeline_) {
            gst_element_set_state(pipeline_, GST_STATE_NULL);
            gst_object_unref(pipeline_);
        }
    }

    Player(const Player &) = delete;
    Player &operator=(const Player &) = delete;

    // Silences the sound before a slow teardown elsewhere. A MIDI sound's notes end here too,
    // before a sound that replaces it asks the synthesizer for its own.
    void mute() {
        if (volume_)
            g_object_set(volume_, "mute", TRUE, nullptr);
        else if (pipeline_)
            g_object_set(pipeline_, "mute", TRUE, nullptr);
        if (stream_ && !stopped_) {
            MidiSynth::shared().stop(stream_);
            stopped_ = true;
        }
    }

    // Builds the player; false when that is impossible (no sink, unreadable name).
    bool open(const QString &sinkDescription) {
        return device_ == SoundDevice::Sequencer ? openSynthesized(sinkDescription)
                                                 : openFile(sinkDescription);
    }

    // Starts from the beginning and returns at once; errors arrive later through the bus.
    void play() {
        progress_->startUs = g_get_monotonic_time();
        if (gst_element_set_state(pipeline_, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE)
            progress_->finish(true);
        else if (source_)
            stream_ = MidiSynth::shared().start(path_, source_);
    }

    // Blocks until the end, an error, or no progress for stallMs.
    void waitForEnd(int stallMs) {
        using Clock = std::chrono::steady_clock;
        gint64 lastPosition = -1;
        quint64 lastBuffers = 0;
        Clock::time_point lastMove = Clock::now();
        std::unique_lock lock(progress_->mutex);
        while (!progress_->ended) {
            if (progress_->cv.wait_for(lock, std::chrono::milliseconds(50),
                                       [this] { return progress_->ended; }))
                break;
            lock.unlock();
            gint64 position = -1;
            gst_element_query_position(pipeline_, GST_FORMAT_TIME, &position);
            const quint64 buffers = progress_->buffers;
            lock.lock();
            if (position != lastPosition || buffers != lastBuffers) {
                lastPosition = position;
                lastBuffers = buffers;
                lastMove = Clock::now();
            } else if (Clock::now() - lastMove > std::chrono::milliseconds(stallMs)) {
                progress_->ended = true;
                progress_->failed = true;
                logPassedOver(logSound, Error(Error::Kind::DeviceFailed,
                                              QStringLiteral("%1: no progress for %2 ms, given up")
                                                  .arg(progress_->channel)
                                                  .arg(stallMs))
                                            .in(path_));
            }
        }
    }

    // An error before any sound reached the sink: the file never opened as a sound.
    bool failedToOpen() const {
        std::lock_guard lock(progress_->mutex);
        return progress_->failed && progress_->buffers == 0;
    }

    void fill(SoundChannelStatus &status) const {
        status.alias = alias_;
        status.path = path_;
        status.device = device_;
        status.open = true;
        {
            std::lock_guard lock(progress_->mutex);
            status.playing = !progress_->ended;
            status.failed = progress_->failed;
        }
        status.buffers = progress_->buffers;
        status.firstBufferUs = progress_->firstBufferUs;
    }

private:
    // WAV and MP3: playbin reads the file.
    bool openFile(const QString &sinkDescription) {
        GstElement *sink = makeAudioSink(sinkDescription);
        if (!sink)
            return false;
        gst_object_ref_sink(sink);

        GError *error = nullptr;
        gchar *uri = gst_filename_to_uri(QFile::encodeName(path_).constData(), &error);
        if (error)
            g_error_free(error);
        pipeline_ =
            uri ? gst_element_factory_make("playbin", alias_.toUtf8().constData()) : nullptr;
        if (!pipeline_) {
            g_free(uri);
            gst_object_unref(sink);
            return false;
        }
        gst_object_ref_sink(pipeline_);
        g_object_set(pipeline_, "uri", uri, "audio-sink", sink, "flags", kPlayAudioOnly, nullptr);
        g_free(uri);
        watch(sink);
        gst_object_unref(sink);
        return true;
    }

    // MIDI: the program's synthesizer streams into the pipeline once it plays.
    bool openSynthesized(const QString &sinkDescription) {
        GstCaps *caps = midiStreamCaps();
        const SourcePipeline built =
            makeSourcePipeline(alias_.toUtf8().constData(), caps, sinkDescription);
        gst_caps_unref(caps);
        if (!built.pipeline)
            return false;
        pipeline_ = built.pipeline;
        source_ = built.source;
        volume_ = built.volume;
        watch(built.sink);
        return true;
    }

    // Counts the pipeline among the living and follows its end, its errors and what reaches
    // the sink.
    void watch(GstElement *sink) {
        ++livePipelines;
        g_object_weak_ref(G_OBJECT(pipeline_), onPipelineFinalised, nullptr);
        if (GstPad *pad = gst_element_get_static_pad(sink, "sink")) {
            gst_pad_add_probe(pad,
                              static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BUFFER |
                                                           GST_PAD_PROBE_TYPE_BUFFER_LIST),
                              onSinkData, new ProgressRef(progress_), releaseProgressRef);
            gst_object_unref(pad);
        }
        GstBus *bus = gst_element_get_bus(pipeline_);
        gst_bus_set_sync_handler(bus, onBusMessage, new ProgressRef(progress_), releaseProgressRef);
        gst_object_unref(bus);
    }

    QString alias_;
    QString path_;
    SoundDevice device_;
    ProgressRef progress_;
    GstElement *pipeline_ = nullptr;
    GstElement *source_ = nullptr; // the pipeline's, for MIDI
    GstElement *volume_ = nullptr; // the pipeline's, for MIDI
    quint64 stream_ = 0;           // the synthesizer's stream into source_
    bool stopped_ = false;
};

SoundChannels::SoundChannels(const QString &sinkDescription) : sinkDescription_(sinkDescription) {}

SoundChannels::~SoundChannels() {
    closeAll();
    if (retirer_.joinable()) {
        {
            std::lock_guard lock(retireMutex_);
            stopRetirer_ = true;
        }
        retireCv_.notify_all();
        retirer_.join();
    }
}

int SoundChannels::pipelinesAlive() {
    return livePipelines;
}

Result<> SoundChannels::start() {
    return initGStreamer();
}

void SoundChannels::play(const QString &path, SoundChannel channel, SoundWait wait, int pauseMs) {
    const QString name = soundChannelName(channel);
    const auto silent = [&](Error::Kind what, const char *why) {
        logPassedOver(logSound,
                      Error(what, QStringLiteral("%1: %2").arg(name, QLatin1String(why))).in(path));
    };
    // A missing file must not even close the channel: the sound playing there goes on.
    if (path.isEmpty())
        return silent(Error::Kind::NotFound, "no sound file is set");
    if (!QFileInfo(path).isFile())
        return silent(Error::Kind::NotFound, "no such sound file");
    const auto slot = static_cast<size_t>(channel);
    close(slot);

    const SoundDevice device = soundDeviceForPath(path);
    if (device == SoundDevice::None)
        return silent(Error::Kind::Invalid, "not a WAV, MP3 or MIDI file");
    if (Result<> started = start(); !started)
        return logPassedOver(logSound, started.error());

    auto player = std::make_unique<Player>(soundChannelAlias(channel), path, device, name);
    if (!player->open(sinkDescription_))
        return silent(Error::Kind::Unavailable, "no player could be built");
    ++opens_[slot];
    players_[slot] = std::move(player);
    Player &p = *players_[slot];
    p.play();

    if (wait == SoundWait::UntilEnd) {
        p.waitForEnd(stallTimeoutMs_);
        // A negative pause would otherwise be an endless sleep.
        if (pauseMs > 0 && !p.failedToOpen())
            QThread::msleep(static_cast<unsigned long>(pauseMs));
    } else {
        QThread::yieldCurrentThread();
    }
}

void SoundChannels::close(size_t slot) {
    if (players_[slot])
        retire(std::move(players_[slot]));
}

void SoundChannels::retire(std::unique_ptr<Player> player) {
    player->mute();
    std::lock_guard lock(retireMutex_);
    retiring_.push_back(std::move(player));
    if (!retirer_.joinable()) {
        retirer_ = std::thread([this] {
            std::unique_lock lock(retireMutex_);
            for (;;) {
                retireCv_.wait(lock, [this] { return stopRetirer_ || !retiring_.empty(); });
                if (retiring_.empty())
                    return;
                std::unique_ptr<Player> next = std::move(retiring_.front());
                retiring_.pop_front();
                retiringBusy_ = true;
                lock.unlock();
                next.reset();
                // A player's streaming threads leave their freed memory in malloc's per-thread
                // arenas; give it back, or a long run creeps up by the page.
                malloc_trim(0);
                lock.lock();
                retiringBusy_ = false;
                retireCv_.notify_all();
            }
        });
    }
    retireCv_.notify_all();
}

void SoundChannels::waitRetired() {
    std::unique_lock lock(retireMutex_);
    retireCv_.wait(lock, [this] { return retiring_.empty() && !retiringBusy_; });
}

void SoundChannels::closeAll() {
    // At exit nothing may outlive this call, so it waits for the teardown.
    for (size_t slot = 0; slot < players_.size(); ++slot)
        close(slot);
    waitRetired();
}

SoundChannelStatus SoundChannels::status(SoundChannel channel) const {
    SoundChannelStatus status;
    const auto slot = static_cast<size_t>(channel);
    status.opens = opens_[slot];
    if (players_[slot])
        players_[slot]->fill(status);
    return status;
}

} // namespace q47
