#include "zoommenu.h"

#include "boardzoom.h"

#include <QActionGroup>

namespace q47 {

ZoomMenu::ZoomMenu(QWidget *parent) : QMenu(parent) {
    setObjectName(QStringLiteral("boardMenu"));
    auto *steps = new QActionGroup(this);
    static_assert(board::kZoomSteps.size() == std::tuple_size_v<decltype(zoomActions_)>);
    for (size_t i = 0; i < board::kZoomSteps.size(); ++i) {
        const qreal step = board::kZoomSteps[i];
        QAction *action = addAction(QStringLiteral("表示倍率 %1倍").arg(QString::number(step)));
        action->setCheckable(true);
        action->setData(step);
        steps->addAction(action);
        connect(action, &QAction::triggered, this, [this, step] { Q_EMIT zoomChosen(step); });
        zoomActions_[i] = action;
    }
    addSeparator();
    // The key is shown beside the caption only: a real shortcut would take F11 from the
    // board's key handling, before any filter of the host sees it.
    fullScreenAction_ = addAction(QStringLiteral("全画面表示\tF11"));
    fullScreenAction_->setCheckable(true);
    connect(fullScreenAction_, &QAction::triggered, this,
            [this](bool checked) { Q_EMIT fullScreenChosen(checked); });
    connect(this, &QMenu::aboutToShow, this, &ZoomMenu::stateWanted);
}

void ZoomMenu::showState(qreal zoom, bool fullScreen) {
    for (QAction *action : zoomActions_)
        action->setChecked(action->data().toReal() == zoom);
    fullScreenAction_->setChecked(fullScreen);
}

} // namespace q47
