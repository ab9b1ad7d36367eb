#pragma once

#include "boardmodel.h"
#include "degitmodel.h"
#include "olecolor.h"
#include "zoommenu.h"

#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QTime>
#include <QWidget>

#include <array>
#include <optional>

class QLabel;
class QTimer;

namespace q47 {

namespace board {
enum class Artwork;
}

class ChimeiCtl_E;
class M_Degit;

// Left and top edge of a window, in twips, as the state file keeps them.
struct WindowPosition {
    qint32 Left = 0;
    qint32 Top = 0;
};

// The fare display board, the LED one: a borderless panel with fifty fare cells under their
// ticket-number labels, the hidden clock cells and the place-name column. It is a view of the
// board's model, which it is given and does not own: its cells, labels, place name and picture
// follow the model's signals, and it writes nothing back but the format a cell's own settings
// dialog chose, which it reports.
//
// It can be enlarged (Ctrl with plus, minus or 0, or the right-button menu) and shown full
// screen (F11). Every part is then laid out and drawn afresh at the larger size, so that
// nothing is a stretched bitmap.
class Form1 : public QWidget {
    Q_OBJECT
public:
    explicit Form1(const BoardModel &model, QWidget *parent = nullptr);

    const BoardModel &model() const { return model_; }

    // Where fare cell k (0, the hidden spare, to 50), the label over it and the place name
    // stand in the window now, and what cell k shows, character for character.
    QRect cellRect(int k) const;
    QRect labelRect(int k) const;
    QRect nameRect() const;
    QString cellText(int k) const;

    // The built-in face of backlight row `index`: the OFF face for 0, the ON1 face else.
    QImage imgRes(int index) const;
    // The board's picture as the model names it, drawn from the top-left: a larger one is cut at
    // the right and bottom, a smaller one leaves the window's grey around it.
    QImage Picture() const { return picture_; }
    // The window's own face, where no picture reaches.
    static constexpr QRgb kBackground = 0xFFF0F0F0;

    // Gives the window its rounded outline from the current client size.
    void applyRoundedMask();
    // The outline of a board `client` pixels large, drawn at `scale` times the design size.
    static QRegion roundedRegion(const QSize &client, qreal scale = 1);

    // The windowed board's zoom, one of board::kZoomSteps: the largest up to the one asked for
    // at which the board fits its screen's available area. A change resizes the window about
    // its top-left corner, moved as far as it must to stay within that area, and is reported by
    // zoomChanged(); in full screen it leaves full screen first.
    qreal zoom() const { return zoom_; }
    void setZoom(qreal zoom);

    // Full screen: the board centred on its screen at the largest scale that fits, black
    // around it, the mouse pointer hidden while it rests. Leaving restores the zoom and the
    // position.
    bool isBoardFullScreen() const { return fullScreen_; }
    void setBoardFullScreen(bool on);
    // The scale the board is drawn at now and where it stands in the window.
    qreal boardScale() const { return scale_; }
    QRect boardRect() const;

    // The board as it shows now (picture, cells, labels, place name), drawn afresh at `scale`
    // times its design size at pixel ratio 1; the corners outside the rounded outline stay
    // transparent. Needs no display.
    QImage renderBoard(qreal scale) const;

    // The right-button menu; its checks follow the board each time it opens.
    QMenu *boardMenu() const;

    WindowPosition GetFormInfo() const;
    void SetFormInfo(const WindowPosition &position);

    // A double-click on cell `index`: its settings dialog, whose choice is reported for every
    // cell. The cell itself goes on showing the model's format.
    void Degit_DblClick(int index);

Q_SIGNALS:
    // The zoom was changed, by the operator or by setZoom(): the start-up remembers it.
    void zoomChanged(qreal zoom);
    // A cell's settings dialog opened (the other windows wait) and closed again.
    void dialogOpened(bool open);
    // The format the dialog chose, for every cell.
    void cellFormatChosen(const CellFormat &format);

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // What the cells, labels, place name and picture were last given, to give them only what
    // changed.
    struct Shown {
        DigitColours digits;
        std::array<CellFormat, kBoardCells + 1> formats{};
        TicketLabels labels;
        NameLook nameLook;
        BoardPicture picture;
    };

    void followModel();
    // Gives the cells, labels, place name and picture what the model holds and they do not.
    void showContent();
    void showLabels(const TicketLabels &labels);
    void showCellValue(int cell);
    void showCellFormat(int cell);
    void showTime(const QTime &now);
    void updateMenu();
    void applyZoom(qreal zoom);
    void layoutBoard(qreal scale, const QPoint &origin);
    void makeLabels();
    void layoutLabels();
    // Label 1 in the digit face, or in the face of a style's word.
    void setLabel1Face(bool digitFace);
    void paintPicture(QPainter &painter, qreal scale, qreal devicePixelRatio) const;
    std::optional<board::Artwork> builtInArtwork() const;
    void setPointerHidden(bool hidden);

    const BoardModel &model_;
    Shown shown_;
    std::array<M_Degit *, 51> degit_{};
    // Null until the labels are first needed.
    std::array<QLabel *, 51> labels_{};
    std::array<M_Degit *, 2> timeDegit_{};
    // The built-in pictures as made, to tell them from a user's picture; drawn when first
    // needed.
    mutable std::array<QImage, 2> builtIn_{};
    QImage picture_;
    // The window's face (picture and ground) as drawn at the screen's pixel ratio and the
    // board's scale; redrawn when any of them changes.
    QPixmap face_;
    QTimer *timer1_ = nullptr;
    ChimeiCtl_E *chimeiCtl_ = nullptr;

    qreal zoom_ = 1;
    qreal scale_ = 1;
    QPoint origin_;
    bool fullScreen_ = false;
    QPoint windowedPos_; // where the window stood before full screen
    QTimer *pointerTimer_ = nullptr;
    bool pointerHidden_ = false;
    mutable ZoomMenu *menu_ = nullptr;
};

} // namespace q47
