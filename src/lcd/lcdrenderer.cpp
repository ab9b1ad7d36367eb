#include "lcdrenderer.h"

#include "fonts.h"
#include "lcdtexts.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace q47::lcd {

namespace {

// Type sizes in design units.
constexpr qreal kRouteType = 30;
constexpr qreal kClockType = 36;
constexpr qreal kLeadType = 40;
constexpr qreal kLeadKanaType = 32;
constexpr qreal kLeadLatinType = 32;
constexpr qreal kNameType = 92;
constexpr qreal kNameKanaType = 80;
constexpr qreal kNameLatinType = 70;
constexpr qreal kNameHangulType = 80;
// The least share of its type a reading or a translation keeps.
constexpr qreal kMinReadingType = 0.6;
constexpr qreal kNumberHeadingType = 18;
constexpr qreal kFareHeadingType = 26;
constexpr qreal kNumberType = 26;
constexpr qreal kNumberWordType = 22;
constexpr qreal kFareType = 50;
constexpr qreal kPageType = 32; // its digits over 3 % of the board's height

QRgb dimmed(QRgb c, qreal f) {
    return qRgb(int(std::lround(qRed(c) * f)), int(std::lround(qGreen(c) * f)),
                int(std::lround(qBlue(c) * f)));
}

// Digits of a fare as the digit cell spaces them: a blank stands for a digit position, and a
// minus sign is drawn as one.
QString fareGlyphs(QString text) {
    text.replace(QLatin1Char(' '), QChar(0x2007));
    text.replace(QLatin1Char('-'), QChar(0x2212));
    return text;
}

bool isAsciiOnly(const QString &text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

qreal brightness(int backlight) {
    return backlight <= 0 ? 0.42 : backlight == 1 ? 0.86 : 1.0;
}

// Black or white, whichever reads better on `background`.
QColor contrasting(const QColor &background) {
    return qGray(background.rgb()) > 140 ? QColor(Qt::black) : QColor(Qt::white);
}

struct FormType {
    Face face;
    qreal lead;
    qreal name;
};

FormType formType(NameForm form) {
    switch (form) {
    case NameForm::Kanji:
        return {Face::Japanese, kLeadType, kNameType};
    case NameForm::Kana:
        return {Face::Japanese, kLeadKanaType, kNameKanaType};
    case NameForm::English:
        return {Face::Latin, kLeadLatinType, kNameLatinType};
    case NameForm::ChineseHans:
        return {Face::ChineseHans, kLeadType, kNameType};
    case NameForm::ChineseHant:
        return {Face::ChineseHant, kLeadType, kNameType};
    case NameForm::Korean:
        return {Face::Korean, kLeadKanaType, kNameHangulType};
    }
    return {Face::Japanese, kLeadType, kNameType};
}

} // namespace

QRgb lcdDimmed(const QColor &color, int backlight) {
    return dimmed(color.rgb(), brightness(backlight));
}

LcdPalette lcdPalette(int backlight) {
    const qreal f = brightness(backlight);
    LcdPalette p{};
    p.outside = qRgb(0, 0, 0);
    p.background = dimmed(qRgb(8, 11, 20), f);
    p.header = dimmed(qRgb(22, 52, 104), f);
    p.accent = dimmed(qRgb(240, 168, 48), f);
    p.badge = dimmed(qRgb(246, 184, 56), f);
    p.badgeText = dimmed(qRgb(16, 18, 24), f);
    p.headerText = dimmed(qRgb(255, 255, 255), f);
    p.band = dimmed(qRgb(2, 3, 8), f);
    p.leadBox = dimmed(qRgb(30, 150, 84), f);
    p.leadText = dimmed(qRgb(255, 255, 255), f);
    p.name = dimmed(qRgb(255, 255, 255), f);
    p.rule = dimmed(qRgb(78, 90, 118), f);
    p.heading = dimmed(qRgb(28, 36, 54), f);
    p.headingText = dimmed(qRgb(214, 222, 238), f);
    p.numberBand = dimmed(qRgb(34, 72, 136), f);
    p.numberEmpty = dimmed(qRgb(16, 22, 36), f);
    p.numberText = dimmed(qRgb(255, 255, 255), f);
    p.fare = dimmed(qRgb(4, 6, 12), f);
    p.fareText = dimmed(qRgb(255, 216, 64), f);
    p.pageText = dimmed(qRgb(214, 222, 238), f);
    return p;
}

LcdRenderer::LcdRenderer() {
    installFontSubstitutes();
}

QSize LcdRenderer::deviceSize(const QSize &size, qreal dpr) {
    return QSize(int(std::lround(size.width() * dpr)), int(std::lround(size.height() * dpr)));
}

LcdLayout LcdRenderer::layoutFor(const QSize &size, qreal dpr) {
    return lcdLayout(deviceSize(size, dpr));
}

int LcdRenderer::drawText(QPainter &p, const QString &text, Face face, int pixelSize,
                          const QRect &area, Align align, QRgb color, qreal minScaleX,
                          int minSize) {
    if (text.isEmpty() || area.isEmpty())
        return 0;
    const TextFit fit = fitWidth(text_.advance(text, face, pixelSize), area.width(), minScaleX);
    const int size = std::max(
        std::min(minSize, pixelSize),
        fit.fontScale < 1 ? std::max(1, int(std::floor(pixelSize * fit.fontScale))) : pixelSize);
    qreal scaleX = fitWidth(text_.advance(text, face, size), area.width(), 0).scaleX;
    TextSprite s = text_.sprite(text, face, size, scaleX, color);
    // Ink may reach past the advance (thickened or overhanging glyphs): narrow a little more.
    const int inkLeft = std::min(0, s.offset.x());
    const int inkRight = std::max(s.advance, s.offset.x() + s.image.width());
    if (inkRight - inkLeft > area.width()) {
        scaleX *= qreal(area.width()) / (inkRight - inkLeft);
        s = text_.sprite(text, face, size, scaleX, color);
    }
    const int left = std::min(0, s.offset.x());
    const int width = std::max(s.advance, s.offset.x() + s.image.width()) - left;
    int x = area.left() - left;
    if (align == Align::Center)
        x = area.left() + (area.width() - width) / 2 - left;
    else if (align == Align::Right)
        x = area.left() + area.width() - width - left;
    const auto [top, bottom] = text_.inkRange(face, size);
    const int baseline = area.top() + (area.height() - (bottom - top)) / 2 - top;
    if (!s.image.isNull())
        p.drawImage(QPoint(x + s.offset.x(), baseline + s.offset.y()), s.image);
    return width;
}

void LcdRenderer::drawStatic(QPainter &p, const LcdLayout &l, const LcdPalette &c) {
    p.fillRect(QRect(QPoint(0, 0), l.device), QColor(c.outside));
    p.fillRect(l.board, QColor(c.background));
    p.fillRect(l.header, QColor(c.header));
    const int accent = std::max(1, l.px(3));
    p.fillRect(QRect(l.header.left(), l.header.bottom() + 1 - accent, l.header.width(), accent),
               QColor(c.accent));
    p.fillRect(l.nextBand, QColor(c.band));

    p.fillRect(l.table, QColor(c.rule));
    for (int row = 0; row < LcdLayout::kRows; ++row) {
        p.fillRect(l.numberHeading(row), QColor(c.heading));
        p.fillRect(l.fareHeading(row), QColor(c.heading));
        drawText(p, QStringLiteral("整理券番号"), Face::Japanese, l.px(kNumberHeadingType),
                 l.numberHeading(row).adjusted(l.px(4), 0, -l.px(4), 0), Align::Center,
                 c.headingText);
        drawText(p, QStringLiteral("運　賃"), Face::Japanese, l.px(kFareHeadingType),
                 l.fareHeading(row).adjusted(l.px(4), 0, -l.px(4), 0), Align::Center,
                 c.headingText);
    }
    for (int slot = 0; slot < LcdLayout::capacity(); ++slot) {
        p.fillRect(l.numberCell(slot), QColor(c.numberEmpty));
        p.fillRect(l.fareCell(slot), QColor(c.fare));
    }
}

const QImage &LcdRenderer::staticLayer(const LcdLayout &l, const LcdPalette &c, int backlight) {
    if (static_.isNull() || staticSize_ != l.device || staticBacklight_ != backlight) {
        static_ = QImage(l.device, QImage::Format_ARGB32_Premultiplied);
        QPainter p(&static_);
        drawStatic(p, l, c);
        staticSize_ = l.device;
        staticBacklight_ = backlight;
    }
    return static_;
}

void LcdRenderer::paint(QPainter &painter, const QSize &size, qreal dpr,
                        const BoardContent &content, const LcdPhase &phase) {
    const LcdLayout l = layoutFor(size, dpr);
    if (l.device.isEmpty())
        return;
    const LcdPalette c = lcdPalette(content.backlight);
    painter.save();
    // Everything below is in device pixels, so that every edge lands on a whole pixel.
    painter.scale(1 / dpr, 1 / dpr);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    if (content.cleared) {
        painter.fillRect(QRect(QPoint(0, 0), l.device), QColor(c.outside));
        painter.fillRect(l.board, QColor(c.background));
        painter.restore();
        return;
    }
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, 0, staticLayer(l, c, std::clamp(content.backlight, 0, 2)));
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);

    // The route's name (else its number) on a badge in its colours, then the headsign.
    QRect route = l.route;
    const RouteOnBoard &r = content.route;
    if (const QString badgeText = r.name.isEmpty() ? r.number : r.name; !badgeText.isEmpty()) {
        const int type = l.px(kRouteType);
        const int pad = l.px(12);
        const Face face = isAsciiOnly(badgeText) ? Face::Digits : Face::Japanese;
        const int width = std::min(int(std::ceil(text_.advance(badgeText, face, type))) + 2 * pad,
                                   route.width() / 3);
        const QRect badge(route.topLeft(), QSize(width, route.height()));
        const QRgb fill = r.color.isValid() ? lcdDimmed(r.color, content.backlight) : c.badge;
        const QRgb ink = r.textColor.isValid() ? lcdDimmed(r.textColor, content.backlight)
                         : r.color.isValid()   ? lcdDimmed(contrasting(r.color), content.backlight)
                                               : c.badgeText;
        painter.setRenderHint(QPainter::Antialiasing, true);
        QPainterPath path;
        path.addRoundedRect(QRectF(badge), l.px(6), l.px(6));
        painter.fillPath(path, QColor(fill));
        painter.setRenderHint(QPainter::Antialiasing, false);
        drawText(painter, badgeText, face, type, badge.adjusted(pad / 2, 0, -pad / 2, 0),
                 Align::Center, ink);
        route.setLeft(badge.right() + 1 + l.px(14));
    }
    if (!r.headsign.isEmpty()) {
        const Face face = isAsciiOnly(r.headsign) ? Face::Latin : Face::Japanese;
        drawText(painter, r.headsign, face, l.px(kRouteType), route, Align::Left, c.headerText);
    }
    drawText(painter, clockText(content), Face::Digits, l.px(kClockType), l.clock, Align::Right,
             c.headerText);

    // The next stop.
    const NextStopTexts next = nextStopTexts(content, phase.name);
    if (!next.name.isEmpty()) {
        // The lead's box goes with the name: a board without a stop shows neither.
        painter.setRenderHint(QPainter::Antialiasing, true);
        QPainterPath box;
        box.addRoundedRect(QRectF(l.nextLabel), l.px(10), l.px(10));
        painter.fillPath(box, QColor(c.leadBox));
        painter.setRenderHint(QPainter::Antialiasing, false);
        const FormType type = formType(next.form);
        drawText(painter, next.lead, type.face, l.px(type.lead),
                 l.nextLabel.adjusted(l.px(6), 0, -l.px(6), 0), Align::Center, c.leadText);
        const int nameType = l.px(type.name);
        drawName(painter, next.name, type.face, nameType,
                 next.form == NameForm::Kanji ? 1 : int(std::ceil(nameType * kMinReadingType)),
                 l.name, c.name);
    }

    // The fare table, one page of it.
    const QList<QList<int>> pages = tablePages(content, capacity());
    const int pageCount = int(pages.size());
    const int page = ((phase.page % pageCount) + pageCount) % pageCount;
    const int numberInset = l.px(4), fareInset = l.px(6);
    for (int slot = 0; slot < pages[page].size(); ++slot) {
        const int cell = pages[page][slot];
        const QRect number = l.numberCell(slot);
        painter.fillRect(number, QColor(c.numberBand));
        const QString label = ticketLabel(content, cell);
        const bool word = !label.isEmpty() && !isAsciiOnly(label);
        drawText(painter, label, word ? Face::Japanese : Face::Digits,
                 l.px(word ? kNumberWordType : kNumberType),
                 number.adjusted(numberInset, 0, -numberInset, 0), Align::Center, c.numberText);
        drawText(painter, fareGlyphs(fareText(content, cell)), Face::Digits, l.px(kFareType),
                 l.fareCell(slot).adjusted(fareInset, 0, -fareInset, 0), Align::Center, c.fareText);
    }
    if (pageCount > 1) {
        // On a tab of the header's colour, so that a turning page is noticed.
        const QString text = QStringLiteral("%1/%2").arg(page + 1).arg(pageCount);
        const int type = l.px(kPageType), pad = l.px(10);
        const int width = int(std::ceil(text_.advance(text, Face::Digits, type))) + 2 * pad;
        const QRect tab(QPoint(l.pageIndicator.right() + 1 - width, l.pageIndicator.top()),
                        l.pageIndicator.bottomRight());
        painter.setRenderHint(QPainter::Antialiasing, true);
        QPainterPath path;
        path.addRoundedRect(QRectF(tab), l.px(6), l.px(6));
        painter.fillPath(path, QColor(c.header));
        painter.setRenderHint(QPainter::Antialiasing, false);
        drawText(painter, text, Face::Digits, type, tab.adjusted(pad / 2, 0, -pad / 2, 0),
                 Align::Center, c.pageText);
    }
    painter.restore();
}

