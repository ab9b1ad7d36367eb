#include "espeakspeech.h"

#include "gstsink.h"
#include "japanesereading.h"
#include "logging.h"
#include "soundchannels.h"

#include <QDateTime>
#include <QFileInfo>

#include <espeak-ng/espeak_ng.h>
#include <espeak-ng/speak_lib.h>
#include <gst/app/gstappsrc.h>
#include <gst/gst.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <future>
#include <mutex>
#include <thread>
#include <utility>

namespace q47 {

namespace {

// eSpeak hands over this much audio at a time: short enough that the first words reach the
// sink long before the sentence is synthesized, and that a stop aborts synthesis at once.
constexpr int kChunkMs = 50;

constexpr const char *kJapanese = "ja";
// The variants that still sound like an announcer; the novelty voices do not.
constexpr const char *kVariants[] = {"f1", "f2", "f3", "f4", "m1", "m2", "m3"};

std::atomic<int> livePipelines{0};
std::atomic<bool> engineExists{false};

void onPipelineFinalised(gpointer, GObject *) {
    --livePipelines;
}

// eSpeak keeps its state in globals and, in 1.51, hangs in espeak_Terminate() when it has been
// initialised a second time; so it is initialised once, on this thread, which lives until the
// process exits and runs every engine's work.
class EspeakThread {
public:
    static EspeakThread &instance() {
        static EspeakThread thread;
        return thread;
    }

    ~EspeakThread() {
        {
            std::lock_guard lock(mutex_);
            quit_ = true;
        }
        cv_.notify_all();
        thread_.join();
    }

    void post(std::function<void()> task) {
        {
            std::lock_guard lock(mutex_);
            tasks_.push_back(std::move(task));
        }
        cv_.notify_all();
    }

    // eSpeak's sample rate, 0 when it cannot be initialised. On this thread only.
    int sampleRate() {
        if (sampleRate_ < 0) {
            // Without DONT_EXIT a missing data directory ends the process.
            sampleRate_ = std::max(0, espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, kChunkMs, nullptr,
                                                        espeakINITIALIZE_DONT_EXIT));
        }
        return sampleRate_;
    }

    // Runs `task` on this thread and waits for its result.
    template <class Task> auto call(Task task) -> decltype(task()) {
        std::packaged_task<decltype(task())()> packaged(std::move(task));
        auto result = packaged.get_future();
        post([&packaged] { packaged(); });
        return result.get();
    }

private:
    EspeakThread() : thread_([this] { run(); }) {}

    void run() {
        std::unique_lock lock(mutex_);
        for (;;) {
            cv_.wait(lock, [this] { return quit_ || !tasks_.empty(); });
            if (tasks_.empty())
                break;
            std::function<void()> task = std::move(tasks_.front());
            tasks_.pop_front();
            lock.unlock();
            task();
            task = nullptr;
            lock.lock();
        }
        if (sampleRate_ > 0)
            espeak_Terminate();
    }

