#include "announcementtape.h"
#include "cp932.h"
#include "fakespeech.h"
#include "recordingsound.h"
#include "settingsstore.h"
#include "tapelist.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace q47;

namespace {

class Tape : public ::testing::Test {
protected:
    Tape() {
        settings.setText(setting::SoundFolder, folder());
        const TextSetting pre[] = {setting::PreSoundFile, setting::PreSound1, setting::PreSound2,
                                   setting::PreSound3};
        for (int k = 3; k <= 6; ++k)
            settings.setText(pre[k - 3], QStringLiteral("/s/pre%1.wav").arg(k));
    }
    QString folder() const { return dir.path() + QDir::separator(); }
    void writeList(const QString &route, const QByteArray &bytes) {
        QFile f(AnnouncementTape::listPath(folder(), route));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    // A list of `n` entries "一", "二", ... with the given link and sound columns.
    void writeEntries(const QString &route, int n, const QList<TapeEntry> &extra = {}) {
        QByteArray bytes;
        for (int k = 1; k <= n; ++k)
            bytes += formatTapeLine({QStringLiteral("案内%1").arg(k), 0, 0}) + "\r\n";
        for (const TapeEntry &e : extra)
            bytes += formatTapeLine(e) + "\r\n";
        writeList(route, bytes);
    }
    QStringList spoken() const { return log.filter(QStringLiteral("speak ")); }

    QTemporaryDir dir;
    SettingsStore settings{QDate(2026, 12, 7)};
    RecordingSound sound;
    QStringList log;
    FakeTapeView view;
    FakeSpeech *engine = nullptr;
    QString osName = QStringLiteral("Debian GNU/Linux 12");
    AnnouncementTape tape{settings, sound, view,
                          [this] {
                              auto e = std::make_unique<FakeSpeech>(log);
                              engine = e.get();
                              return e;
                          },
                          [this] { return osName; }};
};

TEST_F(Tape, StepsThroughTheListAndStopsAtEitherEnd) {
    tape.startEngine();
    writeEntries(QStringLiteral("1"), 3);
    tape.loadList(folder(), QStringLiteral("1"));
    EXPECT_EQ(tape.count(), 3);
    EXPECT_EQ(tape.position(), 0);

    tape.speakPrevious(); // right after loading: nothing, and the position is 1
    EXPECT_TRUE(spoken().isEmpty());
    EXPECT_EQ(tape.position(), 1);
    tape.speakNext();
    EXPECT_EQ(spoken(), QStringList{QStringLiteral("speak 案内2")});

    log.clear();
    tape.speakNext();
    tape.speakNext();
    tape.speakNext();
    EXPECT_EQ(spoken(), QStringList{QStringLiteral("speak 案内3")});
    EXPECT_EQ(tape.position(), 3);

    // A shorter list after a longer one ends where the shorter one does.
    writeEntries(QStringLiteral("2"), 8);
    writeEntries(QStringLiteral("3"), 5);
    tape.loadList(folder(), QStringLiteral("2"));
    tape.loadList(folder(), QStringLiteral("3"));
    log.clear();
    for (int k = 0; k < 7; ++k)
        tape.speakNext();
    EXPECT_EQ(tape.count(), 5);
    EXPECT_EQ(spoken().size(), 5);
    EXPECT_EQ(spoken().last(), QStringLiteral("speak 案内5"));
}

TEST_F(Tape, SpeakingStopsTheVoiceFirstAndAgainOnlyWhenTheStateSaysSo) {
    tape.startEngine();
    writeEntries(QStringLiteral("1"), 2);
    tape.loadList(folder(), QStringLiteral("1"));
    tape.speak(1);
    EXPECT_EQ(log, (QStringList{QStringLiteral("stop"), QStringLiteral("speak 案内1")}));
    log.clear();
    engine->stateValue = -1;
    tape.speak(2);
    EXPECT_EQ(log, (QStringList{QStringLiteral("stop"), QStringLiteral("speak 案内2"),
                                QStringLiteral("stop")}));
    log.clear();
    tape.speak(3); // outside the list
    tape.showEngineSettings();
    EXPECT_EQ(log, QStringList{QStringLiteral("settings 音声の調節")});
}

TEST_F(Tape, PreAnnouncementSoundsComeBeforeTheVoice) {
    tape.startEngine();
    writeEntries(QStringLiteral("1"), 0,
                 {{QStringLiteral("一"), 0, 1},
                  {QStringLiteral("二"), 0, 3},
                  {QStringLiteral("三"), 0, 0},
                  {QStringLiteral("四"), 0, 4}});
    tape.loadList(folder(), QStringLiteral("1"));
    qsizetype soundsAtSpeech = -1;
    engine->beforeSpeak = [&] { soundsAtSpeech = sound.calls().size(); };
    using Call = RecordingSound::Call;

    // "Always" on next: the same sound before every entry, on S3, waited.
    tape.speakNext();
    EXPECT_EQ(soundsAtSpeech, 1);
    tape.speakNext();
    EXPECT_EQ(
        sound.calls(),
        (QList<Call>{{QStringLiteral("/s/pre3.wav"), SoundChannel::S3, SoundWait::UntilEnd},
                     {QStringLiteral("/s/pre3.wav"), SoundChannel::S3, SoundWait::UntilEnd}}));

    // Back still goes by the entry's flag, on S2, and alongside when so chosen.
    settings.select(setting::PreSoundAlongside);
    sound.clear();
    tape.speakPrevious();
    EXPECT_EQ(sound.calls(),
              (QList<Call>{{QStringLiteral("/s/pre4.wav"), SoundChannel::S2, SoundWait::No}}));

    // By flag on next: 3 plays the third sound; 0 and 4 play nothing but still speak.
    settings.select(setting::PreSoundByFlag);
    sound.clear();
    log.clear();
    tape.speakNext();
    tape.speakNext();
    tape.speakNext();
    EXPECT_EQ(sound.calls(),
              (QList<Call>{{QStringLiteral("/s/pre6.wav"), SoundChannel::S3, SoundWait::No}}));
    EXPECT_EQ(spoken().size(), 3);
}

TEST_F(Tape, FrameFollowsTheEngineAndTheLists) {
    // No engine: speech stays off whatever is loaded.
    AnnouncementTape silent(
        settings, sound, view, [] { return nullptr; }, [] { return QString(); });
    silent.startEngine();
    writeEntries(QStringLiteral("1"), 2);
    silent.loadList(folder(), QStringLiteral("1"));
    EXPECT_EQ(view.caption, QStringLiteral("音合使用不可"));
    EXPECT_FALSE(view.frameEnabled);
    EXPECT_FALSE(view.buttonsEnabled);
    EXPECT_FALSE(silent.speechAvailable());

    tape.startEngine();
    EXPECT_EQ(view.caption, QStringLiteral("音合使用可"));
    EXPECT_TRUE(view.frameEnabled);
    EXPECT_FALSE(view.buttonsEnabled);
    tape.loadList(folder(), QStringLiteral("9")); // no list: off, silently
    EXPECT_FALSE(view.frameEnabled);
    tape.loadList(folder(), QStringLiteral("1"));
    EXPECT_TRUE(view.frameEnabled);
    EXPECT_TRUE(view.buttonsEnabled);
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("4tp.csv"))); // a folder of that name
    tape.loadList(folder(), QStringLiteral("4"));
    EXPECT_FALSE(view.frameEnabled);

