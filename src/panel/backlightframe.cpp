#include "backlightframe.h"

#include "panelwidgets.h"

#include <QSignalBlocker>

namespace q47 {

BacklightFrame::BacklightFrame(QWidget *parent)
    : QGroupBox(QStringLiteral("バックライト"), parent) {
    setObjectName(QStringLiteral("Frame2"));
    setGeometry(twipsRect(3465, 60, 1695, 720));
    const char *captions[3] = {"OFF", "ON1", "ON2"};
    const int lefts[3] = {75, 615, 1140};
    for (int i = 0; i < 3; ++i) {
        auto *o = new QPushButton(QString::fromUtf8(captions[i]), this);
        o->setObjectName(QStringLiteral("Option4_%1").arg(i));
        o->setCheckable(true);
        o->setAutoExclusive(true);
        o->setGeometry(twipsRect(lefts[i], 330, 510, 330));
        connect(o, &QPushButton::toggled, this, [this, i](bool on) {
            if (on)
                Q_EMIT optionSelected(i);
        });
        option4_[static_cast<size_t>(i)] = o;
    }
    option4_[0]->setChecked(true);
}

void BacklightFrame::showRow(int row) {
    QPushButton *option = backlightButton(row);
    const QSignalBlocker quiet(option);
    option->setChecked(true);
}

} // namespace q47
