#pragma once

#include "fareboard.h"

class QWidget;

namespace q47 {

class Form1;

// The board window behind the panel's rules.
class Form1Board final : public FareBoard {
public:
    explicit Form1Board(Form1 &board) : board_(board) {}

    void setCellValue(int cell, const QVariant &value) override;
    void resetCell(int cell, qint16 mode) override;
    void SetChimei(const QString &name) override;
    void stopClock() override;
    void resumeClock() override;
    void showRoute(const RouteOnBoard &route) override;
    void showStopWritten(const QString &name, const QString &written) override;

private:
    Form1 &board_;
};

// Message boxes over the control panel, and the end of the event loop.
class DesktopPanelHost final : public PanelHost {
public:
    explicit DesktopPanelHost(QWidget *owner) : owner_(owner) {}

    void message(const QString &text) override;
    void error(const QString &title, const QString &text) override;
    bool confirmExit() override;
    void endProgram() override;

private:
    QWidget *owner_;
};

// The program's default title: the executable's base name.
QString programBaseName();

} // namespace q47
