#include "panelart.h"

#include "boardlayout.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace q47::panelgen {

namespace {

struct Palette {
    QColor rim, face, cell, cellEdge, strip, numbers, caption;
    bool glow;
    bool smooth;

    QFont font(const char *name, int pixels) const {
        QFont f(QString::fromUtf8(name));
        f.setPixelSize(pixels);
        f.setBold(true);
        if (!smooth)
            f.setStyleStrategy(QFont::NoAntialias);
        return f;
    }
};

Palette paletteOf(Face face) {
    switch (face) {
    case Face::Night:
        return {QColor(0x2B, 0x30, 0x3A),
                QColor(0x12, 0x16, 0x1E),
                QColor(0x05, 0x05, 0x08),
                QColor(0x3A, 0x40, 0x4C),
                QColor(0x24, 0x28, 0x30),
                QColor(0xF2, 0xB2, 0x4A),
                QColor(0xC8, 0xC8, 0xD0),
                false,
                true};
    case Face::Led:
        return {QColor(0x30, 0x30, 0x30),
                QColor(0x00, 0x00, 0x00),
                QColor(0x10, 0x10, 0x10),
                QColor(0x50, 0x50, 0x50),
                QColor(0x40, 0x40, 0x40),
                QColor(0xF0, 0xF8, 0xFF),
                QColor(0xF0, 0xF8, 0xFF),
                true,
                false};
    case Face::Day:
        break;
    }
    return {QColor(0xD8, 0xD4, 0xC4),
            QColor(0xF4, 0xF1, 0xE6),
            QColor(0x1A, 0x1A, 0x1A),
            QColor(0x90, 0x8C, 0x80),
            QColor(0x70, 0x70, 0x70),
            QColor(0x18, 0x18, 0x18),
            QColor(0x20, 0x20, 0x20),
            false,
            false};
}

void drawFrame(QPainter &p, const Palette &c, const QRectF &all) {
    if (c.smooth) {
        QLinearGradient rim(all.topLeft(), all.bottomLeft());
        rim.setColorAt(0, c.rim.lighter(125));
        rim.setColorAt(1, c.rim.darker(115));
        QPainterPath outer;
        outer.addRoundedRect(all, 6, 6);
        p.fillPath(outer, rim);
    } else {
        p.fillRect(all, c.rim);
    }
    QPainterPath face;
    face.addRoundedRect(all.adjusted(6, 6, -6, -6), 4, 4);
    p.fillPath(face, c.face);
}

void drawStrip(QPainter &p, const Palette &c) {
    const QRect strip = board::toPx(board::dotNameTwips()).adjusted(-3, -3, 3, 3);
    p.fillRect(strip, c.strip);
    p.setPen(QPen(c.cellEdge, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(strip).adjusted(0.5, 0.5, -0.5, -0.5));

    p.setFont(c.font("ＭＳ ゴシック", 20));
    p.setPen(c.caption);
    const QString caption = QStringLiteral("運賃表");
    const int x = strip.right() + 8;
    const int width = board::toPx(board::digitTwips(1)).left() - x - 8;
    const int step = (strip.height() - 40) / static_cast<int>(caption.size());
    for (int i = 0; i < caption.size(); ++i)
        p.drawText(QRect(x, strip.top() + 20 + i * step, width, step), Qt::AlignCenter,
                   caption.mid(i, 1));
}

void drawCells(QPainter &p, const Palette &c) {
    p.setFont(c.font("クイロン数字平体", 15));
    for (int k = 1; k <= board::kCellCount; ++k) {
        const QRect cell = board::toPx(board::digitTwips(k)).adjusted(-1, -1, 1, 1);
        p.fillRect(cell, c.cell);
        p.setPen(QPen(c.cellEdge, 1));
        p.drawRect(QRectF(cell).adjusted(-0.5, -0.5, 0.5, 0.5));
        const QRect label = board::toPx(board::seiriLabelTwips(k));
        if (c.glow) {
            // A halo one step dimmer than the digits, as lit LEDs bleed into the face.
            p.setPen(c.numbers.darker(300));
            for (QPoint d : {QPoint(-1, 0), QPoint(1, 0), QPoint(0, -1), QPoint(0, 1)})
                p.drawText(label.translated(d), Qt::AlignCenter, board::fullWidthNumber(k));
        }
        p.setPen(c.numbers);
        p.drawText(label, Qt::AlignCenter, board::fullWidthNumber(k));
    }
}

} // namespace

QImage drawPanel(Face face) {
    const Palette c = paletteOf(face);
    QImage img(board::kPictureWidthPx, board::kPictureHeightPx, QImage::Format_RGB32);
    img.fill(c.rim);
    QPainter p(&img);
    // The LED face keeps to flat colours so that it survives a 256-colour palette.
    p.setRenderHint(QPainter::Antialiasing, c.smooth);
    p.setRenderHint(QPainter::TextAntialiasing, c.smooth);
    drawFrame(p, c, QRectF(img.rect()));
    drawStrip(p, c);
    drawCells(p, c);
    return img;
}

} // namespace q47::panelgen