    std::mutex mutex_;
    std::condition_variable cv_;
    std::deque<std::function<void()>> tasks_;
    bool quit_ = false;
    int sampleRate_ = -1;
    std::thread thread_; // last, so that it starts after the rest exists
};

struct Request {
    QString text;
    QString readingsPath;
    qint64 startUs = 0;
    quint64 generation = 0;
};

// One entry's audio as the sink sees it; written by GStreamer's threads.
struct Progress {
    std::atomic<quint64> buffers{0};
    std::atomic<qint64> firstBufferUs{-1};
    qint64 startUs = 0;
    bool ended = false; // under the engine's mutex
};

// What the synthesis callback needs; eSpeak passes it back as the events' user data.
struct Synthesis {
    const std::atomic<quint64> *generation;
    quint64 mine;
    GstAppSrc *source;
    int sampleRate;
    quint64 samples = 0;
    bool failed = false;
    std::vector<qint16> *collected = nullptr; // samples kept rather than played
};

int onSynth(short *wav, int count, espeak_EVENT *events) {
    auto *synth = events ? static_cast<Synthesis *>(events->user_data) : nullptr;
    if (!synth)
        return 0;
    if (synth->collected) {
        if (wav && count > 0)
            synth->collected->insert(synth->collected->end(), wav, wav + count);
        return 0;
    }
    // Another entry or a stop came: abandon this one.
    if (synth->generation->load() != synth->mine)
        return 1;
    if (!wav || count <= 0)
        return 0;
    GstBuffer *buffer = gst_buffer_new_memdup(wav, static_cast<gsize>(count) * sizeof(short));
    const GstClockTime pts =
        gst_util_uint64_scale(synth->samples, GST_SECOND, static_cast<guint64>(synth->sampleRate));
    synth->samples += static_cast<quint64>(count);
    GST_BUFFER_PTS(buffer) = pts;
    GST_BUFFER_DURATION(buffer) =
        gst_util_uint64_scale(synth->samples, GST_SECOND, static_cast<guint64>(synth->sampleRate)) -
        pts;
    if (gst_app_src_push_buffer(synth->source, buffer) != GST_FLOW_OK) {
        synth->failed = true;
        return 1;
    }
    return 0;
}

bool speakable(const QString &kana) {
    return std::any_of(kana.begin(), kana.end(), [](QChar c) { return c.isLetterOrNumber(); });
}

VoiceSettings clamped(VoiceSettings s, const QStringList &voices) {
    if (!voices.contains(s.voice))
        s.voice = QLatin1String(kJapanese);
    s.rate = std::clamp(s.rate, kVoiceRate.min, kVoiceRate.max);
    s.pitch = std::clamp(s.pitch, kVoicePitch.min, kVoicePitch.max);
    s.volume = std::clamp(s.volume, kVoiceVolume.min, kVoiceVolume.max);
    return s;
}

} // namespace

struct EspeakSpeech::Impl {
    Impl(std::function<QString()> file, QString sink)
        : readingsFile(std::move(file)), sinkDescription(std::move(sink)) {}

    // Caller's side, not shared with the worker.
    std::function<QString()> readingsFile;
    std::function<void(QObject *, const QString &)> settingsHook;

    const QString sinkDescription;
    QStringList voices; // written before the start is announced, constant afterwards

    mutable std::mutex mutex;
    mutable std::condition_variable cv;
    // The session (eSpeak, GStreamer, the reading) starts at the first use, not at creation:
    // an idle program keeps none of it in memory.
    enum class Start { NotYet, Pending, Ready, Failed } start = Start::NotYet;
    bool sessionOver = true;
    bool quit = false;
    bool speaking = false;
    std::optional<Request> pending;
    // Texts to synthesize into samples, each with the promise of its result.
    struct Render {
        Request request;
        std::promise<std::optional<SpeechSamples>> result;
    };
    std::deque<std::shared_ptr<Render>> renders;
    // Bumped by every speak() and stop(); synthesis of an older entry gives up. Written under
    // the mutex, read by the synthesis callback without it.
    std::atomic<quint64> generation{0};
    VoiceSettings settings;
    GstElement *volume = nullptr; // the playing entry's, so that callers can mute it at once
    std::shared_ptr<Progress> progress;
    quint64 utterances = 0;

    // The worker's own.
    struct Playing {
        GstElement *pipeline = nullptr;
        quint64 generation = 0;
        std::shared_ptr<Progress> progress;
    } current;
    std::unique_ptr<JapaneseReading> reading;
    int sampleRate = 0;
    std::optional<VoiceSettings> applied;
    std::optional<std::pair<QString, QDateTime>> dictionaryFrom;

    // What the pipeline's callbacks hold; the worker frees every pipeline before Impl goes.
    struct Link {
        Impl *impl;
        std::shared_ptr<Progress> progress;
    };
    static void releaseLink(gpointer data) { delete static_cast<Link *>(data); }
    static GstBusSyncReply onBusMessage(GstBus *, GstMessage *message, gpointer data);
    static GstPadProbeReturn onSinkData(GstPad *, GstPadProbeInfo *, gpointer data);

    void muteLocked() {
        if (volume)
            g_object_set(volume, "mute", TRUE, nullptr);
    }

