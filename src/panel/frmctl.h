#pragma once

#include "keypadentry.h"
#include "mdlm_tape.h"
#include "routedata.h"

#include <QFrame>
#include <QPushButton>
#include <QWidget>

#include <array>
#include <functional>

class QCheckBox;
class QDialog;
class QGroupBox;
class QLabel;
class QListWidget;
class QScrollBar;

namespace q47 {

class Form1;
class SettingsStore;
class SoundOutput;

// One of the two stacked entry panes; a double-click sends it to the back.
class PaneFrame : public QFrame {
    Q_OBJECT
public:
    explicit PaneFrame(QWidget *parent = nullptr);
Q_SIGNALS:
    void DblClick();

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;
};

// A push button whose caption wraps inside it.
class WrapButton : public QPushButton {
    Q_OBJECT
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent *event) override;
};

// The operator's control panel beside the fare board.
class frmCtl : public QWidget {
    Q_OBJECT
public:
    static constexpr int kClientWidthTwips = 5295;
    static constexpr int kClientHeightTwips = 2595;

    static constexpr int kLampTestMs = 3000;

    frmCtl(Form1 &board, SettingsStore &settings, SoundOutput &sound, QDialog &options,
           QWidget *parent = nullptr);

    // Control panel start: names the board after the program and shapes the keypad keys.
    void Form_Load();

    // Sets the route entered on the lists (0) or the keypad (1).
    void Command1_Click(int index);
    // Puts stop n (1-based) on the board.
    void DispData(int n);
    // One stop back (0) or forward (1).
    void Command2_Click(int index);
    void Check1_Click();
    void Command4_Click();
    void Command8_Click();
    void HScroll1_Change(int index);
    void List2_Click(int index);
    void List3_Click(int index);
    // Asks before the program ends; true when it ends.
    bool Form_QueryUnload();

    const RouteTable &route() const { return route_; }
    RouteTable &route() { return route_; }
    const QString &RouteDate() const { return route_.RouteDate; }
    // The date the ticket of the stop on the board carries.
    const QString &ticketDateText() const { return ticketDate_; }

    // How long the lamp test keeps every segment lit.
    int lampTestMs = kLampTestMs;
    // The operator's answers and the message boxes; tests replace them.
    std::function<void(const QString &)> showMessage;
    std::function<bool()> confirmExit;
    std::function<void()> endProgram;

    PaneFrame *Frame1(int i) const { return frame1_.at(static_cast<size_t>(i)); }
    QListWidget *List2(int i) const { return list2_.at(static_cast<size_t>(i)); }
    QListWidget *List3(int i) const { return list3_.at(static_cast<size_t>(i)); }
    QPushButton *Command1(int i) const { return command1_.at(static_cast<size_t>(i)); }
    QPushButton *CommandButton1(int i) const { return keys_.at(static_cast<size_t>(i)); }
    QLabel *Label2(int i) const { return label2_.at(static_cast<size_t>(i)); }
    QPushButton *Command2(int i) const { return command2_.at(static_cast<size_t>(i)); }
    QPushButton *Check1() const { return check1_; }
    QGroupBox *grpM_Tape() const { return grpMTape_; }
    QPushButton *cmdTapeBack() const { return tapeBack_; }
    QPushButton *cmdTapeNext() const { return tapeNext_; }
    QPushButton *cmdTapeStop() const { return tapeStop_; }
    QPushButton *cmdTapeSet() const { return tapeSet_; }
    QFrame *Frame6() const { return frame6_; }
    QCheckBox *Check2() const { return check2_; }
    QScrollBar *HScroll1(int i) const { return hscroll1_.at(static_cast<size_t>(i)); }
    QLabel *Label1(int i) const { return label1_.at(static_cast<size_t>(i)); }
    QGroupBox *Frame2() const { return frame2_; }
    QPushButton *Option4(int i) const { return option4_.at(static_cast<size_t>(i)); }
    QPushButton *Command4() const { return command4_; }
    QPushButton *Command8() const { return command8_; }
    QPushButton *Check4() const { return check4_; }

    // The pane last sent to the back.
    qint16 BackPane() const { return backPane_; }
    void Frame1_DblClick(int index);
    void CommandButton1_Click(int index);
    const KeypadEntry &keypad() const { return keypad_; }

    // The region each keypad key is cut to.
    static QRegion keyRegion();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildListPane();
    void buildKeypadPane();
    void buildRightSide();

    void connectHandlers();

    Form1 &board_;
    SettingsStore &settings_;
    SoundOutput &sound_;
    QDialog &options_;
    RouteTable route_;
    mdlM_Tape tape_;
    QString ticketDate_;
    std::array<PaneFrame *, 2> frame1_{};
    std::array<QListWidget *, 5> list2_{};
    std::array<QListWidget *, 3> list3_{};
    std::array<QPushButton *, 2> command1_{};
    std::array<QPushButton *, 12> keys_{};
    std::array<QLabel *, 3> label2_{};
    std::array<QPushButton *, 2> command2_{};
    QPushButton *check1_ = nullptr;
    QGroupBox *grpMTape_ = nullptr;
    QPushButton *tapeBack_ = nullptr, *tapeNext_ = nullptr, *tapeStop_ = nullptr,
                *tapeSet_ = nullptr;
    QFrame *frame6_ = nullptr;
    QCheckBox *check2_ = nullptr;
    std::array<QScrollBar *, 2> hscroll1_{};
    std::array<QLabel *, 2> label1_{};
    QGroupBox *frame2_ = nullptr;
    std::array<QPushButton *, 3> option4_{};
    QPushButton *command4_ = nullptr, *command8_ = nullptr, *check4_ = nullptr;
    qint16 backPane_ = 0;
    KeypadEntry keypad_;
};

// "運賃表示器アプリケーション - 型番:" followed by the program's base name.
QString boardCaption(const QString &programBaseName);

} // namespace q47
