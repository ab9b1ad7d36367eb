#pragma once

#include "backlightframe.h"
#include "desktoppanel.h"
#include "entrypanes.h"
#include "modelboard.h"
#include "panelcontrol.h"
#include "previewstrip.h"
#include "rideframe.h"
#include "scrollframe.h"
#include "staterecords.h"
#include "stepbuttons.h"
#include "tapegroup.h"

#include <QWidget>

#include <memory>
#include <optional>

class QAction;
class QPushButton;

namespace q47 {

class BoardModel;
class PanelState;
class SettingsStore;
class SoundOutput;

// The operator's control panel beside the fare board, a fixed window of its designed size.
// Its regions are widgets of their own that show the panel's state and hand what the operator
// does to the panel's control; the route on the board is the session's, which writes it into
// the board's model.
class ControlPanel : public QWidget {
    Q_OBJECT
public:
    static constexpr int kClientWidthTwips = 5295;
    static constexpr int kClientHeightTwips = 2595;
    // "自動運行" opens below the designed regions when asked for.
    static constexpr int kRideStripTwips = 705;

    // `host` and `runtime` default to message boxes and the real calendar and event loop.
    // `speech` creates the announcement tape's engine; without one speech is off.
    ControlPanel(BoardModel &board, PanelState &state, SettingsStore &settings, SoundOutput &sound,
                 PanelHost *host = nullptr, PanelRuntime *runtime = nullptr,
                 AnnouncementTape::EngineFactory speech = {}, QWidget *parent = nullptr);
    ~ControlPanel() override;

    // Control panel start: shapes the keypad keys and starts the announcements.
    void start();

    // Sets the route entered on the lists (0) or the keypad (1).
    void setEnteredRoute(int pane);
    // Sets a route given otherwise (the command line); false when it could not be set.
    bool setRoute(const QString &routeText, int startSection);
    // One stop back (0) or forward (1).
    void stepStop(int direction);
    // Keypad key `key` (the digits, the route and section keys, as KeypadEntry numbers them).
    void pressKeypad(int key);
    // Brings the other entry pane to the front: the double-clicked pane `pane` goes back.
    void sendPaneToBack(int pane);
    // "設定...": the options, over the panel and the boards; the stop's name afresh after them.
    void showOptions();
    // "ﾊﾞｰｼﾞｮﾝ": the about box, with the operator's keys.
    void showAbout();
    // The operator's switch to backlight row `row` (0 OFF, 1 ON1, 2 ON2): the row's board
    // picture and label colour, and the row kept for the next start.
    void switchBacklight(int row);
    // Selects backlight row `row` without showing it: the restore that follows shows it.
    void selectBacklight(int row);
    // Some backlight row has been shown (switchBacklight) since the panel was made.
    bool backlightShown() const { return backlightShown_; }
    // The panel's menu (the right button): "自動運行" opens or closes the ride's frame below
    // the panel, "録画..." asks for a video.
    void showRideFrame(bool on);
    bool rideFrameShown() const { return !rideFrame_->isHidden(); }
    // "自動運行": the ride asked for with the frame's speed, loop and interval; paused or
    // resumed; stopped. The ride itself is the application's (rideStartWanted and the rest).
    void startRide();
    void pauseRide(bool paused);
    void stopRide();
    // The ride's state, as the frame shows it.
    void showRide(RideState state);
    // "録画...": a video of the route's ride (recordingWanted).
    void recordRide();
    // Gives `window` the operator's keys (operatorKeys()), acting on this panel; the panel
    // has them from the start.
    void installOperatorKeys(QWidget *window);

    // Asks before the program ends; true when it ends.
    bool confirmExit();
    // Runs once the exit is confirmed and cleaned up, just before the program ends.
    void setSaveState(std::function<void()> save) { saveState_ = std::move(save); }

    // The panel's position and its state, for the state file.
    ControlPanelState stateRecord() const;
    void restoreState(const ControlPanelState &state);
    PanelHost &host() { return host_; }