    // Posts the session to the eSpeak thread unless it runs or ran. Under the mutex.
    static void startLocked(const std::shared_ptr<Impl> &self);
    // Until the session has started or failed. Under the mutex.
    void waitStartedLocked(std::unique_lock<std::mutex> &lock) const;
    void session();
    Result<> begin();
    void loop();
    void play(const Request &request, const VoiceSettings &wanted);
    std::optional<SpeechSamples> render(const Request &request, const VoiceSettings &wanted);
    void finishCurrent(std::unique_lock<std::mutex> &lock);
    GstElement *buildPipeline(const std::shared_ptr<Progress> &progress, GstElement **source,
                              GstElement **volumeElement);
    void loadDictionary(const QString &path);
    void apply(const VoiceSettings &wanted);
};

GstBusSyncReply EspeakSpeech::Impl::onBusMessage(GstBus *, GstMessage *message, gpointer data) {
    const GstMessageType type = GST_MESSAGE_TYPE(message);
    if (type == GST_MESSAGE_ERROR)
        logPassedOver(logSpeech,
                      Error(Error::Kind::DeviceFailed,
                            QStringLiteral("the voice stopped: ") + busErrorText(message)));
    if (type == GST_MESSAGE_EOS || type == GST_MESSAGE_ERROR) {
        auto *link = static_cast<Link *>(data);
        std::lock_guard lock(link->impl->mutex);
        link->progress->ended = true;
        link->impl->cv.notify_all();
    }
    // Nobody pops this bus; a dropped message is ours to release, or it keeps the pipeline.
    gst_message_unref(message);
    return GST_BUS_DROP;
}

GstPadProbeReturn EspeakSpeech::Impl::onSinkData(GstPad *, GstPadProbeInfo *, gpointer data) {
    Progress &progress = *static_cast<Link *>(data)->progress;
    if (progress.buffers.fetch_add(1) == 0)
        progress.firstBufferUs = g_get_monotonic_time() - progress.startUs;
    return GST_PAD_PROBE_OK;
}

void EspeakSpeech::Impl::startLocked(const std::shared_ptr<Impl> &self) {
    if (self->start != Start::NotYet)
        return;
    self->start = Start::Pending;
    self->sessionOver = false;
    EspeakThread::instance().post([self] { self->session(); });
}

void EspeakSpeech::Impl::waitStartedLocked(std::unique_lock<std::mutex> &lock) const {
    cv.wait(lock, [this] { return start != Start::Pending; });
}

void EspeakSpeech::Impl::session() {
    const Result<> started = begin();
    const bool ready = bool(started);
    if (!started)
        logPassedOver(logSpeech, started.error());
    {
        std::lock_guard lock(mutex);
        start = ready ? Start::Ready : Start::Failed;
        if (ready)
            settings = clamped(settings, voices);
        cv.notify_all();
    }
    if (ready)
        loop();
    reading.reset();
    std::lock_guard lock(mutex);
    sessionOver = true;
    speaking = false;
    cv.notify_all();
}

namespace {

// Whether eSpeak's data with the Japanese voice is installed, found without loading any of it.
// On the eSpeak thread.
Result<> japaneseVoiceInstalled() {
    espeak_ng_InitializePath(nullptr);
    const char *path = nullptr;
    espeak_Info(&path);
    if (!path || !*path)
        return Error(Error::Kind::Unavailable, QStringLiteral("eSpeak NG is not installed"));
    const QString home = QString::fromLocal8Bit(path) + QLatin1Char('/');
    for (const QString &file : {QStringLiteral("phontab"), QStringLiteral("ja_dict")})
        if (!QFileInfo::exists(home + file))
            return Error(Error::Kind::Unavailable,
                         QStringLiteral("eSpeak NG's Japanese voice is not installed"))
                .in(home + file);
    return {};
}

// Selects the Japanese voice and lists it with the variants this eSpeak has; empty when the
// voice cannot be selected. On the eSpeak thread.
QStringList selectJapaneseVoice() {
    if (espeak_SetVoiceByName(kJapanese) != EE_OK)
        return {};
    QStringList found{QLatin1String(kJapanese)};
    espeak_VOICE variantsOnly{};
    variantsOnly.languages = "variant";
    const espeak_VOICE **variants = espeak_ListVoices(&variantsOnly);
    for (const char *variant : kVariants) {
        const QByteArray id = QByteArray("!v/") + variant;
        for (const espeak_VOICE **v = variants; v && *v; ++v) {
            if (id == (*v)->identifier) {
                found << QLatin1String(kJapanese) + QLatin1Char('+') + QLatin1String(variant);
                break;
            }
        }
    }
    return found;
}

} // namespace

