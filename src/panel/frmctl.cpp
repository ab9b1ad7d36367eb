#include "frmctl.h"

#include "backlight.h"
#include "backlightpicture.h"
#include "boardlayout.h"
#include "chimeictl.h"
#include "degitrenderer.h"
#include "dialogs.h"
#include "form1.h"
#include "panelrules.h"
#include "panelwidgets.h"
#include "settingsstore.h"
#include "soundoutput.h"
#include "twips.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QShortcut>
#include <QSignalBlocker>

#include <algorithm>

namespace q47 {

QString boardCaption(const QString &programBaseName) {
    return QStringLiteral("運賃表示器アプリケーション - 型番:") + programBaseName;
}

frmCtl::frmCtl(Form1 &board, SettingsStore &settings, SoundOutput &sound, QDialog &options,
               PanelHost *host, PanelRuntime *runtime, mdlM_Tape::EngineFactory speech,
               QWidget *parent)
    // A fixed window: a title with minimise and close, no maximise, no resizing.
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      board_(board), settings_(settings), sound_(sound), options_(options),
      ownHost_(host ? nullptr : std::make_unique<DesktopPanelHost>(this)),
      host_(host ? *host : *ownHost_), runtime_(runtime ? *runtime : ownRuntime_),
      fareBoard_(board), tapeGroup_(new TapeGroup(this)),
      announcements_(settings, sound, *tapeGroup_, std::move(speech)),
      session_(fareBoard_, settings, sound, announcements_, host_, runtime_) {
    setWindowTitle(QStringLiteral("集中操作盤"));
    setFixedSize(twipsRect(0, 0, kClientWidthTwips, kClientHeightTwips).size());
    setFont(panelFace("ＭＳ Ｐゴシック", 9, false));

    panes_ = new EntryPanes(this);
    panes_->move(twipsRect(30, -60, 0, 0).topLeft());
    steps_ = new StepButtons(this);
    announcements_.setOwner(this);
    frame6_ = new ScrollFrame(this);
    frame2_ = new BacklightFrame(this);
    preview_ = new PreviewStrip(this);

    command4_ = new QPushButton(QStringLiteral("設定..."), this);
    command4_->setGeometry(twipsRect(3450, 2250, 840, 300));
    command8_ = new QPushButton(QStringLiteral("ﾊﾞｰｼﾞｮﾝ"), this);
    command8_->setGeometry(twipsRect(4290, 2250, 870, 300));
    check4_ = new QPushButton(QStringLiteral(">>"), this);
    check4_->setCheckable(true);
    check4_->setToolTip(QStringLiteral("整理券プレビューを開きます"));
    check4_->setGeometry(twipsRect(4935, 45, 330, 300));
    session_.setTicketPreview(preview_);
    connectHandlers();
    installOperatorKeys(this);
}

frmCtl::~frmCtl() = default;

void frmCtl::connectHandlers() {
    connect(panes_, &EntryPanes::resetClicked, this, &frmCtl::Command1_Click);
    connect(panes_, &EntryPanes::keyClicked, this, &frmCtl::CommandButton1_Click);
    connect(panes_, &EntryPanes::paneDoubleClicked, this, &frmCtl::Frame1_DblClick);
    connect(panes_, &EntryPanes::list2Clicked, this, &frmCtl::List2_Click);
    connect(panes_, &EntryPanes::list3Clicked, this, &frmCtl::List3_Click);
    connect(steps_, &StepButtons::stepClicked, this, &frmCtl::Command2_Click);
    connect(steps_, &StepButtons::clearToggled, this, &frmCtl::Check1_Click);
    connect(frame6_, &ScrollFrame::scrollChanged, this, &frmCtl::HScroll1_Change);
    connect(frame6_, &ScrollFrame::lateNightToggled, this,
            [this](bool on) { session_.setLateNight(on); });
    connect(tapeGroup_, &TapeGroup::nextClicked, this, &frmCtl::cmdTapeNext_Click);
    connect(tapeGroup_, &TapeGroup::backClicked, this, &frmCtl::cmdTapeBack_Click);
    connect(tapeGroup_, &TapeGroup::stopClicked, this, &frmCtl::cmdTapeStop_Click);
    connect(tapeGroup_, &TapeGroup::setClicked, this, &frmCtl::cmdTapeSet_Click);
    connect(command4_, &QPushButton::clicked, this, &frmCtl::Command4_Click);
    connect(command8_, &QPushButton::clicked, this, &frmCtl::Command8_Click);
    connect(frame2_, &BacklightFrame::optionSelected, this, &frmCtl::Option4_Click);
    connect(frame2_, &BacklightFrame::optionSelected, this, [](int row) {
        QSettings user;
        rememberBacklight(user, row);
    });
    connect(check4_, &QPushButton::toggled, this, &frmCtl::Check4_Click);
}

void frmCtl::selectBacklight(int row) {
    if (row < 0 || row >= kBacklightRows)
        return;
    QPushButton *option = frame2_->Option4(row);
    const QSignalBlocker quiet(option);
    option->setChecked(true);
}

void frmCtl::Form_Load() {
    board_.setWindowTitle(boardCaption(programBaseName()));
    panes_->shapeKeys();
    announcements_.TapeInit();
}

void frmCtl::Command1_Click(int index) {
    setRoute(panes_->routeText(index), panes_->startSection(index));
}

bool frmCtl::setRoute(const QString &routeText, int startSection) {
    if (!session_.setRoute(routeText, startSection))
        return false;
    steps_->enableStepping();
    session_.showStartingStop();
    return true;
}

void frmCtl::Command2_Click(int index) {
    session_.step(index);
}

void frmCtl::CommandButton1_Click(int index) {
    sound_.PlaySnd(settings_.text(setting::ResetSound), QStringLiteral("S1"), 0, 0);
    panes_->press(index);
}

void frmCtl::Frame1_DblClick(int index) {
    if (index != 0 && index != 1)
        return;
    backPane_ = static_cast<qint16>(index);
    panes_->sendToBack(index);
}

void frmCtl::List2_Click(int) {
    sound_.PlaySnd(settings_.text(setting::ResetSound), QStringLiteral("S1"), 0, 0);
}

void frmCtl::List3_Click(int) {
    sound_.PlaySnd(settings_.text(setting::RouteSound), QStringLiteral("S1"), 0, 0);
}

void frmCtl::cmdTapeNext_Click() {
    announcements_.TapeNext();
    // The link is read after speaking, so a linked entry's voice starts before the step.
    if (announcements_.TapeGetLink(announcements_.TapePos()) == 1)
        Command2_Click(1);
}

void frmCtl::cmdTapeBack_Click() {
    announcements_.TapeBack();
    if (announcements_.TapeGetLink(announcements_.TapePos()) == 1)
        Command2_Click(0);
}

void frmCtl::cmdTapeStop_Click() {
    announcements_.TapeStop();
}

void frmCtl::cmdTapeSet_Click() {
    announcements_.TapeAdjust();
}

void frmCtl::Check1_Click() {
    const std::initializer_list<QWidget *> entry = {
        panes_->Frame1(0), panes_->Frame1(1), steps_->Command2(0), steps_->Command2(1), frame6_};
    if (steps_->Check1()->isChecked()) {
        session_.blankBoard();
        for (QWidget *w : entry)
            w->setEnabled(false);
        tapeGroup_->setEnabled(false);
        return;
    }
    for (QWidget *w : entry)
        w->setEnabled(true);
    session_.resumeClock();
    tapeGroup_->setEnabled(announcements_.SpeechOK());
    session_.showCurrentStop();
}

void frmCtl::Command4_Click() {
    board_.setEnabled(false);
    setEnabled(false);
    options_.exec();
    board_.setEnabled(true);
    setEnabled(true);
    session_.renameCurrentStop();
}

void frmCtl::Command8_Click() {
    const QString text =
        aboutText(programBaseName(), QStringLiteral(Q47_VERSION), runtime_.today().year()) +
        QStringLiteral("\r\n") + operatorKeysHelp();
    board_.setEnabled(false);
    Call_dlg110(this, text);
    board_.setEnabled(true);
}

void frmCtl::HScroll1_Change(int index) {
    frame6_->showValue(index);
    board_.setPlaceNameScroll(static_cast<qint16>(frame6_->HScroll1(0)->value()),
                              frame6_->HScroll1(1)->value());
}

void frmCtl::Option4_Click(int Index) {
    backlightShown_ = true;
    board_.setBacklight(Index);
    // A failure leaves the picture as it was and is told; the labels take the row's colour
    // either way.
    if (const Result<> shown = showBacklightPicture(board_, settings_, Index); !shown) {
        const BacklightFailure failure{Index, shown.error()};
        if (failure != toldFailure_)
            host_.report(shown.error());
        toldFailure_ = failure;
    } else {
        toldFailure_.reset();
    }
    colourLabelsForBacklight(board_, settings_, Index);
}

void frmCtl::installOperatorKeys(QWidget *window) {
    // Shortcuts come before the focused control's own keys, so Space steps the bus even while
    // a button has the focus, and arrows step it while a digit list has.
    for (const OperatorKey &k : operatorKeys()) {
        auto *shortcut = new QShortcut(QKeySequence(k.key), window);
        shortcut->setContext(Qt::WindowShortcut);
        shortcut->setAutoRepeat(false);
        const int digit = k.key - Qt::Key_0;
        connect(shortcut, &QShortcut::activated, this,
                [this, action = k.action, digit] { operatorKey(action, digit); });
    }
}

void frmCtl::operatorKey(OperatorAction action, int digit) {
    // Each key clicks its button, so a disabled button ignores its key as it ignores the mouse.
    switch (action) {
    case OperatorAction::StepForward:
        steps_->Command2(1)->click();
        break;
    case OperatorAction::StepBack:
        steps_->Command2(0)->click();
        break;
    case OperatorAction::KeypadDigit:
        if (keyEntry_ == 0) {
            if (backPane_ != 0)
                Frame1_DblClick(0); // the keypad to the front, where the digits show
            panes_->CommandButton1(KeypadEntry::kRouteKey)->click();
            keyEntry_ = 1;
        }
        panes_->CommandButton1(digit)->click();
        break;
    case OperatorAction::KeypadEnter:
        if (keyEntry_ == 1) {
            panes_->CommandButton1(KeypadEntry::kSectionKey)->click();
            keyEntry_ = 2;
        } else if (keyEntry_ == 2) {
            keyEntry_ = 0;
            panes_->Command1(1)->click();
        }
        break;
    case OperatorAction::TapeNext:
        tapeGroup_->cmdTapeNext()->click();
        break;
    case OperatorAction::TapeBack:
        tapeGroup_->cmdTapeBack()->click();
        break;
    case OperatorAction::TapeStop:
        tapeGroup_->cmdTapeStop()->click();
        break;
    }
}

void frmCtl::Check4_Click() {
    const bool open = check4_->isChecked();
    fitPreview();
    check4_->setText(open ? QStringLiteral("<<") : QStringLiteral(">>"));
    check4_->setToolTip(open ? QStringLiteral("整理券プレビューを隠します")
                             : QStringLiteral("整理券プレビューを開きます"));
}

void frmCtl::describeTicket(const QSize &size, const QStringList &companies) {
    preview_->setTicketSize(size);
    if (check4_->isChecked())
        fitPreview();
    preview_->Combo1()->addItems(companies);
}

void frmCtl::clearTicketCompanies() {
    preview_->Combo1()->clear();
}

void frmCtl::offerRoute(int route) {
    panes_->offerRoute(route);
}

void frmCtl::fitPreview() {
    const bool open = check4_->isChecked();
    const QSize closed = twipsRect(0, 0, kClientWidthTwips, kClientHeightTwips).size();
    QSize size = closed;
    if (open)
        size = twipsRect(0, 0, PreviewStrip::kRightTwips, kClientHeightTwips)
                   .size()
                   .expandedTo(
                       QSize(preview_->geometry().right() + 1, preview_->geometry().bottom() + 1));
    // The panel stands in the screen's corner: widened in place, the strip would open off the
    // screen. It steps left and up as far as it must, and back when the strip closes.
    const QPoint home = pos() + previewShift_;
    previewShift_ = QPoint();
    if (open) {
        const QRect available = screen()->availableGeometry();
        const QSize borders = frameGeometry().size() - this->size();
        // A ticket larger than the screen is cut at the screen's edge.
        size = size.boundedTo(available.size() - borders).expandedTo(closed);
        const QSize frame = borders + size;
        const QPoint overflow(home.x() + frame.width() - 1 - available.right(),
                              home.y() + frame.height() - 1 - available.bottom());
        previewShift_ =
            QPoint(std::clamp(overflow.x(), 0, std::max(0, home.x() - available.left())),
                   std::clamp(overflow.y(), 0, std::max(0, home.y() - available.top())));
    }
    if (home - previewShift_ != pos())
        move(home - previewShift_);
    setFixedSize(size);
}

bool frmCtl::Form_QueryUnload() {
    if (!host_.confirmExit())
        return false;
    fareBoard_.SetChimei(QString());
    sound_.CloseSnd();
    announcements_.TapeRelease();
    if (saveIni_)
        saveIni_();
    host_.endProgram();
    return true;
}

ControlPanelState frmCtl::GetCtrlDataInfo() const {
    ControlPanelState state;
    // Where the panel's client area stands with its strip closed; opening steps it aside
    // again. The client, not the frame: the restore places the client, before any window
    // manager has framed it, so the two must be the same point.
    const QPoint at = geometry().topLeft() + previewShift_;
    state.leftTwips = pxToTwips(at.x());
    state.topTwips = pxToTwips(at.y());
    state.scrollSpeed = frame6_->HScroll1(0)->value();
    state.scrollInterval = frame6_->HScroll1(1)->value();
    state.paneIndex = backPane_;
    state.previewOpen = check4_->isChecked() ? 1 : 0;
    state.lateNightFare = frame6_->Check2()->isChecked() ? 1 : 0;
    return state;
}

void frmCtl::SetCtrlDataInfo(const ControlPanelState &state) {
    setGeometry(QRect(QPoint(twipsToPx(state.leftTwips), twipsToPx(state.topTwips)), size()));
    // The bars keep to their ranges; a stored value outside them takes the nearest end.
    frame6_->HScroll1(0)->setValue(static_cast<qint16>(state.scrollSpeed));
    frame6_->HScroll1(1)->setValue(static_cast<qint16>(state.scrollInterval));
    backPane_ = state.paneIndex;
    check4_->setChecked(state.previewOpen != 0);
    frame6_->Check2()->setChecked(state.lateNightFare != 0);
    Frame1_DblClick(state.paneIndex);
}

void frmCtl::closeEvent(QCloseEvent *event) {
    if (Form_QueryUnload())
        event->accept();
    else
        event->ignore();
}

} // namespace q47
