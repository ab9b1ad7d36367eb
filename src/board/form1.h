#pragma once

#include "boardmodel.h"
#include "degitmodel.h"
#include "olecolor.h"
#include "zoommenu.h"

#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QPointer>
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

// The fare display board: a borderless panel with fifty fare cells under their ticket-number
// labels, the hidden clock cells and the place-name column. It holds almost no logic; the
// control panel and the options dialog drive its cells.
//
// It can be enlarged (Ctrl with plus, minus or 0, or the right-button menu) and shown full
// screen (F11). Every part is then laid out and drawn afresh at the larger size, so that
// nothing is a stretched bitmap.
class Form1 : public QWidget {
    Q_OBJECT
public:
    explicit Form1(QWidget *parent = nullptr);

    // What the board shows, for any other view of it. Every change to the board goes through
    // it, and the board's own cells and place name follow it.
    const BoardModel &model() const { return model_; }

    M_Degit *Degit(int index) const { return degit_.at(static_cast<size_t>(index)); }
    QLabel *lblSeiriNum(int index) const;
    // What the others ask of the board.
    //
    // Shows or hides the fifty ticket-number labels. While they show, the built-in pictures
    // are drawn without their printed numbers, which the labels would cover.
    void setLabelsShown(bool shown);
    bool labelsShown() const { return labelsShown_; }
    // Rewrites the labels for numbering style `style` (0 to 11), one-digit numbers with a
    // leading zero when `zeroPad`; label 1 takes the digit face or the word face.
    void setLabelNumbering(int style, bool zeroPad);
    // Fare cell `cell` (1 to 50) shows `value`; resetCell lights every segment (-1) or blanks
    // the cell (0).
    void setCellValue(int cell, const QVariant &value);
    void resetCell(int cell, qint16 mode);
    // The digit colours of the fifty cells and both clock cells.
    void setCellColours(OleColor back, OleColor unlit, OleColor lit);
    // One cell's format, as its settings dialog and the state file keep it.
    void setCellFormat(int cell, qint16 shift, qint16 zeroMode, qint16 fillZero);
    struct CellFormat {
        qint16 shift;
        qint16 zeroMode;
        qint16 fillZero;
    };
    CellFormat cellFormat(int cell) const;
    // The stop's name on the place-name display.
    void showStopName(const QString &name);
    // The real name of the stop the route file names `name`, for views that show it; the
    // place-name display shows what the route file holds.
    void showStopWritten(const QString &name, const QString &written);
    // The route's number, name, colours and headsign, the highest ticket number handed out so
    // far and the cells of information digits: the LED board has no place for them, other
    // views of its content do.
    void showRoute(const RouteOnBoard &route);
    // The next stop's name in kana and other languages, for views that show them.
    void setStopForms(const NameForms &forms);
    // The backlight row chosen (0 OFF, 1 ON1, 2 ON2); the picture is the panel's to put on.
    void setBacklight(int row);
    void setPlaceNameColours(OleColor back, OleColor dots);
    void setPlaceNameFace(qint16 fontMode, bool bold);
    // How fast a long name scrolls and how long it waits at the start.
    void setPlaceNameScroll(qint16 speed, int startWait);
    // The clock: stopped with both cells dark, or running again while its cells are shown.
    void stopClock();
    void resumeClock();
    // Gives the fifty ticket-number labels one text colour.
    void setSeiriNumColour(const QColor &colour);
    M_Degit *TimeDegit(int index) const { return timeDegit_.at(static_cast<size_t>(index)); }
    QTimer *Timer1() const { return timer1_; }
    ChimeiCtl_E *ChimeiCtl() const { return chimeiCtl_; }

    // Board pictures: 0 and 1 the built-in OFF and ON1 faces, 2 a holder that starts with
    // the ON1 face.
    QImage imgRes(int index) const;
    void setImgRes(int index, const QImage &picture);
    // The board's picture, drawn from the top-left: a larger one is cut at the right and bottom,
    // a smaller one leaves the window's grey around it.
    QImage Picture() const { return picture_; }
    void setPicture(const QImage &picture);
    // The window's own face, where no picture reaches.
    static constexpr QRgb kBackground = 0xFFF0F0F0;

    // The window that is disabled while a cell's settings dialog is open.
    void setControlPanel(QWidget *panel) { controlPanel_ = panel; }

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

    // Clock tick for a given time of day.
    void Timer1_Timer(const QTime &now);

Q_SIGNALS:
    // The zoom was changed, by the operator or by setZoom(): the start-up remembers it.
    void zoomChanged(qreal zoom);

public Q_SLOTS:
    void Degit_DblClick(int index);

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void followModel();
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

    BoardModel model_;
    std::array<M_Degit *, 51> degit_{};
    // Null until the labels are first needed; their texts, first face and colour are kept
    // meanwhile.
    std::array<QLabel *, 51> labels_{};
    std::array<QString, 51> labelTexts_{};
    bool label1DigitFace_ = true;
    std::optional<QColor> labelColour_;
    std::array<M_Degit *, 2> timeDegit_{};
    // The pictures put in the holders; a holder not set holds its built-in face.
    std::array<std::optional<QImage>, 3> imgRes_{};
    // The built-in pictures as made, to tell them from a user's picture; drawn when first
    // needed.
    mutable std::array<QImage, 2> builtIn_{};
    QImage picture_;
    // The window's face (picture and ground) as drawn at the screen's pixel ratio and the
    // board's scale; redrawn when any of them changes.
    QPixmap face_;
    bool labelsShown_ = false;
    QTimer *timer1_ = nullptr;
    ChimeiCtl_E *chimeiCtl_ = nullptr;
    QPointer<QWidget> controlPanel_;

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
