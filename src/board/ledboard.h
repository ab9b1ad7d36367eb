#pragma once

#include "boardmodel.h"
#include "boardwindow.h"
#include "olecolor.h"
#include "segmentmodel.h"

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

class DotNameDisplay;
class SegmentCell;

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
// It zooms and fills the screen as a board window does; every part is then laid out and drawn
// afresh at the larger size, so that nothing is a stretched bitmap.
class LedBoard : public BoardWindow {
    Q_OBJECT
public:
    explicit LedBoard(const BoardModel &model, QWidget *parent = nullptr);

    const BoardModel &model() const { return model_; }

    // Where fare cell k (0, the hidden spare, to 50), the label over it and the place name
    // stand in the window now, and what cell k shows, character for character.
    QRect cellRect(int k) const;
    QRect labelRect(int k) const;
    QRect nameRect() const;
    QString cellText(int k) const;

    // The built-in face of backlight row `index`: the OFF face for 0, the ON1 face else.
    QImage backlightFace(int index) const;
    // The board's picture as the model names it, drawn from the top-left: a larger one is cut at
    // the right and bottom, a smaller one leaves the window's grey around it.
    QImage Picture() const { return picture_; }
    // The window's own face, where no picture reaches.
    static constexpr QRgb kBackground = 0xFFF0F0F0;

    // Gives the window its rounded outline from the current client size.
    void applyRoundedMask();
    // The outline of a board `client` pixels large, drawn at `scale` times the design size.
    static QRegion roundedRegion(const QSize &client, qreal scale = 1);

    // The scale the board is drawn at now and where it stands in the window.
    qreal boardScale() const { return scale_; }
    QRect boardRect() const;

    // The board as it shows now (picture, cells, labels, place name), drawn afresh at `scale`
    // times its design size at pixel ratio 1; the corners outside the rounded outline stay
    // transparent. Needs no display.
    QImage renderBoard(qreal scale) const;

    WindowPosition windowPosition() const;
    void restorePosition(const WindowPosition &position);

    // A double-click on cell `index`: its settings dialog, whose choice is reported for every
    // cell. The cell itself goes on showing the model's format.
    void editCellFormat(int index);

Q_SIGNALS:
    // A cell's settings dialog opened (the other windows wait) and closed again.
    void dialogOpened(bool open);
    // The format the dialog chose, for every cell.
    void cellFormatChosen(const CellFormat &format);

protected:
    void paintEvent(QPaintEvent *event) override;
    QSize designSize() const override;
    void showWindowed(qreal zoom) override;
    void showFilling(const QSize &size) override;
    void showPointer(bool shown) override;

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
    void layoutBoard(qreal scale, const QPoint &origin);
    void makeLabels();
    void layoutLabels();
    // Label 1 in the digit face, or in the face of a style's word.
    void setLabel1Face(bool digitFace);
    void paintPicture(QPainter &painter, qreal scale, qreal devicePixelRatio) const;
    std::optional<board::Artwork> builtInArtwork() const;

    const BoardModel &model_;
    Shown shown_;
    std::array<SegmentCell *, 51> cells_{};
    // Null until the labels are first needed.
    std::array<QLabel *, 51> labels_{};
    std::array<SegmentCell *, 2> clockCells_{};
    // The built-in pictures as made, to tell them from a user's picture; drawn when first
    // needed.
    mutable std::array<QImage, 2> builtIn_{};
    QImage picture_;
    // The window's face (picture and ground) as drawn at the screen's pixel ratio and the
    // board's scale; redrawn when any of them changes.
    QPixmap face_;
    QTimer *clockTimer_ = nullptr;
    DotNameDisplay *dotName_ = nullptr;
    qreal scale_ = 1;
    QPoint origin_;
};

} // namespace q47
