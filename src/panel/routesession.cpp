#include "routesession.h"

#include "announcementtape.h"
#include "fareboard.h"
#include "fareupdate.h"
#include "panelrules.h"
#include "settingsstore.h"
#include "soundoutput.h"

#include <QCoreApplication>
#include <QThread>

#include <algorithm>

namespace q47 {

QDate SystemRuntime::today() const {
    return QDate::currentDate();
}

void SystemRuntime::processEvents() {
    QCoreApplication::processEvents();
}

void SystemRuntime::sleep(int ms) {
    QThread::msleep(static_cast<unsigned long>(std::max(ms, 0)));
}

RouteSession::RouteSession(FareBoard &board, const SettingsStore &settings, SoundOutput &sound,
                           AnnouncementTape &tape, PanelHost &host, PanelRuntime &runtime)
    : board_(board), settings_(settings), sound_(sound), tape_(tape), host_(host),
      runtime_(runtime) {}

bool RouteSession::setRoute(const QString &routeText, int startSection) {
    const QString dataFolder = normalizeFolder(settings_.text(setting::DataFolder));
    const QString soundFolder = normalizeFolder(settings_.text(setting::SoundFolder));
    sound_.play(settings_.text(setting::RouteSound), SoundChannel::S1, SoundWait::No, 0);

    tape_.loadList(soundFolder, routeName(routeText));
    if (const Result<> loaded = loadRoute(table_, dataFolder, routeText, startSection); !loaded) {
        host_.report(loaded.error());
        return false;
    }
    side_ = loadRouteSideFile(dataFolder + routeSideFileName(routeText), table_.lastStopPos() + 1);
    if (side_)
        tape_.setWrittenNames(cp932Substitutes(*side_));

    board_.showName(QStringLiteral("系統設定"));
    for (int k = 1; k <= kFareCells; ++k)
        board_.resetCell(k, -1);
    runtime_.processEvents();
    runtime_.sleep(lampTestMs_);
    for (int k = 1; k <= kFareCells; ++k)
        board_.setCellValue(k, 0);
    return true;
}

void RouteSession::showStartingStop() {
    table_.RouteDate = routeDate(settings_, runtime_.today());
    showCurrentStop();
}

bool RouteSession::step(int index) {
    const std::optional<qint16> target = stepTarget(table_, index);
    if (!target)
        return false;
    table_.CurStopPos = *target;
    sound_.play(stepSound(settings_, table_, table_.CurStopPos), SoundChannel::S2,
                stepSoundWaits(settings_) ? SoundWait::UntilEnd : SoundWait::No, 0);
    showCurrentStop();
    return true;
}

void RouteSession::moveTo(int stop) {
    table_.CurStopPos = qint16(std::clamp(stop - 1, 0, table_.lastStopPos()));
    showCurrentStop();
}

void RouteSession::DispData(int n) {
    int highest = 0;
    for (int i = 1; i <= n; ++i)
        highest = std::max<int>(highest, table_.at(i).SeiriNo);
    const InfoDigitOptions info = infoDigitOptions(settings_);
    RouteOnBoard route;
    route.number = routeName(table_.RouteText);
    route.highestSeiriNo = highest;
    route.infoCells = infoDigitCells(info);
    const QString last = writtenStopName(table_.lastStopPos() + 1);
    if (!last.isEmpty())
        route.headsign = last + QStringLiteral("行");
    if (side_) {
        route.name = side_->name;
        route.color = side_->color;
        route.textColor = side_->textColor;
        if (n >= 1 && n <= int(side_->stops.size()) &&
            !side_->stops[size_t(n - 1)].headsign.isEmpty())
            route.headsign = side_->stops[size_t(n - 1)].headsign;
    }
    board_.showRoute(route);
    for (const CellWrite &w : fareWrites(table_, n, lateNight_, info))
        board_.setCellValue(w.cell, w.value);
    ticketDate_ = ticketDate(settings_, table_.RouteDate, runtime_.today());
    if (preview_) {
        preview_->Cls();
        if (settings_.flag(setting::UsePreview) == 1) {
            const StopRecord &stop = table_.at(n);
            preview_->drawTicket({settings_.text(setting::PluginFile), stop.StopName, ticketDate_,
                                  routeNumberValue(table_.RouteText), stop.SeiriNo, n});
        }
    }
    runtime_.processEvents();
    board_.showStopWritten(table_.at(n).StopName, writtenStopName(n));
    board_.showName(table_.at(n).StopName);
}

QString RouteSession::writtenStopName(int n) const {
    const QString &name = table_.at(n).StopName;
    if (!side_ || n < 1 || n > int(side_->stops.size()))
        return name;
    return q47::writtenStopName(name, side_->stops[size_t(n - 1)].name);
}

void RouteSession::renameCurrentStop() {
    const int n = table_.CurStopPos + 1;
    board_.showName(QString());
    board_.showStopWritten(table_.at(n).StopName, writtenStopName(n));
    board_.showName(table_.at(n).StopName);
}

void RouteSession::blankBoard() {
    board_.showName(QString());
    for (int k = 1; k <= kFareCells; ++k)
        board_.resetCell(k, 0);
    board_.stopClock();
}

void RouteSession::resumeClock() {
    board_.resumeClock();
}

} // namespace q47
