#include "optionpages.h"

#include "optionlists.h"
#include "optionstates.h"
#include "segmentcell.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace q47 {

DigitPage::DigitPage(OptionBindings &bindings, QWidget *parent)
    : OptionsPage(2, QStringLiteral("デジタル部品と情報用数字"), bindings, parent) {
    auto *layout = new QVBoxLayout(this);

    auto *colours = new QGroupBox(
        QStringLiteral("デジタル部品の背景色と文字色（時計つきの場合はこの部分も同色となります）"),
        this);
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
    preview_ = new SegmentCell(colours);
    preview_->setObjectName(QStringLiteral("M_Degit1"));
    preview_->setDigitSize(0);
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

    auto *info = new QGroupBox(QStringLiteral("情報用数字の設定"), this);
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
        const InfoRow &infoRow = kRows[k];
        grid->addWidget(boundCheck(infoRow.shown, QString::fromUtf16(infoRow.caption), info), r, 0);
        QComboBox *cell = boundCombo(infoRow.cell, numberItems(50), info);
        cellLists_[k] = cell;
        grid->addLayout(row({cell, new QLabel(cellSuffix, info)}, true), r, 1);
        ++r;
        if (k == 0) {
            fromZero_ = boundCheck(setting::StopOrderFromZero, QStringLiteral("0から数える"), info);
            grid->addLayout(row({fromZero_}, true), r++, 1);
        }
    }
    grid->addWidget(boundCheck(setting::ShowDataColumn, QStringLiteral("データの"), info), r, 0);
    cellLists_[4] = boundCombo(setting::InfoDataColumn, numberItems(150), info);
    cellLists_[3] = boundCombo(setting::DataColumnCell, numberItems(50), info);
    grid->addLayout(row({cellLists_[4], new QLabel(QStringLiteral("列目の値を、"), info),
                         cellLists_[3], new QLabel(cellSuffix, info)},
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

void DigitPage::showColours(OleColor back, OleColor unlit, OleColor lit) {
    preview_->setBackColor(back);
    preview_->setBaseForeColor(unlit);
    preview_->setDigitForeColor(lit);
}

void DigitPage::applyStates(const OptionStates &states) {
    cellLists_[0]->setEnabled(states.stopOrderEnabled());
    fromZero_->setEnabled(states.stopOrderEnabled());
    cellLists_[1]->setEnabled(states.ticketNumberEnabled());
    cellLists_[2]->setEnabled(states.routeNumberEnabled());
    cellLists_[3]->setEnabled(states.dataColumnEnabled());
    cellLists_[4]->setEnabled(states.dataColumnEnabled());
}

} // namespace q47
