#pragma once

#include "boardmodel.h"
#include "lcdsettings.h"
#include "panelstate.h"

#include "error.h"
#include "recordingprocess.h"

#include <QPointer>
#include <QString>

#include <array>
#include <functional>
#include <memory>
#include <optional>

class QWidget;

namespace q47 {

class BoardPublishing;
class BoardSwitch;
class CornerPlacement;
class LedBoard;
class ControlPanel;
class OptionsDialog;
class StateFileIo;
class PanelHost;
class PanelRide;
class SteadyRideClock;
class SettingsStore;
class SoundOutput;
class SpeechEngine;

// What the boards show and the three windows that live for the whole run, and the start-up
// that brings them up and wires them to each other.
class Q47App {
public:
    // `sound` plays the program's sounds; the program's own channels when none is given.
    // `statePath` is the state file; by default `<program>.in4` beside the program, or in the
    // user's configuration folder when the program's folder cannot be written.
    explicit Q47App(SoundOutput *sound = nullptr, QString statePath = {});
    ~Q47App();
    Q47App(const Q47App &) = delete;
    Q47App &operator=(const Q47App &) = delete;

    // Choices about the window system, made before the application object exists, for the
    // board given or else the one the user chose in the options.
    static void preparePlatform(std::optional<lcd::BoardKind> board = std::nullopt);
    // The program's names, version, font faces, window icon and Qt's own words, once the
    // application object exists.
    static void prepareApplication();
    // Qt's own words (the buttons of message boxes, the colour and file dialogs) in Japanese, as
    // every word of the program is, whatever the locale; in the language that `languages` (the
    // LANGUAGE variable, "en" or "fr:de") names first when it names one. False when nothing was
    // installed: Qt then speaks English.
    static bool installQtTranslation(const QString &languages);

    // Before start: where messages go (message boxes when none), whether the announcements
    // speak, and folders that take the saved ones' place for this run without being saved.
    void setPanelHost(PanelHost *host) { host_ = host; }
    void setSpeechEnabled(bool on) { speech_ = on; }
    // The announcements' engine for this run in place of the desktop's voice (a recording's).
    void setSpeechFactory(std::function<Result<std::unique_ptr<SpeechEngine>>()> factory) {
        speechFactory_ = std::move(factory);
    }
    void setFolderOverrides(const QString &dataFolder, const QString &soundFolder);
    // The board for this run, in place of the one the user chose in the options.
    void setBoardOverride(lcd::BoardKind kind) { boardOverride_ = kind; }
    // The broker's topic the board's state goes to for this run, in place of the options' one.
    void setPublishOverride(const QString &url) { publishOverride_ = url; }
    // What the board's state is published to; made by start().
    BoardPublishing *publishing() { return publishing_.get(); }

    // The announcements' reading dictionary, in the sound folder of the moment.
    std::function<QString()> readingsFile() const;

    // The board's load: blanks the cells, loads the options and the control panel hidden,
    // places and shapes the board, restores the saved state, shows the board and lets it paint,
    // then loads and shows the control panel (names, keys, speech) in its corner or where it
    // was saved.
    void start();
    // The window icon, drawn by the program; the board is shown before it is needed.
    static void installWindowIcon();

    // What every board shows, and the LED board that shows it.
    BoardModel &model() { return model_; }
    // What the control panel holds besides the route.
    PanelState &panelState() { return panelState_; }
    LedBoard &board() { return *ledBoard_; }
    SettingsStore &settings() { return *settings_; }
    // Made by start, after the board is painted: null before.
    ControlPanel *controlPanel() { return controlPanel_.get(); }
    OptionsDialog *options() { return optionsDialog_.get(); }

    StateFileIo *stateFile() { return stateFile_.get(); }
    // The bus running the route on the board by itself; made by start.
    PanelRide *ride() { return ride_.get(); }
    // Starts a ride of the route on the board (--ride): on its timetable, else at `interval`
    // seconds a stop. False when no route is set.
    bool startRide(double speed, bool loop, int interval, int lastStop = 0);
    // "録画...": the route on the panel, the board showing, the panel's ride settings, the
    // folders of the moment, a file in the user's videos folder.
    RecordingRequest recordingRequest() const;
    // Which board shows; made by start.
    BoardSwitch *boards() { return boards_.get(); }

private:
    // The one place the windows are wired to each other and to the models, once all exist.
    void connectWindows();
    // The board's state to the broker given for the run, if any.
    void startPublishing();
    void publishTo(const QString &url);
    // Runs the events until `window` has painted once, for at most half a second.
    static void waitForFirstPaint(QWidget &window);

    std::unique_ptr<SettingsStore> settings_;
    std::unique_ptr<SoundOutput> ownSound_;
    SoundOutput *sound_;
    BoardModel model_;
    PanelState panelState_;
    std::unique_ptr<LedBoard> ledBoard_;
    std::unique_ptr<BoardSwitch> boards_;
    std::optional<lcd::BoardKind> boardOverride_;
    QString publishOverride_;
    std::unique_ptr<BoardPublishing> publishing_;
    std::unique_ptr<OptionsDialog> optionsDialog_;
    std::unique_ptr<ControlPanel> controlPanel_;
    QString statePath_;
    std::unique_ptr<StateFileIo> stateFile_;
    std::unique_ptr<SteadyRideClock> rideClock_;
    std::unique_ptr<PanelRide> ride_;
    PanelHost *host_ = nullptr;
    bool speech_ = true;
    std::function<Result<std::unique_ptr<SpeechEngine>>()> speechFactory_;
    // Text2(0) and Text2(1) for this run: the folder given, and the saved one it replaced.
    struct FolderOverride {
        QString given;
        QString saved;
    };
    std::array<FolderOverride, 2> folders_;
    // Until the window manager has framed the control panel.
    QPointer<CornerPlacement> corner_;
};

} // namespace q47
