#include "headlessrun.h"

#include "boardswitch.h"
#include "commandline.h"
#include "controlpanel.h"

#include <cstdio>

namespace q47 {

namespace {

// The offscreen platform says of every window that it cannot raise or shape it, and Qt that a
// session has no runtime folder; a run without a display needs neither, and the user no such
// noise.
QtMessageHandler passOn = nullptr;
void quietOffscreen(QtMsgType type, const QMessageLogContext &context, const QString &text) {
    if (type == QtWarningMsg &&
        (text.startsWith(QLatin1String("This plugin does not support")) ||
         text.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set"))))
        return;
    passOn(type, context, text);
}

} // namespace

void StderrHost::error(const QString &title, const QString &text) {
    say(title + QStringLiteral(": ") + text);
}

void StderrHost::say(const QString &text) {
    told = true;
    std::fprintf(stderr, "Q47: %s\n", qPrintable(text));
}

HeadlessRun::HeadlessRun(const CommandLine &line, char *program, SoundOutput *sound,
                         AnnouncementTape::EngineFactory speech)
    : argv_{program, nullptr} {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    passOn = qInstallMessageHandler(quietOffscreen);
    Q47App::preparePlatform();
    // Only the program's name: Qt would take "--plugin" for one of its own options.
    application_.emplace(argc_, argv_.data());
    Q47App::prepareApplication();
    app_.emplace(sound ? sound : &silent_);
    app_->setPanelHost(&host_);
    if (speech)
        app_->setSpeechFactory(std::move(speech));
    else
        app_->setSpeechEnabled(false);
    app_->setFolderOverrides(line.dataFolder, line.soundFolder);
    if (const auto kind = lcd::boardKindNamed(line.board))
        app_->setBoardOverride(*kind);
    app_->start();
    app_->controlPanel()->session().setLampTestMs(0);
}

bool HeadlessRun::setRoute(const CommandLine &line) {
    if (line.route.isEmpty())
        return true;
    ControlPanel &panel = *app_->controlPanel();
    if (!panel.setRoute(line.route, line.section))
        return false;
    // Past the route's last stop the bus stays there, as the step key leaves it.
    for (int i = 0; i < line.steps; ++i)
        panel.session().step(1);
    return true;
}

} // namespace q47
