#include "dotnamemodel.h"

#include "cp932.h"
#include "olecolor.h"
#include "segmentrenderer.h"

namespace q47 {

DotNameLayout dotNameLayout(int cells, qint16 mode) {
    switch (cells) {
    case 0:
        return {0, 0};
    case 1:
        return {80, 0};
    case 2:
        return mode == 2 ? DotNameLayout{48, 64} : DotNameLayout{32, 96};
    case 3:
        return {16, 64};
    case 4:
        return {8, 48};
    case 5:
        return {4, 38};
    default:
        return {0, DotNameModel::kCellPx};
    }
}

DotNameModel::DotNameModel(DotNameScroll::Clock clock) : scroll_(std::move(clock)) {
    resizeStrip(kStillHeight);
}

void DotNameModel::resizeStrip(int height) {
    if (strip_.isNull() || strip_.height() != height) {
        strip_ = QImage(kStripWidth, height, QImage::Format_ARGB32);
        strip_.fill(Qt::transparent);
        ++stripRevision_;
    }
    scroll_.setExtent(strip_.height(), windowSize_.height());
}

void DotNameModel::clearStrip() {
    strip_.fill(Qt::transparent);
    ++stripRevision_;
}

void DotNameModel::setBackColor(OleColor c) {
    backColor_ = c;
    // A new ground erases what was drawn on it.
    clearStrip();
}

void DotNameModel::setForeColor(OleColor c) {
    foreColor_ = c;
}

void DotNameModel::setSpeed(qint16 v) {
    speed_ = v;
    scroll_.setSpeed(v);
}

void DotNameModel::setScrollStartWait(qint32 v) {
    scrollStartWait_ = v;
    scroll_.setWait(v);
}

void DotNameModel::setMode(qint16 v) {
    mode_ = v;
}

void DotNameModel::setAppearance(qint16 v) {
    appearance_ = v;
    clearStrip();
    windowSize_ = v != 0 ? kWindow3DSize : kWindowFlatSize;
    scroll_.setExtent(strip_.height(), windowSize_.height());
}

void DotNameModel::setFontMode(qint16 v) {
    fontMode_ = v;
}

void DotNameModel::setFontBold(bool v) {
    fontBold_ = v;
}

void DotNameModel::DrawDot16(qint32 X, qint32 Y, QString &strText) {
    if (strText.isEmpty())
        return;
    const DotTreatment how = dotNameTreatment(strText, fontMode_);
    const DotPattern dots =
        glyphs_.pattern(strText, dotNameFontFamily(strText, fontMode_), fontBold_, how.dx, how.dy);
    const QRgb argb = fromOleColor(foreColor_).rgba();
    for (int u = 0; u < DotPattern::kSize; ++u)
        for (int v = 0; v < DotPattern::kSize; ++v) {
            if (!dots.at(u, v))
                continue;
            const int x = X + kDotPitch * (how.transposed ? v : u);
            const int y = Y + kDotPitch * (how.transposed ? u : v);
            if (strip_.valid(x, y))
                strip_.setPixel(x, y, argb);
        }
    ++stripRevision_;
}

void DotNameModel::showName(const QString &strText) {
    clearStrip();
    if (strText.isEmpty()) {
        // A running scroll goes on with the empty strip until the next name.
        scroll_.setTop(0);
        return;
    }
    const int n = LenB_ASCII(strText);
    const int cells = n / 2;
    const DotNameLayout layout = dotNameLayout(cells, mode_);
    resizeStrip(cells > kStillCells ? kCellPx * cells : kStillHeight);
    if (cells > kStillCells) {
        // From the top, a new name scrolls in from below the window; one set while another
        // was moving carries on from where that one stands.
        if (scroll_.top() == 0)
            scroll_.setTop(windowSize_.height());
    } else {
        scroll_.setTop(0);
    }
    for (int i = 1; i <= n; ++i) {
        QString cell = MidB_ASCII(strText, 2 * i - 1, 2);
        DrawDot16(kCellLeft, layout.firstY + (i - 1) * layout.step, cell);
    }
    scroll_.stop();
    if (cells > kStillCells) {
        if (speed_ == 0)
            setSpeed(1);
        scroll_.start(speed_, scrollStartWait_);
    }
}

DotPattern DotNameModel::cellPattern(int X, int Y) const {
    DotPattern p;
    for (int u = 0; u < DotPattern::kSize; ++u)
        for (int v = 0; v < DotPattern::kSize; ++v) {
            const int x = X + kDotPitch * u, y = Y + kDotPitch * v;
            if (strip_.valid(x, y) && qAlpha(strip_.pixel(x, y)) != 0)
                p.set(u, v);
        }
    return p;
}

int DotNameModel::dotCount() const {
    int n = 0;
    for (int y = 0; y < strip_.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(strip_.constScanLine(y));
        for (int x = 0; x < strip_.width(); ++x)
            n += qAlpha(line[x]) != 0 ? 1 : 0;
    }
    return n;
}

} // namespace q47
