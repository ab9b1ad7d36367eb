#pragma once

#include <QObject>

namespace q47 {

class SettingsStore;

// Which of the options dialog's controls are enabled or shown. Each governed control follows
// the box or option that governs it through that box's click behaviour: the ticket-number
// frame and the information-digit lists flip when their box changes, rather than copying
// the box, so a dialog restored from a saved state ends where it was saved. All of it lives
// outside the widgets, so that the states hold before the dialog's pages are built.
class OptionStates : public QObject {
    Q_OBJECT
public:
    explicit OptionStates(SettingsStore &store, QObject *parent = nullptr);

    // The ticket labels' settings, flipped by the box that shows the labels.
    bool labelSettingsEnabled() const { return labelSettings_; }
    // The digit page's lists, each flipped by the box beside it: the stop order's cell with
    // "0から数える", the ticket number's and the route number's cell, and the data column with
    // its cell.
    bool stopOrderEnabled() const { return stopOrder_; }
    bool ticketNumberEnabled() const { return ticketNumber_; }
    bool routeNumberEnabled() const { return routeNumber_; }
    bool dataColumnEnabled() const { return dataColumn_; }
    // The three image rows Frame6(0) to Frame6(2): enabled and shown unless the panels are
    // assigned automatically.
    bool imageRowsShown() const { return imageRows_; }
    // Frame10 and Frame7 on the preview page: enabled and shown while the preview is in use.
    bool previewFramesShown() const { return previewFrames_; }

Q_SIGNALS:
    void statesChanged();

private:
    void settingChanged(int slot);

    SettingsStore &store_;
    bool labelSettings_ = false;
    bool stopOrder_ = false;
    bool ticketNumber_ = false;
    bool routeNumber_ = false;
    bool dataColumn_ = false;
    bool imageRows_ = false;
    bool previewFrames_ = false;
};

} // namespace q47