    // On "Windows Vista" the tape stays off: nothing is created or read.
    osName = QStringLiteral("Windows Vista");
    AnnouncementTape vista(
        settings, sound, view, [this] { return std::make_unique<FakeSpeech>(log); },
        [this] { return osName; });
    view = FakeTapeView{};
    vista.startEngine();
    vista.loadList(folder(), QStringLiteral("1"));
    EXPECT_FALSE(view.frameEnabled);
    EXPECT_EQ(vista.count(), 0);
}

TEST_F(Tape, AFailedLoadKeepsWhatItHadReadAndSwitchesTheFrameOff) {
    tape.startEngine();
    writeList(QStringLiteral("1"),
              toCp932(QStringLiteral("\"次は、駅前\",1,2\r\n  終点です ,0,0\r\n"
                                     "三,70000,0\r\n四,0,0\r\n")));
    tape.loadList(folder(), QStringLiteral("1"));
    EXPECT_FALSE(view.frameEnabled);
    EXPECT_EQ(tape.count(), 4);
    EXPECT_EQ(tape.position(), 3); // where it failed
    EXPECT_EQ(*tape.entry(1), (TapeEntry{QStringLiteral("次は、駅前"), 1, 2}));
    EXPECT_EQ(tape.entry(2)->TapeText, QStringLiteral("終点です"));
    EXPECT_EQ(tape.entry(3)->TapeText, QStringLiteral("三"));
    EXPECT_EQ(tape.linkOf(4), 0);

    writeList(QStringLiteral("2"), QByteArray());
    tape.loadList(folder(), QStringLiteral("2"));
    EXPECT_EQ(tape.count(), 0);
    EXPECT_EQ(tape.linkOf(1), 0); // nothing outside the count is served
}

