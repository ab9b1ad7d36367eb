#include "tapegroup.h"

#include "olecolor.h"
#include "panelwidgets.h"
#include "segmentrenderer.h"

namespace q47 {

namespace {
constexpr OleColor kGreen = 0x0000C000;
constexpr OleColor kFrameGrey = 0x00969696;
constexpr OleColor kCaptionYellow = 0x0000FFFF;
} // namespace

TapeGroup::TapeGroup(QWidget *parent) : QGroupBox(QStringLiteral("音合使用不可"), parent) {
    setObjectName(QStringLiteral("grpM_Tape"));
    setGeometry(twipsRect(2085, 1260, 1290, 1275));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, fromOleColor(kFrameGrey));
    for (auto group : {QPalette::Active, QPalette::Inactive})
        pal.setColor(group, QPalette::WindowText, fromOleColor(kCaptionYellow));
    setPalette(pal);
    setAutoFillBackground(true);
    back_ = new WrapButton(QStringLiteral("戻し"), this);
    back_->setGeometry(twipsRect(75, 225, 585, 690));
    paintButton(back_, kGreen);
    next_ = new WrapButton(QStringLiteral("送り"), this);
    next_->setGeometry(twipsRect(660, 225, 570, 690));
    paintButton(next_, kGreen);
    stop_ = new QPushButton(QStringLiteral("■"), this);
    stop_->setGeometry(twipsRect(75, 930, 585, 300));
    set_ = new QPushButton(QStringLiteral("調整"), this);
    set_->setGeometry(twipsRect(660, 930, 570, 300));
    connect(back_, &QPushButton::clicked, this, &TapeGroup::backClicked);
    connect(next_, &QPushButton::clicked, this, &TapeGroup::nextClicked);
    connect(stop_, &QPushButton::clicked, this, &TapeGroup::stopClicked);
    connect(set_, &QPushButton::clicked, this, &TapeGroup::setClicked);
    // Nothing can be spoken until the speech engine is there.
    setEnabled(false);
    for (QPushButton *b : {back_, next_, stop_, set_})
        b->setEnabled(false);
}

void TapeGroup::showTape(const PanelState &state) {
    setTitle(state.tapeCaption());
    setEnabled(state.tapeFrameEnabled());
    for (QPushButton *b : {back_, next_, stop_, set_})
        b->setEnabled(state.tapeButtonsEnabled());
}

} // namespace q47
