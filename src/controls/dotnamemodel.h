#pragma once

#include "dotnameglyphs.h"
#include "dotnamescroll.h"
#include "segmentmodel.h"

#include <QImage>
#include <QSize>
#include <QString>

namespace q47 {

// Where the cells of a name go on the strip: the first cell's top and the step between cells.
struct DotNameLayout {
    int firstY;
    int step;
    bool operator==(const DotNameLayout &) const = default;
};

// The layout for a name of `cells` whole cells (two CP932 bytes each). Names of up to six
// cells are spread over the column; longer ones are stacked for scrolling.
DotNameLayout dotNameLayout(int cells, qint16 mode);

// The place-name display without its window: the properties, the strip with its dots and
// its position, and the rules for showing a name.
//
// The strip is a surface of whole pixels: a character cell is 32 x 32 pixels, one dot for
// each of its 16 x 16 pattern dots on every other pixel, which leaves the gaps of the
// separated-dot look. Dots keep the colour they were plotted in.
class DotNameModel {
public:
    static constexpr OleColor kDefaultBackColor = 0x808080;
    static constexpr OleColor kDefaultForeColor = 0x00BEFF;
    static constexpr qint16 kDefaultSpeed = 5;
    static constexpr qint32 kDefaultScrollStartWait = 1500;
    static constexpr qint16 kDefaultMode = 0;
    static constexpr qint16 kDefaultAppearance = 1;
    static constexpr qint16 kDefaultFontMode = 0;

    static constexpr int kDotPitch = 2;
    static constexpr int kCellPx = DotPattern::kSize * kDotPitch;
    static constexpr int kStillCells = 6;
    static constexpr int kStillHeight = kStillCells * kCellPx;
    static constexpr int kStripWidth = 37;
    static constexpr int kStripLeft = -1; // inside the window's client area
    static constexpr int kCellLeft = 2;   // on the strip
    // Outer size of the window around the strip.
    static constexpr QSize kWindowDesignSize{37, 196};
    static constexpr QSize kWindow3DSize{37, 195};
    static constexpr QSize kWindowFlatSize{35, 185};

    explicit DotNameModel(DotNameScroll::Clock clock = {});

    OleColor BackColor() const { return backColor_; }
    void setBackColor(OleColor c);
    OleColor ForeColor() const { return foreColor_; }
    void setForeColor(OleColor c);
    qint16 Speed() const { return speed_; }
    void setSpeed(qint16 v);
    qint32 ScrollStartWait() const { return scrollStartWait_; }
    void setScrollStartWait(qint32 v);
    void DrawDot16(qint32 X, qint32 Y, QString &strText);
    void showName(const QString &strText);
    qint16 Mode() const { return mode_; }
    void setMode(qint16 v);
    qint16 Appearance() const { return appearance_; }
    void setAppearance(qint16 v);
    qint16 FontMode() const { return fontMode_; }
    void setFontMode(qint16 v);
    bool FontBold() const { return fontBold_; }
    void setFontBold(bool v);

    // The strip: its dots on a transparent ground, its height and its top in the window.
    const QImage &strip() const { return strip_; }
    int stripHeight() const { return strip_.height(); }
    int stripTop() const { return scroll_.top(); }
    // Outer size of the window and the width of its border.
    QSize windowSize() const { return windowSize_; }
    int borderWidth() const { return appearance_ != 0 ? 2 : 1; }
    // Bumped whenever the strip's dots or size change.
    quint64 stripRevision() const { return stripRevision_; }

    // The 16 x 16 dots of the cell whose top-left dot is at (X, Y) on the strip.
    DotPattern cellPattern(int X, int Y) const;
    int dotCount() const;

    bool scrolling() const { return scroll_.running(); }
    // Moves the strip to the clock's time; true when its top has changed.
    bool advance() { return scroll_.advance(); }
    const DotNameScroll &scroll() const { return scroll_; }
    DotNameGlyphs &glyphs() { return glyphs_; }

private:
    void clearStrip();
    void resizeStrip(int height);

    OleColor backColor_ = kDefaultBackColor;
    OleColor foreColor_ = kDefaultForeColor;
    qint16 speed_ = kDefaultSpeed;
    qint32 scrollStartWait_ = kDefaultScrollStartWait;
    qint16 mode_ = kDefaultMode;
    qint16 appearance_ = kDefaultAppearance;
    qint16 fontMode_ = kDefaultFontMode;
    bool fontBold_ = false;

    QSize windowSize_ = kWindowDesignSize;
    QImage strip_;
    quint64 stripRevision_ = 0;
    DotNameScroll scroll_;
    DotNameGlyphs glyphs_;
};

} // namespace q47
