#include "optionpages.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace q47 {

DataPage::DataPage(OptionBindings &bindings, QWidget *parent)
    : OptionsPage(0, QStringLiteral("運賃データと放送用データ"), bindings, parent) {
    auto *layout = new QVBoxLayout(this);
    static const char16_t *const kLabels[2] = {u"運賃データ(*.hy3)のあるフォルダー：",
                                               u"放送用データ(*****Tp.csv)のあるフォルダー："};
    static const char16_t *const kOpen[2] = {u"上記運賃データの場所をエクスプローラで開く",
                                             u"上記放送用データの場所をエクスプローラで開く"};
    for (int k = 0; k < 2; ++k) {
        layout->addWidget(new QLabel(QString::fromUtf16(kLabels[k]), this));
        QLineEdit *text = boundText(setting::Folders[static_cast<size_t>(k)], this);
        QPushButton *browse = browseButton(this);
        browse->setObjectName(QStringLiteral("Command3(%1)").arg(k));
        connect(browse, &QPushButton::clicked, this, [this, k] { Q_EMIT folderBrowseClicked(k); });
        layout->addLayout(row({text, browse}));
        auto *open = new QPushButton(QString::fromUtf16(kOpen[k]), this);
        open->setObjectName(QStringLiteral("Command10(%1)").arg(k));
        connect(open, &QPushButton::clicked, this, [this, k] { Q_EMIT folderOpenClicked(k); });
        layout->addLayout(row({open}, true));
        layout->addSpacing(12);
    }
    auto *gtfs = new QPushButton(QStringLiteral("GTFS-JPから取り込む..."), this);
    gtfs->setObjectName(QStringLiteral("cmdGtfsImport"));
    connect(gtfs, &QPushButton::clicked, this, &DataPage::gtfsImportClicked);
    layout->addLayout(row({gtfs}, true));
    layout->addStretch(1);
}

} // namespace q47
