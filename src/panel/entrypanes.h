#pragma once

#include "panelstate.h"

#include <QWidget>

#include <array>

class QLabel;
class QListWidget;
class QPushButton;

namespace q47 {

class PaneFrame;

// The two entry panes stacked on the left of the control panel: the digit lists (Frame1(0))
// and the keypad (Frame1(1)), each with its "リセット". They show the panel's route entry and
// tell what the operator chose; a double-click on the pane in front asks for it to go to the
// back.
class EntryPanes : public QWidget {
    Q_OBJECT
public:
    explicit EntryPanes(QWidget *parent = nullptr);

    PaneFrame *pane(int i) const { return frames_.at(static_cast<size_t>(i)); }
    QListWidget *routeDigitList(int i) const { return list2_.at(static_cast<size_t>(i)); }
    QListWidget *sectionDigitList(int i) const { return list3_.at(static_cast<size_t>(i)); }
    QPushButton *setRouteButton(int i) const { return command1_.at(static_cast<size_t>(i)); }
    QPushButton *keypadKey(int i) const { return keys_.at(static_cast<size_t>(i)); }
    QLabel *keypadDisplay(int i) const { return label2_.at(static_cast<size_t>(i)); }

    // The lists' digits and the keypad's displays as `state` holds them, without the lists'
    // click sounds.
    void showEntry(const PanelState &state);
    // `pane` to the back, so that the other one shows.
    void showPaneAtBack(EntryPane pane);

    // Cuts each keypad key to its rounded outline.
    void shapeKeys();
    // The region each keypad key is cut to.
    static QRegion keyRegion();

Q_SIGNALS:
    void resetClicked(int index);
    void keyClicked(int index);
    void paneDoubleClicked(int index);
    // Digit `digit` chosen on route list or section list `list`.
    void routeDigitChosen(int list, int digit);
    void sectionDigitChosen(int list, int digit);

private:
    void buildListPane();
    void buildKeypadPane();

    std::array<PaneFrame *, 2> frames_{};
    std::array<QListWidget *, 5> list2_{};
    std::array<QListWidget *, 3> list3_{};
    std::array<QPushButton *, 2> command1_{};
    std::array<QPushButton *, 12> keys_{};
    std::array<QLabel *, 3> label2_{};
};

} // namespace q47
