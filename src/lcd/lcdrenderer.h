#pragma once

#include "boardcontent.h"
#include "glyphtext.h"
#include "lcdlayout.h"
#include "lcdtiming.h"

#include <QImage>
#include <QRgb>

#include <optional>
#include <utility>

class QPainter;

namespace q47::lcd {

// What changes on the board by itself: the page of the fare table and the form of the name.
struct LcdPhase {
    int page = 0;
    NameForm name = NameForm::Kanji;
};

// The colours of the board at a backlight setting: OFF dims everything.
struct LcdPalette {
    QRgb outside, background, header, accent, badge, badgeText, headerText;
    QRgb band, leadBox, leadText, name;
    QRgb rule, heading, headingText, numberBand, numberEmpty, numberText, fare, fareText;
    QRgb pageText;
};
LcdPalette lcdPalette(int backlight);
// A colour of the route's own at a backlight setting, dimmed as the palette is.
QRgb lcdDimmed(const QColor &color, int backlight);

// Paints the LCD fare display: a dark face with the route and clock on top, the next stop in
// large type, and the fare table of ticket numbers and fares below, a page at a time. What
// does not change between stops (background, rules, headings) is kept as one picture per size
// and backlight; texts are kept as pictures too, so that a stop step only blits.
class LcdRenderer {
public:
    LcdRenderer();
    LcdRenderer(const LcdRenderer &) = delete;
    LcdRenderer &operator=(const LcdRenderer &) = delete;

    // The device size and layout of a surface of `size` device-independent pixels at `dpr`.
    static QSize deviceSize(const QSize &size, qreal dpr);
    static LcdLayout layoutFor(const QSize &size, qreal dpr);
    // Fare pairs on one page.
    static constexpr int capacity() { return LcdLayout::capacity(); }

    // Paints the whole board over (0, 0, size) of an unscaled painter on a surface of ratio
    // `dpr`. `phase.page` wraps around the content's pages.
    void paint(QPainter &painter, const QSize &size, qreal dpr, const BoardContent &content,
               const LcdPhase &phase);
    // The board as a picture of `size` at `dpr` (the picture carries that ratio).
    QImage render(const BoardContent &content, const QSize &size, qreal dpr,
                  const LcdPhase &phase = {});

    // Forgets the texts kept as pictures (after a change of fonts, or to free memory).
    void dropTextCaches();

private:
    enum class Align { Left, Center, Right };
    // Draws `text` centred on the face's capitals in `area`, narrowed down to `minScaleX` and
    // then made smaller, down to `minSize`, to fit its width (narrower still at that size);
    // returns the width used.
    int drawText(QPainter &p, const QString &text, Face face, int pixelSize, const QRect &area,
                 Align align, QRgb color, qreal minScaleX = 0.5, int minSize = 1);
    // The stop's name as setName sets it.
    void drawName(QPainter &p, const QString &name, Face face, int pixelSize, int minSize,
                  const QRect &area, QRgb color);
    const QImage &staticLayer(const LcdLayout &layout, const LcdPalette &palette, int backlight);
    void drawStatic(QPainter &p, const LcdLayout &layout, const LcdPalette &palette);

    GlyphText text_;
    QImage static_;
    QSize staticSize_;
    int staticBacklight_ = -1;
};

} // namespace q47::lcd
