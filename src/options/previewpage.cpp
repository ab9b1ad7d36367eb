#include "optionpages.h"

#include "optionstates.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace q47 {

PreviewPage::PreviewPage(OptionBindings &bindings, QWidget *parent)
    : OptionsPage(5, QStringLiteral("整理券プレビュー"), bindings, parent) {
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(
        boundCheck(setting::UsePreview, QStringLiteral("整理券プレビュー機能を使用する"), this));

    plugin_ = new QGroupBox(QStringLiteral("整理券プラグイン設定"), this);
    plugin_->setObjectName(QStringLiteral("Frame10"));
    auto *plugin = new QVBoxLayout(plugin_);
    plugin->addWidget(
        new QLabel(QStringLiteral("整理券プラグイン（整理券プレビューを使用しない場合は、"
                                  "何も入れないでください）："),
                   plugin_));
    QLineEdit *path = boundText(setting::PluginFile, plugin_);
    // The path is set by choosing a plug-in, which also describes it.
    path->setReadOnly(true);
    auto *choose = browseButton(plugin_);
    choose->setObjectName(QStringLiteral("Command1"));
    connect(choose, &QPushButton::clicked, this, &PreviewPage::pluginChooseClicked);
    auto *remove = new QPushButton(QStringLiteral("×"), plugin_);
    remove->setObjectName(QStringLiteral("Command11"));
    connect(remove, &QPushButton::clicked, this, &PreviewPage::pluginRemoveClicked);
    remove->setFixedWidth(choose->width());
    plugin->addLayout(row({path, choose, remove}));
    auto *lists = new QGridLayout;
    lists->addWidget(new QLabel(QStringLiteral("上記プラグインのプロパティ："), plugin_), 0, 0);
    lists->addWidget(new QLabel(QStringLiteral("上記プラグインの特記事項："), plugin_), 0, 1);
    lines_ = new QListWidget(plugin_);
    lines_->setObjectName(QStringLiteral("List1"));
    comment_ = new QPlainTextEdit(plugin_);
    comment_->setObjectName(QStringLiteral("txtPlginComment"));
    comment_->setReadOnly(true);
    for (QWidget *w : {static_cast<QWidget *>(lines_), static_cast<QWidget *>(comment_)})
        w->setFixedHeight(fontMetrics().height() * 7);
    lists->addWidget(lines_, 1, 0);
    lists->addWidget(comment_, 1, 1);
    plugin->addLayout(lists);
    layout->addWidget(plugin_);

    date_ = new QGroupBox(
        QStringLiteral("日付の設定（整理券プラグインが日付の印字をサポートしているときに有効）"),
        this);
    date_->setObjectName(QStringLiteral("Frame7"));
    auto *date = new QVBoxLayout(date_);
    date->addWidget(boundOption(
        setting::DateAtEachPrint,
        QStringLiteral("システムの日付を使用（整理券印字と同時に日付を更新、デフォルト）"), date_));
    date->addWidget(
        boundOption(setting::DateAtRouteSetting,
                    QStringLiteral("システムの日付を使用（系統設定した時点の日付を保持）"), date_));
    QLabel *held =
        note(QStringLiteral("系統設定した際の日付が保持され、日付が途中で変わっても次回系統設定"
                            "するまで整理券の日付変更を行いません。"),
             date_);
    held->setContentsMargins(24, 0, 0, 0);
    date->addWidget(held);
    auto *pick = new QPushButton(QStringLiteral("日付選択..."), date_);
    pick->setObjectName(QStringLiteral("Command7"));
    connect(pick, &QPushButton::clicked, this, &PreviewPage::dateChooseClicked);
    auto *fixedDate = new QLabel(date_);
    bindText(setting::FixedDate, fixedDate);
    date->addLayout(row({boundOption(setting::DateFixed, QStringLiteral("右記の日付に固定"), date_),
                         pick, fixedDate},
                        true));
    layout->addWidget(date_);
    layout->addStretch(1);
}

void PreviewPage::showPlugin(const QStringList &lines, const QString &comment) {
    lines_->clear();
    lines_->addItems(lines);
    comment_->setPlainText(comment);
}

void PreviewPage::applyStates(const OptionStates &states) {
    for (QGroupBox *frame : {plugin_, date_}) {
        frame->setEnabled(states.previewFramesShown());
        frame->setVisible(states.previewFramesShown());
    }
}

} // namespace q47
