#include "optionsdialog.h"

#include "boardlook.h"
#include "boardmodel.h"
#include "desktoppanel.h"
#include "gtfsdialog.h"
#include "optionpages.h"
#include "optionstates.h"
#include "optionview.h"
#include "panelstate.h"
#include "screenfit.h"
#include "segmentcell.h"
#include "ticketplugin.h"
#include "twips.h"

#include <QButtonGroup>
#include <QDesktopServices>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QStyle>
#include <QVBoxLayout>

namespace q47 {

OptionsDialog::OptionsDialog(SettingsStore &store, BoardModel &board, PanelState &panel,
                             QWidget *parent)
    : QDialog(parent), store_(store), board_(board), panel_(panel),
      states_(new OptionStates(store, this)),
      bindings_(new OptionBindings(
          store, [this](ColourSetting s) { chooseColour(s); }, this)),
      openFolder_([](const QUrl &url) { return QDesktopServices::openUrl(url); }) {
    setWindowTitle(QStringLiteral("オプション"));
    setModal(true);
    connect(&store_, &SettingsStore::changed, this, &OptionsDialog::settingChanged);
    connect(states_, &OptionStates::statesChanged, this, &OptionsDialog::applyStates);
}

OptionsDialog::~OptionsDialog() = default;

void OptionsDialog::setVisible(bool visible) {
    if (visible && !loaded_)
        buildPages();
    if (visible && !isVisible()) {
        // As large as the pages want, as far as the screen allows; the rest scrolls. The pages
        // are measured afresh: their governed frames may have been shown or hidden since.
        scroll_->widget()->layout()->invalidate();
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

void OptionsDialog::reject() {
    // There is nothing to cancel: the controls wrote through as they changed. Closing the
    // window therefore does what "OK" does.
    applyAndClose();
}

void OptionsDialog::buildPages() {
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
    for (int k = 0; k < 6; ++k) {
        auto *button = new PageButton(QString::fromUtf16(kButtonCaptions[k]), this);
        button->setObjectName(QStringLiteral("Option1(%1)").arg(k));
        pageButtons_->addButton(button, k);
        buttons->addWidget(button);
    }
    dataPage_ = new DataPage(*bindings_, pages_);
    panelPage_ = new PanelPage(*bindings_, pages_);
    digitPage_ = new DigitPage(*bindings_, pages_);
    soundPage_ = new SoundPage(*bindings_, pages_);
    previewPage_ = new PreviewPage(*bindings_, pages_);
    for (OptionsPage *page : std::initializer_list<OptionsPage *>{
             dataPage_, panelPage_, digitPage_, new PlaceNamePage(*bindings_, pages_), soundPage_,
             previewPage_})
        pages_->insertWidget(page->page(), page);
    connect(pageButtons_, &QButtonGroup::idClicked, this, &OptionsDialog::showPage);
    contentLayout->addLayout(buttons);
    contentLayout->addWidget(pages_, 1);
    top->addWidget(scroll_, 1);
    connectPages();

    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("Command4"));
    ok->setDefault(true);
    ok->setMinimumWidth(100);
    connect(ok, &QPushButton::clicked, this, &OptionsDialog::applyAndClose);
    auto *okRow = new QHBoxLayout;
    okRow->addWidget(ok);
    okRow->setAlignment(Qt::AlignRight);
    top->addLayout(okRow);

    panelPage_->fillLabelStyles(store_.listIndex(setting::LabelStyle));
    panelPage_->showFormBeats(formBeats_);
    panelPage_->showBoardChoice(boardKind_, pageSeconds_);
    panelPage_->showPublishUrl(publishUrl_);
    bindings_->showAll();
    applyStates();
    colourPreview();
    previewPage_->showPlugin(pluginLines_, pluginComment_);
    pageButtons_->button(0)->setChecked(true);
    showPage(0);
    showSoundPage(1);
    // Last, so that the pages are first measured as they show.
    scroll_->setWidget(content);
}

void OptionsDialog::connectPages() {
    connect(dataPage_, &DataPage::folderBrowseClicked, this, &OptionsDialog::chooseDataFolder);
    connect(dataPage_, &DataPage::folderOpenClicked, this, &OptionsDialog::openDataFolder);
    connect(dataPage_, &DataPage::gtfsImportClicked, this, &OptionsDialog::importGtfs);
    connect(panelPage_, &PanelPage::panelFileBrowseClicked, this,
            &OptionsDialog::choosePanelPicture);
    connect(panelPage_, &PanelPage::boardKindChosen, this, [this](lcd::BoardKind kind) {
        showBoardChoice(kind, pageSeconds_);
        Q_EMIT boardChosen(kind);
    });
    connect(panelPage_, &PanelPage::pageSecondsChosen, this, [this](int seconds) {
        pageSeconds_ = seconds;
        Q_EMIT pageSecondsChosen(seconds);
    });
    connect(panelPage_, &PanelPage::publishUrlChosen, this, [this](const QString &url) {
        if (url == publishUrl_)
            return;
        publishUrl_ = url;
        Q_EMIT publishUrlChosen(url);
    });
    connect(panelPage_, &PanelPage::formBeatChosen, this, [this](int form, int beats) {
        formBeats_[size_t(form)] = beats;
        Q_EMIT formBeatsChosen(formBeats_);
    });
    connect(soundPage_, &SoundPage::soundBrowseClicked, this,
            [this](int slot) { chooseSound(TextSetting{static_cast<std::uint8_t>(slot)}); });
    connect(previewPage_, &PreviewPage::pluginChooseClicked, this, &OptionsDialog::choosePlugin);
    connect(previewPage_, &PreviewPage::pluginRemoveClicked, this, &OptionsDialog::removePlugin);
    connect(previewPage_, &PreviewPage::dateChooseClicked, this, &OptionsDialog::chooseFixedDate);
}

gtfs::GtfsImportDialog *OptionsDialog::importGtfs() {
    auto *dialog = new gtfs::GtfsImportDialog(store_.text(setting::DataFolder),
                                              store_.text(setting::SoundFolder), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    // The imported route stands on the panel's lists, from its first stop: "リセット" sets it.
    connect(dialog, &gtfs::GtfsImportDialog::imported, this,
            [this](int route) { panel_.offerRoute(route); });
    dialog->open();
    return dialog;
}

void OptionsDialog::showFormBeats(const std::array<int, lcd::kNameForms> &beats) {
    formBeats_ = beats;
    if (panelPage_)
        panelPage_->showFormBeats(beats);
}

void OptionsDialog::showPublishUrl(const QString &url) {
    publishUrl_ = url;
    if (panelPage_)
        panelPage_->showPublishUrl(url);
}

void OptionsDialog::showBoardChoice(lcd::BoardKind kind, int pageSeconds) {
    boardKind_ = kind;
    pageSeconds_ = pageSeconds;
    if (panelPage_)
        panelPage_->showBoardChoice(kind, pageSeconds);
}

QStackedWidget *OptionsDialog::soundPages() const {
    return soundPage_ ? soundPage_->subPages() : nullptr;
}

SegmentCell *OptionsDialog::digitPreview() const {
    return digitPage_ ? digitPage_->preview() : nullptr;
}

void OptionsDialog::settingChanged(int slot) {
    for (const ColourSetting digits : {setting::DigitBack, setting::DigitUnlit, setting::DigitLit})
        if (slot == digits.slot)
            colourPreview();
    if (loaded_)
        bindings_->show(slot);
}

void OptionsDialog::applyStates() {
    if (!loaded_)
        return;
    for (int k = 0; k < pages_->count(); ++k)
        static_cast<OptionsPage *>(pages_->widget(k))->applyStates(*states_);
}

void OptionsDialog::colourPreview() {
    if (digitPage_)
        digitPage_->showColours(store_.colour(setting::DigitBack),
                                store_.colour(setting::DigitUnlit),
                                store_.colour(setting::DigitLit));
}

void OptionsDialog::setPluginLines(const QStringList &lines) {
    pluginLines_ = lines;
    if (previewPage_)
        previewPage_->showPlugin(pluginLines_, pluginComment_);
}

void OptionsDialog::setPluginComment(const QString &comment) {
    pluginComment_ = comment;
    if (previewPage_)
        previewPage_->showPlugin(pluginLines_, pluginComment_);
}

// --- handlers -------------------------------------------------------------------------------

void OptionsDialog::showPage(int page) {
    pages_->setCurrentIndex(page);
}

void OptionsDialog::showSoundPage(int page) {
    soundPage_->showSubPage(page);
}

QString OptionsDialog::pickFolder(const QString &startFolder) {
    return askForFolder(this, QStringLiteral("フォルダーを選択してください"), startFolder);
}

void OptionsDialog::chooseDataFolder(int folder) {
    const TextSetting folderSetting = setting::Folders.at(static_cast<size_t>(folder));
    const QString chosen = pickFolder(store_.text(folderSetting));
    if (!chosen.isEmpty())
        store_.setText(folderSetting, chosen);
}

void OptionsDialog::openDataFolder(int folder) {
    // Whatever goes wrong stays quiet: an empty, missing or unopenable folder opens nothing.
    const QString path = store_.text(setting::Folders.at(static_cast<size_t>(folder)));
    if (path.isEmpty() || !QFileInfo::exists(path))
        return;
    if (openFolder_)
        openFolder_(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
}

QString OptionsDialog::chooseFile(const QString &filters, const QString &title,
                                  const QString &current) {
    // Start where the current choice is, so that a neighbouring file is one click away; with
    // none, beside the last file chosen.
    const QString file =
        askForFile(this, filters, current.isEmpty() ? lastFileFolder_ : current, title);
    if (!file.isEmpty())
        lastFileFolder_ = QFileInfo(file).absolutePath();
    return file;
}

void OptionsDialog::choosePanelPicture(int row) {
    const TextSetting panel = setting::PanelFiles.at(static_cast<size_t>(row));
    const QString file =
        chooseFile(fileFilterList({QStringLiteral("ビットマップ(*.bmp)"), QStringLiteral("*.bmp"),
                                   QStringLiteral("GIF画像(*.gif)"), QStringLiteral("*.gif"),
                                   QStringLiteral("JPEG画像(*.jpg)"), QStringLiteral("*.jpg")}),
                   QStringLiteral("パネル画像の選択"), store_.text(panel));
    if (!file.isEmpty())
        store_.setText(panel, file);
}

void OptionsDialog::chooseSound(TextSetting sound) {
    const QString file = chooseFile(
        fileFilterList({QStringLiteral("Waveサウンド(*.wav)"), QStringLiteral("*.wav"),
                        QStringLiteral("MP3サウンド(*.mp3)"), QStringLiteral("*.mp3"),
                        QStringLiteral("MIDIシーケンス(*.mid)"), QStringLiteral("*.mid")}),
        QStringLiteral("サウンドの選択"), store_.text(sound));
    if (!file.isEmpty())
        store_.setText(sound, file);
}

void OptionsDialog::chooseFixedDate() {
    // The shown date may carry a year of any width ("987/03/05"), so it is read by its parts.
    DateRecord date;
    const QStringList parts = store_.text(setting::FixedDate).split(u'/');
    if (parts.size() == 3) {
        const QDate shown(parts[0].toInt(), parts[1].toInt(), parts[2].toInt());
        if (shown.isValid())
            date = dateRecordFrom(shown);
    }
    if (askForDate(this, date))
        store_.setText(setting::FixedDate, fixedDateText(date));
}

void OptionsDialog::chooseColour(ColourSetting button) {
    quint32 colour = store_.colour(button);
    if (askForColour(this, colour, customColours_))
        store_.setColour(button, colour);
}

void OptionsDialog::applyAndClose() {
    applyLook();
    accept();
}

void OptionsDialog::saveTo(StateRecords &records) const {
    copyOptionsFromStore(store_, records);
}

Result<> OptionsDialog::restoreFrom(const StateRecords &records) {
    const qsizetype lastPanel = setting::On2PanelFile.slot;
    const qsizetype lastDigitField = optionItemEnd(3) - 1;
    Result<> restored = copyOptionsToStore(records, store_, [&](qsizetype field) {
        if (field == lastPanel)
            Q_EMIT backlightOptionsApplied();
        else if (field == lastDigitField)
            colourPreview();
    });
    if (!restored)
        return restored;
    // A plug-in that is no longer one leaves the page empty; its faults are in the log.
    if (const QString plugin = store_.text(setting::PluginFile); !plugin.isEmpty())
        static_cast<void>(describePlugin(plugin));
    return {};
}

PanelHost &OptionsDialog::reporter() {
    if (reporter_)
        return *reporter_;
    if (!ownHost_)
        ownHost_ = std::make_unique<DesktopPanelHost>(this);
    return *ownHost_;
}

Expected<void, Errors> OptionsDialog::describePlugin(const QString &path) {
    const Expected<PlgInfo, Errors> read = ticketPluginInfo(path);
    if (!read)
        return read.error();
    const PlgInfo &info = *read;
    setPluginComment(ticketPluginComment(path));
    setPluginLines(capabilityLines(info));
    Q_EMIT ticketDescribed(QSize(twipsToPx(info.widthTwips), twipsToPx(info.heightTwips)),
                           info.companySwitching >= 1 ? ticketPluginCompanies(path)
                                                      : QStringList());
    return {};
}

void OptionsDialog::choosePlugin() {
    const QString file = chooseFile(
        fileFilterList({QStringLiteral("整理券プラグイン(*.4SP)"), QStringLiteral("*.4SP")}),
        QStringLiteral("プラグインの選択"), QString());
    if (file.isEmpty())
        return;
    Q_EMIT ticketCompaniesCleared();
    const Expected<void, Errors> set = describePlugin(file);
    if (set) {
        store_.setText(setting::PluginFile, file);
        return;
    }
    reporter().report(set.error());
}

void OptionsDialog::removePlugin() {
    store_.setText(setting::PluginFile, QString());
    setPluginLines({});
    setPluginComment(QString());
}

void OptionsDialog::applyLook() {
    applyBoardLook(board_, store_, panel_.backlight());
    Q_EMIT backlightOptionsApplied();
}

} // namespace q47
