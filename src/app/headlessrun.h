#pragma once

#include "announcementtape.h"
#include "fareboard.h"
#include "q47app.h"
#include "soundoutput.h"

#include <QApplication>

#include <array>
#include <optional>

namespace q47 {

struct CommandLine;

// A run without a display makes no sound of its own and asks nobody: what would be a message
// box goes to the error output.
class SilentSound final : public SoundOutput {
public:
    void play(const QString &, SoundChannel, SoundWait, int) override {}
    void closeAll() override {}
};

class StderrHost final : public PanelHost {
public:
    void message(const QString &text) override { say(text); }
    void error(const QString &title, const QString &text) override;
    bool confirmExit() override { return false; }
    void endProgram() override {}
    bool told = false;

private:
    void say(const QString &text);
};

// The program as it starts, without a display or questions: silent and speechless unless a
// run gives it sounds and an engine of its own (a recording's).
class HeadlessRun {
public:
    HeadlessRun(const CommandLine &line, char *program, SoundOutput *sound = nullptr,
                AnnouncementTape::EngineFactory speech = {});

    Q47App &app() { return *app_; }
    bool told() const { return host_.told; }
    // The route of the command line from its section, stepped on as it asks; true without one.
    bool setRoute(const CommandLine &line);

private:
    int argc_ = 1;
    std::array<char *, 2> argv_;
    SilentSound silent_;
    StderrHost host_;
    std::optional<QApplication> application_;
    std::optional<Q47App> app_;
};

} // namespace q47
