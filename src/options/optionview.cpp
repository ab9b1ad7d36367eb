#include "optionview.h"

#include "olecolor.h"
#include "segmentrenderer.h"

#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace q47 {

namespace {

constexpr int kSwatchWidth = 28;

} // namespace

PageButton::PageButton(const QString &caption, QWidget *parent) : WrapButton(caption, parent) {
    setCheckable(true);
    setAutoExclusive(false);
}

QString PageButton::shownText() const {
    // An ideographic space marks where the caption breaks; leading ones only indented it.
    QStringList lines = text().split(QChar(0x3000), Qt::SkipEmptyParts);
    return lines.join(u'\n');
}

QSize PageButton::sizeHint() const {
    const QFontMetrics fm = fontMetrics();
    const QRect text = fm.boundingRect(QRect(0, 0, 1000, 1000), Qt::AlignCenter, shownText());
    return {std::max(text.width() + 24, 96), std::max(fm.height() * 2, text.height()) + 16};
}

void PageButton::paintEvent(QPaintEvent *) {
    QFont face = font();
    face.setBold(isChecked());
    paintWrapped(shownText(), Qt::TextWordWrap, 4, face);
}

ColourButton::ColourButton(const QString &caption, QWidget *parent)
    : QPushButton(caption, parent) {}

void ColourButton::setColour(OleColor colour) {
    if (colour == colour_)
        return;
    colour_ = colour;
    update();
}

QSize ColourButton::sizeHint() const {
    const QSize text = QPushButton::sizeHint();
    return {text.width() + kSwatchWidth + 8, text.height()};
}

void ColourButton::paintEvent(QPaintEvent *) {
    QStylePainter p(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    p.drawControl(QStyle::CE_PushButton, option);
    const QRect inner = rect().adjusted(6, 5, -6, -5);
    const QRect swatch(inner.right() - kSwatchWidth, inner.top(), kSwatchWidth, inner.height());
    p.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    p.drawText(inner.adjusted(0, 0, -kSwatchWidth - 6, 0), Qt::AlignVCenter | Qt::AlignLeft,
               text());
    // Painted, not an icon, so the swatch stays sharp at any pixel ratio.
    p.fillRect(swatch, fromOleColor(colour_));
    p.setPen(QColor(0x40, 0x40, 0x40));
    p.drawRect(swatch.adjusted(0, 0, -1, -1));
}

} // namespace q47
