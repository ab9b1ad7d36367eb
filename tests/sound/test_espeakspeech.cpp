#include "desktopspeech.h"
#include "espeakspeech.h"
#include "eventually.h"
#include "soundchannels.h"
#include "voicedialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDataStream>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QSettings>
#include <QSlider>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <functional>

using q47::EspeakSpeech;
using q47::VoiceSettings;

namespace {

const QString kSentence = QStringLiteral("次は、市役所前です。");
const QString kLong = QStringLiteral("次は、市役所前です。12番のりばへどうぞ。お忘れ物のないよう"
                                     "ご注意ください。このバスは駅前経由、市民病院行きです。");

class Speech : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (qEnvironmentVariableIsEmpty(q47::kAudioSinkVariable))
            qputenv(q47::kAudioSinkVariable, "fakesink sync=true");
        QStandardPaths::setTestModeEnabled(true);
        QCoreApplication::setOrganizationName(QStringLiteral("q47-test"));
        QCoreApplication::setApplicationName(QStringLiteral("speech"));
        QSettings().remove(QStringLiteral("speech"));
    }

    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        engine_ = EspeakSpeech::create([this] { return readings_; }).value_or(nullptr);
        ASSERT_TRUE(engine_);
    }

    void TearDown() override {
        engine_.reset();
        EXPECT_EQ(EspeakSpeech::pipelinesAlive(), 0);
    }

    // Speaks and waits for the end; the entries spoken so far.
    quint64 speakToEnd(const QString &text) {
        engine_->speak(text);
        EXPECT_TRUE(engine_->waitIdle(30000));
        return engine_->status().utterances;
    }

    // Until the given entry's audio reaches the sink.
    bool hearing(quint64 entry) {
        return q47::eventually(
            [this, entry] {
                const q47::SpeechStatus status = engine_->status();
                return status.utterances == entry && status.buffers > 0;
            },
            20000);
    }

    QTemporaryDir dir_;
    QString readings_;
    std::unique_ptr<EspeakSpeech> engine_;
};

TEST_F(Speech, SpeaksKanjiTextAndFreesThePipelineAtItsEnd) {
    EXPECT_EQ(speakToEnd(kSentence), 1u);
    const q47::SpeechStatus status = engine_->status();
    EXPECT_FALSE(status.speaking);
    EXPECT_GT(status.buffers, 10u);
    EXPECT_GE(status.firstBufferUs, 0);
    EXPECT_EQ(EspeakSpeech::pipelinesAlive(), 0);
    EXPECT_FALSE(engine_->state().has_value());

    // Nothing readable, nothing spoken.
    EXPECT_EQ(speakToEnd(QString()), 1u);
    EXPECT_EQ(speakToEnd(QStringLiteral("、。☆")), 1u);
}

TEST_F(Speech, StopSilencesAndTheNextEntryReplacesTheLast) {
    engine_->speak(kLong);
    ASSERT_TRUE(hearing(1));
    engine_->stop();
    ASSERT_TRUE(engine_->waitIdle(5000));
    const quint64 heard = engine_->status().buffers;
    QThread::msleep(300);
    EXPECT_EQ(engine_->status().buffers, heard);

    engine_->speak(kLong);
    ASSERT_TRUE(hearing(2));
    engine_->speak(kSentence);
    ASSERT_TRUE(hearing(3));
    // The replaced entry's pipeline is gone before the next one plays.
    EXPECT_EQ(EspeakSpeech::pipelinesAlive(), 1);
    EXPECT_TRUE(engine_->waitIdle(30000));
}

TEST_F(Speech, ReadingsFileIsReloadedWhenItChanges) {
    readings_ = dir_.filePath(QStringLiteral("yomi.txt"));
    const auto write = [this](const QByteArray &content, int secondsLater) {
        QFile file(readings_);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.setFileTime(QDateTime::currentDateTime().addSecs(secondsLater),
                         QFileDevice::FileModificationTime);
    };
    const QString star = QStringLiteral("☆");
    EXPECT_EQ(speakToEnd(star), 0u);
    write("☆,ホシ\n", 0);
    EXPECT_EQ(speakToEnd(star), 1u);
    write("# none\n", 10);
    EXPECT_EQ(speakToEnd(star), 1u);
}

