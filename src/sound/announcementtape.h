#pragma once

#include "soundoutput.h"
#include "tapelist.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace q47 {

class SettingsStore;
class SpeechEngine;

// The announcement frame as the tape drives it: its caption, the frame and its four buttons.
class TapeView {
public:
    virtual ~TapeView() = default;

    virtual void setFrameCaption(const QString &caption) = 0;
    virtual void setFrameEnabled(bool on) = 0;
    virtual void setButtonsEnabled(bool on) = 0;
};

// The announcement tape: a route's announcement list ("<route>tp.csv" in the sound folder),
// spoken entry by entry with a pre-announcement sound before each. Setting a route loads its
// list here. No failure is shown to the operator: a list that cannot be read switches the
// buttons off and a missing engine leaves speech off; both are logged under q47.speech.
class AnnouncementTape {
public:
    // The engine, or why there is none.
    using EngineFactory = std::function<Result<std::unique_ptr<SpeechEngine>>()>;

    static constexpr const char *kAvailable = "音合使用可";
    static constexpr const char *kUnavailable = "音合使用不可";
    static constexpr const char *kAdjustTitle = "音声の調節";
    // Larger files are not announcement lists; refusing them keeps a mistaken choice of
    // folder from stalling the route setting. A list is kept as its bytes and a sparse index
    // of its lines, so even a list of bare line ends takes little more than its size.
    static constexpr qint64 kMaxListBytes = 64 * 1024 * 1024;

    // `osName` stands for the companion's GetOsInfo.
    AnnouncementTape(const SettingsStore &settings, SoundOutput &sound, TapeView &view,
                     EngineFactory createEngine, std::function<QString()> osName = {});
    ~AnnouncementTape();
    AnnouncementTape(const AnnouncementTape &) = delete;
    AnnouncementTape &operator=(const AnnouncementTape &) = delete;

    // The window the engine's settings dialog belongs to.
    void setOwner(QObject *owner) { owner_ = owner; }

    void startEngine();
    void loadList(const QString &folder, const QString &routeName);
    // Names as written, each with what CP932 makes of it ("?野家前" for "𠮷野家前"), from the
    // route's side file: the list is CP932 too, so where an entry holds such a form the written
    // name is spoken, and read by its reading. loadList forgets them.
    void setWrittenNames(const QList<std::pair<QString, QString>> &formAndName);
    void speakNext();
    // Entry pos as "送り" gives it, its pre-announcement sound first; the tape then stands on it.
    void announceEntry(int pos);
    // The entry of `kind` that belongs to route stop `stop` (tapelist.h); 0 when none.
    int stopEntry(int stop, TapeEntryKind kind) const;
    void speakPrevious();
    void speak(int pos);
    void stopSpeaking();
    // Whether the engine still speaks an entry.
    bool speaking() const;
    void showEngineSettings();
    void releaseEngine();

    qint16 linkOf(int pos) const;
    qint16 preSoundOf(int pos) const;
    // Entry pos as read from the list; none outside 1 to count.
    std::optional<TapeEntry> entry(int pos) const;

    int position() const { return tapePos_; }
    int count() const { return tapeCount_; }
    bool speechAvailable() const { return speechOK_; }

    // The file the list of a route lives in.
    static QString listPath(const QString &soundFolder, const QString &routeName);
    // True when path names an ordinary file that exists.
    static bool isExistingFile(const QString &path);

private:
    bool isVista() const;
    std::optional<TapeEntry> readEntry(int pos, bool withText) const;
    void playPreSound(int soundFlag, bool always, SoundChannel channel);

    const SettingsStore &settings_;
    SoundOutput &sound_;
    TapeView &view_;
    EngineFactory createEngine_;
    std::function<QString()> osName_;
    QPointer<QObject> owner_;
    std::unique_ptr<SpeechEngine> engine_;
    QByteArray list_;
    TapeLineIndex lines_;                             // entry k is line k - 1
    QList<std::pair<QString, QString>> writtenNames_; // longest form first
    // Entries a failed load got to; those after it read as empty.
    int readEntries_ = 0;
    int tapeCount_ = 0;
    int tapePos_ = 0;
    bool speechOK_ = false;
};

} // namespace q47
