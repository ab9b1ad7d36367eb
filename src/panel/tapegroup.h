#pragma once

#include <QGroupBox>

class QPushButton;

namespace q47 {

// grpM_Tape: the announcement buttons "戻し", "送り", "■" and "調整". Its caption tells
// whether speech can be used ("音合使用可") or not ("音合使用不可").
class TapeGroup : public QGroupBox {
    Q_OBJECT
public:
    explicit TapeGroup(QWidget *parent = nullptr);

    QPushButton *cmdTapeBack() const { return back_; }
    QPushButton *cmdTapeNext() const { return next_; }
    QPushButton *cmdTapeStop() const { return stop_; }
    QPushButton *cmdTapeSet() const { return set_; }

private:
    QPushButton *back_ = nullptr;
    QPushButton *next_ = nullptr;
    QPushButton *stop_ = nullptr;
    QPushButton *set_ = nullptr;
};

} // namespace q47