Result<> EspeakSpeech::Impl::begin() {
    const auto unavailable = [](const char *what) {
        return Error(Error::Kind::Unavailable,
                     QStringLiteral("the voice stays silent: %1").arg(QLatin1String(what)));
    };
    if (Result<> sound = SoundChannels::start(); !sound)
        return sound.error();
    EspeakThread &thread = EspeakThread::instance();
    sampleRate = thread.sampleRate();
    if (sampleRate <= 0)
        return unavailable("eSpeak NG does not start");
    const QStringList found = selectJapaneseVoice();
    if (found.isEmpty())
        return unavailable("eSpeak NG's Japanese voice cannot be selected");
    reading = std::make_unique<JapaneseReading>();
    if (!reading->available())
        return unavailable("MeCab does not open its dictionary");
    espeak_SetSynthCallback(onSynth);
    voices = found;
    return {};
}

void EspeakSpeech::Impl::loop() {
    std::unique_lock lock(mutex);
    for (;;) {
        cv.wait(lock, [this] {
            return quit || pending || !renders.empty() ||
                   (current.pipeline &&
                    (current.generation != generation || current.progress->ended));
        });
        if (current.pipeline)
            finishCurrent(lock);
        if (quit)
            break;
        if (!renders.empty()) {
            const std::shared_ptr<Render> job = std::move(renders.front());
            renders.pop_front();
            const VoiceSettings wanted = settings;
            lock.unlock();
            job->result.set_value(render(job->request, wanted));
            lock.lock();
        }
        if (pending) {
            const Request request = std::move(*pending);
            pending.reset();
            const VoiceSettings wanted = settings;
            lock.unlock();
            play(request, wanted);
            lock.lock();
        }
        if (!current.pipeline && !pending) {
            speaking = false;
            cv.notify_all();
        }
    }
    for (const std::shared_ptr<Render> &job : std::exchange(renders, {}))
        job->result.set_value(std::nullopt);
}

std::optional<SpeechSamples> EspeakSpeech::Impl::render(const Request &request,
                                                        const VoiceSettings &wanted) {
    loadDictionary(request.readingsPath);
    const QString kana = reading->read(request.text).kana;
    if (!speakable(kana))
        return std::nullopt;
    apply(wanted);
    static const std::atomic<quint64> never{0};
    SpeechSamples speech;
    speech.sampleRate = sampleRate;
    Synthesis synth{&never, 0, nullptr, sampleRate};
    synth.collected = &speech.samples;
    const QByteArray text = kana.toUtf8();
    espeak_Synth(text.constData(), static_cast<size_t>(text.size()) + 1, 0, POS_CHARACTER, 0,
                 espeakCHARS_UTF8, nullptr, &synth);
    return speech;
}

// Tears the entry down once it has ended or been superseded, or the engine closes.
void EspeakSpeech::Impl::finishCurrent(std::unique_lock<std::mutex> &lock) {
    if (!quit && current.generation == generation && !current.progress->ended)
        return;
    GstElement *pipeline = std::exchange(current.pipeline, nullptr);
    GstElement *muted = std::exchange(volume, nullptr);
    current = {};
    lock.unlock();
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
    if (muted)
        gst_object_unref(muted);
    lock.lock();
}

