#pragma once

#include "dotnamemodel.h"

#include <QTimer>
#include <QWidget>

class QWindow;

namespace q47 {

// The place-name dot display: a narrow window in which a strip of dot characters stands
// still or scrolls upwards. The strip is rendered once per name; a scroll frame only moves
// where it is blitted. The scroll runs on a frame timer, so showName returns at once.
// A zoom enlarges the window: the model keeps its design pixels, and the strip is rendered
// at the zoomed pixel ratio, so dots and scroll steps grow together and stay sharp.
class DotNameDisplay : public QWidget {
    Q_OBJECT
public:
    static constexpr int kFrameIntervalMs = 16;

    explicit DotNameDisplay(QWidget *parent = nullptr, DotNameScroll::Clock clock = {});
    ~DotNameDisplay() override;

    OleColor BackColor() const { return model_.BackColor(); }
    void setBackColor(OleColor c);
    OleColor ForeColor() const { return model_.ForeColor(); }
    void setForeColor(OleColor c) { model_.setForeColor(c); }
    void Refresh();
    qint16 Speed() const { return model_.Speed(); }
    void setSpeed(qint16 v) { model_.setSpeed(v); }
    qint32 ScrollStartWait() const { return model_.ScrollStartWait(); }
    void setScrollStartWait(qint32 v) { model_.setScrollStartWait(v); }
    void DrawDot16(qint32 X, qint32 Y, QString &strText);
    void showName(const QString &strText);
    qint16 Mode() const { return model_.Mode(); }
    void setMode(qint16 v) { model_.setMode(v); }
    qint16 Appearance() const { return model_.Appearance(); }
    void setAppearance(qint16 v);
    qint16 FontMode() const { return model_.FontMode(); }
    void setFontMode(qint16 v) { model_.setFontMode(v); }
    bool FontBold() const { return model_.FontBold(); }
    void setFontBold(bool v) { model_.setFontBold(v); }

    // Enlarges the window and its dots by `zoom` (1 = as designed).
    qreal zoom() const { return zoom_; }
    void setZoom(qreal zoom);

    // The window the strip moves in, as a widget of the control, and its native window.
    QWidget *stripWidget() const;
    QWindow *stripWindow() const;
    // What the window shows, drawn afresh into an image at the given pixel ratio.
    QImage drawing(qreal devicePixelRatio);
    // The window as it stands, drawn afresh `scale` times its design size at pixel ratio 1,
    // whatever the zoom. The screen's strip is reused when it fits, never replaced.
    QImage drawingAt(qreal scale) const;
    const DotNameModel &model() const { return model_; }
    // The strip as last rendered for the screen.
    const QImage &stripImage() const { return stripImage_; }

    // For measuring: frame timer ticks while scrolling, those that moved the strip, and
    // renderings of the strip.
    int frameCount() const { return frames_; }
    int positionUpdates() const { return positionUpdates_; }
    int stripRenders() const { return stripRenders_; }

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    class Window;

    void sync();
    void makeStripWindow();
    // Draws the strip: in its own window once that shows, meanwhile in the control.
    void repaintStrip(const QRect &area);
    void onFrame();
    void scheduleFrame();
    // Both paint in design pixels: `dirty` is the part that needs drawing.
    void paintWindow(QPainter &painter, const QRect &dirty, qreal devicePixelRatio);
    void paintFace(QPainter &painter, const QRect &dirty, const QImage &strip) const;
    QRect windowRect() const;
    QRect clientRect() const;

    DotNameModel model_;
    Window *window_ = nullptr;
    QWidget *container_ = nullptr; // the strip's window, once made
    QTimer frameTimer_;
    QImage stripImage_;
    quint64 renderedRevision_ = 0;
    OleColor renderedBackColor_ = 0;
    qreal zoom_ = 1;
    int frames_ = 0;
    int positionUpdates_ = 0;
    int stripRenders_ = 0;
};

} // namespace q47
