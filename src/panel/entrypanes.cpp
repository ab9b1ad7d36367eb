#include "entrypanes.h"

#include "olecolor.h"
#include "panelwidgets.h"
#include "segmentrenderer.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>

namespace q47 {

namespace {

constexpr OleColor kYellow = 0x0000FFFF;
constexpr OleColor kLightGrey = 0x00E0E0E0;
constexpr OleColor kOrange = 0x000080FF;

// A list of the digits 0 to 9. Like a list box it shows a scroll bar whenever its digits do
// not all fit, so that every digit can be reached with the mouse.
QListWidget *digitList(QWidget *parent, const QRect &geometry, int selected) {
    auto *list = new QListWidget(parent);
    for (int d = 0; d <= 9; ++d)
        list->addItem(QString::number(d));
    list->setGeometry(geometry);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    list->setStyleSheet(QStringLiteral("QListWidget { background: white; font-size: 11px; }"
                                       "QListWidget::item { padding: 0px; }"
                                       "QScrollBar:vertical { width: 9px; }"));
    list->setCurrentRow(selected);
    return list;
}

QLabel *caption(QWidget *parent, const QString &text, const QRect &geometry) {
    auto *l = new QLabel(text, parent);
    l->setGeometry(geometry);
    l->setStyleSheet(QStringLiteral("color: white;"));
    return l;
}

} // namespace

EntryPanes::EntryPanes(QWidget *parent) : QWidget(parent) {
    for (int i = 0; i < 2; ++i) {
        auto *pane = new PaneFrame(this);
        pane->setObjectName(QStringLiteral("Frame1_%1").arg(i));
        pane->setGeometry(twipsRect(0, 0, 1995, 2625));
        connect(pane, &PaneFrame::DblClick, this, [this, i] { Q_EMIT paneDoubleClicked(i); });
        frames_[static_cast<size_t>(i)] = pane;
    }
    buildListPane();
    buildKeypadPane();
    resize(frames_[0]->size());
}

void EntryPanes::buildListPane() {
    PaneFrame *pane = frames_[0];
    caption(pane, QStringLiteral("系統設定"), twipsRect(90, 120, 1700, 240));
    caption(pane, QStringLiteral("系　統"), twipsRect(90, 390, 1200, 210));
    // The lists start on route 00001 from its first stop.
    for (int i = 0; i < 5; ++i) {
        QListWidget *list = digitList(pane, twipsRect(90 + i * 360, 600, 345, 780), i == 4 ? 1 : 0);
        list->setObjectName(QStringLiteral("List2_%1").arg(i));
        connect(list, &QListWidget::currentRowChanged, this,
                [this, i](int row) { Q_EMIT routeDigitChosen(i, row); });
        list2_[static_cast<size_t>(i)] = list;
    }
    caption(pane, QStringLiteral("区間"), twipsRect(90, 1440, 1200, 210));
    for (int i = 0; i < 3; ++i) {
        QListWidget *list =
            digitList(pane, twipsRect(90 + i * 360, 1650, 345, 540), i == 2 ? 1 : 0);
        list->setObjectName(QStringLiteral("List3_%1").arg(i));
        connect(list, &QListWidget::currentRowChanged, this,
                [this, i](int row) { Q_EMIT sectionDigitChosen(i, row); });
        list3_[static_cast<size_t>(i)] = list;
    }
    command1_[0] = new QPushButton(QStringLiteral("リセット"), pane);
    command1_[0]->setGeometry(twipsRect(330, 2250, 1380, 315));
    connect(command1_[0], &QPushButton::clicked, this, [this] { Q_EMIT resetClicked(0); });
}

void EntryPanes::buildKeypadPane() {
    PaneFrame *pane = frames_[1];
    static constexpr int kLefts[3] = {330, 810, 1290};
    static constexpr int kTops[4] = {570, 975, 1395, 1815};
    // Index = digit; 10 "系統", 11 "区間". Rows top to bottom: 7 8 9 / 4 5 6 / 1 2 3 / 0 系統 区間.
    static constexpr int kGrid[4][3] = {{7, 8, 9}, {4, 5, 6}, {1, 2, 3}, {0, 10, 11}};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 3; ++c) {
            const int index = kGrid[r][c];
            const bool word = index >= KeypadEntry::kRouteKey;
            auto *key =
                new QPushButton(word ? (index == KeypadEntry::kRouteKey ? QStringLiteral("系統")
                                                                        : QStringLiteral("区間"))
                                     : QString::number(index),
                                pane);
            key->setObjectName(QStringLiteral("CommandButton1_%1").arg(index));
            key->setGeometry(twipsRect(kLefts[c], kTops[r], 450, index == 0 ? 405 : 390));
            key->setFont(word ? panelFace("ＭＳ Ｐゴシック", 8.25, false)
                              : panelFace("ＭＳ Ｐゴシック", 15.75, true));
            paintButton(key, word ? kYellow : kLightGrey);
            key->setFocusPolicy(Qt::NoFocus);
            connect(key, &QPushButton::clicked, this, [this, index] { Q_EMIT keyClicked(index); });
            keys_[static_cast<size_t>(index)] = key;
        }

    // Route number, "-" and section, all right-aligned.
    const QRect displays[3] = {twipsRect(225, 180, 810, 315), twipsRect(1035, 180, 255, 315),
                               twipsRect(1290, 180, 465, 270)};
    for (int i = 0; i < 3; ++i) {
        auto *l = new QLabel(i == 1 ? QStringLiteral("-") : QString(), pane);
        l->setObjectName(QStringLiteral("Label2_%1").arg(i));
        l->setGeometry(displays[i]);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        l->setFont(panelFace("ＭＳ ゴシック", 14.25, false));
        l->setStyleSheet(QStringLiteral("color: %1;").arg(fromOleColor(kOrange).name()));
        label2_[static_cast<size_t>(i)] = l;
    }
    command1_[1] = new QPushButton(QStringLiteral("リセット"), pane);
    command1_[1]->setGeometry(twipsRect(330, 2250, 1380, 315));
    connect(command1_[1], &QPushButton::clicked, this, [this] { Q_EMIT resetClicked(1); });
}

QRegion EntryPanes::keyRegion() {
    // Rounded rectangle (2, 2)-(28, 25) with a 2 x 2 corner: the corner pixels are cut.
    QRegion r(2, 2, 26, 23);
    for (QPoint corner : {QPoint(2, 2), QPoint(27, 2), QPoint(2, 24), QPoint(27, 24)})
        r -= QRegion(corner.x(), corner.y(), 1, 1);
    return r;
}

void EntryPanes::shapeKeys() {
    for (QPushButton *key : keys_)
        key->setMask(keyRegion());
}

void EntryPanes::showPaneAtBack(EntryPane pane) {
    frames_.at(static_cast<size_t>(pane))->lower();
}

void EntryPanes::showEntry(const PanelState &state) {
    for (int i = 0; i < PanelState::kRouteLists; ++i) {
        const QSignalBlocker quiet(routeDigitList(i));
        routeDigitList(i)->setCurrentRow(state.routeDigit(i));
    }
    for (int i = 0; i < PanelState::kSectionLists; ++i) {
        const QSignalBlocker quiet(sectionDigitList(i));
        sectionDigitList(i)->setCurrentRow(state.sectionDigit(i));
    }
    label2_[0]->setText(state.keypad().routeText());
    label2_[2]->setText(state.keypad().sectionText());
}

} // namespace q47