void EspeakSpeech::Impl::play(const Request &request, const VoiceSettings &wanted) {
    loadDictionary(request.readingsPath);
    const QString kana = reading->read(request.text).kana;
    if (!speakable(kana))
        return;
    apply(wanted);

    auto entry = std::make_shared<Progress>();
    entry->startUs = request.startUs;
    GstElement *source = nullptr;
    GstElement *volumeElement = nullptr;
    GstElement *pipeline = buildPipeline(entry, &source, &volumeElement);
    if (!pipeline)
        return;
    {
        std::lock_guard lock(mutex);
        if (generation != request.generation) {
            // Superseded while it was being read: never heard.
            gst_object_unref(pipeline);
            return;
        }
        current = {pipeline, request.generation, entry};
        volume = GST_ELEMENT(gst_object_ref(volumeElement));
        progress = entry;
        ++utterances;
    }
    if (gst_element_set_state(pipeline, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        std::lock_guard lock(mutex);
        entry->ended = true;
        return;
    }

    Synthesis synth{&generation, request.generation, GST_APP_SRC(source), sampleRate};
    const QByteArray text = kana.toUtf8();
    espeak_Synth(text.constData(), static_cast<size_t>(text.size()) + 1, 0, POS_CHARACTER, 0,
                 espeakCHARS_UTF8, nullptr, &synth);
    if (synth.failed) {
        std::lock_guard lock(mutex);
        entry->ended = true;
    } else if (generation == request.generation) {
        gst_app_src_end_of_stream(GST_APP_SRC(source));
    }
}

GstElement *EspeakSpeech::Impl::buildPipeline(const std::shared_ptr<Progress> &entry,
                                              GstElement **source, GstElement **volumeElement) {
    GstCaps *caps = gst_caps_new_simple("audio/x-raw", "format", G_TYPE_STRING,
                                        G_BYTE_ORDER == G_LITTLE_ENDIAN ? "S16LE" : "S16BE", "rate",
                                        G_TYPE_INT, sampleRate, "channels", G_TYPE_INT, 1, "layout",
                                        G_TYPE_STRING, "interleaved", nullptr);
    // Synthesis runs far ahead of playback: the source queues it all rather than block the
    // worker, which must stay free to hear a stop.
    const SourcePipeline built = makeSourcePipeline("q47speech", caps, sinkDescription);
    gst_caps_unref(caps);
    if (!built.pipeline)
        return nullptr;
    ++livePipelines;
    g_object_weak_ref(G_OBJECT(built.pipeline), onPipelineFinalised, nullptr);

    if (GstPad *pad = gst_element_get_static_pad(built.sink, "sink")) {
        gst_pad_add_probe(pad,
                          static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BUFFER |
                                                       GST_PAD_PROBE_TYPE_BUFFER_LIST),
                          onSinkData, new Link{this, entry}, releaseLink);
        gst_object_unref(pad);
    }
    GstBus *bus = gst_element_get_bus(built.pipeline);
    gst_bus_set_sync_handler(bus, onBusMessage, new Link{this, entry}, releaseLink);
    gst_object_unref(bus);

    *source = built.source;
    *volumeElement = built.volume;
    return built.pipeline;
}

void EspeakSpeech::Impl::loadDictionary(const QString &path) {
    const QFileInfo info(path);
    const QDateTime modified = path.isEmpty() ? QDateTime() : info.lastModified();
    if (dictionaryFrom && dictionaryFrom->first == path && dictionaryFrom->second == modified)
        return;
    reading->setDictionary(path.isEmpty() ? ReadingDictionary() : ReadingDictionary::load(path));
    dictionaryFrom.emplace(path, modified);
}

void EspeakSpeech::Impl::apply(const VoiceSettings &wanted) {
    if (applied == wanted)
        return;
    if (!applied || applied->voice != wanted.voice)
        espeak_SetVoiceByName(wanted.voice.toUtf8().constData());
    espeak_SetParameter(espeakRATE, wanted.rate, 0);
    espeak_SetParameter(espeakPITCH, wanted.pitch, 0);
    espeak_SetParameter(espeakVOLUME, wanted.volume, 0);
    applied = wanted;
}

