#include "optionpages.h"

#include "optionlists.h"
#include "optionview.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace q47 {

SoundPage::SoundPage(OptionBindings &bindings, QWidget *parent)
    : OptionsPage(
          4, QStringLiteral("サウンド（鳴らさなくてもいい項目にはファイル名を入れないで下さい）"),
          bindings, parent) {
    auto *layout = new QVBoxLayout(this);
    auto *fixed = new QGridLayout;
    fixed->addWidget(new QLabel(QStringLiteral("系統設定時のサウンド："), this), 0, 0);
    fixed->addWidget(soundRow(setting::RouteSound, {}, this), 0, 1);
    fixed->addWidget(new QLabel(QStringLiteral("リセット時のサウンド："), this), 1, 0);
    fixed->addWidget(soundRow(setting::ResetSound, {}, this), 1, 1);
    layout->addLayout(fixed);

    subPageButtons_ = new QButtonGroup(this);
    auto *switcher = new QHBoxLayout;
    static const char16_t *const kSwitch[2] = {u"放送前のサウンド...",
                                               u"送り・戻し時のサウンド..."};
    for (int k = 0; k < 2; ++k) {
        auto *button = new PageButton(QString::fromUtf16(kSwitch[k]), this);
        button->setObjectName(QStringLiteral("Option5(%1)").arg(k));
        subPageButtons_->addButton(button, k);
        switcher->addWidget(button);
    }
    switcher->addStretch(1);
    connect(subPageButtons_, &QButtonGroup::idClicked, this, &SoundPage::showSubPage);
    layout->addLayout(switcher);

    subPages_ = new QStackedWidget(this);
    const QString byValue[3] = {QStringLiteral("「1」の場合"), QStringLiteral("「2」の場合"),
                                QStringLiteral("「3」の場合")};

    auto *before =
        new QGroupBox(QStringLiteral("放送前のサウンド：※音声合成放送機能が有効でない場合は"
                                     "以下の設定は意味を持ちません。"),
                      subPages_);
    before->setObjectName(QStringLiteral("Frame2(0)"));
    auto *beforeLayout = new QVBoxLayout(before);
    beforeLayout->addLayout(row(
        {boundOption(setting::PreSoundFixed, QStringLiteral("常に右記のサウンドを鳴らす"), before),
         soundRow(setting::PreSoundFile, {}, before)}));
    beforeLayout->addWidget(boundOption(
        setting::PreSoundByFlag,
        QStringLiteral("放送データ(*.Tp.csv)内のフラグから判断して、以下の指定したサウンドを鳴らす"
                       "（フラグの内容が1～3以外の場合はサウンドは鳴りません）"),
        before));
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
    subPages_->addWidget(before);

    auto *steps = new QGroupBox(QStringLiteral("送り・戻し時のサウンド"), subPages_);
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
    subPages_->addWidget(steps);

    layout->addWidget(subPages_, 1);
    layout->addWidget(
        note(QStringLiteral("「放送前のサウンド」再生時は、停名のスクロールが停止することが"
                            "ありますので、あらかじめご了承ください。"),
             this));
}

QWidget *SoundPage::soundRow(TextSetting sound, const QString &caption, QWidget *parent) {
    auto *holder = new QWidget(parent);
    auto *layout = new QHBoxLayout(holder);
    layout->setContentsMargins(0, 0, 0, 0);
    if (!caption.isEmpty())
        layout->addWidget(new QLabel(caption, holder));
    layout->addWidget(boundText(sound, holder), 1);
    QPushButton *browse = browseButton(holder);
    browse->setObjectName(QStringLiteral("cmdSelectSound(%1)").arg(catalogueRow(sound).index));
    connect(browse, &QPushButton::clicked, this,
            [this, sound] { Q_EMIT soundBrowseClicked(sound.slot); });
    layout->addWidget(browse);
    return holder;
}

void SoundPage::showSubPage(int index) {
    subPageButtons_->button(index)->setChecked(true);
    subPages_->setCurrentIndex(index);
}

} // namespace q47
