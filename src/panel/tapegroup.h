#pragma once

#include "mdlm_tape.h"

#include <QGroupBox>

class QPushButton;

namespace q47 {

// grpM_Tape: the announcement buttons "戻し", "送り", "■" and "調整". Its caption tells
// whether speech can be used ("音合使用可") or not ("音合使用不可").
class TapeGroup : public QGroupBox, public TapeView {
    Q_OBJECT
public:
    explicit TapeGroup(QWidget *parent = nullptr);

    QPushButton *cmdTapeBack() const { return back_; }
    QPushButton *cmdTapeNext() const { return next_; }
    QPushButton *cmdTapeStop() const { return stop_; }
    QPushButton *cmdTapeSet() const { return set_; }

    void setFrameCaption(const QString &caption) override { setTitle(caption); }
    void setFrameEnabled(bool on) override { setEnabled(on); }
    void setButtonsEnabled(bool on) override;

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