Result<std::unique_ptr<EspeakSpeech>> EspeakSpeech::create(std::function<QString()> readingsFile,
                                                           const QString &sinkDescription) {
    if (Result<> voice = EspeakThread::instance().call([] { return japaneseVoiceInstalled(); });
        !voice)
        return voice.error();
    if (!JapaneseReading::dictionaryInstalled())
        return Error(Error::Kind::Unavailable,
                     QStringLiteral("MeCab's dictionary is not installed"));
    if (engineExists.exchange(true))
        return Error(Error::Kind::Unavailable, QStringLiteral("another speech engine is running"));
    auto impl = std::make_shared<Impl>(std::move(readingsFile), sinkDescription);
    return std::unique_ptr<EspeakSpeech>(new EspeakSpeech(std::move(impl)));
}

void EspeakSpeech::prepare() {
    std::lock_guard lock(d->mutex);
    Impl::startLocked(d);
}

EspeakSpeech::EspeakSpeech(std::shared_ptr<Impl> impl) : d(std::move(impl)) {}

EspeakSpeech::~EspeakSpeech() {
    std::unique_lock lock(d->mutex);
    d->quit = true;
    d->pending.reset();
    ++d->generation;
    d->muteLocked();
    d->cv.notify_all();
    // eSpeak and the pipelines must be idle before another engine may start.
    d->cv.wait(lock, [this] { return d->sessionOver; });
    lock.unlock();
    engineExists = false;
}

void EspeakSpeech::speak(const QString &text) {
    Request request{text, d->readingsFile ? d->readingsFile() : QString(), g_get_monotonic_time(),
                    0};
    std::lock_guard lock(d->mutex);
    Impl::startLocked(d);
    if (d->start == Impl::Start::Failed)
        return;
    request.generation = ++d->generation;
    d->pending = std::move(request);
    d->speaking = true;
    d->muteLocked();
    d->cv.notify_all();
}

void EspeakSpeech::stop() {
    std::lock_guard lock(d->mutex);
    d->pending.reset();
    ++d->generation;
    d->muteLocked();
    d->cv.notify_all();
}

void EspeakSpeech::showSettings(QObject *owner, const QString &title) {
    if (d->settingsHook)
        d->settingsHook(owner, title);
}

void EspeakSpeech::setSettingsHook(std::function<void(QObject *, const QString &)> hook) {
    d->settingsHook = std::move(hook);
}

QStringList EspeakSpeech::voices() const {
    std::unique_lock lock(d->mutex);
    Impl::startLocked(d);
    d->waitStartedLocked(lock);
    return d->voices;
}

VoiceSettings EspeakSpeech::settings() const {
    std::unique_lock lock(d->mutex);
    Impl::startLocked(d);
    d->waitStartedLocked(lock);
    return d->settings;
}

void EspeakSpeech::setSettings(const VoiceSettings &settings) {
    std::lock_guard lock(d->mutex);
    // Before the start the voices are not known yet; the start checks the voice.
    d->settings = d->start == Impl::Start::Ready ? clamped(settings, d->voices) : settings;
}

std::optional<SpeechSamples> EspeakSpeech::synthesize(const QString &text) {
    auto job = std::make_shared<Impl::Render>();
    job->request = {text, d->readingsFile ? d->readingsFile() : QString(), 0, 0};
    std::future<std::optional<SpeechSamples>> result = job->result.get_future();
    {
        std::unique_lock lock(d->mutex);
        Impl::startLocked(d);
        d->waitStartedLocked(lock);
        if (d->start != Impl::Start::Ready)
            return std::nullopt;
        d->renders.push_back(std::move(job));
        d->cv.notify_all();
    }
    return result.get();
}

SpeechStatus EspeakSpeech::status() const {
    SpeechStatus status;
    std::lock_guard lock(d->mutex);
    status.speaking = d->speaking;
    status.utterances = d->utterances;
    if (d->progress) {
        status.buffers = d->progress->buffers;
        status.firstBufferUs = d->progress->firstBufferUs;
    }
    return status;
}

bool EspeakSpeech::waitIdle(int timeoutMs) const {
    std::unique_lock lock(d->mutex);
    return d->cv.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                          [this] { return !d->speaking; });
}

int EspeakSpeech::pipelinesAlive() {
    return livePipelines;
}

} // namespace q47