// A pipe, a device or a file past the limit in the list's place: a load failure like any
// other, at once, and the list loaded before stays out of reach.
TEST_F(Tape, ListsThatNeverEndFailAtOnce) {
    tape.startEngine();
    writeEntries(QStringLiteral("1"), 2);
    const auto path = [this](const char *route) {
        return QFile::encodeName(AnnouncementTape::listPath(folder(), QString::fromLatin1(route)));
    };
    ASSERT_EQ(::mkfifo(path("2").constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), QString::fromLocal8Bit(path("3"))));
    QFile huge(QString::fromLocal8Bit(path("4")));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly) &&
                huge.resize(AnnouncementTape::kMaxListBytes + 1));
    huge.close();
    for (const char *route : {"2", "3", "4"}) {
        SCOPED_TRACE(route);
        tape.loadList(folder(), QStringLiteral("1"));
        ASSERT_TRUE(view.frameEnabled);
        tape.loadList(folder(), QString::fromLatin1(route));
        EXPECT_FALSE(view.frameEnabled);
        EXPECT_EQ(tape.count(), 0);
        EXPECT_FALSE(tape.entry(1));
    }
    // Bare line ends are as many empty entries, and every entry of a long list is found.
    writeList(QStringLiteral("5"), QByteArray(1000, '\n') + "\r\r\n");
    tape.loadList(folder(), QStringLiteral("5"));
    EXPECT_TRUE(view.frameEnabled);
    EXPECT_EQ(tape.count(), 1002);
    EXPECT_EQ(tape.entry(1002), TapeEntry{});
    QByteArray mixed;
    for (int k = 1; k <= 150; ++k)
        mixed += formatTapeLine({QString::number(k), qint16(k % 2), 0}) + (k % 3 ? "\r\n" : "\n");
    writeList(QStringLiteral("6"), mixed);
    tape.loadList(folder(), QStringLiteral("6"));
    for (int k : {1, 64, 65, 128, 129, 150})
        EXPECT_EQ(tape.entry(k), (TapeEntry{QString::number(k), qint16(k % 2), 0})) << k;
}

} // namespace

