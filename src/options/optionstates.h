#pragma once

#include <QObject>

#include <array>

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

    // Frame3, the ticket-number settings, flipped by Check1.
    bool frame3Enabled() const { return frame3_; }
    // Combo4(0) to Combo4(4); Check3(0) flips 0, Check3(1) 1, Check3(2) 2, Check3(3) 3 and 4.
    bool combo4Enabled(int index) const { return combo4_.at(static_cast<size_t>(index)); }
    // Check3(4) "0から数える", flipped with Combo4(0).
    bool check3ZeroEnabled() const { return check3Zero_; }
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
    bool frame3_ = false;
    std::array<bool, 5> combo4_{};
    bool check3Zero_ = false;
    bool imageRows_ = false;
    bool previewFrames_ = false;
};

} // namespace q47
