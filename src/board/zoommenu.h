#pragma once

#include <QMenu>

#include <array>

class QAction;

namespace q47 {

// A board's right-button menu: its zoom steps and full screen, checked as the board stands
// each time it opens.
class ZoomMenu : public QMenu {
    Q_OBJECT
public:
    explicit ZoomMenu(QWidget *parent);

    // What the checks show: the board's zoom and whether it fills its screen.
    void showState(qreal zoom, bool fullScreen);

Q_SIGNALS:
    void zoomChosen(qreal zoom);
    void fullScreenChosen(bool on);
    // Before it opens: the board answers with showState().
    void stateWanted();

private:
    std::array<QAction *, 4> zoomActions_{};
    QAction *fullScreenAction_ = nullptr;
};

} // namespace q47