void LcdRenderer::drawName(QPainter &p, const QString &name, Face face, int pixelSize, int minSize,
                           const QRect &area, QRgb color) {
    const NameSetting set =
        setName(name, pixelSize, minSize, area.size(), [this, face](const QString &text, int size) {
            return text_.advance(text, face, size);
        });
    if (set.breakAt < 0) {
        drawText(p, name, face, set.size, area, Align::Left, color, kMinNameScaleX, set.size);
        return;
    }
    const int half = area.height() / 2;
    const QRect top(area.topLeft(), QSize(area.width(), half));
    const QRect bottom(QPoint(area.left(), area.top() + half),
                       QSize(area.width(), area.height() - half));
    drawText(p, name.left(set.breakAt).trimmed(), face, set.size, top, Align::Left, color,
             kMinNameScaleX, set.size);
    drawText(p, name.mid(set.breakAt).trimmed(), face, set.size, bottom, Align::Left, color,
             kMinNameScaleX, set.size);
}

void LcdRenderer::dropTextCaches() {
    text_.clear();
}

QImage LcdRenderer::render(const BoardContent &content, const QSize &size, qreal dpr,
                           const LcdPhase &phase) {
    QImage image(deviceSize(size, dpr), QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return image;
    image.setDevicePixelRatio(dpr);
    QPainter p(&image);
    paint(p, size, dpr, content, phase);
    return image;
}

} // namespace q47::lcd
