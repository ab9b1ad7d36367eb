#include "optionpages.h"

#include "optionlists.h"

#include <QLabel>
#include <QVBoxLayout>

namespace q47 {

PlaceNamePage::PlaceNamePage(OptionBindings &bindings, QWidget *parent)
    : OptionsPage(3, QStringLiteral("停名の設定"), bindings, parent) {
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row({boundColour(setting::NameBack, QStringLiteral("背景色："), this),
                           boundColour(setting::NameDots, QStringLiteral("文字色："), this)},
                          true));
    layout->addLayout(row({new QLabel(QStringLiteral("フォントオプション："), this),
                           boundCombo(setting::NameFont, placeNameFontItems(), this)},
                          true));
    layout->addWidget(boundCheck(setting::NameBold,
                                 QStringLiteral("太字（表示の不具合はサポート対象外）"), this));
    layout->addStretch(1);
}

} // namespace q47
