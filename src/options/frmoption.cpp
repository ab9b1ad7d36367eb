#include "frmoption.h"

#include "boardlook.h"

#include "chimeictl.h"
#include "degitrenderer.h"
#include "desktoppanel.h"
#include "form1.h"
#include "frmctl.h"
#include "gtfsdialog.h"
#include "mdegit.h"
#include "mdlq47_000.h"
#include "optionlists.h"
#include "optionstates.h"
#include "optionview.h"
#include "screenfit.h"
#include "ticketplugin.h"
#include "twips.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStackedWidget>
#include <QStyle>
#include <QVBoxLayout>

namespace q47 {

namespace {

QLabel *note(const QString &text, QWidget *parent) {
    auto *label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
}

QPushButton *browseButton(QWidget *parent) {
    auto *button = new QPushButton(QStringLiteral("..."), parent);
    button->setFixedWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 20);
    return button;
}

QHBoxLayout *row(std::initializer_list<QWidget *> widgets, bool stretch = false) {
    auto *layout = new QHBoxLayout;
    for (QWidget *w : widgets)
        layout->addWidget(w);
    if (stretch)
        layout->addStretch(1);
    return layout;
}

} // namespace

frmOption::frmOption(SettingsStore &store, Form1 &board, QWidget *parent)
    : QDialog(parent), store_(store), board_(board), states_(new OptionStates(store, this)),
      openFolder_([](const QUrl &url) { return QDesktopServices::openUrl(url); }) {
    setWindowTitle(QStringLiteral("オプション"));
    setModal(true);
    connect(&store_, &SettingsStore::changed, this, &frmOption::settingChanged);
    connect(states_, &OptionStates::statesChanged, this, &frmOption::applyStates);
}

frmOption::~frmOption() = default;

void frmOption::setVisible(bool visible) {
    if (visible && !loaded_)
        Form_Load();
    if (visible && !isVisible()) {
        // As large as the pages want, as far as the screen allows; the rest scrolls.
        const QSize chrome = (layout()->sizeHint() - scroll_->sizeHint()).expandedTo(QSize(0, 0));
        const QSize wanted = scroll_->widget()->sizeHint() + chrome;
        fitToScreen(*this, wanted);
        // Where the pages scroll, their scroll bar takes room of its own.
        const QSize cut = wanted - size();
        const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
        fitToScreen(*this, wanted + QSize(cut.height() > 0 ? bar : 0, cut.width() > 0 ? bar : 0));
    }
    QDialog::setVisible(visible);
}

void frmOption::reject() {
    // There is nothing to cancel: the controls wrote through as they changed. Closing the
    // window therefore does what "OK" does.
    Command4_Click();
}

void frmOption::Form_Load() {
    if (loaded_)
        return;
    loaded_ = true;

    // The page buttons and the pages scroll, should the screen be too small for them; "OK"
    // stays in sight below them.
    auto *top = new QVBoxLayout(this);
    scroll_ = new QScrollArea(this);
    scroll_->setWidgetResizable(true);
    scroll_->setFrameShape(QFrame::NoFrame);
    auto *content = new QWidget(scroll_);
    auto *contentLayout = new QVBoxLayout(content);
    contentLayout->setContentsMargins(0, 0, 0, 0);
    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(2);
    pageButtons_ = new QButtonGroup(this);
    pages_ = new QStackedWidget(content);
    static const char16_t *const kButtonCaptions[6] = {
        u"運賃データと　放送用データ",
        u"パネルと整理券番号表示",
        u"デジタル部品と情報用数字",
        u"停名の設定",
        u"サウンド",
        u"　　整理券　　　プレビュー",
    };
    static const char16_t *const kFrameCaptions[6] = {
        u"運賃データと放送用データ",
        u"パネルと整理券番号表示",
        u"デジタル部品と情報用数字",
        u"停名の設定",
        u"サウンド（鳴らさなくてもいい項目にはファイル名を入れないで下さい）",
        u"整理券プレビュー",
    };
    for (int k = 0; k < 6; ++k) {
        auto *button = new PageButton(QString::fromUtf16(kButtonCaptions[k]), this);
        button->setObjectName(QStringLiteral("Option1(%1)").arg(k));
        pageButtons_->addButton(button, k);
        buttons->addWidget(button);
        auto *frame = new QGroupBox(QString::fromUtf16(kFrameCaptions[k]), pages_);
        frame->setObjectName(QStringLiteral("Frame1(%1)").arg(k));
        pages_->addWidget(frame);
    }
    connect(pageButtons_, &QButtonGroup::idClicked, this, &frmOption::Option1_Click);
    contentLayout->addLayout(buttons);
    contentLayout->addWidget(pages_, 1);
    scroll_->setWidget(content);
    top->addWidget(scroll_, 1);

    // The digit page first, so that its preview digit exists before any value is shown.
    buildDigitPage(pages_->widget(2));
    buildDataPage(pages_->widget(0));
    buildPanelPage(pages_->widget(1));
    buildPlaceNamePage(pages_->widget(3));
    buildSoundPage(pages_->widget(4));
    buildPreviewPage(pages_->widget(5));

    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("Command4"));
    ok->setDefault(true);
    ok->setMinimumWidth(100);
    connect(ok, &QPushButton::clicked, this, &frmOption::Command4_Click);
    top->addLayout(row({ok}));
    top->itemAt(top->count() - 1)->layout()->setAlignment(Qt::AlignRight);

    for (const Binding &b : bindings_)
        showValue(b);
    applyStates();
    colourPreview();
    setPluginLines(pluginLines_);
    setPluginComment(pluginComment_);
    pageButtons_->button(0)->setChecked(true);
    Option1_Click(0);
    soundButtons_->button(1)->setChecked(true);
    Option5_Click(1);
}

