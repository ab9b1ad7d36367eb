#pragma once

#include "fareboard.h"

class QWidget;

namespace q47 {

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
