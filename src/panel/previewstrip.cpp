#include "previewstrip.h"

#include "panelwidgets.h"

#include <QComboBox>
#include <QLabel>
#include <QPainter>

namespace q47 {

PictureBox::PictureBox(QWidget *parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureBox::Cls() {
    image_.fill(Qt::white);
    update();
}

void PictureBox::resizeEvent(QResizeEvent *) {
    QImage resized(size(), QImage::Format_RGB32);
    resized.fill(Qt::white);
    QPainter(&resized).drawImage(0, 0, image_);
    image_ = resized;
}

void PictureBox::paintEvent(QPaintEvent *) {
    QPainter(this).drawImage(0, 0, image_);
}

PreviewStrip::PreviewStrip(QWidget *parent) : QWidget(parent) {
    const auto local = [](int left, int top, int width, int height) {
        return twipsRect(left - kLeftTwips, top, width, height);
    };
    setGeometry(twipsRect(kLeftTwips, 0, kRightTwips - kLeftTwips, 2595));
    label4_ = new QLabel(QStringLiteral("整理券プレビュー"), this);
    label4_->setGeometry(local(5370, 135, 1350, 225));
    picture_ = new PictureBox(this);
    picture_->setObjectName(QStringLiteral("picSeirikenPrev"));
    picture_->setGeometry(local(5415, 390, 3300, 1395));
    combo1_ = new QComboBox(this);
    combo1_->setObjectName(QStringLiteral("Combo1"));
    combo1_->setGeometry(local(5430, 2160, 3000, 300));
}

} // namespace q47
