#pragma once

#include "announcementtape.h"
#include "speechengine.h"

#include <QStringList>

#include <functional>

namespace q47 {

// A speech engine that only logs: "speak <text>", "stop", "settings <title>". `beforeSpeak`
// runs first inside speak(), so that a test can see what had happened by then.
class FakeSpeech final : public SpeechEngine {
public:
    explicit FakeSpeech(QStringList &log) : log_(log) {}

    void speak(const QString &text) override;
    void stop() override { log_.append(QStringLiteral("stop")); }
    std::optional<qint32> state() const override { return stateValue; }
    void showSettings(QObject *, const QString &title) override {
        log_.append(QStringLiteral("settings ") + title);
    }

    std::optional<qint32> stateValue;
    std::function<void()> beforeSpeak;

private:
    QStringList &log_;
};

// The announcement frame's caption and enabled states, as the tape last set them.
class FakeTapeView final : public TapeView {
public:
    void setFrameCaption(const QString &caption) override { this->caption = caption; }
    void setFrameEnabled(bool on) override { frameEnabled = on; }
    void setButtonsEnabled(bool on) override { buttonsEnabled = on; }

    QString caption = QStringLiteral("音合使用不可");
    bool frameEnabled = false;
    bool buttonsEnabled = false;
};

} // namespace q47
