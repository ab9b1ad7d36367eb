#pragma once

#include "espeakspeech.h"

#include <QDialog>

class QComboBox;
class QSlider;

namespace q47 {

// The voice choice as QSettings keeps it (group "speech"); what is missing is the default.
VoiceSettings loadVoiceSettings();
void saveVoiceSettings(const VoiceSettings &settings);

// "音声の調節": voice, rate, pitch and volume of the engine, with a sample to listen to.
// Changes reach the engine as they are made, so that the sample speaks with them; OK keeps and
// stores them, Cancel puts back what was there.
class VoiceDialog : public QDialog {
    Q_OBJECT
public:
    VoiceDialog(EspeakSpeech &engine, QWidget *owner, const QString &title);

    static QString sampleText();
    // "標準", "女声 2", "男声 1" for "ja", "ja+f2", "ja+m1".
    static QString voiceLabel(const QString &voice);

    void accept() override;
    void reject() override;

private:
    void apply();
    void done(int result) override;

    EspeakSpeech &engine_;
    const VoiceSettings before_;
    bool sampled_ = false;
    QComboBox *voice_ = nullptr;
    QSlider *rate_ = nullptr;
    QSlider *pitch_ = nullptr;
    QSlider *volume_ = nullptr;
};

} // namespace q47
