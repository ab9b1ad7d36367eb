#pragma once

#include "panelstate.h"

#include <QGroupBox>

class QPushButton;

namespace q47 {

// grpM_Tape: the announcement buttons "戻し", "送り", "■" and "調整". Its caption tells
// whether speech can be used ("音合使用可") or not ("音合使用不可"). It shows the announcement
// frame as the panel's state holds it.
class TapeGroup : public QGroupBox {
    Q_OBJECT
public:
    explicit TapeGroup(QWidget *parent = nullptr);

    QPushButton *backButton() const { return back_; }
    QPushButton *nextButton() const { return next_; }
    QPushButton *stopButton() const { return stop_; }
    QPushButton *voiceButton() const { return set_; }

    void showTape(const PanelState &state);

Q_SIGNALS:
    void nextClicked();
    void backClicked();
    void stopClicked();
    void setClicked();

private:
    QPushButton *back_ = nullptr;
    QPushButton *next_ = nullptr;
    QPushButton *stop_ = nullptr;
    QPushButton *set_ = nullptr;
};

} // namespace q47
