#pragma once

#include "keypadentry.h"

#include <QWidget>

#include <array>

class QLabel;
class QListWidget;
class QPushButton;

namespace q47 {

class PaneFrame;

// The two entry panes stacked on the left of the control panel: the digit lists (Frame1(0))
// and the keypad (Frame1(1)), each with its "リセット". A double-click on the pane in front
// asks for it to go to the back.
class EntryPanes : public QWidget {
    Q_OBJECT
public:
    explicit EntryPanes(QWidget *parent = nullptr);

    PaneFrame *Frame1(int i) const { return frames_.at(static_cast<size_t>(i)); }
    QListWidget *List2(int i) const { return list2_.at(static_cast<size_t>(i)); }
    QListWidget *List3(int i) const { return list3_.at(static_cast<size_t>(i)); }
    QPushButton *Command1(int i) const { return command1_.at(static_cast<size_t>(i)); }
    QPushButton *CommandButton1(int i) const { return keys_.at(static_cast<size_t>(i)); }
    QLabel *Label2(int i) const { return label2_.at(static_cast<size_t>(i)); }

    // Pane 0 or 1 to the back, so that the other one shows.
    void sendToBack(int index);
    // A keypad key: the entry and its displays follow at once.
    void press(int key);
    const KeypadEntry &keypad() const { return keypad_; }

    // The route number and the starting stop as pane `index` holds them: the selected digits
    // of the lists (0) or the keypad's displays (1).
    QString routeText(int index) const;
    // Route `route` from its first stop on the digit lists, without their click sounds.
    void offerRoute(int route);
    int startSection(int index) const;

    // Cuts each keypad key to its rounded outline.
    void shapeKeys();
    // The region each keypad key is cut to.
    static QRegion keyRegion();

Q_SIGNALS:
    void resetClicked(int index);
    void keyClicked(int index);
    void paneDoubleClicked(int index);
    void list2Clicked(int index);
    void list3Clicked(int index);

private:
    void buildListPane();
    void buildKeypadPane();

    std::array<PaneFrame *, 2> frames_{};
    std::array<QListWidget *, 5> list2_{};
    std::array<QListWidget *, 3> list3_{};
    std::array<QPushButton *, 2> command1_{};
    std::array<QPushButton *, 12> keys_{};
    std::array<QLabel *, 3> label2_{};
    KeypadEntry keypad_;
};

} // namespace q47
