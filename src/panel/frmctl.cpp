#include "frmctl.h"

#include "chimeictl.h"
#include "degitrenderer.h"
#include "dialogs.h"
#include "fareupdate.h"
#include "form1.h"
#include "mdegit.h"
#include "panelrules.h"
#include "settingsstore.h"
#include "soundoutput.h"
#include "twips.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QThread>
#include <QTimer>

namespace q47 {

namespace {

QRect px(int left, int top, int width, int height) {
    return {twipsToPx(left), twipsToPx(top), twipsToPx(width), twipsToPx(height)};
}

constexpr quint32 kYellow = 0x0000FFFF;
constexpr quint32 kLightGrey = 0x00E0E0E0;
constexpr quint32 kOrange = 0x000080FF;
constexpr quint32 kGreen = 0x0000C000;

void paintButton(QPushButton *b, quint32 colour) {
    b->setStyleSheet(
        QStringLiteral("QPushButton { background-color: %1; color: black; border: 1px "
                       "solid #606060; border-radius: 3px; }"
                       "QPushButton:pressed, QPushButton:checked { background-color: %2; }"
                       "QPushButton:disabled { color: #808080; }")
            .arg(fromOleColor(colour).name(), fromOleColor(colour).darker(125).name()));
}

QFont face(const char *family, qreal pt, bool bold) {
    QFont f(QString::fromUtf8(family));
    f.setPointSizeF(pt);
    f.setBold(bold);
    return f;
}

QListWidget *digitList(QWidget *parent, const QRect &geometry, int selected) {
    auto *list = new QListWidget(parent);
    for (int d = 0; d <= 9; ++d)
        list->addItem(QString::number(d));
    list->setGeometry(geometry);
    list->setCurrentRow(selected);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setStyleSheet(QStringLiteral("QListWidget { background: white; font-size: 11px; }"
                                       "QListWidget::item { padding: 0px; }"));
    return list;
}

QLabel *caption(QWidget *parent, const QString &text, const QRect &geometry) {
    auto *l = new QLabel(text, parent);
    l->setGeometry(geometry);
    l->setStyleSheet(QStringLiteral("color: white;"));
    return l;
}

} // namespace

PaneFrame::PaneFrame(QWidget *parent) : QFrame(parent) {
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    setPalette(pal);
    setAutoFillBackground(true);
}

void PaneFrame::mouseDoubleClickEvent(QMouseEvent *) {
    Q_EMIT DblClick();
}

void WrapButton::paintEvent(QPaintEvent *) {
    // Graphical buttons wrap their caption over as many lines as the button is high.
    QStylePainter p(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    p.drawControl(QStyle::CE_PushButton, option);
    p.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    p.drawText(rect().adjusted(3, 3, -3, -3), Qt::AlignCenter | Qt::TextWrapAnywhere, text());
}

QString boardCaption(const QString &programBaseName) {
    return QStringLiteral("運賃表示器アプリケーション - 型番:") + programBaseName;
}

namespace {
QString programBaseName() {
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

// A digit list's selected digit; a list without a selection counts as 0.
QString selectedDigit(const QListWidget *list) {
    const QListWidgetItem *item = list->currentItem();
    return item ? item->text() : QStringLiteral("0");
}
} // namespace

frmCtl::frmCtl(Form1 &board, SettingsStore &settings, SoundOutput &sound, QDialog &options,
               QWidget *parent)
    : QWidget(parent, Qt::Window), board_(board), settings_(settings), sound_(sound),
      options_(options) {
    setWindowTitle(QStringLiteral("集中操作盤"));
    setFixedSize(twipsToPx(kClientWidthTwips), twipsToPx(kClientHeightTwips));
    setFont(face("ＭＳ Ｐゴシック", 9, false));
    buildListPane();
    buildKeypadPane();
    buildRightSide();
    connectHandlers();

    showMessage = [this](const QString &text) {
        QMessageBox::information(this, programBaseName(), text, QMessageBox::Ok);
    };
    confirmExit = [this] {
        QMessageBox box(QMessageBox::Question, QStringLiteral("運賃表示器アプリの終了確認"),
                        QStringLiteral("運賃表示器アプリを終了しますか？"),
                        QMessageBox::Yes | QMessageBox::No, this);
        return box.exec() == QMessageBox::Yes;
    };
    // exit(), not quit(): quit() would close the windows again and so ask a second time.
    endProgram = [] { QCoreApplication::exit(0); };
}

void frmCtl::connectHandlers() {
    for (int i = 0; i < 2; ++i) {
        connect(command1_[static_cast<size_t>(i)], &QPushButton::clicked, this,
                [this, i] { Command1_Click(i); });
        connect(command2_[static_cast<size_t>(i)], &QPushButton::clicked, this,
                [this, i] { Command2_Click(i); });
        connect(hscroll1_[static_cast<size_t>(i)], &QScrollBar::valueChanged, this,
                [this, i] { HScroll1_Change(i); });
    }
    for (int i = 0; i < 5; ++i)
        connect(list2_[static_cast<size_t>(i)], &QListWidget::currentRowChanged, this,
                [this, i] { List2_Click(i); });
    for (int i = 0; i < 3; ++i)
        connect(list3_[static_cast<size_t>(i)], &QListWidget::currentRowChanged, this,
                [this, i] { List3_Click(i); });
    connect(check1_, &QPushButton::toggled, this, [this] { Check1_Click(); });
    connect(command4_, &QPushButton::clicked, this, [this] { Command4_Click(); });
    connect(command8_, &QPushButton::clicked, this, [this] { Command8_Click(); });
}

void frmCtl::buildListPane() {
    auto *pane = new PaneFrame(this);
    pane->setObjectName(QStringLiteral("Frame1_0"));
    pane->setGeometry(px(30, -60, 1995, 2625));
    connect(pane, &PaneFrame::DblClick, this, [this] { Frame1_DblClick(0); });
    frame1_[0] = pane;

    caption(pane, QStringLiteral("系統設定"), px(120, 120, 1700, 240));
    caption(pane, QStringLiteral("系　統"), px(120, 390, 1200, 210));
    // The lists start on route 00001 from its first stop.
    for (int i = 0; i < 5; ++i) {
        list2_[static_cast<size_t>(i)] =
            digitList(pane, px(120 + i * 360, 600, 330, 780), i == 4 ? 1 : 0);
        list2_[static_cast<size_t>(i)]->setObjectName(QStringLiteral("List2_%1").arg(i));
    }
    caption(pane, QStringLiteral("区間"), px(120, 1440, 1200, 210));
    for (int i = 0; i < 3; ++i) {
        list3_[static_cast<size_t>(i)] =
            digitList(pane, px(120 + i * 360, 1650, 330, 540), i == 2 ? 1 : 0);
        list3_[static_cast<size_t>(i)]->setObjectName(QStringLiteral("List3_%1").arg(i));
    }
    command1_[0] = new QPushButton(QStringLiteral("リセット"), pane);
    command1_[0]->setGeometry(px(330, 2250, 1380, 315));
}

void frmCtl::buildKeypadPane() {
    auto *pane = new PaneFrame(this);
    pane->setObjectName(QStringLiteral("Frame1_1"));
    pane->setGeometry(px(30, -60, 1995, 2625));
    connect(pane, &PaneFrame::DblClick, this, [this] { Frame1_DblClick(1); });
    frame1_[1] = pane;

    static constexpr int kLefts[3] = {330, 810, 1290};
    static constexpr int kTops[4] = {570, 975, 1395, 1815};
    // Index = digit; 10 "系統", 11 "区間". Rows top to bottom: 7 8 9 / 4 5 6 / 1 2 3 / 0 系統 区間.
    static constexpr int kGrid[4][3] = {{7, 8, 9}, {4, 5, 6}, {1, 2, 3}, {0, 10, 11}};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 3; ++c) {
            const int index = kGrid[r][c];
            const bool word = index >= 10;
            auto *key = new QPushButton(
                word ? (index == 10 ? QStringLiteral("系統") : QStringLiteral("区間"))
                     : QString::number(index),
                pane);
            key->setObjectName(QStringLiteral("CommandButton1_%1").arg(index));
            key->setGeometry(px(kLefts[c], kTops[r], 450, index == 0 ? 405 : 390));
            key->setFont(word ? face("ＭＳ Ｐゴシック", 8.25, false)
                              : face("ＭＳ Ｐゴシック", 15.75, true));
            paintButton(key, word ? kYellow : kLightGrey);
            key->setFocusPolicy(Qt::NoFocus);
            connect(key, &QPushButton::clicked, this,
                    [this, index] { CommandButton1_Click(index); });
            keys_[static_cast<size_t>(index)] = key;
        }

    const QRect displays[3] = {px(225, 180, 810, 315), px(1035, 180, 255, 315),
                               px(1290, 180, 465, 270)};
    for (int i = 0; i < 3; ++i) {
        auto *l = new QLabel(i == 1 ? QStringLiteral("-") : QString(), pane);
        l->setObjectName(QStringLiteral("Label2_%1").arg(i));
        l->setGeometry(displays[i]);
        l->setAlignment(i == 1 ? Qt::AlignCenter : (Qt::AlignRight | Qt::AlignVCenter));
        l->setFont(face("ＭＳ ゴシック", 14.25, false));
        l->setStyleSheet(QStringLiteral("color: %1;").arg(fromOleColor(kOrange).name()));
        label2_[static_cast<size_t>(i)] = l;
    }
    command1_[1] = new QPushButton(QStringLiteral("リセット"), pane);
    command1_[1]->setGeometry(px(330, 2250, 1380, 315));
}

void frmCtl::buildRightSide() {
    const char *steps[2] = {"データ戻し", "データ送り"};
    const QRect stepRects[2] = {px(2070, 495, 645, 750), px(2730, 495, 690, 750)};
    for (int i = 0; i < 2; ++i) {
        auto *b = new WrapButton(QString::fromUtf8(steps[i]), this);
        b->setGeometry(stepRects[i]);
        paintButton(b, kYellow);
        b->setEnabled(false); // until a route is set
        command2_[static_cast<size_t>(i)] = b;
    }

    check1_ = new QPushButton(QStringLiteral("表示消去"), this);
    check1_->setCheckable(true);
    check1_->setGeometry(px(2130, 75, 1275, 375));
    check1_->setEnabled(false);

    grpMTape_ = new QGroupBox(QStringLiteral("音合使用不可"), this);
    grpMTape_->setGeometry(px(2085, 1260, 1290, 1275));
    grpMTape_->setEnabled(false);
    tapeBack_ = new WrapButton(QStringLiteral("戻し"), grpMTape_);
    tapeBack_->setGeometry(px(75, 225, 585, 690));
    paintButton(tapeBack_, kGreen);
    tapeNext_ = new WrapButton(QStringLiteral("送り"), grpMTape_);
    tapeNext_->setGeometry(px(660, 225, 570, 690));
    paintButton(tapeNext_, kGreen);
    tapeStop_ = new QPushButton(QStringLiteral("■"), grpMTape_);
    tapeStop_->setGeometry(px(75, 930, 585, 300));
    tapeSet_ = new QPushButton(QStringLiteral("調整"), grpMTape_);
    tapeSet_->setGeometry(px(660, 930, 570, 300));
    for (QPushButton *b : {tapeBack_, tapeNext_, tapeStop_, tapeSet_})
        b->setEnabled(false);

    frame6_ = new QFrame(this);
    frame6_->setGeometry(px(3450, 780, 1725, 1410));
    frame6_->setFrameShape(QFrame::Box);
    check2_ = new QCheckBox(QStringLiteral("深夜料金"), frame6_);
    check2_->setGeometry(px(90, 60, 1500, 270));
    const char *scrollNames[2] = {"ｽｸﾛｰﾙ速度", "ｽｸﾛｰﾙ間隔"};
    const int ranges[2][2] = {{1, 2000}, {0, 3000}};
    for (int i = 0; i < 2; ++i) {
        const int top = 390 + i * 480;
        auto *name = new QLabel(QString::fromUtf8(scrollNames[i]), frame6_);
        name->setGeometry(px(90, top, 900, 210));
        auto *value = new QLabel(QString::number(ranges[i][0]), frame6_);
        value->setGeometry(px(990, top, 600, 210));
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label1_[static_cast<size_t>(i)] = value;
        auto *bar = new QScrollBar(Qt::Horizontal, frame6_);
        bar->setRange(ranges[i][0], ranges[i][1]);
        bar->setValue(ranges[i][0]);
        bar->setGeometry(px(90, top + 210, 1530, 225));
        hscroll1_[static_cast<size_t>(i)] = bar;
    }

    frame2_ = new QGroupBox(QStringLiteral("バックライト"), this);
    frame2_->setGeometry(px(3465, 60, 1695, 720));
    const char *lights[3] = {"OFF", "ON1", "ON2"};
    const int lefts[3] = {75, 615, 1140};
    for (int i = 0; i < 3; ++i) {
        // Graphical option buttons: one of the three stays pressed.
        auto *o = new QPushButton(QString::fromUtf8(lights[i]), frame2_);
        o->setCheckable(true);
        o->setAutoExclusive(true);
        o->setGeometry(px(lefts[i], 330, 510, 330));
        option4_[static_cast<size_t>(i)] = o;
    }
    option4_[0]->setChecked(true);

    command4_ = new QPushButton(QStringLiteral("設定..."), this);
    command4_->setGeometry(px(3450, 2250, 840, 300));
    command8_ = new QPushButton(QStringLiteral("ﾊﾞｰｼﾞｮﾝ"), this);
    command8_->setGeometry(px(4290, 2250, 870, 300));
    check4_ = new QPushButton(QStringLiteral(">>"), this);
    check4_->setCheckable(true);
    check4_->setToolTip(QStringLiteral("整理券プレビューを開きます"));
    check4_->setGeometry(px(4935, 45, 330, 300));
}

QRegion frmCtl::keyRegion() {
    // Rounded rectangle (2, 2)-(28, 25) with a 2 x 2 corner: the corner pixels are cut.
    QRegion r(2, 2, 26, 23);
    for (QPoint corner : {QPoint(2, 2), QPoint(27, 2), QPoint(2, 24), QPoint(27, 24)})
        r -= QRegion(corner.x(), corner.y(), 1, 1);
    return r;
}

void frmCtl::Form_Load() {
    board_.setWindowTitle(boardCaption(programBaseName()));
    for (QPushButton *key : keys_)
        key->setMask(keyRegion());
}

void frmCtl::Frame1_DblClick(int index) {
    if (index != 0 && index != 1)
        return;
    backPane_ = static_cast<qint16>(index);
    Frame1(index)->lower();
}

void frmCtl::CommandButton1_Click(int index) {
    sound_.PlaySnd(settings_.text(QStringLiteral("txtSelectSound"), 1), QStringLiteral("S1"), 0, 0);
    keypad_.press(index);
    label2_[0]->setText(keypad_.routeText());
    label2_[2]->setText(keypad_.sectionText());
}

void frmCtl::List2_Click(int) {
    sound_.PlaySnd(settings_.text(QStringLiteral("txtSelectSound"), 1), QStringLiteral("S1"), 0, 0);
}

void frmCtl::List3_Click(int) {
    sound_.PlaySnd(settings_.text(QStringLiteral("txtSelectSound"), 0), QStringLiteral("S1"), 0, 0);
}

void frmCtl::Command1_Click(int index) {
    const QString dataFolder = normalizeFolder(settings_.text(QStringLiteral("Text2"), 0));
    const QString soundFolder = normalizeFolder(settings_.text(QStringLiteral("Text2"), 1));
    sound_.PlaySnd(settings_.text(QStringLiteral("txtSelectSound"), 0), QStringLiteral("S1"), 0, 0);

    QString routeText;
    int section = 0;
    if (index == 1) {
        routeText = label2_[0]->text();
        section = label2_[2]->text().toInt();
    } else {
        for (const QListWidget *list : list2_)
            routeText += selectedDigit(list);
        QString digits;
        for (const QListWidget *list : list3_)
            digits += selectedDigit(list);
        section = digits.toInt();
    }

    tape_.TapeLoad(soundFolder, routeName(routeText));
    const RouteLoadResult loaded = loadRoute(route_, dataFolder, routeText, section);
    if (!loaded.ok) {
        showMessage(loaded.message);
        return;
    }

    board_.ChimeiCtl()->SetChimei(QStringLiteral("系統設定"));
    for (int k = 1; k <= kFareCells; ++k)
        board_.Degit(k)->ResetDegit(-1);
    QCoreApplication::processEvents();
    QThread::msleep(static_cast<unsigned long>(std::max(lampTestMs, 0)));
    for (int k = 1; k <= kFareCells; ++k)
        board_.Degit(k)->setValue(0);
    command2_[0]->setEnabled(true);
    command2_[1]->setEnabled(true);
    check1_->setEnabled(true);
    route_.RouteDate = routeDate(settings_, QDate::currentDate());
    DispData(route_.CurStopPos + 1);
}

void frmCtl::DispData(int n) {
    for (const CellWrite &w :
         fareWrites(route_, n, check2_->isChecked(), infoDigitOptions(settings_)))
        board_.Degit(w.cell)->setValue(w.value);
    ticketDate_ = ticketDate(settings_, route_.RouteDate, QDate::currentDate());
    QCoreApplication::processEvents();
    board_.ChimeiCtl()->SetChimei(route_.at(n).StopName);
}

void frmCtl::Command2_Click(int index) {
    const std::optional<qint16> target = stepTarget(route_, index);
    if (!target)
        return;
    route_.CurStopPos = *target;
    sound_.PlaySnd(stepSound(settings_, route_, route_.CurStopPos), QStringLiteral("S2"),
                   stepSoundWaits(settings_) ? -1 : 0, 0);
    DispData(route_.CurStopPos + 1);
}

void frmCtl::Check1_Click() {
    if (check1_->isChecked()) {
        board_.ChimeiCtl()->SetChimei(QString());
        for (int k = 1; k <= kFareCells; ++k)
            board_.Degit(k)->ResetDegit(0);
        board_.Timer1()->stop();
        board_.TimeDegit(0)->setValue(QString());
        board_.TimeDegit(1)->setValue(QString());
        for (QWidget *w : std::initializer_list<QWidget *>{frame1_[0], frame1_[1], command2_[0],
                                                           command2_[1], grpMTape_, frame6_})
            w->setEnabled(false);
        return;
    }
    for (QWidget *w : std::initializer_list<QWidget *>{frame1_[0], frame1_[1], command2_[0],
                                                       command2_[1], frame6_})
        w->setEnabled(true);
    if (board_.TimeDegit(0)->isVisible())
        board_.Timer1()->start();
    grpMTape_->setEnabled(false); // no speech engine yet
    DispData(route_.CurStopPos + 1);
}

void frmCtl::Command4_Click() {
    board_.setEnabled(false);
    setEnabled(false);
    options_.exec();
    board_.setEnabled(true);
    setEnabled(true);
    board_.ChimeiCtl()->SetChimei(QString());
    board_.ChimeiCtl()->SetChimei(route_.at(route_.CurStopPos + 1).StopName);
}

void frmCtl::Command8_Click() {
    const QString text =
        aboutText(programBaseName(), QStringLiteral(Q47_VERSION), QDate::currentDate().year());
    board_.setEnabled(false);
    Call_dlg110(this, 1, text);
    board_.setEnabled(true);
}

void frmCtl::HScroll1_Change(int index) {
    label1_.at(static_cast<size_t>(index))->setText(QString::number(HScroll1(index)->value()));
    board_.ChimeiCtl()->setSpeed(static_cast<qint16>(hscroll1_[0]->value()));
    board_.ChimeiCtl()->setScrollStartWait(hscroll1_[1]->value());
}

bool frmCtl::Form_QueryUnload() {
    if (!confirmExit())
        return false;
    board_.ChimeiCtl()->SetChimei(QString());
    board_.DeleteRgn();
    sound_.CloseSnd();
    endProgram();
    return true;
}

void frmCtl::closeEvent(QCloseEvent *event) {
    if (Form_QueryUnload())
        event->accept();
    else
        event->ignore();
}

} // namespace q47