// --- pages ----------------------------------------------------------------------------------

void frmOption::buildDataPage(QWidget *page) {
    auto *layout = new QVBoxLayout(page);
    static const char16_t *const kLabels[2] = {u"運賃データ(*.hy3)のあるフォルダー：",
                                               u"放送用データ(*****Tp.csv)のあるフォルダー："};
    static const char16_t *const kOpen[2] = {u"上記運賃データの場所をエクスプローラで開く",
                                             u"上記放送用データの場所をエクスプローラで開く"};
    for (int k = 0; k < 2; ++k) {
        layout->addWidget(new QLabel(QString::fromUtf16(kLabels[k]), page));
        QLineEdit *text = boundText(setting::Folders[static_cast<size_t>(k)], page);
        QPushButton *browse = browseButton(page);
        browse->setObjectName(QStringLiteral("Command3(%1)").arg(k));
        connect(browse, &QPushButton::clicked, this, [this, k] { Command3_Click(k); });
        layout->addLayout(row({text, browse}));
        auto *open = new QPushButton(QString::fromUtf16(kOpen[k]), page);
        open->setObjectName(QStringLiteral("Command10(%1)").arg(k));
        connect(open, &QPushButton::clicked, this, [this, k] { Command10_Click(k); });
        layout->addLayout(row({open}, true));
        layout->addSpacing(12);
    }
    auto *gtfs = new QPushButton(QStringLiteral("GTFS-JPから取り込む..."), page);
    gtfs->setObjectName(QStringLiteral("cmdGtfsImport"));
    connect(gtfs, &QPushButton::clicked, this, &frmOption::importGtfs);
    layout->addLayout(row({gtfs}, true));
    layout->addStretch(1);
}

