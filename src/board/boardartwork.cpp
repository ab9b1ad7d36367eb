#include "boardartwork.h"

#include "artworkglyphs.h"
#include "boardlayout.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace q47::board {

namespace {

const QColor kRim(0xEE, 0xE6, 0xCC);
const QColor kRimShade(0xC9, 0xBE, 0x9E);
const QColor kFace(0x0A, 0x0A, 0x0A);
const QColor kCell(0x1E, 0x1E, 0x1E);
const QColor kStrip(0x6A, 0x6A, 0x6A);

// The lit face: light through blue acrylic, brightest in the middle, and brighter still in
// the bands where the ticket numbers are printed. White labels stay readable on both.
const QColor kLitFaceEdge(0x1C, 0x4E, 0x8A);
const QColor kLitFaceMiddle(0x2C, 0x6F, 0xB8);
const QColor kLitBand(0x4A, 0x8E, 0xD6);
const QColor kLitCellEdge(0x0C, 0x1C, 0x30);

bool lit(Artwork which) {
    return which != Artwork::Off;
}

void drawRim(QPainter &p, const QRectF &all, Artwork which) {
    QPainterPath outer;
    outer.addRoundedRect(all, 6, 6);
    p.fillPath(outer, kRim);
    p.setPen(QPen(kRimShade, 1));
    p.drawRoundedRect(all.adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
    QPainterPath face;
    const QRectF inner = all.adjusted(6, 6, -6, -6);
    face.addRoundedRect(inner, 4, 4);
    if (!lit(which)) {
        p.fillPath(face, kFace);
        return;
    }
    QLinearGradient glow(inner.topLeft(), inner.bottomLeft());
    glow.setColorAt(0, kLitFaceEdge);
    glow.setColorAt(0.5, kLitFaceMiddle);
    glow.setColorAt(1, kLitFaceEdge);
    p.fillPath(face, glow);
}

// The band behind one row of printed numbers, from the first cell's left to the last's right.
void drawLitBands(QPainter &p) {
    for (int row = 0; row < kRows; ++row) {
        const QRect first = toPx(seiriLabelTwips(row * kColumns + 1));
        const QRect last = toPx(seiriLabelTwips(row * kColumns + kColumns));
        p.fillRect(QRect(first.topLeft(), last.bottomRight()).adjusted(-4, 1, 4, -1), kLitBand);
    }
}

void drawNameStrip(QPainter &p) {
    const QRect strip = toPx(dotNameTwips()).adjusted(-3, -3, 3, 3);
    p.fillRect(strip, kStrip);
    p.setPen(QPen(QColor(0x40, 0x40, 0x40), 1));
    p.drawRect(QRectF(strip).adjusted(0.5, 0.5, -0.5, -0.5));

    // The vertical caption beside the strip, one character below the other.
    const QString caption = QStringLiteral("運賃です");
    const int x = strip.right() + 8;
    const int left = toPx(digitTwips(1)).left();
    const QRect column(x, strip.top() + 12, left - x - 8, strip.height() - 24);
    const int step = column.height() / static_cast<int>(caption.size());
    for (int i = 0; i < caption.size(); ++i)
        p.fillPath(artworkText(ArtworkFace::Caption, QStringView(caption).mid(i, 1),
                               QRect(column.left(), column.top() + i * step, column.width(), step)),
                   Qt::white);
}

void drawCells(QPainter &p, Artwork which, bool printedNumbers) {
    const QColor number = lit(which) ? QColor(Qt::white) : QColor(0xF4, 0xF4, 0xF4);
    for (int k = 1; k <= kCellCount; ++k) {
        const QRect cell = toPx(digitTwips(k)).adjusted(-2, -2, 2, 2);
        // On a lit face a dark edge keeps each cell apart from the glow around it.
        if (lit(which))
            p.fillRect(cell.adjusted(-1, -1, 1, 1), kLitCellEdge);
        p.fillRect(cell, kCell);
        if (!printedNumbers)
            continue;
        p.fillPath(artworkText(ArtworkFace::Number, fullWidthNumber(k), toPx(seiriLabelTwips(k))),
                   number);
    }
}

void drawPlate(QPainter &p) {
    const QRect plate(250, 227, 300, 12);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xD8, 0xD8, 0xD0));
    p.drawRoundedRect(plate, 2, 2);
    p.fillPath(artworkText(ArtworkFace::Plate, u"小児は半額です　（5円は10円に切り上げ）", plate),
               QColor(0x20, 0x20, 0x20));
}

} // namespace

QImage renderArtwork(Artwork which, qreal devicePixelRatio, bool printedNumbers) {
    const QSize logical(kPictureWidthPx, kPictureHeightPx);
    QImage img(QSize(static_cast<int>(std::ceil(logical.width() * devicePixelRatio)),
                     static_cast<int>(std::ceil(logical.height() * devicePixelRatio))),
               QImage::Format_ARGB32_Premultiplied);
    img.setDevicePixelRatio(devicePixelRatio);
    img.fill(Qt::transparent);
    QPainter p(&img);
    paintArtwork(p, which, printedNumbers);
    return img;
}

void paintArtwork(QPainter &p, Artwork which, bool printedNumbers) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    drawRim(p, QRectF(0, 0, kPictureWidthPx, kPictureHeightPx), which);
    if (lit(which))
        drawLitBands(p);
    drawNameStrip(p);
    drawCells(p, which, printedNumbers);
    drawPlate(p);
    p.restore();
}

QImage renderIcon(int size) {
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF all(0, 0, size, size);
    const qreal rim = size / 16.0;
    QPainterPath outer;
    outer.addRoundedRect(all, size / 8.0, size / 8.0);
    p.fillPath(outer, kRim);
    QPainterPath face;
    face.addRoundedRect(all.adjusted(rim, rim, -rim, -rim), size / 12.0, size / 12.0);
    p.fillPath(face, kFace);
    // A grey name column on the left and an amber fare cell on the right.
    p.fillRect(QRectF(rim * 2, rim * 2, size * 0.2, size - rim * 4), kStrip);
    const QRectF cell(size * 0.36, size * 0.3, size * 0.56, size * 0.4);
    p.fillRect(cell, kCell);
    QFont f(QStringLiteral("ＭＳ ゴシック"));
    f.setPixelSize(static_cast<int>(size * 0.32));
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(0xF8, 0xD2, 0x72));
    p.drawText(cell, Qt::AlignCenter, QStringLiteral("230"));
    return img;
}

} // namespace q47::board
