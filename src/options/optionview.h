#pragma once

#include "panelwidgets.h"
#include "segmentmodel.h"

#include <QPushButton>

namespace q47 {

// A graphical option button: pressed while its page is shown, its caption wrapped inside the
// button the way a picture button's is, breaking at the captions' ideographic spaces.
class PageButton : public WrapButton {
    Q_OBJECT
public:
    explicit PageButton(const QString &caption, QWidget *parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString shownText() const;
};

// A button whose colour is the setting it edits: its caption, then a swatch of the colour.
class ColourButton : public QPushButton {
    Q_OBJECT
public:
    explicit ColourButton(const QString &caption, QWidget *parent = nullptr);

    OleColor colour() const { return colour_; }
    void setColour(OleColor colour);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    OleColor colour_ = 0;
};

} // namespace q47
