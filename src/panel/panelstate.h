#pragma once

#include "announcementtape.h"
#include "keypadentry.h"
#include "staterecords.h"

#include <QObject>
#include <QString>

#include <array>

namespace q47 {

// The control panel's two entry panes, stacked: the digit lists and the keypad.
enum class EntryPane { Lists = 0, Keypad = 1 };

// What the control panel holds besides the route on the board: the backlight row, the place
// name's scroll settings, the late-night switch, the route and section entry on the lists and
// the keypad and which pane is at the back, the ticket preview's toggle, whether stepping is
// open and the display cleared, and the announcement frame as the tape leaves it. The panel's
// widgets show it and write it, the state file reads and restores it, the operator's keys act
// on it. It knows no widget.
class PanelState : public QObject, public TapeView {
    Q_OBJECT
public:
    static constexpr int kMinScrollSpeed = 1;
    static constexpr int kMaxScrollSpeed = 2000;
    static constexpr int kMinScrollInterval = 0;
    static constexpr int kMaxScrollInterval = 3000;
    static constexpr int kRouteLists = 5;
    static constexpr int kSectionLists = 3;

    // Backlight row 0 "OFF", 1 "ON1" or 2 "ON2"; other rows are no rows and change nothing.
    int backlight() const { return backlight_; }
    void setBacklight(int row);

    // How fast a long place name scrolls and how long it waits; a value out of the bars' ranges
    // takes the nearest end.
    int scrollSpeed() const { return scrollSpeed_; }
    int scrollInterval() const { return scrollInterval_; }
    void setScrollSpeed(int speed);
    void setScrollInterval(int interval);

    // Fares are doubled while it is on.
    bool lateNight() const { return lateNight_; }
    void setLateNight(bool on);

    // The digits selected on the route lists (five) and the section lists (three); they start
    // on route 00001 from stop 001.
    int routeDigit(int list) const { return routeDigits_.at(size_t(list)); }
    int sectionDigit(int list) const { return sectionDigits_.at(size_t(list)); }
    void setRouteDigit(int list, int digit);
    void setSectionDigit(int list, int digit);
    // Route `route` from its first stop on the lists.
    void offerRoute(int route);
    const KeypadEntry &keypad() const { return keypad_; }
    void pressKeypad(int key);
    // The route number and the starting stop as pane `pane` holds them.
    QString routeText(EntryPane pane) const;
    int startSection(EntryPane pane) const;

    // The pane at the back; the keypad starts in front. The state file keeps the number of the
    // pane last sent there, even one that is no pane.
    EntryPane paneAtBack() const { return paneAtBack_; }
    qint16 backPane() const { return backPane_; }
    void sendToBack(EntryPane pane);

    // How far the keyboard has typed a route: nothing, the route's digits, the section's.
    enum class Typing { None, Route, Section };
    Typing typing() const { return typing_; }
    void setTyping(Typing typing) { typing_ = typing; }

    bool previewOpen() const { return previewOpen_; }
    void setPreviewOpen(bool open);

    // Stepping and the display clear open once a route has been set; while the display is
    // cleared, route entry, stepping and the scroll settings wait.
    bool routeSet() const { return routeSet_; }
    void setRouteSet();
    bool cleared() const { return cleared_; }
    void setCleared(bool on);
    bool canStep() const { return routeSet_ && !cleared_; }
    bool canEnterRoute() const { return !cleared_; }

    // The announcement frame: its caption, whether it is usable, whether its buttons are.
    const QString &tapeCaption() const { return tapeCaption_; }
    bool tapeFrameEnabled() const { return tapeFrame_; }
    bool tapeButtonsEnabled() const { return tapeButtons_; }
    bool canAnnounce() const { return tapeFrame_ && tapeButtons_; }
    void setFrameCaption(const QString &caption) override;
    void setFrameEnabled(bool on) override;
    void setButtonsEnabled(bool on) override;

    // The state file's record of the panel, its place left to the window. The restore takes
    // each value as the controls would.
    ControlPanelState record() const;
    void restore(const ControlPanelState &record);

Q_SIGNALS:
    void backlightChanged(int row);
    void scrollChanged();
    void lateNightChanged(bool on);
    // The lists' digits or the keypad's.
    void entryChanged();
    void paneChanged();
    void previewChanged(bool open);
    // Whether a route is set, or the display cleared.
    void steppingChanged();
    void tapeChanged();

private:
    void setScroll(int &field, int value);

    int backlight_ = 0;
    int scrollSpeed_ = kMinScrollSpeed;
    int scrollInterval_ = kMinScrollInterval;
    bool lateNight_ = false;
    std::array<int, kRouteLists> routeDigits_{0, 0, 0, 0, 1};
    std::array<int, kSectionLists> sectionDigits_{0, 0, 1};
    KeypadEntry keypad_;
    EntryPane paneAtBack_ = EntryPane::Lists;
    qint16 backPane_ = 0;
    Typing typing_ = Typing::None;
    bool previewOpen_ = false;
    bool routeSet_ = false;
    bool cleared_ = false;
    // Nothing can be spoken until the speech engine is there.
    QString tapeCaption_ = QString::fromUtf8(AnnouncementTape::kUnavailable);
    bool tapeFrame_ = false;
    bool tapeButtons_ = false;
};

} // namespace q47
