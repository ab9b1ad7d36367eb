#pragma once

#include "fareboard.h"

#include <QStringList>

#include <functional>
#include <utility>

namespace q47 {

// A board that keeps every cell's value and logs what happened to it, one line per call:
// "cell 3 = 170", "reset 1 -1", "name 駅前", "clock off", "clock on", "events", "sleep 3000".
// The runtime logs into the same list, so that a test sees the order of everything.
class RecordingBoard final : public FareBoard {
public:
    void setCellValue(int cell, const QVariant &value) override;
    void resetCell(int cell, qint16 mode) override;
    void showName(const QString &name) override;
    void stopClock() override;
    void resumeClock() override;
    void showRoute(const RouteOnBoard &shown) override { route = shown; }
    void showStopWritten(const QString &, const QString &realName) override { written = realName; }

    QVariant cells[51];
    QString name;
    RouteOnBoard route;
    QString written; // the stop's name as written, given before its name
    QStringList log;
};

// A calendar fixed at one day; events and sleeps are only logged.
class FakeRuntime final : public PanelRuntime {
public:
    explicit FakeRuntime(QStringList &log) : log_(log) {}

    QDate today() const override { return day; }
    void processEvents() override { log_.append(QStringLiteral("events")); }
    void sleep(int ms) override;

    QDate day{2026, 12, 7};
    // Called while the runtime sleeps, to look at the board in the middle of a wait.
    std::function<void(int ms)> duringSleep;

private:
    QStringList &log_;
};

// Answers the exit question as told and keeps the messages and errors shown; `whileShown`, when
// set, looks at the windows while each one is shown.
class FakeHost final : public PanelHost {
public:
    void message(const QString &text) override {
        messages.append(text);
        if (whileShown)
            whileShown();
    }
    void error(const QString &title, const QString &text) override {
        errors.append({title, text});
        if (whileShown)
            whileShown();
    }
    bool confirmExit() override { return answerYes; }
    void endProgram() override { ++ended; }

    QStringList messages;
    QList<std::pair<QString, QString>> errors; // title, text
    bool answerYes = false;
    int ended = 0;
    std::function<void()> whileShown;
};

} // namespace q47
