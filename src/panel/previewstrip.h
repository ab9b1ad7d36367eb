#pragma once

#include "fareboard.h"

#include <QImage>
#include <QWidget>

class QComboBox;
class QLabel;

namespace q47 {

// A picture box that keeps what is drawn into it and shows that on every repaint. The image
// has the screen's pixel density, so a ticket drawn into it is sharp on any screen.
class PictureBox : public QWidget {
    Q_OBJECT
public:
    explicit PictureBox(QWidget *parent = nullptr);

    // The persistent image, at the widget's size; white when cleared.
    QImage &image() {
        fitImage();
        return image_;
    }
    const QImage &image() const { return image_; }
    void Cls();

Q_SIGNALS:
    // Any button pressed on the picture, at a position in the picture.
    void mouseDown(Qt::MouseButton button, const QPoint &pos);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    void fitImage();

    QImage image_;
};

// The strip right of the control panel's designed width, shown when the panel is widened:
// the heading "整理券プレビュー" (Label4), the ticket picture (picSeirikenPrev) and the company
// list (Combo1).
class PreviewStrip : public QWidget, public TicketPreview {
    Q_OBJECT
public:
    // The strip's left edge on the panel, in twips.
    static constexpr int kLeftTwips = 5370;
    // Its right edge: the client's, once the panel is opened to 9000 twips with its borders.
    static constexpr int kRightTwips = 9000 - 90;

    explicit PreviewStrip(QWidget *parent = nullptr);

    // The picture takes the ticket's size; the company list moves below it and the strip
    // grows to hold both.
    void setTicketSize(const QSize &size);

    PictureBox *ticketPicture() const { return picture_; }
    // The companies the plug-in draws for, and the one chosen for the next ticket.
    void addCompanies(const QStringList &companies);
    void clearCompanies();
    void chooseCompany(int index);

    // The ticket of the stop, by the plug-in, with the time of now and the chosen company.
    void Cls() override;
    void drawTicket(const TicketRequest &ticket) override;

    // The pop-up menu on the right button only, and its "コピー(&C)": the picture as an image.
    void offerCopyMenu(Qt::MouseButton button, const QPoint &pos);
    void copyTicket();

private:
    QLabel *label4_ = nullptr;
    PictureBox *picture_ = nullptr;
    QComboBox *combo1_ = nullptr;
};

} // namespace q47
