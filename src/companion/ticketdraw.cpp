#include "ticketdraw.h"

#include <QFontMetricsF>
#include <QPainter>

#include <zint.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace q47::ticket {
namespace {

// Longer data is no ticket's; the cap keeps encoding time bounded.
constexpr qsizetype kMaxBarcodeBytes = 256;

struct SymbolDeleter {
    void operator()(zint_symbol *s) const { ZBarcode_Delete(s); }
};
using Symbol = std::unique_ptr<zint_symbol, SymbolDeleter>;

bool allDigits(const QByteArray &data) {
    return std::all_of(data.begin(), data.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Encodes the data and lays it out as vector rectangles, one unit per module, quiet zones
// included; null when the symbology cannot hold the data.
Symbol encode(Symbology symbology, const QByteArray &data, int qrLevel) {
    if (data.isEmpty() || data.size() > kMaxBarcodeBytes)
        return nullptr;
    Symbol s(ZBarcode_Create());
    if (!s)
        return nullptr;
    switch (symbology) {
    case Symbology::Codabar:
        s->symbology = BARCODE_CODABAR;
        break;
    case Symbology::Itf:
        s->symbology = BARCODE_C25INTER;
        break;
    case Symbology::Code39:
        s->symbology = BARCODE_CODE39;
        break;
    case Symbology::Code128:
        s->symbology = BARCODE_CODE128;
        break;
    case Symbology::Ean13:
    case Symbology::Ean8:
        // The check digit is always computed; the length alone picks EAN-13 or EAN-8.
        if (!allDigits(data) || data.size() != (symbology == Symbology::Ean13 ? 12 : 7))
            return nullptr;
        s->symbology = BARCODE_EANX;
        break;
    case Symbology::Qr:
        s->symbology = BARCODE_QRCODE;
        s->option_1 = qrLevel;
        break;
    }
    s->input_mode = UNICODE_MODE;
    s->show_hrt = 0;
    s->output_options = BARCODE_QUIET_ZONES;
    s->scale = 0.5f; // one vector unit per module
    const auto *bytes = reinterpret_cast<const unsigned char *>(data.constData());
    if (ZBarcode_Encode(s.get(), bytes, static_cast<int>(data.size())) >= ZINT_ERROR)
        return nullptr;
    if (ZBarcode_Buffer_Vector(s.get(), 0) >= ZINT_ERROR || !s->vector)
        return nullptr;
    if (s->vector->width < 1.0f || s->vector->height < 1.0f)
        return nullptr;
    return s;
}

bool isMatrix(Symbology symbology) {
    return symbology == Symbology::Qr;
}

void drawBarcode(QPainter &painter, const Item &item, const QString &data) {
    const Symbol symbol = encode(item.symbology, data.toUtf8(), item.qrLevel);
    if (!symbol)
        return;
    const zint_vector &vec = *symbol->vector;
    const bool matrix = isMatrix(item.symbology);
    const double unitsW = std::ceil(vec.width);
    const double unitsH = std::ceil(vec.height);

    // Modules fall on whole device pixels unless the painter rotates or shears; then they are
    // laid out in ticket pixels as they come.
    const QTransform device = painter.deviceTransform();
    bool invertible = false;
    const QTransform worldInverse = painter.worldTransform().inverted(&invertible);
    const bool snap = device.type() <= QTransform::TxScale && invertible;
    const QRectF area = snap ? device.mapRect(QRectF(item.box)) : QRectF(item.box);
    const auto px = [snap](double v) { return snap ? std::round(v) : v; };

    // Whole ticket pixels per module when they fit, so that every ratio shows the same
    // barcode; else the most device pixels that fit.
    double fit = item.box.width() / unitsW;
    if (matrix)
        fit = std::min(fit, item.box.height() / unitsH);
    double mx = fit;
    double my = fit;
    if (snap && fit >= 1.0) {
        mx = std::floor(std::floor(fit) * std::abs(device.m11()) + 1e-6);
        my = std::floor(std::floor(fit) * std::abs(device.m22()) + 1e-6);
    } else if (snap) {
        mx = std::floor(area.width() / unitsW);
        my = std::floor(area.height() / unitsH);
        if (matrix)
            mx = my = std::min(mx, my);
    }
    if (mx < 1 || (matrix && my < 1))
        return;

    const double left = px(area.left() + (area.width() - unitsW * mx) / 2);
    const double top = matrix ? px(area.top() + (area.height() - unitsH * my) / 2) : px(area.top());
    const double rowScale = px(area.height()) / unitsH; // 1-D: bars span the box's height

    painter.save();
    if (snap) // draw in device pixels: undo the remaining high-density scale
        painter.setWorldTransform((worldInverse * device).inverted());
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::NoPen);
    painter.setBrush(item.colour);
    for (const zint_vector_rect *r = vec.rectangles; r; r = r->next) {
        if (r->colour == 8) // white
            continue;
        const double x0 = left + std::round(r->x) * mx;
        const double x1 = left + std::round(r->x + r->width) * mx;
        const double y0 = matrix ? top + std::round(r->y) * my : top + px(r->y * rowScale);
        const double y1 = matrix ? top + std::round(r->y + r->height) * my
                                 : top + px((r->y + r->height) * rowScale);
        if (x1 > x0 && y1 > y0)
            painter.drawRect(QRectF(x0, y0, x1 - x0, y1 - y0));
    }
    painter.restore();
}

void drawText(QPainter &painter, const Item &item, const QString &text) {
    if (text.isEmpty())
        return;
    QFont font(item.fontFamily.isEmpty() ? QString::fromUtf16(kDefaultFontFamily)
                                         : item.fontFamily);
    font.setPixelSize(item.pixelSize);
    font.setBold(item.bold);
    painter.setFont(font);
    painter.setPen(item.colour);
    const int flags = Qt::TextSingleLine | Qt::TextDontClip | Qt::AlignVCenter;
    const QRectF box(item.box);
    const qreal advance = QFontMetricsF(font).horizontalAdvance(text);
    if (advance <= box.width()) {
        const int align = item.align == Item::Align::Left     ? Qt::AlignLeft
                          : item.align == Item::Align::Center ? Qt::AlignHCenter
                                                              : Qt::AlignRight;
        painter.drawText(box, flags | align, text);
        return;
    }
    // A long stop name is condensed to the box's width, as ticket printers do.
    painter.save();
    painter.translate(box.left(), 0);
    painter.scale(box.width() / advance, 1);
    painter.drawText(QRectF(0, box.top(), advance, box.height()), flags | Qt::AlignLeft, text);
    painter.restore();
}

void drawRule(QPainter &painter, const Item &item) {
    const QLine l = item.line;
    const int w = item.penWidth;
    if (l.dy() == 0) {
        painter.fillRect(QRect(std::min(l.x1(), l.x2()), l.y1(), std::abs(l.dx()), w), item.colour);
    } else if (l.dx() == 0) {
        painter.fillRect(QRect(l.x1(), std::min(l.y1(), l.y2()), w, std::abs(l.dy())), item.colour);
    } else {
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setPen(QPen(item.colour, w, Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(l);
        painter.restore();
    }
}

void drawFrame(QPainter &painter, const Item &item) {
    const QRect b = item.box;
    const int w = item.penWidth;
    if (2 * w >= b.width() || 2 * w >= b.height()) {
        painter.fillRect(b, item.colour);
        return;
    }
    painter.fillRect(QRect(b.x(), b.y(), b.width(), w), item.colour);
    painter.fillRect(QRect(b.x(), b.y() + b.height() - w, b.width(), w), item.colour);
    painter.fillRect(QRect(b.x(), b.y() + w, w, b.height() - 2 * w), item.colour);
    painter.fillRect(QRect(b.x() + b.width() - w, b.y() + w, w, b.height() - 2 * w), item.colour);
}

} // namespace

std::optional<QSize> barcodeModules(const Item &item, const QString &data) {
    const Symbol symbol = encode(item.symbology, data.toUtf8(), item.qrLevel);
    if (!symbol)
        return std::nullopt;
    return QSize(static_cast<int>(std::ceil(symbol->vector->width)),
                 static_cast<int>(std::ceil(symbol->vector->height)));
}

void drawTicket(const Plugin &plugin, QPainter &painter, const TicketValues &values) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.fillRect(QRect(QPoint(0, 0), plugin.size), plugin.paper);
    for (const Item &item : plugin.items) {
        switch (item.kind) {
        case Item::Kind::Text:
            drawText(painter, item, fillTemplate(item.text, values, plugin.companies));
            break;
        case Item::Kind::Line:
            drawRule(painter, item);
            break;
        case Item::Kind::Frame:
            drawFrame(painter, item);
            break;
        case Item::Kind::Box:
            painter.fillRect(item.box, item.colour);
            break;
        case Item::Kind::Barcode:
            drawBarcode(painter, item, fillTemplate(item.text, values, plugin.companies));
            break;
        }
    }
    painter.restore();
}

} // namespace q47::ticket
