#pragma once

#include "boardcontent.h"
#include "error.h"

#include <QDate>
#include <QString>
#include <QVariant>

#include <span>

namespace q47 {

// The fare board as route setting, stepping and the display clear drive it. The board
// window stands behind it in the program; tests record the calls instead.
class FareBoard {
public:
    virtual ~FareBoard() = default;

    // Fare cell `cell` (1 to 50) receives `value`.
    virtual void setCellValue(int cell, const QVariant &value) = 0;
    // Every segment of the cell lit (-1), or the cell blank (0).
    virtual void resetCell(int cell, qint16 mode) = 0;
    virtual void showName(const QString &name) = 0;
    // Timer1 off and both clock cells dark.
    virtual void stopClock() = 0;
    // Timer1 on again, but only while the clock cells are shown.
    virtual void resumeClock() = 0;
    // The route on the board at the current stop: its number and name, colours, headsign,
    // the highest ticket number handed out so far and the cells of information digits. Only
    // boards that show them need it.
    virtual void showRoute(const RouteOnBoard &route) { Q_UNUSED(route); }
    // The real name of the stop the route file names `name`, given before showName(name).
    virtual void showStopWritten(const QString &name, const QString &written) {
        Q_UNUSED(name);
        Q_UNUSED(written);
    }
    // How fast a long name scrolls and how long it waits at the start.
    virtual void setNameScroll(qint16 speed, int startWait) {
        Q_UNUSED(speed);
        Q_UNUSED(startWait);
    }
};

// What the ticket of one stop carries, as the plug-in prints it.
struct TicketRequest {
    QString plugin; // the plug-in file
    QString stopName;
    QString date; // "mm-dd-yyyy", or the fixed date as shown
    qint32 route = 0;
    qint16 seiriNo = 0;
    int stopIndex = 0; // 1-based
};

// The control panel's ticket preview: wiped at every redisplay, drawn when the preview is in
// use. The time and the company are the preview's own to add.
class TicketPreview {
public:
    virtual ~TicketPreview() = default;

    virtual void Cls() = 0;
    virtual void drawTicket(const TicketRequest &ticket) = 0;
};

// What the operator is told of a failure: a message box when the title is empty, else an error
// box with this title.
struct FailureMessage {
    QString title;
    QString text;
    bool operator==(const FailureMessage &) const = default;
};

// The words of a failure as the operator reads them, chosen by its subject: a route refused, the
// state file's error with its number, a panel picture's error number, a plug-in's faults (all of
// `errors`, one a line), or the failure as tools print it.
FailureMessage failureMessage(std::span<const Error> errors);

// The words of a refused route.
namespace route_messages {
QString missing(const QString &path);
QString countZero();
QString sectionTooHigh();
QString tooManyRecords(int count);
QString truncated(const QString &path);
// A route file that is there but cannot be read, with the reason.
QString unreadable(const QString &path, const QString &reason);
QString isFolder();
QString noPermission();
QString notAFile();
QString tooLarge();
} // namespace route_messages

// The operator's side of the control panel: refusals, errors, the exit question and the end
// of the program. Message boxes in the program; answers given in advance in tests.
class PanelHost {
public:
    virtual ~PanelHost() = default;

    // Tells a failure in the box failureMessage() chooses.
    void report(const Error &error) { report(std::span<const Error>(&error, 1)); }
    void report(std::span<const Error> errors);

    // A refusal the operator acknowledges: OK only, the program's title, no icon.
    virtual void message(const QString &text) = 0;
    // A failure the operator acknowledges: the critical icon, OK only.
    virtual void error(const QString &title, const QString &text) = 0;
    // "運賃表示器アプリを終了しますか？"; true for yes.
    virtual bool confirmExit() = 0;
    // Ends the program at once, without closing the windows again.
    virtual void endProgram() = 0;
};

// The calendar and the event loop as the panel's rules see them, so that no rule reads the
// real date and tests need not wait out the lamp test.
class PanelRuntime {
public:
    virtual ~PanelRuntime() = default;

    virtual QDate today() const = 0;
    // Lets queued window events run.
    virtual void processEvents() = 0;
    // Blocks the caller, events and all, as the lamp test does.
    virtual void sleep(int ms) = 0;
};

// The real calendar, event loop and sleep.
class SystemRuntime final : public PanelRuntime {
public:
    QDate today() const override;
    void processEvents() override;
    void sleep(int ms) override;
};

} // namespace q47
