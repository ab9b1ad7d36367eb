#pragma once

#include "lcdsettings.h"

#include <QObject>

#include <functional>
#include <memory>

class QWidget;

namespace q47 {

class BoardModel;
class LedBoard;
class LcdBoard;
class SettingsStore;

namespace lcd {
class StopReadings;
}

// Which of the two boards is on the screen. Both are views of one model, so a switch keeps
// everything the panel has put on the board, the stop on the route included. The
// LCD window is made on its first showing, with its zoom, place and page time from the user's
// settings; while it shows, each stop's name is looked up in kana and other languages for it
// and put in the model.
class BoardSwitch {
public:
    BoardSwitch(LedBoard &led, BoardModel &model, const SettingsStore &settings);
    ~BoardSwitch();
    BoardSwitch(const BoardSwitch &) = delete;
    BoardSwitch &operator=(const BoardSwitch &) = delete;

    // Called with the LCD window once, when it is made (or now, if it is): the operator's keys
    // and the board's title go on it.
    void setWindowPreparer(std::function<void(QWidget *)> prepare);

    lcd::BoardKind kind() const { return kind_; }
    // Shows the board(s) of `kind`, hides the other, and returns the one shown (the LED board
    // when both show). The LCD window first stands where the user left it, on the screen it was
    // on, else where the LED board stands.
    QWidget &show(lcd::BoardKind kind);
    QWidget &shown();
    // Null until the LCD board has been shown.
    LcdBoard *lcdBoard() const { return lcd_.get(); }

    // The keys that size a board (zoom, full screen), pressed anywhere on `window`, act on the
    // board shown: from the panel the operator can bring back a board that is out of reach.
    void takeBoardKeys(QWidget &window);
    // Both boards take input, or wait while a dialog is open.
    void setEnabled(bool enabled);

    void setPageSeconds(int seconds);
    void setFormBeats(const std::array<int, lcd::kNameForms> &beats);
    // The stop's readings are looked up while an LCD board follows elsewhere, though none
    // shows here.
    void setNamesWanted(bool wanted);
    // Keeps each board's screen and place, and the LCD window's zoom, in the user's settings.
    void rememberWindows() const;
    // The LED board on the screen and at the place the user's settings keep, if they keep one:
    // they say more than the state file's place, which knows no screens.
    void restoreLedPlace();

private:
    void makeLcd();
    void lookUpNames();

    LedBoard &led_;
    BoardModel &model_;
    const SettingsStore &settings_;
    std::function<void(QWidget *)> prepare_;
    std::unique_ptr<LcdBoard> lcd_;
    bool namesWanted_ = false;
    std::unique_ptr<lcd::StopReadings> readings_;
    std::unique_ptr<QObject> boardKeys_;
    lcd::BoardKind kind_ = lcd::BoardKind::Led;
};

} // namespace q47
