#include "lcdlayout.h"

#include "lcdtexts.h"

#include <QRectF>

#include <algorithm>
#include <cmath>

namespace q47::lcd {

namespace {

// The face in design units.
constexpr qreal kHeaderH = 56;
constexpr qreal kBandBottom = 196;
constexpr qreal kTableLeft = 12;
constexpr qreal kTableTop = 204;
constexpr qreal kTableBottom = 504;
constexpr qreal kHeadingW = 104;
constexpr qreal kColumnW = 104;
constexpr qreal kNumberBandH = 34;
constexpr qreal kRuleW = 2;
// Each of two lines of a name takes this share of its area's height as type.
constexpr qreal kTwoLineType = 0.45;

} // namespace

int LcdLayout::px(qreal design) const {
    return int(std::lround(design * scale));
}

QRect LcdLayout::numberHeading(int row) const {
    return QRect(QPoint(columnEdges[0] + rule, rowEdges[size_t(row)] + rule),
                 QPoint(columnEdges[1] - 1, fareEdges[size_t(row)] - 1));
}

QRect LcdLayout::fareHeading(int row) const {
    return QRect(QPoint(columnEdges[0] + rule, fareEdges[size_t(row)] + rule),
                 QPoint(columnEdges[1] - 1, rowEdges[size_t(row) + 1] - 1));
}

QRect LcdLayout::numberCell(int slot) const {
    const size_t c = size_t(slot % kColumns) + 1, r = size_t(slot / kColumns);
    return QRect(QPoint(columnEdges[c] + rule, rowEdges[r] + rule),
                 QPoint(columnEdges[c + 1] - 1, fareEdges[r] - 1));
}

QRect LcdLayout::fareCell(int slot) const {
    const size_t c = size_t(slot % kColumns) + 1, r = size_t(slot / kColumns);
    return QRect(QPoint(columnEdges[c] + rule, fareEdges[r] + rule),
                 QPoint(columnEdges[c + 1] - 1, rowEdges[r + 1] - 1));
}

LcdLayout lcdLayout(const QSize &deviceSize) {
    LcdLayout l;
    l.device = deviceSize;
    l.scale = std::max(std::min(deviceSize.width() / qreal(kDesignSize.width()),
                                deviceSize.height() / qreal(kDesignSize.height())),
                       0.01);
    const qreal ox = (deviceSize.width() - kDesignSize.width() * l.scale) / 2;
    const qreal oy = (deviceSize.height() - kDesignSize.height() * l.scale) / 2;
    auto x = [&](qreal d) { return int(std::lround(ox + d * l.scale)); };
    auto y = [&](qreal d) { return int(std::lround(oy + d * l.scale)); };
    // Edges are rounded, not sizes, so that neighbours meet without gaps or overlaps.
    auto rect = [&](qreal left, qreal top, qreal right, qreal bottom) {
        return QRect(QPoint(x(left), y(top)), QPoint(x(right) - 1, y(bottom) - 1));
    };
    const qreal w = kDesignSize.width(), h = kDesignSize.height();

    l.board = rect(0, 0, w, h);
    l.rule = std::max(1, l.px(kRuleW));
    l.header = rect(0, 0, w, kHeaderH);
    l.route = rect(14, 7, 740, kHeaderH - 7);
    l.clock = rect(760, 4, w - 14, kHeaderH - 4);
    l.nextBand = rect(0, kHeaderH, w, kBandBottom);
    l.nextLabel = rect(16, 82, 144, 170);
    l.name = rect(162, kHeaderH + 6, w - 14, kBandBottom - 6);

    for (size_t i = 0; i < l.columnEdges.size(); ++i)
        l.columnEdges[i] =
            x(i == 0 ? kTableLeft : kTableLeft + kHeadingW + kColumnW * qreal(i - 1));
    // The last edge is the outer rule's left side: the rule ends one rule width further.
    const qreal pairH = (kTableBottom - kTableTop) / LcdLayout::kRows;
    for (size_t r = 0; r < l.rowEdges.size(); ++r)
        l.rowEdges[r] = y(kTableTop + pairH * qreal(r));
    for (size_t r = 0; r < l.fareEdges.size(); ++r)
        l.fareEdges[r] = y(kTableTop + pairH * qreal(r) + kNumberBandH);
    l.table = QRect(QPoint(l.columnEdges.front(), l.rowEdges.front()),
                    QPoint(l.columnEdges.back() + l.rule - 1, l.rowEdges.back() + l.rule - 1));
    l.pageIndicator = rect(720, kTableBottom + 3, w - 10, h - 3);
    return l;
}

TextFit fitWidth(qreal width, qreal available, qreal minScaleX) {
    if (width <= available || width <= 0)
        return {};
    const qreal scaleX = available / width;
    if (scaleX >= minScaleX)
        return {scaleX, 1};
    return {minScaleX, scaleX / minScaleX};
}

} // namespace q47::lcd

namespace q47::lcd {

namespace {

// The largest type size up to `pixelSize` at which `text` fits `width` narrowed to no less
// than `minScaleX`.
int fitted(const TextAdvance &advance, const QString &text, int pixelSize, int width) {
    const TextFit fit = fitWidth(advance(text, pixelSize), width, kMinNameScaleX);
    return fit.fontScale < 1 ? std::max(1, int(std::floor(pixelSize * fit.fontScale))) : pixelSize;
}

} // namespace

NameSetting setName(const QString &name, int pixelSize, int minSize, const QSize &area,
                    const TextAdvance &advance) {
    const int oneLine = fitted(advance, name, pixelSize, area.width());
    if (oneLine >= pixelSize)
        return {-1, pixelSize};
    if (const int at = nameBreak(name); at > 0) {
        const int start = std::min(pixelSize, int(area.height() * kTwoLineType));
        const int twoLines = std::min(fitted(advance, name.left(at).trimmed(), start, area.width()),
                                      fitted(advance, name.mid(at).trimmed(), start, area.width()));
        if (twoLines > oneLine)
            return {at, std::max(twoLines, minSize)};
    }
    return {-1, std::max(oneLine, minSize)};
}

} // namespace q47::lcd
