#pragma once

#include "boardcontent.h"

#include <QObject>

namespace q47 {

// What the fare board shows, whichever board shows it. The control panel writes it (through
// its board), and each board is a view of it: the LED board mirrors it into its digit cells
// and place-name column, the LCD board draws it. Neither reads the other's widgets.
class BoardModel : public QObject {
    Q_OBJECT
public:
    const BoardContent &content() const { return content_; }

    // Fare cell `cell` (1 to 50) receives `value`.
    void setCellValue(int cell, const QVariant &value);
    // Every segment lit (-1) or the cell blank (0), as the lamp test and the display clear do.
    void resetCell(int cell, qint16 mode);
    // The format as the cell's digit control holds it: values out of its ranges are brought
    // into them as the control does.
    void setCellFormat(int cell, const CellFormat &format);
    // The next stop. Every call counts, the same name too: it starts the name afresh. Its
    // real name is the one last given for it with setStopWritten.
    void setStopName(const QString &name);
    // `written` is the real name of the stop that the route file names `name`.
    void setStopWritten(const QString &name, const QString &written);
    // Its name in other languages, empty where unknown.
    void setStopForms(const NameForms &forms);
    void setRoute(const RouteOnBoard &route);
    void setNumbering(int style, bool zeroPad);
    void setBacklight(int row);
    // The clock stopped while the display is cleared, running again afterwards.
    void setClockShown(bool shown);

Q_SIGNALS:
    void cellChanged(int cell);
    void cellReset(int cell, qint16 mode);
    void stopNameChanged();
    void clockShownChanged(bool shown);
    // Anything else a board shows: formats, numbering, readings, route, backlight.
    void contentChanged();

private:
    BoardContent content_;
    QString writtenFor_;
    QString written_;
};

} // namespace q47
