#include "panelwidgets.h"

#include "olecolor.h"
#include "segmentrenderer.h"
#include "twips.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace q47 {

QRect twipsRect(int left, int top, int width, int height) {
    return {twipsToPx(left), twipsToPx(top), twipsToPx(width), twipsToPx(height)};
}

QFont panelFace(const char *family, qreal pointSize, bool bold) {
    QFont f(QString::fromUtf8(family));
    f.setPointSizeF(pointSize);
    f.setBold(bold);
    return f;
}

void paintButton(QPushButton *button, OleColor colour) {
    button->setStyleSheet(
        QStringLiteral("QPushButton { background-color: %1; color: black; border: 1px "
                       "solid #606060; border-radius: 3px; }"
                       "QPushButton:pressed, QPushButton:checked { background-color: %2; }"
                       "QPushButton:disabled { color: #808080; }")
            .arg(fromOleColor(colour).name(), fromOleColor(colour).darker(125).name()));
}

void WrapButton::paintEvent(QPaintEvent *) {
    paintWrapped(text(), Qt::TextWrapAnywhere, 3, font());
}

void WrapButton::paintWrapped(const QString &shown, int flags, int margin, const QFont &face) {
    QStylePainter p(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    p.drawControl(QStyle::CE_PushButton, option);
    p.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    p.setFont(face);
    p.drawText(rect().adjusted(margin, margin, -margin, -margin), Qt::AlignCenter | flags, shown);
}

PaneFrame::PaneFrame(QWidget *parent) : QFrame(parent) {
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    setPalette(pal);
    setAutoFillBackground(true);
}

void PaneFrame::mouseDoubleClickEvent(QMouseEvent *) {
    Q_EMIT DblClick();
}

} // namespace q47
