#pragma once

#include "announcementtape.h"
#include "panelrules.h"
#include "panelstate.h"
#include "routesession.h"

#include <QObject>

namespace q47 {

class FareBoard;
class PanelHost;
class PanelRuntime;
class SettingsStore;
class SoundOutput;

// What the control panel's buttons, lists and keys do, without its window: route entry and
// setting, stepping, the display clear and the announcements, acting on the panel's state, the
// route session and the announcement tape. The window's controls and the operator's keys both
// come here; a key does what its button would, and nothing while its button could not be used.
class PanelControl : public QObject {
    Q_OBJECT
public:
    // `speech` creates the announcement tape's engine; without one speech is off.
    PanelControl(PanelState &state, FareBoard &board, const SettingsStore &settings,
                 SoundOutput &sound, PanelHost &host, PanelRuntime &runtime,
                 AnnouncementTape::EngineFactory speech = {});

    PanelState &state() { return state_; }
    RouteSession &session() { return session_; }
    const RouteSession &session() const { return session_; }
    AnnouncementTape &tape() { return tape_; }

    // A keypad key (0 to 9, KeypadEntry::kRouteKey, kSectionKey), with the key sound.
    void pressKeypad(int key);
    // A digit chosen on a route list or a section list, with the list's sound.
    void chooseRouteDigit(int list, int digit);
    void chooseSectionDigit(int list, int digit);
    // "リセット" on a pane: the route it holds, from the stop it holds. False when refused.
    bool setRouteFrom(EntryPane pane);
    // A route given otherwise (the command line).
    bool setRoute(const QString &routeText, int startSection);
    // Pane 0 (the lists) or 1 (the keypad) to the back; other numbers are no pane.
    void sendToBack(int pane);

    // One stop back (0) or forward (1); false at either end of the route.
    bool step(int index);
    // "表示消去": the board blanked and route entry waiting, or the stop shown again.
    void setCleared(bool on);

    // The announcements "送り" and "戻し" (a linked entry steps the board too), "■", "調整".
    void announceNext();
    void announceBack();
    void stopAnnouncement();
    void adjustVoice();

    void operatorKey(OperatorAction action, int digit);

    // The exit, once confirmed: the name off the board, every sound closed, speech released.
    void shutDown();

Q_SIGNALS:
    // The operator stepped the bus to `stop` (1-based), by a step or a linked announcement.
    void stepped(int stop);

private:
    PanelState &state_;
    FareBoard &board_;
    const SettingsStore &settings_;
    SoundOutput &sound_;
    AnnouncementTape tape_;
    RouteSession session_;
};

} // namespace q47
