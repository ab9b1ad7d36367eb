#include "previewstrip.h"

#include "panelwidgets.h"
#include "ticketplugin.h"
#include "twips.h"

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QTime>

#include <algorithm>

namespace q47 {

PictureBox::PictureBox(QWidget *parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureBox::Cls() {
    fitImage();
    image_.fill(Qt::white);
    update();
}

void PictureBox::fitImage() {
    const qreal ratio = devicePixelRatioF();
    if (image_.deviceIndependentSize() == QSizeF(size()) && image_.devicePixelRatio() == ratio)
        return;
    QImage fitted(size() * ratio, QImage::Format_RGB32);
    fitted.setDevicePixelRatio(ratio);
    fitted.fill(Qt::white);
    QPainter(&fitted).drawImage(0, 0, image_);
    image_ = fitted;
}

void PictureBox::resizeEvent(QResizeEvent *) {
    fitImage();
}

void PictureBox::paintEvent(QPaintEvent *) {
    fitImage(); // the window may have moved to a screen of another density
    QPainter(this).drawImage(0, 0, image_);
}

void PictureBox::mousePressEvent(QMouseEvent *event) {
    Q_EMIT mouseDown(event->button(), event->position().toPoint());
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
    connect(picture_, &PictureBox::mouseDown, this, &PreviewStrip::offerCopyMenu);
}

void PreviewStrip::setTicketSize(const QSize &size) {
    picture_->resize(size);
    const QRect designed = twipsRect(0, 0, kRightTwips - kLeftTwips, 2595);
    const int gap = twipsToPx(90);
    QRect combo = combo1_->geometry();
    combo.moveTop(std::max(twipsToPx(2160), picture_->geometry().bottom() + 1 + gap));
    combo1_->setGeometry(combo);
    resize(designed.size().expandedTo(
        QSize(picture_->geometry().right() + 1 + gap, combo.bottom() + 1 + gap)));
}

void PreviewStrip::Cls() {
    picture_->Cls();
}

void PreviewStrip::drawTicket(const TicketRequest &ticket) {
    {
        QPainter painter(&picture_->image());
        painter.setRenderHint(QPainter::Antialiasing);
        drawPluginTicket(ticket.plugin, painter, ticket.stopName, ticket.date,
                         QTime::currentTime().toString(QStringLiteral("HH:mm:ss")), ticket.route,
                         ticket.seiriNo, ticket.stopIndex, combo1_->currentIndex());
    }
    picture_->update();
}

void PreviewStrip::offerCopyMenu(Qt::MouseButton button, const QPoint &pos) {
    if (button != Qt::RightButton)
        return;
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("MnuHide"));
    connect(menu.addAction(QStringLiteral("コピー(&C)")), &QAction::triggered, this,
            &PreviewStrip::copyTicket);
    menu.exec(picture_->mapToGlobal(pos));
}

void PreviewStrip::addCompanies(const QStringList &companies) {
    combo1_->addItems(companies);
}

void PreviewStrip::clearCompanies() {
    combo1_->clear();
}

void PreviewStrip::chooseCompany(int index) {
    combo1_->setCurrentIndex(index);
}

void PreviewStrip::copyTicket() {
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setImage(picture_->image());
}

} // namespace q47
