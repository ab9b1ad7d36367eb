#include "announcementtape.h"

#include "logging.h"
#include "osinfo.h"
#include "regularfile.h"
#include "settingsstore.h"
#include "soundoutput.h"
#include "speechengine.h"

#include <QFileInfo>

#include <algorithm>

namespace q47 {

namespace {

const QString kWindowsVista = QStringLiteral("Windows Vista");

} // namespace

AnnouncementTape::AnnouncementTape(const SettingsStore &settings, SoundOutput &sound,
                                   TapeView &view, EngineFactory createEngine,
                                   std::function<QString()> osName)
    : settings_(settings), sound_(sound), view_(view), createEngine_(std::move(createEngine)),
      osName_(osName ? std::move(osName) : std::function<QString()>(GetOsInfo)) {}

AnnouncementTape::~AnnouncementTape() = default;

bool AnnouncementTape::isVista() const {
    return osName_() == kWindowsVista;
}

void AnnouncementTape::startEngine() {
    if (!isVista()) {
        Result<std::unique_ptr<SpeechEngine>> engine =
            createEngine_ ? createEngine_() : Result<std::unique_ptr<SpeechEngine>>(nullptr);
        if (!engine)
            logPassedOver(logSpeech, engine.error());
        else if (!*engine)
            logPassedOver(logSpeech,
                          Error(Error::Kind::Unavailable, QStringLiteral("no speech engine")));
        engine_ = engine ? std::move(*engine) : nullptr;
        if (engine_) {
            view_.setFrameEnabled(true);
            view_.setFrameCaption(QString::fromUtf8(kAvailable));
            speechOK_ = true;
            return;
        }
    }
    speechOK_ = false;
    view_.setFrameCaption(QString::fromUtf8(kUnavailable));
    view_.setFrameEnabled(false);
}

void AnnouncementTape::loadList(const QString &folder, const QString &routeName) {
    if (isVista())
        return;
    const auto fail = [this] { view_.setFrameEnabled(false); };

    tapeCount_ = 0;
    writtenNames_.clear();
    // With the count at 0 the old list is out of reach: let it go before the new one comes.
    list_ = QByteArray();
    lines_ = TapeLineIndex();
    // Only an ordinary file: a pipe or a device in the list's place would never end.
    const QString path = listPath(folder, routeName);
    Result<QByteArray> read = readRegularFile(path, kMaxListBytes);
    if (!read) {
        logPassedOver(logSpeech, read.error());
        return fail();
    }
    TapeLineIndex lines(*read);
    tapeCount_ = static_cast<int>(lines.count());
    if (tapeCount_ == 0) {
        logPassedOver(logSpeech, Error(Error::Kind::Empty).in(path));
        return fail();
    }

    list_ = std::move(*read);
    lines_ = std::move(lines);
    // The entries before a line that does not read are kept, and the buttons are off.
    if (Result<> checked = checkTapeList(list_); !checked) {
        checked.error().file = path;
        logPassedOver(logSpeech, checked.error());
        readEntries_ = tapePos_ = checked.error().line;
        return fail();
    }
    readEntries_ = tapeCount_;

    if (speechOK_) {
        view_.setFrameEnabled(true);
        view_.setButtonsEnabled(true);
        if (engine_)
            engine_->prepare();
    }
    tapePos_ = 0;
}

void AnnouncementTape::setWrittenNames(const QList<std::pair<QString, QString>> &formAndName) {
    writtenNames_.clear();
    for (const auto &[form, name] : formAndName)
        // A form of nothing but "?" would stand for any question mark.
        if (form != name && !form.isEmpty() && form.count(QLatin1Char('?')) < form.size())
            writtenNames_.append({form, name});
    std::stable_sort(writtenNames_.begin(), writtenNames_.end(),
                     [](const auto &a, const auto &b) { return a.first.size() > b.first.size(); });
}

void AnnouncementTape::speakNext() {
    ++tapePos_;
    if (tapePos_ > tapeCount_) {
        tapePos_ = tapeCount_;
        return;
    }
    playPreSound(preSoundOf(tapePos_), settings_.isSelected(setting::PreSoundFixed),
                 SoundChannel::S3);
    speak(tapePos_);
}

void AnnouncementTape::announceEntry(int pos) {
    if (pos < 1 || pos > tapeCount_)
        return;
    tapePos_ = pos - 1;
    speakNext();
}

bool AnnouncementTape::speaking() const {
    return engine_ && engine_->speaking();
}

int AnnouncementTape::stopEntry(int stop, TapeEntryKind kind) const {
    return q47::stopEntry(
        tapeCount_, [this](int pos) { return linkOf(pos); }, stop, kind);
}

void AnnouncementTape::speakPrevious() {
    --tapePos_;
    if (tapePos_ < 1) {
        tapePos_ = 1;
        return;
    }
    playPreSound(preSoundOf(tapePos_), false, SoundChannel::S2);
    speak(tapePos_);
}

void AnnouncementTape::playPreSound(int soundFlag, bool always, SoundChannel channel) {
    QString path;
    if (always)
        path = settings_.text(setting::PreSoundFile);
    else if (soundFlag >= 1 && soundFlag <= 3)
        path = settings_.text(setting::PreSounds[static_cast<size_t>(soundFlag - 1)]);
    else
        return;
    const SoundWait wait =
        settings_.isSelected(setting::PreSoundWaited) ? SoundWait::UntilEnd : SoundWait::No;
    sound_.play(path, channel, wait, 0);
}

void AnnouncementTape::speak(int pos) {
    const std::optional<TapeEntry> spoken = entry(pos);
    if (!engine_ || !spoken)
        return;
    QString text = spoken->TapeText;
    for (const auto &[form, name] : writtenNames_)
        text.replace(form, name);
    engine_->stop();
    engine_->speak(text);
    if (engine_->state() == -1)
        engine_->stop();
}

void AnnouncementTape::stopSpeaking() {
    if (engine_)
        engine_->stop();
}

void AnnouncementTape::showEngineSettings() {
    if (engine_)
        engine_->showSettings(owner_, QString::fromUtf8(kAdjustTitle));
}

void AnnouncementTape::releaseEngine() {
    engine_.reset();
}

std::optional<TapeEntry> AnnouncementTape::readEntry(int pos, bool withText) const {
    if (pos < 1 || pos > tapeCount_ || pos > lines_.count())
        return std::nullopt;
    if (pos > readEntries_)
        return TapeEntry{};
    return parseTapeLine(lines_.line(list_, pos - 1), withText).entry;
}

std::optional<TapeEntry> AnnouncementTape::entry(int pos) const {
    return readEntry(pos, true);
}

qint16 AnnouncementTape::linkOf(int pos) const {
    return readEntry(pos, false).value_or(TapeEntry{}).TapeLink;
}

qint16 AnnouncementTape::preSoundOf(int pos) const {
    return readEntry(pos, false).value_or(TapeEntry{}).TapeSound;
}

QString AnnouncementTape::listPath(const QString &soundFolder, const QString &routeName) {
    return soundFolder + routeName + QStringLiteral("tp.csv");
}

bool AnnouncementTape::isExistingFile(const QString &path) {
    return !path.isEmpty() && QFileInfo(path).isFile();
}

} // namespace q47