    PanelState &state() { return state_; }
    PanelControl &control() { return control_; }
    RouteSession &session() { return control_.session(); }
    AnnouncementTape &tape() { return control_.tape(); }
    const RouteTable &route() const { return control_.session().route(); }

    // What the options dialog asks of the panel: the backlight selected here, applied again; a
    // ticket plug-in's size and company names for the preview strip; a route to set next.
    int backlightRow() const;
    void applyBacklight() { showBacklightRow(backlightRow()); }
    void describeTicket(const QSize &size, const QStringList &companies);
    void clearTicketCompanies();
    // The company chosen on the preview strip's list, for the tickets drawn next.
    void chooseTicketCompany(int index);
    // "コピー(&C)" on the ticket: the preview's picture to the clipboard.
    void copyTicket();
    // Route `route` from its first stop on the lists, for "リセット" to set.
    void offerRoute(int route);

    // The panel's regions and its own controls.
    EntryPanes *entryPanes() const { return panes_; }
    StepButtons *stepButtons() const { return steps_; }
    TapeGroup *tapeGroup() const { return tapeGroup_; }
    ScrollFrame *scrollFrame() const { return scrollFrame_; }
    BacklightFrame *backlightFrame() const { return backlightFrame_; }
    QPushButton *optionsButton() const { return optionsButton_; }
    QPushButton *aboutButton() const { return aboutButton_; }
    QPushButton *previewButton() const { return previewButton_; }
    PreviewStrip *previewStrip() const { return preview_; }
    RideFrame *rideFrame() const { return rideFrame_; }

Q_SIGNALS:
    // A dialog of the panel opened (the boards wait) and closed again.
    void dialogOpened(bool open);
    // The options are wanted, shown modally: they have closed when this returns.
    void optionsWanted();
    void rideStartWanted(double speed, bool loop, int intervalSeconds);
    void ridePauseWanted(bool paused);
    void rideStopWanted();
    void rideSpeedWanted(double speed);
    void rideLoopWanted(bool loop);
    void recordingWanted();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void connectHandlers();
    // Shows backlight row `row` without keeping it for the next start.
    void showBacklightRow(int row);
    // The regions show the panel's state.
    void followState();
    void showStepping();
    void showPreviewToggle();
    // Sizes the panel for its strip, open or closed, and keeps the opened panel on the screen.
    void fitStrips();

    BoardModel &board_;
    PanelState &state_;
    SettingsStore &settings_;
    std::unique_ptr<DesktopPanelHost> ownHost_;
    SystemRuntime ownRuntime_;
    PanelHost &host_;
    PanelRuntime &runtime_;
    ModelBoard fareBoard_;
    PanelControl control_;

    EntryPanes *panes_ = nullptr;
    StepButtons *steps_ = nullptr;
    TapeGroup *tapeGroup_ = nullptr;
    ScrollFrame *scrollFrame_ = nullptr;
    BacklightFrame *backlightFrame_ = nullptr;
    PreviewStrip *preview_ = nullptr;
    RideFrame *rideFrame_ = nullptr;
    RideState rideState_ = RideState::Idle;
    QAction *rideAction_ = nullptr;
    QAction *recordAction_ = nullptr;
    QPushButton *optionsButton_ = nullptr;
    QPushButton *aboutButton_ = nullptr;
    QPushButton *previewButton_ = nullptr;
    std::function<void()> saveState_;
    bool backlightShown_ = false;
    // The backlight failure told last, while no row has been shown since: the same failure
    // again (the options re-apply the row more than once) is not told twice.
    struct BacklightFailure {
        int row;
        Error error; // with its file
        bool operator==(const BacklightFailure &) const = default;
    };
    std::optional<BacklightFailure> toldFailure_;
    // How far the opened panel stepped left and up to stay on the screen.
    QPoint stripShift_;
};

// "運賃表示器アプリケーション - 型番:" followed by the program's base name.
QString boardCaption(const QString &programBaseName);

} // namespace q47