gtfs::GtfsImportDialog *frmOption::importGtfs() {
    auto *dialog = new gtfs::GtfsImportDialog(store_.text(setting::DataFolder),
                                              store_.text(setting::SoundFolder), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    // The imported route stands on the panel's lists, from its first stop: "リセット" sets it.
    connect(dialog, &gtfs::GtfsImportDialog::imported, this, [this](int route) {
        if (panel_)
            panel_->offerRoute(route);
    });
    dialog->open();
    return dialog;
}

void frmOption::buildPanelPage(QWidget *page) {
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(boardKindRow(page));

    auto *frame4 = new QGroupBox(QStringLiteral("本体パネル"), page);
    frame4->setObjectName(QStringLiteral("Frame4"));
    auto *panelLayout = new QVBoxLayout(frame4);
    panelLayout->addLayout(
        row({boundOption(setting::PanelsAutomatic,
                         QStringLiteral("内蔵しているパネルを自動で割り当てる"), frame4),
             boundOption(setting::PanelsOneByOne, QStringLiteral("個別に設定する"), frame4)},
            true));
    struct ImageRow {
        const char16_t *caption;
        ChoiceSetting builtIn;
        ChoiceSetting user;
    };
    static constexpr ImageRow kRows[3] = {
        {u"バックライトOFF時の画像：", setting::OffPanelBuiltIn, setting::OffPanelUser},
        {u"ON1の画像：", setting::On1PanelBuiltIn, setting::On1PanelUser},
        {u"ON2の画像：", setting::On2PanelBuiltIn, setting::On2PanelUser}};
    for (int k = 0; k < 3; ++k) {
        auto *frame = new QGroupBox(QString::fromUtf16(kRows[k].caption), frame4);
        frame->setObjectName(QStringLiteral("Frame6(%1)").arg(k));
        frame6_[static_cast<size_t>(k)] = frame;
        QWidget *builtIn = boundOption(kRows[k].builtIn, QStringLiteral("内蔵"), frame);
        QWidget *user = boundOption(kRows[k].user, QStringLiteral("ユーザーパネル"), frame);
        QLineEdit *file = boundText(setting::PanelFiles[static_cast<size_t>(k)], frame);
        QPushButton *browse = browseButton(frame);
        browse->setObjectName(QStringLiteral("Command6(%1)").arg(k));
        connect(browse, &QPushButton::clicked, this, [this, k] { Command6_Click(k); });
        auto *rowLayout = new QHBoxLayout(frame);
        rowLayout->setContentsMargins(6, 2, 6, 2);
        for (QWidget *w :
             {builtIn, user, static_cast<QWidget *>(file), static_cast<QWidget *>(browse)})
            rowLayout->addWidget(w);
        panelLayout->addWidget(frame);
    }
    panelLayout->addWidget(
        note(QStringLiteral("※ユーザーパネルには、現在の機種に対応の画像をご使用ください。"
                            "大きいパネルの場合、はみ出た部分（右・下）が切り取られます。"
                            "逆に小さいパネルの場合は左上から表示され、余白部分はグレーになりますの"
                            "でご注意ください。"),
             frame4));
    layout->addWidget(frame4);

    layout->addWidget(
        boundCheck(setting::ShowLabels, QStringLiteral("整理券番号自動表示機能を使用"), page));
    layout->addWidget(note(QStringLiteral("※ユーザーパネルに直接番号をデザインしている場合には上記"
                                          "チェックをOFFにしてください。"),
                           page));
    frame3_ = new QGroupBox(QStringLiteral("整理券番号表示設定"), page);
    frame3_->setObjectName(QStringLiteral("Frame3"));
    auto *numbers = new QGridLayout(frame3_);
    numbers->addWidget(
        new QLabel(QStringLiteral("整理券番号のバックライトカラー(文字色)"), frame3_), 0, 0, 1, 4);
    static const char16_t *const kColourLabels[3] = {u"OFF：", u"ON1：", u"ON2："};
    for (int k = 0; k < 3; ++k) {
        numbers->addWidget(boundColour(setting::LabelColours[static_cast<size_t>(k)],
                                       QString::fromUtf16(kColourLabels[k]), frame3_),
                           1, k);
    }
    QComboBox *combo2 = boundCombo(setting::LabelStyle, {}, frame3_);
    numbers->addWidget(combo2, 2, 0, 1, 3);
    numbers->addWidget(boundCheck(setting::ZeroPadLabels,
                                  QStringLiteral("数字が1桁の番号は頭に0を付け足す"), frame3_),
                       3, 0, 1, 4);
    numbers->setColumnStretch(3, 1);
    layout->addWidget(frame3_);
    layout->addStretch(1);
    AddComboItem();
}

QWidget *frmOption::boardKindRow(QWidget *parent) {
    auto *frame = new QGroupBox(QStringLiteral("表示器"), parent);
    frame->setObjectName(QStringLiteral("fraBoardKind"));
    boardKindCombo_ = new QComboBox(frame);
    boardKindCombo_->setObjectName(QStringLiteral("cboBoardKind"));
    boardKindCombo_->addItems({QStringLiteral("LED式"), QStringLiteral("液晶式")});
    pageSecondsSpin_ = new QSpinBox(frame);
    pageSecondsSpin_->setObjectName(QStringLiteral("spnPageSeconds"));
    pageSecondsSpin_->setRange(lcd::kMinPageSeconds, lcd::kMaxPageSeconds);
    pageSecondsSpin_->setSuffix(QStringLiteral(" 秒"));
    connect(boardKindCombo_, &QComboBox::currentIndexChanged, this, [this](int index) {
        boardKind_ = index == 1 ? lcd::BoardKind::Lcd : lcd::BoardKind::Led;
        showBoardChoice(boardKind_, pageSeconds_);
        Q_EMIT boardChosen(boardKind_);
    });
    connect(pageSecondsSpin_, &QSpinBox::valueChanged, this, [this](int seconds) {
        pageSeconds_ = seconds;
        Q_EMIT pageSecondsChosen(seconds);
    });
    auto *outer = new QVBoxLayout(frame);
    outer->setContentsMargins(0, 0, 0, 0);
    auto *rowLayout = new QHBoxLayout;
    rowLayout->setContentsMargins(6, 2, 6, 2);
    outer->addLayout(rowLayout);
    rowLayout->addWidget(new QLabel(QStringLiteral("表示器の種類："), frame));
    rowLayout->addWidget(boardKindCombo_);
    rowLayout->addSpacing(24);
    rowLayout->addWidget(new QLabel(QStringLiteral("液晶式のページ切替："), frame));
    rowLayout->addWidget(pageSecondsSpin_);
    rowLayout->addStretch(1);

    // Below: how many page turns each form of the stop's name stays on the LCD board.
    auto *forms = new QGridLayout;
    forms->setContentsMargins(6, 0, 6, 2);
    forms->addWidget(
        new QLabel(QStringLiteral("液晶式の停留所名（ページ切替の回数、0は表示しない）："), frame),
        0, 0, 1, 6);
    static const char16_t *const kForms[lcd::kNameForms] = {
        u"漢字", u"かな", u"英語", u"中国語（簡体字）", u"中国語（繁体字）", u"韓国語"};
    for (int form = 0; form < lcd::kNameForms; ++form) {
        auto *spin = new QSpinBox(frame);
        spin->setObjectName(QStringLiteral("spnFormBeats(%1)").arg(form));
        spin->setRange(form == 0 ? 1 : 0, lcd::kMaxFormBeats);
        spin->setSuffix(QStringLiteral(" 回"));
        spin->setSpecialValueText(QStringLiteral("表示しない"));
        formBeatsSpins_[size_t(form)] = spin;
        forms->addWidget(new QLabel(QString::fromUtf16(kForms[form]), frame), 1 + form / 3,
                         2 * (form % 3));
        forms->addWidget(spin, 1 + form / 3, 2 * (form % 3) + 1);
        connect(spin, &QSpinBox::valueChanged, this, [this, form](int beats) {
            formBeats_[size_t(form)] = beats;
            Q_EMIT formBeatsChosen(formBeats_);
        });
    }
    forms->setColumnStretch(6, 1);
    outer->addLayout(forms);
    showFormBeats(formBeats_);
    showBoardChoice(boardKind_, pageSeconds_);
    return frame;
}

void frmOption::showFormBeats(const std::array<int, lcd::kNameForms> &beats) {
    formBeats_ = beats;
    for (size_t form = 0; form < formBeatsSpins_.size(); ++form) {
        if (QSpinBox *spin = formBeatsSpins_[form]) {
            const QSignalBlocker quiet(spin);
            spin->setValue(beats[form]);
        }
    }
}

void frmOption::showBoardChoice(lcd::BoardKind kind, int pageSeconds) {
    boardKind_ = kind;
    pageSeconds_ = pageSeconds;
    if (!boardKindCombo_)
        return;
    const QSignalBlocker quietKind(boardKindCombo_);
    const QSignalBlocker quietSeconds(pageSecondsSpin_);
    boardKindCombo_->setCurrentIndex(kind == lcd::BoardKind::Lcd ? 1 : 0);
    pageSecondsSpin_->setValue(pageSeconds);
    pageSecondsSpin_->setEnabled(kind == lcd::BoardKind::Lcd);
    for (QSpinBox *spin : formBeatsSpins_)
        if (spin)
            spin->setEnabled(kind == lcd::BoardKind::Lcd);
}

void frmOption::AddComboItem() {
    auto *combo = findChild<QComboBox *>(controlName(setting::LabelStyle));
    combo->clear();
    combo->addItems(labelStyleItems());
    // The store starts at style 0; a restored style chosen before the pages exist stays.
    combo->setCurrentIndex(store_.listIndex(setting::LabelStyle));
}

void frmOption::buildDigitPage(QWidget *page) {
    auto *layout = new QVBoxLayout(page);

    auto *colours = new QGroupBox(
        QStringLiteral("デジタル部品の背景色と文字色（時計つきの場合はこの部分も同色となります）"),
        page);
    colours->setObjectName(QStringLiteral("Frame5(0)"));
    auto *colourLayout = new QHBoxLayout(colours);
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(boundColour(setting::DigitBack, QStringLiteral("背景色："), colours));
    buttons->addWidget(
        boundColour(setting::DigitUnlit, QStringLiteral("未発光時の文字色："), colours));
    buttons->addWidget(boundColour(setting::DigitLit, QStringLiteral("発光時の文字色："), colours));
    colourLayout->addLayout(buttons);
    auto *previewBox = new QVBoxLayout;
    previewBox->addWidget(new QLabel(QStringLiteral("プレビュー"), colours));
    preview_ = new M_Degit(colours);
    preview_->setObjectName(QStringLiteral("M_Degit1"));
    preview_->setDegitSize(0);
    preview_->setUserSet(false);
    preview_->setValue(123);
    // The digit control sizes itself to its cells; layouts must keep that size.
    preview_->setFixedSize(preview_->size());
    previewBox->addWidget(preview_);
    previewBox->addStretch(1);
    colourLayout->addSpacing(24);
    colourLayout->addLayout(previewBox);
    colourLayout->addStretch(1);
    layout->addWidget(colours);

    auto *info = new QGroupBox(QStringLiteral("情報用数字の設定"), page);
    info->setObjectName(QStringLiteral("Frame5(1)"));
    auto *grid = new QGridLayout(info);
    const QString cellSuffix = QStringLiteral("コマ目に表示する。");
    struct InfoRow {
        FlagSetting shown;
        const char16_t *caption;
        IndexSetting cell;
    };
    static constexpr InfoRow kRows[3] = {
        {setting::ShowStopOrder, u"停留所の順番（区間・個数）を、", setting::StopOrderCell},
        {setting::ShowTicketNumber, u"整理券番号を、", setting::TicketNumberCell},
        {setting::ShowRouteNumber, u"系統番号を、", setting::RouteNumberCell}};
    int r = 0;
    for (size_t k = 0; k < std::size(kRows); ++k) {
        const InfoRow &info_row = kRows[k];
        grid->addWidget(boundCheck(info_row.shown, QString::fromUtf16(info_row.caption), info), r,
                        0);
        QComboBox *cell = boundCombo(info_row.cell, numberItems(50), info);
        combo4_[k] = cell;
        grid->addLayout(row({cell, new QLabel(cellSuffix, info)}, true), r, 1);
        ++r;
        if (k == 0) {
            check3Zero_ =
                boundCheck(setting::StopOrderFromZero, QStringLiteral("0から数える"), info);
            grid->addLayout(row({check3Zero_}, true), r++, 1);
        }
    }
    grid->addWidget(boundCheck(setting::ShowDataColumn, QStringLiteral("データの"), info), r, 0);
    combo4_[4] = boundCombo(setting::InfoDataColumn, numberItems(150), info);
    combo4_[3] = boundCombo(setting::DataColumnCell, numberItems(50), info);
    grid->addLayout(row({combo4_[4], new QLabel(QStringLiteral("列目の値を、"), info), combo4_[3],
                         new QLabel(cellSuffix, info)},
                        true),
                    r++, 1);
    grid->addWidget(
        note(QStringLiteral("デジタル数字の桁ずらし、ゼロ埋めの設定は各部品をダブルクリック"
                            "して設定してください。また、これら情報用数字は運賃の表示より"
                            "も優先されます。"),
             info),
        r, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    layout->addWidget(info);
    layout->addStretch(1);
}

void frmOption::buildPlaceNamePage(QWidget *page) {
    auto *layout = new QVBoxLayout(page);
    layout->addLayout(row({boundColour(setting::NameBack, QStringLiteral("背景色："), page),
                           boundColour(setting::NameDots, QStringLiteral("文字色："), page)},
                          true));
    layout->addLayout(row({new QLabel(QStringLiteral("フォントオプション："), page),
                           boundCombo(setting::NameFont, placeNameFontItems(), page)},
                          true));
    layout->addWidget(boundCheck(setting::NameBold,
                                 QStringLiteral("太字（表示の不具合はサポート対象外）"), page));
    layout->addStretch(1);
}

QWidget *frmOption::soundRow(TextSetting sound, const QString &caption, QWidget *parent) {
    auto *holder = new QWidget(parent);
    auto *layout = new QHBoxLayout(holder);
    layout->setContentsMargins(0, 0, 0, 0);
    if (!caption.isEmpty())
        layout->addWidget(new QLabel(caption, holder));
    layout->addWidget(boundText(sound, holder), 1);
    QPushButton *browse = browseButton(holder);
    browse->setObjectName(QStringLiteral("cmdSelectSound(%1)").arg(catalogueRow(sound).index));
    connect(browse, &QPushButton::clicked, this, [this, sound] { cmdSelectSound_Click(sound); });
    layout->addWidget(browse);
    return holder;
}

void frmOption::buildSoundPage(QWidget *page) {
    auto *layout = new QVBoxLayout(page);
    auto *fixed = new QGridLayout;
    fixed->addWidget(new QLabel(QStringLiteral("系統設定時のサウンド："), page), 0, 0);
    fixed->addWidget(soundRow(setting::RouteSound, {}, page), 0, 1);
    fixed->addWidget(new QLabel(QStringLiteral("リセット時のサウンド："), page), 1, 0);
    fixed->addWidget(soundRow(setting::ResetSound, {}, page), 1, 1);
    layout->addLayout(fixed);

    soundButtons_ = new QButtonGroup(this);
    auto *switcher = new QHBoxLayout;
    static const char16_t *const kSwitch[2] = {u"放送前のサウンド...",
                                               u"送り・戻し時のサウンド..."};
    for (int k = 0; k < 2; ++k) {
        auto *button = new PageButton(QString::fromUtf16(kSwitch[k]), page);
        button->setObjectName(QStringLiteral("Option5(%1)").arg(k));
        soundButtons_->addButton(button, k);
        switcher->addWidget(button);
    }
    switcher->addStretch(1);
    connect(soundButtons_, &QButtonGroup::idClicked, this, &frmOption::Option5_Click);
    layout->addLayout(switcher);

    soundPages_ = new QStackedWidget(page);
    const QString byValue[3] = {QStringLiteral("「1」の場合"), QStringLiteral("「2」の場合"),
                                QStringLiteral("「3」の場合")};

    auto *before =
        new QGroupBox(QStringLiteral("放送前のサウンド：※音声合成放送機能が有効でない場合は"
                                     "以下の設定は意味を持ちません。"),
                      soundPages_);
    before->setObjectName(QStringLiteral("Frame2(0)"));
    auto *beforeLayout = new QVBoxLayout(before);
    beforeLayout->addLayout(row(
        {boundOption(setting::PreSoundFixed, QStringLiteral("常に右記のサウンドを鳴らす"), before),
         soundRow(setting::PreSoundFile, {}, before)}));
    QWidget *byFlag = boundOption(
        setting::PreSoundByFlag,
        QStringLiteral("放送データ(*.Tp.csv)内のフラグから判断して、以下の指定したサウンドを鳴らす"
                       "（フラグの内容が1～3以外の場合はサウンドは鳴りません）"),
        before);
    beforeLayout->addWidget(byFlag);
    for (size_t k = 0; k < 3; ++k)
        beforeLayout->addWidget(soundRow(setting::PreSounds[k], byValue[k], before));
    auto *frame9 = new QGroupBox(QStringLiteral("再生方法"), before);
    frame9->setObjectName(QStringLiteral("Frame9"));
    auto *frame9Layout = new QVBoxLayout(frame9);
    frame9Layout->addWidget(
        boundOption(setting::PreSoundWaited,
                    QStringLiteral("同期再生(サウンドが完全に再生された後で放送開始)"), frame9));
    frame9Layout->addWidget(
        boundOption(setting::PreSoundAlongside,
                    QStringLiteral("非同期再生(サウンドを再生しながら放送開始)"), frame9));
    beforeLayout->addWidget(frame9);
    beforeLayout->addStretch(1);
    soundPages_->addWidget(before);

    auto *steps = new QGroupBox(QStringLiteral("送り・戻し時のサウンド"), soundPages_);
    steps->setObjectName(QStringLiteral("Frame2(1)"));
    auto *stepsLayout = new QVBoxLayout(steps);
    stepsLayout->addLayout(row(
        {boundOption(setting::StepSoundFixed, QStringLiteral("常に右記のサウンドを鳴らす"), steps),
         soundRow(setting::StepSoundFile, {}, steps)}));
    stepsLayout->addWidget(boundOption(
        setting::StepSoundByColumn,
        QStringLiteral(
            "運賃データ(*.hy3)の特定の列のデータから判断して、以下の指定したサウンドを鳴らす"
            "（指定した列のデータの内容が1～3以外の場合はサウンドは鳴りません）"),
        steps));
    stepsLayout->addLayout(row({boundCombo(setting::StepSoundColumn, numberItems(150), steps),
                                new QLabel(QStringLiteral("列目"), steps)},
                               true));
    for (size_t k = 0; k < 3; ++k)
        stepsLayout->addWidget(soundRow(setting::StepSounds[k], byValue[k], steps));
    auto *frame8 = new QGroupBox(QStringLiteral("再生方法"), steps);
    frame8->setObjectName(QStringLiteral("Frame8"));
    auto *frame8Layout = new QVBoxLayout(frame8);
    frame8Layout->addWidget(boundOption(
        setting::StepSoundWaited,
        QStringLiteral("同期再生(サウンドが完全に再生された後で運賃切り替え)"), frame8));
    frame8Layout->addWidget(
        boundOption(setting::StepSoundAlongside,
                    QStringLiteral("非同期再生(サウンドを再生しながら運賃切り替え)"), frame8));
    stepsLayout->addWidget(frame8);
    stepsLayout->addStretch(1);
    soundPages_->addWidget(steps);

    layout->addWidget(soundPages_, 1);
    layout->addWidget(
        note(QStringLiteral("「放送前のサウンド」再生時は、停名のスクロールが停止することが"
                            "ありますので、あらかじめご了承ください。"),
             page));
}

void frmOption::buildPreviewPage(QWidget *page) {
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(
        boundCheck(setting::UsePreview, QStringLiteral("整理券プレビュー機能を使用する"), page));

    frame10_ = new QGroupBox(QStringLiteral("整理券プラグイン設定"), page);
    frame10_->setObjectName(QStringLiteral("Frame10"));
    auto *plugin = new QVBoxLayout(frame10_);
    plugin->addWidget(
        new QLabel(QStringLiteral("整理券プラグイン（整理券プレビューを使用しない場合は、"
                                  "何も入れないでください）："),
                   frame10_));
    QLineEdit *path = boundText(setting::PluginFile, frame10_);
    // The path is set by choosing a plug-in, which also describes it.
    path->setReadOnly(true);
    auto *choose = browseButton(frame10_);
    choose->setObjectName(QStringLiteral("Command1"));
    connect(choose, &QPushButton::clicked, this, &frmOption::Command1_Click);
    auto *remove = new QPushButton(QStringLiteral("×"), frame10_);
    remove->setObjectName(QStringLiteral("Command11"));
    connect(remove, &QPushButton::clicked, this, &frmOption::Command11_Click);
    remove->setFixedWidth(choose->width());
    plugin->addLayout(row({path, choose, remove}));
    auto *lists = new QGridLayout;
    lists->addWidget(new QLabel(QStringLiteral("上記プラグインのプロパティ："), frame10_), 0, 0);
    lists->addWidget(new QLabel(QStringLiteral("上記プラグインの特記事項："), frame10_), 0, 1);
    list1_ = new QListWidget(frame10_);
    list1_->setObjectName(QStringLiteral("List1"));
    comment_ = new QPlainTextEdit(frame10_);
    comment_->setObjectName(QStringLiteral("txtPlginComment"));
    comment_->setReadOnly(true);
    for (QWidget *w : {static_cast<QWidget *>(list1_), static_cast<QWidget *>(comment_)})
        w->setFixedHeight(fontMetrics().height() * 7);
    lists->addWidget(list1_, 1, 0);
    lists->addWidget(comment_, 1, 1);
    plugin->addLayout(lists);
    layout->addWidget(frame10_);

    frame7_ = new QGroupBox(
        QStringLiteral("日付の設定（整理券プラグインが日付の印字をサポートしているときに有効）"),
        page);
    frame7_->setObjectName(QStringLiteral("Frame7"));
    auto *date = new QVBoxLayout(frame7_);
    date->addWidget(boundOption(
        setting::DateAtEachPrint,
        QStringLiteral("システムの日付を使用（整理券印字と同時に日付を更新、デフォルト）"),
        frame7_));
    date->addWidget(boundOption(
        setting::DateAtRouteSetting,
        QStringLiteral("システムの日付を使用（系統設定した時点の日付を保持）"), frame7_));
    QLabel *held =
        note(QStringLiteral("系統設定した際の日付が保持され、日付が途中で変わっても次回系統設定"
                            "するまで整理券の日付変更を行いません。"),
             frame7_);
    held->setContentsMargins(24, 0, 0, 0);
    date->addWidget(held);
    auto *pick = new QPushButton(QStringLiteral("日付選択..."), frame7_);
    pick->setObjectName(QStringLiteral("Command7"));
    connect(pick, &QPushButton::clicked, this, &frmOption::Command7_Click);
    auto *label10 = new QLabel(frame7_);
    bind(setting::FixedDate.slot, label10);
    date->addLayout(
        row({boundOption(setting::DateFixed, QStringLiteral("右記の日付に固定"), frame7_), pick,
             label10},
            true));
    layout->addWidget(frame7_);
    layout->addStretch(1);
}

// --- bindings -------------------------------------------------------------------------------

void frmOption::bind(int slot, QWidget *widget) {
    widget->setObjectName(controlName(slot));
    bindings_.push_back(Binding{slot, widget});
}

QLineEdit *frmOption::boundText(TextSetting s, QWidget *parent) {
    auto *edit = new QLineEdit(parent);
    edit->setMinimumWidth(280);
    bind(s.slot, edit);
    connect(edit, &QLineEdit::textEdited, this,
            [this, s](const QString &text) { store_.setText(s, text); });
    return edit;
}

QWidget *frmOption::boundCheck(FlagSetting s, const QString &caption, QWidget *parent) {
    auto *box = new QCheckBox(caption, parent);
    bind(s.slot, box);
    connect(box, &QCheckBox::clicked, this,
            [this, s](bool checked) { store_.setFlag(s, checked ? 1 : 0); });
    return box;
}

QWidget *frmOption::boundOption(ChoiceSetting s, const QString &caption, QWidget *parent) {
    auto *button = new QRadioButton(caption, parent);
    // The store keeps each group to one selection; Qt's grouping by parent would not match
    // the groups that share a frame.
    button->setAutoExclusive(false);
    bind(s.slot, button);
    connect(button, &QRadioButton::clicked, this, [this, s, button] {
        store_.select(s);
        button->setChecked(store_.isSelected(s));
    });
    return button;
}

QComboBox *frmOption::boundCombo(IndexSetting s, const QStringList &items, QWidget *parent) {
    auto *combo = new QComboBox(parent);
    combo->addItems(items);
    combo->setMaxVisibleItems(20);
    bind(s.slot, combo);
    connect(combo, &QComboBox::activated, this,
            [this, s](int row) { store_.setListIndex(s, row); });
    return combo;
}

QWidget *frmOption::boundColour(ColourSetting s, const QString &caption, QWidget *parent) {
    auto *button = new ColourButton(caption, parent);
    bind(s.slot, button);
    connect(button, &QPushButton::clicked, this, [this, s] { GetBtnColor(s); });
    return button;
}

void frmOption::settingChanged(int slot) {
    for (const ColourSetting digits : {setting::DigitBack, setting::DigitUnlit, setting::DigitLit})
        if (slot == digits.slot)
            colourPreview();
    if (!loaded_)
        return;
    for (const Binding &b : bindings_) {
        if (b.slot == slot)
            showValue(b);
    }
}

void frmOption::showValue(const Binding &b) {
    const auto id = static_cast<std::uint8_t>(b.slot);
    switch (kSettingCatalogue[static_cast<size_t>(b.slot)].kind) {
    case SettingKind::Text: {
        const QString text = store_.text(TextSetting{id});
        if (auto *edit = qobject_cast<QLineEdit *>(b.widget)) {
            if (edit->text() != text)
                edit->setText(text);
        } else if (auto *label = qobject_cast<QLabel *>(b.widget)) {
            label->setText(text);
        }
        break;
    }
    case SettingKind::Flag:
        static_cast<QCheckBox *>(b.widget)->setChecked(store_.flag(FlagSetting{id}) == 1);
        break;
    case SettingKind::Choice:
        static_cast<QRadioButton *>(b.widget)->setChecked(store_.isSelected(ChoiceSetting{id}));
        break;
    case SettingKind::Index:
        static_cast<QComboBox *>(b.widget)->setCurrentIndex(store_.listIndex(IndexSetting{id}));
        break;
    case SettingKind::Colour:
        static_cast<ColourButton *>(b.widget)->setColour(store_.colour(ColourSetting{id}));
        break;
    }
}

void frmOption::applyStates() {
    if (!loaded_)
        return;
    frame3_->setEnabled(states_->frame3Enabled());
    for (int k = 0; k < 5; ++k)
        combo4_[static_cast<size_t>(k)]->setEnabled(states_->combo4Enabled(k));
    check3Zero_->setEnabled(states_->check3ZeroEnabled());
    for (QGroupBox *frame : frame6_) {
        frame->setEnabled(states_->imageRowsShown());
        frame->setVisible(states_->imageRowsShown());
    }
    for (QGroupBox *frame : {frame10_, frame7_}) {
        frame->setEnabled(states_->previewFramesShown());
        frame->setVisible(states_->previewFramesShown());
    }
}

void frmOption::colourPreview() {
    if (!preview_)
        return;
    preview_->setBackColor(store_.colour(setting::DigitBack));
    preview_->setBaseForeColor(store_.colour(setting::DigitUnlit));
    preview_->setDegitForeColor(store_.colour(setting::DigitLit));
}

void frmOption::setPluginLines(const QStringList &lines) {
    pluginLines_ = lines;
    if (list1_) {
        list1_->clear();
        list1_->addItems(lines);
    }
}

void frmOption::setPluginComment(const QString &comment) {
    pluginComment_ = comment;
    if (comment_)
        comment_->setPlainText(comment);
}

// --- handlers -------------------------------------------------------------------------------

void frmOption::Option1_Click(int index) {
    pages_->setCurrentIndex(index);
}

void frmOption::Option5_Click(int index) {
    soundPages_->setCurrentIndex(index);
}

QString frmOption::GetPathString(const QString &startFolder) {
    return Kb3FolderDlg(this, QStringLiteral("フォルダーを選択してください"), startFolder);
}

void frmOption::Command3_Click(int index) {
    const TextSetting folderSetting = setting::Folders.at(static_cast<size_t>(index));
    const QString folder = GetPathString(store_.text(folderSetting));
    if (!folder.isEmpty())
        store_.setText(folderSetting, folder);
}

void frmOption::Command10_Click(int index) {
    // Whatever goes wrong stays quiet: an empty, missing or unopenable folder opens nothing.
    const QString path = store_.text(setting::Folders.at(static_cast<size_t>(index)));
    if (path.isEmpty() || !QFileInfo::exists(path))
        return;
    if (openFolder_)
        openFolder_(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
}

QString frmOption::chooseFile(const QString &filters, const QString &title,
                              const QString &current) {
    // Start where the current choice is, so that a neighbouring file is one click away; with
    // none, beside the last file chosen.
    const QString file =
        Kb3FileDlg(this, filters, current.isEmpty() ? lastFileFolder_ : current, title);
    if (!file.isEmpty())
        lastFileFolder_ = QFileInfo(file).absolutePath();
    return file;
}

void frmOption::Command6_Click(int index) {
    const TextSetting panel = setting::PanelFiles.at(static_cast<size_t>(index));
    const QString file =
        chooseFile(fileFilterList({QStringLiteral("ビットマップ(*.bmp)"), QStringLiteral("*.bmp"),
                                   QStringLiteral("GIF画像(*.gif)"), QStringLiteral("*.gif"),
                                   QStringLiteral("JPEG画像(*.jpg)"), QStringLiteral("*.jpg")}),
                   QStringLiteral("パネル画像の選択"), store_.text(panel));
    if (!file.isEmpty())
        store_.setText(panel, file);
}

void frmOption::cmdSelectSound_Click(TextSetting sound) {
    const QString file = chooseFile(
        fileFilterList({QStringLiteral("Waveサウンド(*.wav)"), QStringLiteral("*.wav"),
                        QStringLiteral("MP3サウンド(*.mp3)"), QStringLiteral("*.mp3"),
                        QStringLiteral("MIDIシーケンス(*.mid)"), QStringLiteral("*.mid")}),
        QStringLiteral("サウンドの選択"), store_.text(sound));
    if (!file.isEmpty())
        store_.setText(sound, file);
}

void frmOption::Command7_Click() {
    // The shown date may carry a year of any width ("987/03/05"), so it is read by its parts.
    DateRecord date;
    const QStringList parts = store_.text(setting::FixedDate).split(u'/');
    if (parts.size() == 3) {
        const QDate shown(parts[0].toInt(), parts[1].toInt(), parts[2].toInt());
        if (shown.isValid())
            date = dateRecordFrom(shown);
    }
    if (Call_dlg111(this, date) != 0)
        store_.setText(setting::FixedDate, fixedDateText(date));
}

void frmOption::GetBtnColor(ColourSetting button) {
    quint32 colour = store_.colour(button);
    if (Kb3ChooseColor(this, colour, customColours_) != 0)
        store_.setColour(button, colour);
}

void frmOption::Command4_Click() {
    SetProp();
    accept();
}

void frmOption::GetOptionInfo(StateRecords &records) const {
    copyOptionsFromStore(store_, records);
}

Result<> frmOption::SetOptionInfo(const StateRecords &records) {
    const qsizetype lastPanel = setting::On2PanelFile.slot;
    const qsizetype lastDigitField = optionItemEnd(3) - 1;
    Result<> restored = copyOptionsToStore(records, store_, [&](qsizetype field) {
        if (field == lastPanel)
            reapplyBacklight();
        else if (field == lastDigitField)
            colourPreview();
    });
    if (!restored)
        return restored;
    // A plug-in that is no longer one leaves the page empty; its faults are in the log.
    static_cast<void>(SetPlgin(store_.text(setting::PluginFile)));
    return {};
}

PanelHost &frmOption::reporter() {
    if (panel_)
        return panel_->host();
    if (!ownHost_)
        ownHost_ = std::make_unique<DesktopPanelHost>(this);
    return *ownHost_;
}

void frmOption::reapplyBacklight() {
    if (panel_)
        panel_->applyBacklight();
}

Expected<void, Errors> frmOption::SetPlgin(const QString &path) {
    const Expected<PlgInfo, Errors> read = KB4_GetPlgInfo(path);
    if (!read)
        return read.error();
    const PlgInfo &info = *read;
    setPluginComment(KB4_PlgComment(path));
    setPluginLines(capabilityLines(info));
    if (panel_)
        panel_->describeTicket(QSize(twipsToPx(info.widthTwips), twipsToPx(info.heightTwips)),
                               info.companySwitching >= 1 ? KB4_CorpNames(path) : QStringList());
    return {};
}

void frmOption::Command1_Click() {
    const QString file = chooseFile(
        fileFilterList({QStringLiteral("整理券プラグイン(*.4SP)"), QStringLiteral("*.4SP")}),
        QStringLiteral("プラグインの選択"), QString());
    if (file.isEmpty())
        return;
    if (panel_)
        panel_->clearTicketCompanies();
    const Expected<void, Errors> set = SetPlgin(file);
    if (set) {
        store_.setText(setting::PluginFile, file);
        return;
    }
    reporter().report(set.error());
}

void frmOption::Command11_Click() {
    store_.setText(setting::PluginFile, QString());
    setPluginLines({});
    setPluginComment(QString());
}

void frmOption::SetProp() {
    applyBoardLook(board_, store_, panel_ ? panel_->backlightRow() : 0);
    reapplyBacklight();
}

} // namespace q47