// The line rules, case by case: text, link, sound, and what went wrong.
TEST(TapeLines, ReadLikeDelimitedText) {
    struct Case {
        const char *utf8;
        TapeEntry entry;
        TapeLine::Error error = TapeLine::Error::None;
        bool unclosed = false;
        int extra = 0;
    };
    const Case cases[] = {
        {"\"a, b\",1,3", {QStringLiteral("a, b"), 1, 3}},
        {"   \"quoted\"  ,  -2 , +7 ", {QStringLiteral("quoted"), -2, 7}},
        {"plain text  ,1", {QStringLiteral("plain text"), 1, 0}},
        {"only words", {QStringLiteral("only words"), 0, 0}},
        {"", {}},
        {"x,32767,-32768", {QStringLiteral("x"), 32767, -32768}},
        {"x,2.5,3.5", {QStringLiteral("x"), 2, 4}}, // rounds half to even
        {"x,32768,0", {QStringLiteral("x"), 0, 0}, TapeLine::Error::OutOfRange},
        {"x,1,abc", {QStringLiteral("x"), 1, 0}, TapeLine::Error::NotANumber},
        {"x,1,-", {QStringLiteral("x"), 1, 0}, TapeLine::Error::NotANumber},
        {"\"open, never closed,1,1", {QStringLiteral("open, never closed,1,1"), 0, 0}, {}, true},
        {"\"kept\"junk,1,1", {QStringLiteral("kept"), 1, 1}},
        {"x,1,2,3,4", {QStringLiteral("x"), 1, 2}, {}, false, 2},
        {"ソース表示,1,1", {QStringLiteral("ソース表示"), 1, 1}}, // trail bytes 0x5C and 0x40
    };
    for (const Case &c : cases) {
        const TapeLine line = parseTapeLine(toCp932(QString::fromUtf8(c.utf8)));
        SCOPED_TRACE(c.utf8);
        EXPECT_EQ(line.entry, c.entry);
        EXPECT_EQ(line.error, c.error);
        EXPECT_EQ(line.unclosedQuote, c.unclosed);
        EXPECT_EQ(line.extraFields, c.extra);
    }
    EXPECT_EQ(splitTapeLines("a\r\nb\nc\rd").size(), 4);
    EXPECT_EQ(splitTapeLines("a\r\n\r\n").size(), 2); // a blank line counts
    EXPECT_EQ(splitTapeLines("").size(), 0);
    const TapeEntry round{QStringLiteral("次は\"駅前\", 終点"), 1, -3};
    EXPECT_EQ(parseTapeLine(formatTapeLine(round)).entry,
              (TapeEntry{QStringLiteral("次は'駅前', 終点"), 1, -3}));
}

// A ride finds a stop's entries by their links and announces one as "送り" would, chime first;
// the manual buttons go on from there.
TEST_F(Tape, FindsAndAnnouncesTheEntriesOfAStop) {
    tape.startEngine();
    writeEntries(QStringLiteral("1"), 1,
                 {{QStringLiteral("次は、本町です。"), kStepLink, 2},
                  {QStringLiteral("まもなく、本町です。"), kApproachingLink, 0},
                  {QStringLiteral("次は、北口です。"), kStepLink, 2},
                  {QStringLiteral("お忘れ物のないよう"), 0, 0}});
    tape.loadList(folder(), QStringLiteral("1"));
    EXPECT_EQ(tape.stopEntry(2, TapeEntryKind::Step), 2);
    EXPECT_EQ(tape.stopEntry(2, TapeEntryKind::Approaching), 3);
    EXPECT_EQ(tape.stopEntry(3, TapeEntryKind::Step), 4);
    EXPECT_EQ(tape.stopEntry(3, TapeEntryKind::Approaching), 0); // the list has none
    EXPECT_EQ(tape.stopEntry(1, TapeEntryKind::Step), 0);
    EXPECT_EQ(tape.stopEntry(4, TapeEntryKind::Step), 0);

    tape.announceEntry(tape.stopEntry(2, TapeEntryKind::Approaching));
    EXPECT_EQ(spoken(), QStringList{QStringLiteral("speak まもなく、本町です。")});
    EXPECT_EQ(tape.position(), 3);
    settings.select(setting::PreSoundByFlag);
    tape.announceEntry(2);
    EXPECT_EQ(sound.calls().back().path, QStringLiteral("/s/pre5.wav")); // sound 2's chime
    tape.speakNext();
    EXPECT_EQ(spoken().back(), QStringLiteral("speak まもなく、本町です。"));
}
