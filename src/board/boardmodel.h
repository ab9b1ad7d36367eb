#pragma once

#include "boardcontent.h"

#include <QObject>

namespace q47 {

// A cell's format brought into the digit control's ranges, as the control would hold it: a
// state file or a message may hold any value, and every board must show what the LED cell
// shows for it.
CellFormat heldFormat(const CellFormat &format);

// What the fare board shows, whichever board shows it: the one source of it. The application
// owns it; the control panel and the options write it, and each board is a view of it that
// follows its signals: the LED board mirrors it into its digit cells, labels and place-name
// column, the LCD board draws it. Neither reads the other's widgets.
class BoardModel : public QObject {
    Q_OBJECT
public:
    // A board starts dark: the backlight OFF.
    BoardModel();

    const BoardContent &content() const { return content_; }
    // Everything at once, as another board sent it: each change is signalled as its own setter
    // would, and what is unchanged is not. A cell whose format changed shows its value again.
    void setContent(const BoardContent &content);

    // Fare cell `cell` (1 to 50) receives `value`.
    void setCellValue(int cell, const QVariant &value);
    // Every segment lit (-1) or the cell blank (0), as the lamp test and the display clear do.
    void resetCell(int cell, qint16 mode);
    // The format as the cell's digit control holds it: values out of its ranges are brought
    // into them as the control does. The cell shows it from its next value on.
    void setCellFormat(int cell, const CellFormat &format);
    // One format for every cell, shown at once: the choice of a cell's own settings dialog.
    void setEveryCellFormat(const CellFormat &format);
    void setDigitColours(const DigitColours &colours);

    // Rewrites the labels for numbering style `style` (0 to 11), one-digit numbers with a
    // leading zero when `zeroPad`; label 1 takes the digit face or the word face. A label the
    // style has no caption for keeps its text.
    void setNumbering(int style, bool zeroPad);
    void setLabelsShown(bool shown);
    void setLabelColour(const QColor &colour);

    // The next stop. Every call counts, the same name too: it starts the name afresh. Its
    // real name is the one last given for it with setStopWritten.
    void setStopName(const QString &name);
    // `written` is the real name of the stop that the route file names `name`.
    void setStopWritten(const QString &name, const QString &written);
    // Its name in other languages, empty where unknown.
    void setStopForms(const NameForms &forms);
    void setNameColours(OleColor back, OleColor dots);
    void setNameFace(qint16 fontMode, bool bold);
    // How fast a long name scrolls and how long it waits at the start.
    void setNameScroll(qint16 speed, int startWait);

    void setRoute(const RouteOnBoard &route);
    void setBacklight(int row);
    void setPicture(const BoardPicture &picture);
    // The clock stopped while the display is cleared, running again afterwards.
    void setClockShown(bool shown);
    // The ride's time on the clock (invalid: the time of day again), and whether the bus is
    // about to arrive at the stop shown.
    void setRideTime(const QTime &time);
    void setApproaching(bool approaching);
    // The time the clock shows now.
    QTime clockTime() const;

Q_SIGNALS:
    void cellChanged(int cell);
    void cellReset(int cell, qint16 mode);
    void stopNameChanged();
    void clockShownChanged(bool shown);
    // Anything else a board shows: formats, colours, labels, the name's look and forms, the
    // route, the backlight and the picture.
    void contentChanged();

private:
    template <typename T> void change(T &field, const T &value);

    BoardContent content_;
    QString writtenFor_;
    QString written_;
};

} // namespace q47
