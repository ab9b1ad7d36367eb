#include "form1.h"

#include "boardartwork.h"
#include "boardlayout.h"
#include "chimeictl.h"
#include "mdegit.h"
#include "twips.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QWindow>

#include <cmath>

namespace q47 {

namespace {
// Built-in pictures are drawn at twice the density: sharp on dense screens, and smoothly
// reduced on ordinary ones.
constexpr qreal kArtworkRatio = 2.0;
} // namespace

Form1::Form1(QWidget *parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFixedSize(board::clientSizePx());

    imgRes_[0] = board::renderArtwork(board::Artwork::Off, kArtworkRatio);
    imgRes_[1] = board::renderArtwork(board::Artwork::On1, kArtworkRatio);

    QFont labelFont(QStringLiteral("クイロン数字平体"));
    labelFont.setPointSizeF(12.75);
    labelFont.setBold(true);

    for (int k = 0; k <= board::kCellCount; ++k) {
        auto *label = new QLabel(board::fullWidthNumber(k), this);
        label->setObjectName(QStringLiteral("lblSeiriNum%1").arg(k));
        label->setGeometry(board::toPx(board::seiriLabelTwips(k)));
        label->setAlignment(Qt::AlignCenter);
        label->setFont(labelFont);
        label->setAttribute(Qt::WA_TranslucentBackground);
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
        // Shown only while the options ask for ticket-number labels; the board picture
        // carries printed numbers meanwhile.
        label->setVisible(false);
        labels_[static_cast<size_t>(k)] = label;

        auto *cell = new M_Degit(this);
        cell->setObjectName(QStringLiteral("Degit%1").arg(k));
        cell->setGeometry(board::toPx(board::degitTwips(k)));
        cell->setVisible(k != 0);
        connect(cell, &M_Degit::DblClick, this, [this, k] { Degit_DblClick(k); });
        degit_[static_cast<size_t>(k)] = cell;
    }
    labels_[0]->setText(QString());

    for (int i = 0; i < 2; ++i) {
        auto *clock = new M_Degit(this);
        clock->setObjectName(QStringLiteral("TimeDegit%1").arg(i));
        clock->setKeta(2); // hours, minutes
        clock->setGeometry(board::toPx(board::timeDegitTwips(i)));
        clock->setVisible(false);
        timeDegit_[static_cast<size_t>(i)] = clock;
    }

    chimeiCtl_ = new ChimeiCtl_E(this);
    chimeiCtl_->setObjectName(QStringLiteral("ChimeiCtl"));
    chimeiCtl_->setGeometry(board::toPx(board::chimeiTwips()));

    timer1_ = new QTimer(this);
    timer1_->setInterval(1000);
    connect(timer1_, &QTimer::timeout, this, [this] { Timer1_Timer(QTime::currentTime()); });
}

void Form1::setImgRes(int index, const QImage &picture) {
    imgRes_.at(static_cast<size_t>(index)) = picture;
}

void Form1::setPicture(const QImage &picture) {
    if (picture.cacheKey() == picture_.cacheKey())
        return;
    picture_ = picture;
    face_ = QPixmap();
    update();
}

QRegion Form1::roundedRegion(const QSize &client) {
    // Rounded rectangle from (0, 0) to the client's right and bottom edges, corner
    // ellipse 12 x 12, traced pixel by pixel so that the outline matches a system region.
    const int w = client.width(), h = client.height();
    const int r = board::kCornerEllipsePx / 2;
    QRegion region(r, 0, w - 2 * r, h);
    region += QRegion(0, r, w, h - 2 * r);
    for (int y = 0; y < r; ++y) {
        // Width of the ellipse row y (from the top) through the pixel's centre.
        const double dy = r - (y + 0.5);
        const int inset = static_cast<int>(r - std::sqrt(double(r * r) - dy * dy) + 0.5);
        region += QRegion(inset, y, w - 2 * inset, 1);
        region += QRegion(inset, h - 1 - y, w - 2 * inset, 1);
    }
    return region;
}

void Form1::applyRoundedMask() {
    setMask(roundedRegion(size()));
}

WindowPosition Form1::GetFormInfo() const {
    return {pxToTwips(x()), pxToTwips(y())};
}

void Form1::SetFormInfo(const WindowPosition &position) {
    move(twipsToPx(position.Left), twipsToPx(position.Top));
}

void Form1::Timer1_Timer(const QTime &now) {
    const QString text = now.toString(QStringLiteral("HH:mm:ss"));
    timeDegit_[0]->setValue(text.mid(0, 2).toInt());
    timeDegit_[1]->setValue(text.mid(3, 2).toInt());
}

void Form1::Degit_DblClick(int index) {
    M_Degit *cell = Degit(index);
    if (!cell->UserSet())
        return;
    if (controlPanel_)
        controlPanel_->setEnabled(false);
    if (cell->ShowSetDlg() == 1) {
        const qint16 shift = cell->Shift();
        const qint16 zeroMode = cell->ZeroMode();
        const qint16 fillZero = cell->FillZero();
        for (int k = 1; k <= board::kCellCount; ++k) {
            M_Degit *d = Degit(k);
            d->setShift(shift);
            d->setZeroMode(zeroMode);
            d->setFillZero(fillZero);
            d->setValue(QVariant(d->Value()));
        }
    }
    if (controlPanel_)
        controlPanel_->setEnabled(true);
}

void Form1::paintEvent(QPaintEvent *) {
    const qreal ratio = devicePixelRatioF();
    const QSize pixels(static_cast<int>(std::ceil(width() * ratio)),
                       static_cast<int>(std::ceil(height() * ratio)));
    if (face_.isNull() || face_.devicePixelRatio() != ratio || face_.size() != pixels) {
        face_ = QPixmap(pixels);
        face_.setDevicePixelRatio(ratio);
        face_.fill(QColor::fromRgb(kBackground));
        if (!picture_.isNull()) {
            // The picture keeps its own ratio: a user's file is enlarged smoothly on a dense
            // screen, the double-density built-in pictures reduced on an ordinary one.
            QPainter p(&face_);
            p.setRenderHint(QPainter::SmoothPixmapTransform);
            p.drawImage(QPointF(0, 0), picture_);
        }
    }
    // Only the region being repainted is copied; the painter clips to it.
    QPainter p(this);
    p.drawPixmap(QPointF(0, 0), face_);
}

void Form1::mousePressEvent(QMouseEvent *event) {
    if (event->button() != Qt::LeftButton)
        return;
    if (QWindow *w = windowHandle())
        w->startSystemMove();
}

} // namespace q47