TEST_F(Speech, SettingsAreClampedStoredAndLoadedByTheFactory) {
    const QStringList voices = engine_->voices();
    ASSERT_FALSE(voices.isEmpty());
    EXPECT_EQ(voices.first(), QStringLiteral("ja"));
    engine_->setSettings({QStringLiteral("en"), 9999, -5, 300});
    EXPECT_EQ(engine_->settings(), (VoiceSettings{QStringLiteral("ja"), 450, 0, 200}));

    const VoiceSettings chosen{voices.last(), 220, 60, 120};
    q47::saveVoiceSettings(chosen);
    engine_.reset();
    std::unique_ptr<q47::SpeechEngine> desktop = q47::createDesktopSpeech({}).value_or(nullptr);
    auto *speech = dynamic_cast<EspeakSpeech *>(desktop.get());
    ASSERT_TRUE(speech);
    EXPECT_EQ(speech->settings(), chosen);
}

TEST_F(Speech, OneEngineAtATimeAndNoneLeavesAPipelineBehind) {
    EXPECT_FALSE(EspeakSpeech::create({}));
    engine_->speak(kLong);
    ASSERT_TRUE(hearing(1));
    engine_.reset();
    EXPECT_EQ(EspeakSpeech::pipelinesAlive(), 0);
    // eSpeak stays initialised for the next engine.
    engine_ = EspeakSpeech::create({}).value_or(nullptr);
    ASSERT_TRUE(engine_);
    EXPECT_EQ(speakToEnd(kSentence), 1u);
}

TEST_F(Speech, WavOfASentenceIsAudibleAndOfSpeechLength) {
    engine_.reset();
    const QString path = dir_.filePath(QStringLiteral("s.wav"));
    engine_ = EspeakSpeech::create({}, QStringLiteral("wavenc ! filesink location=") + path)
                  .value_or(nullptr);
    ASSERT_TRUE(engine_);
    EXPECT_EQ(speakToEnd(kSentence), 1u);

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray wav = file.readAll();
    QDataStream in(wav);
    in.setByteOrder(QDataStream::LittleEndian);
    quint16 channels = 0;
    quint32 rate = 0;
    in.skipRawData(22);
    in >> channels >> rate;
    ASSERT_EQ(channels, 1);
    ASSERT_GT(rate, 0u);
    // The samples follow the "data" chunk's header.
    ASSERT_TRUE(in.device()->seek(wav.indexOf("data") + 8));
    qint64 count = 0;
    int peak = 0;
    for (qint16 sample = 0; !in.atEnd(); ++count) {
        in >> sample;
        peak = std::max(peak, std::abs(int(sample)));
    }
    const double seconds = double(count) / rate;
    EXPECT_GT(seconds, 1.0);
    EXPECT_LT(seconds, 5.0);
    EXPECT_GT(peak, 3000);
}

TEST_F(Speech, DialogAppliesLiveRestoresOnCancelAndStoresOnOk) {
    int argc = 1;
    char name[] = "test_espeakspeech";
    char *argv[] = {name};
    QApplication app(argc, argv);
    QWidget owner;
    const VoiceSettings before = engine_->settings();
    {
        q47::VoiceDialog dialog(*engine_, &owner, QStringLiteral("音声の調節"));
        EXPECT_EQ(dialog.parent(), &owner);
        EXPECT_EQ(dialog.findChild<QComboBox *>(QStringLiteral("voice"))->count(),
                  engine_->voices().size());
        dialog.findChild<QSlider *>(QStringLiteral("rate"))->setValue(300);
        EXPECT_EQ(engine_->settings().rate, 300);
        dialog.reject();
        EXPECT_EQ(engine_->settings(), before);
    }
    q47::VoiceDialog dialog(*engine_, &owner, QStringLiteral("音声の調節"));
    dialog.findChild<QSlider *>(QStringLiteral("pitch"))->setValue(70);
    dialog.accept();
    EXPECT_EQ(q47::loadVoiceSettings().pitch, 70);
}

} // namespace
