#pragma once

#include "backlightframe.h"
#include "desktoppanel.h"
#include "entrypanes.h"
#include "modelboard.h"
#include "panelcontrol.h"
#include "previewstrip.h"
#include "scrollframe.h"
#include "staterecords.h"
#include "stepbuttons.h"
#include "tapegroup.h"

#include <QWidget>

#include <memory>
#include <optional>

class QPushButton;

namespace q47 {

class BoardModel;
class PanelState;
class SettingsStore;
class SoundOutput;

// The operator's control panel beside the fare board, a fixed window of its designed size.
// Its regions are widgets of their own that show the panel's state and hand what the operator
// does to the panel's control; the route on the board is the session's, which writes it into
// the board's model. The handlers keep the names of the controls and events they answer.
class frmCtl : public QWidget {
    Q_OBJECT
public:
    static constexpr int kClientWidthTwips = 5295;
    static constexpr int kClientHeightTwips = 2595;

    // `host` and `runtime` default to message boxes and the real calendar and event loop.
    // `speech` creates the announcement tape's engine; without one speech is off.
    frmCtl(BoardModel &board, PanelState &state, SettingsStore &settings, SoundOutput &sound,
           PanelHost *host = nullptr, PanelRuntime *runtime = nullptr,
           mdlM_Tape::EngineFactory speech = {}, QWidget *parent = nullptr);
    ~frmCtl() override;

    // Control panel start: shapes the keypad keys and starts the announcements.
    void Form_Load();

    // Sets the route entered on the lists (0) or the keypad (1).
    void Command1_Click(int index);
    // Sets a route given otherwise (the command line); false when it could not be set.
    bool setRoute(const QString &routeText, int startSection);
    // One stop back (0) or forward (1).
    void Command2_Click(int index);
    void CommandButton1_Click(int index);
    void Frame1_DblClick(int index);
    // "設定...": the options, over the panel and the boards; the stop's name afresh after them.
    void Command4_Click();
    void Command8_Click();
    // Backlight row Index (0 OFF, 1 ON1, 2 ON2): the row's board picture and label colour.
    void Option4_Click(int Index);
    // Selects backlight row `row` without showing it: the restore that follows shows it.
    void selectBacklight(int row);
    // Some backlight row has been shown (Option4_Click) since the panel was made.
    bool backlightShown() const { return backlightShown_; }
    // Gives `window` the operator's keys (operatorKeys()), acting on this panel; the panel
    // has them from the start.
    void installOperatorKeys(QWidget *window);

    // Asks before the program ends; true when it ends.
    bool Form_QueryUnload();
    // Runs once the exit is confirmed and cleaned up, just before the program ends.
    void setSaveIni(std::function<void()> save) { saveIni_ = std::move(save); }

    // The panel's position and its state, for the state file.
    ControlPanelState GetCtrlDataInfo() const;
    void SetCtrlDataInfo(const ControlPanelState &state);
    PanelHost &host() { return host_; }

    PanelState &state() { return state_; }
    PanelControl &control() { return control_; }
    RouteSession &session() { return control_.session(); }
    mdlM_Tape &tape() { return control_.tape(); }
    const RouteTable &route() const { return control_.session().route(); }

    // What the options dialog asks of the panel: the backlight selected here, applied again; a
    // ticket plug-in's size and company names for the preview strip; a route to set next.
    int backlightRow() const;
    void applyBacklight() { Option4_Click(backlightRow()); }
    void describeTicket(const QSize &size, const QStringList &companies);
    void clearTicketCompanies();
    // Route `route` from its first stop on the lists, for "リセット" to set.
    void offerRoute(int route);

    // The panel's regions and its own controls.
    EntryPanes *entryPanes() const { return panes_; }
    StepButtons *stepButtons() const { return steps_; }
    TapeGroup *grpM_Tape() const { return tapeGroup_; }
    ScrollFrame *Frame6() const { return frame6_; }
    BacklightFrame *Frame2() const { return frame2_; }
    QPushButton *Command4() const { return command4_; }
    QPushButton *Command8() const { return command8_; }
    QPushButton *Check4() const { return check4_; }
    PreviewStrip *previewStrip() const { return preview_; }

Q_SIGNALS:
    // A dialog of the panel opened (the boards wait) and closed again.
    void dialogOpened(bool open);
    // The options are wanted, shown modally: they have closed when this returns.
    void optionsWanted();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void connectHandlers();
    // The regions show the panel's state.
    void followState();
    void showStepping();
    void showPreviewToggle();
    // Sizes the panel for its strip, open or closed, and keeps the opened panel on the screen.
    void fitPreview();

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
    ScrollFrame *frame6_ = nullptr;
    BacklightFrame *frame2_ = nullptr;
    PreviewStrip *preview_ = nullptr;
    QPushButton *command4_ = nullptr;
    QPushButton *command8_ = nullptr;
    QPushButton *check4_ = nullptr;
    std::function<void()> saveIni_;
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
    QPoint previewShift_;
};

// "運賃表示器アプリケーション - 型番:" followed by the program's base name.
QString boardCaption(const QString &programBaseName);

} // namespace q47
