#include "optionpages.h"

#include "optionlists.h"
#include "optionstates.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

namespace q47 {

PanelPage::PanelPage(OptionBindings &bindings, QWidget *parent)
    : OptionsPage(1, QStringLiteral("パネルと整理券番号表示"), bindings, parent) {
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(boardKindRow());

    auto *frame4 = new QGroupBox(QStringLiteral("本体パネル"), this);
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
        imageRows_[static_cast<size_t>(k)] = frame;
        QWidget *builtIn = boundOption(kRows[k].builtIn, QStringLiteral("内蔵"), frame);
        QWidget *user = boundOption(kRows[k].user, QStringLiteral("ユーザーパネル"), frame);
        QLineEdit *file = boundText(setting::PanelFiles[static_cast<size_t>(k)], frame);
        QPushButton *browse = browseButton(frame);
        browse->setObjectName(QStringLiteral("Command6(%1)").arg(k));
        connect(browse, &QPushButton::clicked, this,
                [this, k] { Q_EMIT panelFileBrowseClicked(k); });
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
        boundCheck(setting::ShowLabels, QStringLiteral("整理券番号自動表示機能を使用"), this));
    layout->addWidget(note(QStringLiteral("※ユーザーパネルに直接番号をデザインしている場合には上記"
                                          "チェックをOFFにしてください。"),
                           this));
    labelFrame_ = new QGroupBox(QStringLiteral("整理券番号表示設定"), this);
    labelFrame_->setObjectName(QStringLiteral("Frame3"));
    auto *numbers = new QGridLayout(labelFrame_);
    numbers->addWidget(
        new QLabel(QStringLiteral("整理券番号のバックライトカラー(文字色)"), labelFrame_), 0, 0, 1,
        4);
    static const char16_t *const kColourLabels[3] = {u"OFF：", u"ON1：", u"ON2："};
    for (int k = 0; k < 3; ++k) {
        numbers->addWidget(boundColour(setting::LabelColours[static_cast<size_t>(k)],
                                       QString::fromUtf16(kColourLabels[k]), labelFrame_),
                           1, k);
    }
    labelStyles_ = boundCombo(setting::LabelStyle, {}, labelFrame_);
    numbers->addWidget(labelStyles_, 2, 0, 1, 3);
    numbers->addWidget(boundCheck(setting::ZeroPadLabels,
                                  QStringLiteral("数字が1桁の番号は頭に0を付け足す"), labelFrame_),
                       3, 0, 1, 4);
    numbers->setColumnStretch(3, 1);
    layout->addWidget(labelFrame_);
    layout->addStretch(1);
}

QWidget *PanelPage::boardKindRow() {
    auto *frame = new QGroupBox(QStringLiteral("表示器"), this);
    frame->setObjectName(QStringLiteral("fraBoardKind"));
    boardKind_ = new QComboBox(frame);
    boardKind_->setObjectName(QStringLiteral("cboBoardKind"));
    // In the order of lcd::BoardKind.
    boardKind_->addItems(
        {QStringLiteral("LED式"), QStringLiteral("液晶式"), QStringLiteral("LED式と液晶式")});
    pageSeconds_ = new QSpinBox(frame);
    pageSeconds_->setObjectName(QStringLiteral("spnPageSeconds"));
    pageSeconds_->setRange(lcd::kMinPageSeconds, lcd::kMaxPageSeconds);
    pageSeconds_->setSuffix(QStringLiteral(" 秒"));
    connect(boardKind_, &QComboBox::currentIndexChanged, this,
            [this](int index) { Q_EMIT boardKindChosen(lcd::BoardKind(index)); });
    connect(pageSeconds_, &QSpinBox::valueChanged, this, &PanelPage::pageSecondsChosen);
    auto *outer = new QVBoxLayout(frame);
    outer->setContentsMargins(0, 0, 0, 0);
    auto *rowLayout = new QHBoxLayout;
    rowLayout->setContentsMargins(6, 2, 6, 2);
    outer->addLayout(rowLayout);
    rowLayout->addWidget(new QLabel(QStringLiteral("表示器の種類："), frame));
    rowLayout->addWidget(boardKind_);
    rowLayout->addSpacing(24);
    rowLayout->addWidget(new QLabel(QStringLiteral("液晶式のページ切替："), frame));
    rowLayout->addWidget(pageSeconds_);
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
        formBeats_[size_t(form)] = spin;
        forms->addWidget(new QLabel(QString::fromUtf16(kForms[form]), frame), 1 + form / 3,
                         2 * (form % 3));
        forms->addWidget(spin, 1 + form / 3, 2 * (form % 3) + 1);
        connect(spin, &QSpinBox::valueChanged, this,
                [this, form](int beats) { Q_EMIT formBeatChosen(form, beats); });
    }
    forms->setColumnStretch(6, 1);
    outer->addLayout(forms);

    // Where other machines' boards follow this one.
    auto *publish = new QHBoxLayout;
    publish->setContentsMargins(6, 0, 6, 4);
    publishUrl_ = new QLineEdit(frame);
    publishUrl_->setObjectName(QStringLiteral("txtPublishUrl"));
    publishUrl_->setPlaceholderText(QStringLiteral("mqtt://ホスト:ポート/トピック"));
    connect(publishUrl_, &QLineEdit::editingFinished, this,
            [this] { Q_EMIT publishUrlChosen(publishUrl_->text().trimmed()); });
    publish->addWidget(new QLabel(QStringLiteral("表示の公開先（MQTT）："), frame));
    publish->addWidget(publishUrl_, 1);
    outer->addLayout(publish);
    return frame;
}

void PanelPage::showFormBeats(const std::array<int, lcd::kNameForms> &beats) {
    for (size_t form = 0; form < formBeats_.size(); ++form) {
        const QSignalBlocker quiet(formBeats_[form]);
        formBeats_[form]->setValue(beats[form]);
    }
}

void PanelPage::showPublishUrl(const QString &url) {
    const QSignalBlocker quiet(publishUrl_);
    publishUrl_->setText(url);
}

void PanelPage::showBoardChoice(lcd::BoardKind kind, int pageSeconds) {
    const QSignalBlocker quietKind(boardKind_);
    const QSignalBlocker quietSeconds(pageSeconds_);
    boardKind_->setCurrentIndex(int(kind));
    pageSeconds_->setValue(pageSeconds);
    pageSeconds_->setEnabled(lcd::showsLcd(kind));
    for (QSpinBox *spin : formBeats_)
        spin->setEnabled(lcd::showsLcd(kind));
}

void PanelPage::fillLabelStyles(int chosen) {
    labelStyles_->clear();
    labelStyles_->addItems(labelStyleItems());
    // The store starts at style 0; a restored style chosen before the pages exist stays.
    labelStyles_->setCurrentIndex(chosen);
}

void PanelPage::applyStates(const OptionStates &states) {
    labelFrame_->setEnabled(states.labelSettingsEnabled());
    for (QGroupBox *frame : imageRows_) {
        frame->setEnabled(states.imageRowsShown());
        frame->setVisible(states.imageRowsShown());
    }
}

} // namespace q47
