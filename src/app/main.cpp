#include "commandline.h"
#include "desktopspeech.h"
#include "fareboard.h"
#include "form1.h"
#include "frmctl.h"
#include "q47app.h"
#include "soundoutput.h"

#include <QApplication>

#include <cstdio>

namespace {

// A screenshot run makes no sound and asks nobody: what would be a message box goes to the
// error output.
class Silent final : public q47::SoundOutput {
public:
    void PlaySnd(const QString &, const QString &, qint16, qint16) override {}
    void CloseSnd() override {}
};

class ToStderr final : public q47::PanelHost {
public:
    void message(const QString &text) override { say(text); }
    void error(const QString &title, const QString &text) override {
        say(title + QStringLiteral(": ") + text);
    }
    bool confirmExit() override { return false; }
    void endProgram() override {}
    bool told = false;

private:
    void say(const QString &text) {
        told = true;
        std::fprintf(stderr, "Q47: %s\n", qPrintable(text));
    }
};

int screenshot(q47::Q47App &app, const q47::CommandLine &line, const ToStderr &host) {
    if (!line.route.isEmpty()) {
        app.controlPanel().session().setLampTestMs(0);
        if (!app.controlPanel().setRoute(line.route, line.section))
            return 1;
    }
    const QImage board = app.board().renderBoard(line.scale);
    if (!board.save(line.screenshot, "PNG")) {
        std::fprintf(stderr, "Q47: cannot write %s\n", qPrintable(line.screenshot));
        return 1;
    }
    return host.told ? 1 : 0;
}

} // namespace

int main(int argc, char *argv[]) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const q47::CommandLine line = q47::parseCommandLine(arguments);
    switch (line.action) {
    case q47::CommandLine::Action::Help:
    case q47::CommandLine::Action::Version:
        std::printf("%s\n", qPrintable(line.message));
        return 0;
    case q47::CommandLine::Action::Error:
        std::fprintf(stderr, "Q47: %s\n", qPrintable(line.message));
        return 2;
    case q47::CommandLine::Action::Run:
    case q47::CommandLine::Action::Screenshot:
        break;
    }
    const bool shot = line.action == q47::CommandLine::Action::Screenshot;

    if (!shot)
        q47::warmUpDesktopSpeech();
    q47::Q47App::preparePlatform();
    QApplication application(argc, argv);
    q47::Q47App::prepareApplication();

    Silent silent;
    ToStderr host;
    q47::Q47App app(shot ? &silent : nullptr);
    if (shot) {
        app.setPanelHost(&host);
        app.setSpeechEnabled(false);
    }
    app.setFolderOverrides(line.dataFolder, line.soundFolder);
    app.Form_Load();
    if (shot)
        return screenshot(app, line, host);
    return application.exec();
}
