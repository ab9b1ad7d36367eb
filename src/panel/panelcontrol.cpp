#include "panelcontrol.h"

#include "fareboard.h"
#include "settingsstore.h"
#include "soundoutput.h"

namespace q47 {

PanelControl::PanelControl(PanelState &state, FareBoard &board, const SettingsStore &settings,
                           SoundOutput &sound, PanelHost &host, PanelRuntime &runtime,
                           AnnouncementTape::EngineFactory speech)
    : state_(state), board_(board), settings_(settings), sound_(sound),
      tape_(settings, sound, state, std::move(speech)),
      session_(board, settings, sound, tape_, host, runtime) {
    session_.setLateNight(state_.lateNight());
    connect(&state_, &PanelState::lateNightChanged, this,
            [this](bool on) { session_.setLateNight(on); });
    connect(&state_, &PanelState::scrollChanged, this, [this] {
        board_.setNameScroll(static_cast<qint16>(state_.scrollSpeed()), state_.scrollInterval());
    });
}

void PanelControl::pressKeypad(int key) {
    sound_.play(settings_.text(setting::ResetSound), SoundChannel::S1, SoundWait::No, 0);
    state_.pressKeypad(key);
}

void PanelControl::chooseRouteDigit(int list, int digit) {
    state_.setRouteDigit(list, digit);
    sound_.play(settings_.text(setting::ResetSound), SoundChannel::S1, SoundWait::No, 0);
}

void PanelControl::chooseSectionDigit(int list, int digit) {
    state_.setSectionDigit(list, digit);
    sound_.play(settings_.text(setting::RouteSound), SoundChannel::S1, SoundWait::No, 0);
}

bool PanelControl::setRouteFrom(EntryPane pane) {
    return setRoute(state_.routeText(pane), state_.startSection(pane));
}

bool PanelControl::setRoute(const QString &routeText, int startSection) {
    if (!session_.setRoute(routeText, startSection))
        return false;
    state_.setRouteSet();
    session_.showStartingStop();
    return true;
}

void PanelControl::sendToBack(int pane) {
    if (pane == 0 || pane == 1)
        state_.sendToBack(EntryPane(pane));
}

bool PanelControl::step(int index) {
    if (!session_.step(index))
        return false;
    Q_EMIT stepped(session_.route().CurStopPos + 1);
    return true;
}

void PanelControl::setCleared(bool on) {
    state_.setCleared(on);
    if (on) {
        session_.blankBoard();
        state_.setFrameEnabled(false);
        return;
    }
    session_.resumeClock();
    state_.setFrameEnabled(tape_.speechAvailable());
    session_.showCurrentStop();
}

void PanelControl::announceNext() {
    tape_.speakNext();
    // The link is read after speaking, so a linked entry's voice starts before the step.
    if (tape_.linkOf(tape_.position()) == 1)
        step(1);
}

void PanelControl::announceBack() {
    tape_.speakPrevious();
    if (tape_.linkOf(tape_.position()) == 1)
        step(0);
}

void PanelControl::stopAnnouncement() {
    tape_.stopSpeaking();
}

void PanelControl::adjustVoice() {
    tape_.showEngineSettings();
}

void PanelControl::operatorKey(OperatorAction action, int digit) {
    using Typing = PanelState::Typing;
    switch (action) {
    case OperatorAction::StepForward:
    case OperatorAction::StepBack:
        if (state_.canStep())
            step(action == OperatorAction::StepForward ? 1 : 0);
        break;
    case OperatorAction::KeypadDigit:
        if (state_.typing() == Typing::None) {
            if (state_.backPane() != 0)
                sendToBack(0); // the keypad to the front, where the digits show
            if (state_.canEnterRoute())
                pressKeypad(KeypadEntry::kRouteKey);
            state_.setTyping(Typing::Route);
        }
        if (state_.canEnterRoute())
            pressKeypad(digit);
        break;
    case OperatorAction::KeypadEnter:
        if (state_.typing() == Typing::Route) {
            if (state_.canEnterRoute())
                pressKeypad(KeypadEntry::kSectionKey);
            state_.setTyping(Typing::Section);
        } else if (state_.typing() == Typing::Section) {
            state_.setTyping(Typing::None);
            if (state_.canEnterRoute())
                setRouteFrom(EntryPane::Keypad);
        }
        break;
    case OperatorAction::speakNext:
        if (state_.canAnnounce())
            announceNext();
        break;
    case OperatorAction::speakPrevious:
        if (state_.canAnnounce())
            announceBack();
        break;
    case OperatorAction::stopSpeaking:
        if (state_.canAnnounce())
            stopAnnouncement();
        break;
    }
}

void PanelControl::shutDown() {
    board_.showName(QString());
    sound_.closeAll();
    tape_.releaseEngine();
}

} // namespace q47
