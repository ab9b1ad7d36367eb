#include "controlpanel.h"

#include "backlight.h"
#include "backlightpicture.h"
#include "boardmodel.h"
#include "dialogs.h"
#include "panelwidgets.h"
#include "settingsstore.h"
#include "twips.h"

#include <QAction>
#include <QCloseEvent>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QShortcut>
#include <QSignalBlocker>

#include <algorithm>

namespace q47 {

QString boardCaption(const QString &programBaseName) {
    return QStringLiteral("運賃表示器アプリケーション - 型番:") + programBaseName;
}

ControlPanel::ControlPanel(BoardModel &board, PanelState &state, SettingsStore &settings,
                           SoundOutput &sound, PanelHost *host, PanelRuntime *runtime,
                           AnnouncementTape::EngineFactory speech, QWidget *parent)
    // A fixed window: a title with minimise and close, no maximise, no resizing.
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      board_(board), state_(state), settings_(settings),
      ownHost_(host ? nullptr : std::make_unique<DesktopPanelHost>(this)),
      host_(host ? *host : *ownHost_), runtime_(runtime ? *runtime : ownRuntime_),
      fareBoard_(board),
      control_(state, fareBoard_, settings, sound, host_, runtime_, std::move(speech)) {
    setWindowTitle(QStringLiteral("集中操作盤"));
    setFixedSize(twipsRect(0, 0, kClientWidthTwips, kClientHeightTwips).size());
    setFont(panelFace("ＭＳ Ｐゴシック", 9, false));

    tapeGroup_ = new TapeGroup(this);
    panes_ = new EntryPanes(this);
    panes_->move(twipsRect(30, -60, 0, 0).topLeft());
    steps_ = new StepButtons(this);
    control_.tape().setOwner(this);
    scrollFrame_ = new ScrollFrame(this);
    backlightFrame_ = new BacklightFrame(this);
    preview_ = new PreviewStrip(this);
    rideFrame_ = new RideFrame(this);
    rideFrame_->hide();
    // The panel's menu, on the right button wherever a control has none of its own.
    rideAction_ = new QAction(QStringLiteral("自動運行"), this);
    rideAction_->setCheckable(true);
    connect(rideAction_, &QAction::toggled, this, &ControlPanel::showRideFrame);
    recordAction_ = new QAction(QStringLiteral("録画..."), this);
    connect(recordAction_, &QAction::triggered, this, &ControlPanel::recordRide);
    addActions({rideAction_, recordAction_});
    setContextMenuPolicy(Qt::ActionsContextMenu);

    optionsButton_ = new QPushButton(QStringLiteral("設定..."), this);
    optionsButton_->setGeometry(twipsRect(3450, 2250, 840, 300));
    aboutButton_ = new QPushButton(QStringLiteral("ﾊﾞｰｼﾞｮﾝ"), this);
    aboutButton_->setGeometry(twipsRect(4290, 2250, 870, 300));
    previewButton_ = new QPushButton(QStringLiteral(">>"), this);
    previewButton_->setCheckable(true);
    previewButton_->setGeometry(twipsRect(4935, 45, 330, 300));
    control_.session().setTicketPreview(preview_);
    followState();
    connectHandlers();
    installOperatorKeys(this);
}

ControlPanel::~ControlPanel() = default;

void ControlPanel::followState() {
    const auto showEntry = [this] { panes_->showEntry(state_); };
    const auto showPane = [this] { panes_->showPaneAtBack(state_.paneAtBack()); };
    const auto showScroll = [this] {
        scrollFrame_->showScroll(state_.scrollSpeed(), state_.scrollInterval());
    };
    const auto showTape = [this] { tapeGroup_->showTape(state_); };
    connect(&state_, &PanelState::entryChanged, this, showEntry);
    connect(&state_, &PanelState::paneChanged, this, showPane);
    connect(&state_, &PanelState::scrollChanged, this, showScroll);
    connect(&state_, &PanelState::lateNightChanged, scrollFrame_, &ScrollFrame::showLateNight);
    connect(&state_, &PanelState::backlightChanged, backlightFrame_, &BacklightFrame::showRow);
    connect(&state_, &PanelState::steppingChanged, this, &ControlPanel::showStepping);
    connect(&state_, &PanelState::tapeChanged, this, showTape);
    connect(&state_, &PanelState::previewChanged, this, [this] {
        showPreviewToggle();
        fitStrips();
    });
    showEntry();
    showScroll();
    scrollFrame_->showLateNight(state_.lateNight());
    backlightFrame_->showRow(state_.backlight());
    showStepping();
    showTape();
    showPreviewToggle();
    // The keypad, made last, starts in front; a state that had another pane at the back says so.
    if (state_.paneAtBack() != EntryPane::Lists)
        showPane();
}

void ControlPanel::showStepping() {
    const bool cleared = state_.cleared();
    steps_->showStepping(state_.routeSet(), cleared);
    for (QWidget *w :
         {static_cast<QWidget *>(panes_->pane(0)), static_cast<QWidget *>(panes_->pane(1)),
          static_cast<QWidget *>(scrollFrame_)})
        w->setEnabled(!cleared);
    showRide(rideState_);
}

void ControlPanel::startRide() {
    if (state_.canStep())
        Q_EMIT rideStartWanted(rideFrame_->speed(), rideFrame_->loop(),
                               rideFrame_->intervalSeconds());
}

void ControlPanel::pauseRide(bool paused) {
    Q_EMIT ridePauseWanted(paused);
}

void ControlPanel::stopRide() {
    Q_EMIT rideStopWanted();
}

void ControlPanel::showRide(RideState state) {
    rideState_ = state;
    rideFrame_->showRide(state, state_.routeSet(), state_.canStep());
    recordAction_->setEnabled(state_.routeSet());
}

void ControlPanel::showRideFrame(bool on) {
    if (on == rideFrameShown())
        return;
    rideFrame_->setVisible(on);
    {
        const QSignalBlocker quiet(rideAction_);
        rideAction_->setChecked(on);
    }
    fitStrips();
}

void ControlPanel::recordRide() {
    if (state_.routeSet())
        Q_EMIT recordingWanted();
}

void ControlPanel::showPreviewToggle() {
    const bool open = state_.previewOpen();
    {
        const QSignalBlocker quiet(previewButton_);
        previewButton_->setChecked(open);
    }
    previewButton_->setText(open ? QStringLiteral("<<") : QStringLiteral(">>"));
    previewButton_->setToolTip(open ? QStringLiteral("整理券プレビューを隠します")
                                    : QStringLiteral("整理券プレビューを開きます"));
}

void ControlPanel::connectHandlers() {
    connect(panes_, &EntryPanes::resetClicked, this, &ControlPanel::setEnteredRoute);
    connect(panes_, &EntryPanes::keyClicked, this, &ControlPanel::pressKeypad);
    connect(panes_, &EntryPanes::paneDoubleClicked, this, &ControlPanel::sendPaneToBack);
    connect(panes_, &EntryPanes::routeDigitChosen, &control_, &PanelControl::chooseRouteDigit);
    connect(panes_, &EntryPanes::sectionDigitChosen, &control_, &PanelControl::chooseSectionDigit);
    connect(steps_, &StepButtons::stepClicked, this, &ControlPanel::stepStop);
    connect(steps_, &StepButtons::clearToggled, &control_, &PanelControl::setCleared);
    connect(scrollFrame_, &ScrollFrame::scrollChosen, this, [this](int index, int value) {
        if (index == 0)
            state_.setScrollSpeed(value);
        else
            state_.setScrollInterval(value);
    });
    connect(scrollFrame_, &ScrollFrame::lateNightToggled, &state_, &PanelState::setLateNight);
    connect(tapeGroup_, &TapeGroup::nextClicked, &control_, &PanelControl::announceNext);
    connect(tapeGroup_, &TapeGroup::backClicked, &control_, &PanelControl::announceBack);
    connect(tapeGroup_, &TapeGroup::stopClicked, &control_, &PanelControl::stopAnnouncement);
    connect(tapeGroup_, &TapeGroup::setClicked, &control_, &PanelControl::adjustVoice);
    connect(optionsButton_, &QPushButton::clicked, this, &ControlPanel::showOptions);
    connect(aboutButton_, &QPushButton::clicked, this, &ControlPanel::showAbout);
    connect(backlightFrame_, &BacklightFrame::optionSelected, this, &ControlPanel::switchBacklight);
    connect(previewButton_, &QPushButton::toggled, &state_, &PanelState::setPreviewOpen);
    connect(rideFrame_, &RideFrame::startClicked, this, &ControlPanel::startRide);
    connect(rideFrame_, &RideFrame::pauseToggled, this, &ControlPanel::pauseRide);
    connect(rideFrame_, &RideFrame::stopClicked, this, &ControlPanel::stopRide);
    connect(rideFrame_, &RideFrame::speedChosen, this,
            [this](int speed) { Q_EMIT rideSpeedWanted(speed); });
    connect(rideFrame_, &RideFrame::loopToggled, this, &ControlPanel::rideLoopWanted);
    connect(rideFrame_, &RideFrame::recordClicked, this, &ControlPanel::recordRide);
}

void ControlPanel::selectBacklight(int row) {
    state_.setBacklight(row);
}

int ControlPanel::backlightRow() const {
    return state_.backlight();
}

void ControlPanel::start() {
    panes_->shapeKeys();
    control_.tape().startEngine();
}

void ControlPanel::setEnteredRoute(int pane) {
    if (pane == 0 || pane == 1)
        control_.setRouteFrom(EntryPane(pane));
}

bool ControlPanel::setRoute(const QString &routeText, int startSection) {
    return control_.setRoute(routeText, startSection);
}

void ControlPanel::stepStop(int direction) {
    control_.step(direction);
}

void ControlPanel::pressKeypad(int key) {
    control_.pressKeypad(key);
}

void ControlPanel::sendPaneToBack(int pane) {
    control_.sendToBack(pane);
}

void ControlPanel::showOptions() {
    Q_EMIT dialogOpened(true);
    setEnabled(false);
    Q_EMIT optionsWanted();
    Q_EMIT dialogOpened(false);
    setEnabled(true);
    control_.session().renameCurrentStop();
}

void ControlPanel::showAbout() {
    const QString text =
        aboutText(programBaseName(), QStringLiteral(Q47_VERSION), runtime_.today().year()) +
        QStringLiteral("\r\n") + operatorKeysHelp();
    Q_EMIT dialogOpened(true);
    showAboutBox(this, text);
    Q_EMIT dialogOpened(false);
}

void ControlPanel::switchBacklight(int row) {
    showBacklightRow(row);
    QSettings user;
    rememberBacklight(user, row);
}

void ControlPanel::showBacklightRow(int row) {
    backlightShown_ = true;
    state_.setBacklight(row);
    // A failure leaves the picture as it was and is told; the labels take the row's colour
    // either way.
    if (const Result<> shown = showBacklight(board_, settings_, row); !shown) {
        const BacklightFailure failure{row, shown.error()};
        if (failure != toldFailure_)
            host_.report(shown.error());
        toldFailure_ = failure;
    } else {
        toldFailure_.reset();
    }
}

void ControlPanel::installOperatorKeys(QWidget *window) {
    // Shortcuts come before the focused control's own keys, so Space steps the bus even while
    // a button has the focus, and arrows step it while a digit list has.
    for (const OperatorKey &k : operatorKeys()) {
        auto *shortcut = new QShortcut(QKeySequence(k.key), window);
        shortcut->setContext(Qt::WindowShortcut);
        shortcut->setAutoRepeat(false);
        const int digit = k.key - Qt::Key_0;
        connect(shortcut, &QShortcut::activated, &control_,
                [this, action = k.action, digit] { control_.operatorKey(action, digit); });
    }
}

void ControlPanel::describeTicket(const QSize &size, const QStringList &companies) {
    preview_->setTicketSize(size);
    if (state_.previewOpen())
        fitStrips();
    preview_->addCompanies(companies);
}

void ControlPanel::clearTicketCompanies() {
    preview_->clearCompanies();
}

void ControlPanel::chooseTicketCompany(int index) {
    preview_->chooseCompany(index);
}

void ControlPanel::copyTicket() {
    preview_->copyTicket();
}

void ControlPanel::offerRoute(int route) {
    state_.offerRoute(route);
}

void ControlPanel::fitStrips() {
    const bool open = state_.previewOpen();
    const int height = kClientHeightTwips + (rideFrameShown() ? kRideStripTwips : 0);
    const QSize closed = twipsRect(0, 0, kClientWidthTwips, height).size();
    QSize size = closed;
    if (open)
        size = twipsRect(0, 0, PreviewStrip::kRightTwips, height)
                   .size()
                   .expandedTo(
                       QSize(preview_->geometry().right() + 1, preview_->geometry().bottom() + 1));
    // The panel stands in the screen's corner: grown in place, a strip would open off the
    // screen. It steps left and up as far as it must, and back when the strips close.
    const QPoint home = pos() + stripShift_;
    stripShift_ = QPoint();
    if (size != twipsRect(0, 0, kClientWidthTwips, kClientHeightTwips).size()) {
        const QRect available = screen()->availableGeometry();
        const QSize borders = frameGeometry().size() - this->size();
        // A ticket larger than the screen is cut at the screen's edge.
        size = size.boundedTo(available.size() - borders).expandedTo(closed);
        const QSize frame = borders + size;
        const QPoint overflow(home.x() + frame.width() - 1 - available.right(),
                              home.y() + frame.height() - 1 - available.bottom());
        stripShift_ = QPoint(std::clamp(overflow.x(), 0, std::max(0, home.x() - available.left())),
                             std::clamp(overflow.y(), 0, std::max(0, home.y() - available.top())));
    }
    if (home - stripShift_ != pos())
        move(home - stripShift_);
    setFixedSize(size);
}

bool ControlPanel::confirmExit() {
    if (!host_.confirmExit())
        return false;
    control_.shutDown();
    if (saveState_)
        saveState_();
    host_.endProgram();
    return true;
}

ControlPanelState ControlPanel::stateRecord() const {
    ControlPanelState record = state_.record();
    // Where the panel's client area stands with its strip closed; opening steps it aside
    // again. The client, not the frame: the restore places the client, before any window
    // manager has framed it, so the two must be the same point.
    const QPoint at = geometry().topLeft() + stripShift_;
    record.leftTwips = pxToTwips(at.x());
    record.topTwips = pxToTwips(at.y());
    return record;
}

void ControlPanel::restoreState(const ControlPanelState &record) {
    setGeometry(QRect(QPoint(twipsToPx(record.leftTwips), twipsToPx(record.topTwips)), size()));
    state_.restore(record);
}

void ControlPanel::closeEvent(QCloseEvent *event) {
    if (confirmExit())
        event->accept();
    else
        event->ignore();
}

} // namespace q47
