#pragma once

#include "routedata.h"
#include "routesidefile.h"

#include <QString>

#include <optional>

namespace q47 {

class FareBoard;
class PanelHost;
class PanelRuntime;
class TicketPreview;
class SettingsStore;
class SoundOutput;
class AnnouncementTape;

// The route on the board: setting a route from its file, stepping from stop to stop and
// putting a stop on the board. Owns the route table with the current stop, the date fixed
// when the route was set and the date of the ticket for the stop on the board. Options are
// read from the settings store at the moment each rule needs them.
class RouteSession {
public:
    static constexpr int kLampTestMs = 3000;

    RouteSession(FareBoard &board, const SettingsStore &settings, SoundOutput &sound,
                 AnnouncementTape &tape, PanelHost &host, PanelRuntime &runtime);

    // "リセット" up to the lamp test: the route-setting sound, the announcement list, the
    // route file and every segment lit for the lamp test's time, then the cells at 0. False
    // when the route is refused: the operator has been told why and the board and the table
    // are as they were.
    bool setRoute(const QString &routeText, int startSection);
    // The rest of a route setting: fixes RouteDate and shows the starting stop.
    void showStartingStop();

    // One stop back (0) or forward (1): the step sound, then the new stop. Nothing at all
    // happens at either end of the route; false then.
    bool step(int index);
    // Puts stop `stop` (1-based, within the loaded records) on the board as the current stop,
    // without a sound: a ride starting over from its first stop.
    void moveTo(int stop);

    // Puts stop n (1-based) on the board: fares, information digits, the ticket's date and
    // the stop's name.
    void DispData(int n);
    void showCurrentStop() { DispData(table_.CurStopPos + 1); }
    // The current stop's name put up afresh.
    void renameCurrentStop();

    // The board half of the display clear, and of its undoing before the stop shows again.
    void blankBoard();
    void resumeClock();

    // The late-night switch: fares are doubled while it is on.
    void setLateNight(bool on) { lateNight_ = on; }
    // How long the lamp test keeps every segment lit.
    void setLampTestMs(int ms) { lampTestMs_ = ms; }
    // Where DispData draws the ticket; none: no preview.
    void setTicketPreview(TicketPreview *preview) { preview_ = preview; }

    const RouteTable &route() const { return table_; }
    // Stop n's name as written: its real name from the route's side file, else the route
    // file's.
    QString writtenStopName(int n) const;
    const QString &RouteDate() const { return table_.RouteDate; }
    // The date the ticket of the stop on the board carries.
    const QString &ticketDateText() const { return ticketDate_; }

private:
    FareBoard &board_;
    const SettingsStore &settings_;
    SoundOutput &sound_;
    AnnouncementTape &tape_;
    PanelHost &host_;
    PanelRuntime &runtime_;
    TicketPreview *preview_ = nullptr;
    RouteTable table_;
    std::optional<RouteSideFile> side_; // the route's side file, when it has one
    QString ticketDate_;
    bool lateNight_ = false;
    int lampTestMs_ = kLampTestMs;
};

} // namespace q47
