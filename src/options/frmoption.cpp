#include "frmoption.h"

#include "boardlook.h"
#include "boardmodel.h"
#include "desktoppanel.h"
#include "gtfsdialog.h"
#include "mdegit.h"
#include "optionpages.h"
#include "optionstates.h"
#include "optionview.h"
#include "panelstate.h"
#include "screenfit.h"
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

frmOption::frmOption(SettingsStore &store, BoardModel &board, PanelState &panel, QWidget *parent)
    : QDialog(parent), store_(store), board_(board), panel_(panel),
      states_(new OptionStates(store, this)),
      bindings_(new OptionBindings(
          store, [this](ColourSetting s) { GetBtnColor(s); }, this)),
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
    connect(pageButtons_, &QButtonGroup::idClicked, this, &frmOption::Option1_Click);
    contentLayout->addLayout(buttons);
    contentLayout->addWidget(pages_, 1);
    top->addWidget(scroll_, 1);
    connectPages();

    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("Command4"));
    ok->setDefault(true);
    ok->setMinimumWidth(100);
    connect(ok, &QPushButton::clicked, this, &frmOption::Command4_Click);
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
    Option1_Click(0);
    Option5_Click(1);
    // Last, so that the pages are first measured as they show.
    scroll_->setWidget(content);
}

void frmOption::connectPages() {
    connect(dataPage_, &DataPage::folderBrowseClicked, this, &frmOption::Command3_Click);
    connect(dataPage_, &DataPage::folderOpenClicked, this, &frmOption::Command10_Click);
    connect(dataPage_, &DataPage::gtfsImportClicked, this, &frmOption::importGtfs);
    connect(panelPage_, &PanelPage::panelFileBrowseClicked, this, &frmOption::Command6_Click);
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
    connect(soundPage_, &SoundPage::soundBrowseClicked, this, [this](int slot) {
        cmdSelectSound_Click(TextSetting{static_cast<std::uint8_t>(slot)});
    });
    connect(previewPage_, &PreviewPage::pluginChooseClicked, this, &frmOption::Command1_Click);
    connect(previewPage_, &PreviewPage::pluginRemoveClicked, this, &frmOption::Command11_Click);
    connect(previewPage_, &PreviewPage::dateChooseClicked, this, &frmOption::Command7_Click);
}

gtfs::GtfsImportDialog *frmOption::importGtfs() {
    auto *dialog = new gtfs::GtfsImportDialog(store_.text(setting::DataFolder),
                                              store_.text(setting::SoundFolder), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    // The imported route stands on the panel's lists, from its first stop: "リセット" sets it.
    connect(dialog, &gtfs::GtfsImportDialog::imported, this,
            [this](int route) { panel_.offerRoute(route); });
    dialog->open();
    return dialog;
}

void frmOption::showFormBeats(const std::array<int, lcd::kNameForms> &beats) {
    formBeats_ = beats;
    if (panelPage_)
        panelPage_->showFormBeats(beats);
}

void frmOption::showPublishUrl(const QString &url) {
    publishUrl_ = url;
    if (panelPage_)
        panelPage_->showPublishUrl(url);
}

void frmOption::showBoardChoice(lcd::BoardKind kind, int pageSeconds) {
    boardKind_ = kind;
    pageSeconds_ = pageSeconds;
    if (panelPage_)
        panelPage_->showBoardChoice(kind, pageSeconds);
}

QStackedWidget *frmOption::soundPages() const {
    return soundPage_ ? soundPage_->subPages() : nullptr;
}

M_Degit *frmOption::M_Degit1() const {
    return digitPage_ ? digitPage_->preview() : nullptr;
}

void frmOption::settingChanged(int slot) {
    for (const ColourSetting digits : {setting::DigitBack, setting::DigitUnlit, setting::DigitLit})
        if (slot == digits.slot)
            colourPreview();
    if (loaded_)
        bindings_->show(slot);
}

void frmOption::applyStates() {
    if (!loaded_)
        return;
    for (int k = 0; k < pages_->count(); ++k)
        static_cast<OptionsPage *>(pages_->widget(k))->applyStates(*states_);
}

void frmOption::colourPreview() {
    if (digitPage_)
        digitPage_->showColours(store_.colour(setting::DigitBack),
                                store_.colour(setting::DigitUnlit),
                                store_.colour(setting::DigitLit));
}

void frmOption::setPluginLines(const QStringList &lines) {
    pluginLines_ = lines;
    if (previewPage_)
        previewPage_->showPlugin(pluginLines_, pluginComment_);
}

void frmOption::setPluginComment(const QString &comment) {
    pluginComment_ = comment;
    if (previewPage_)
        previewPage_->showPlugin(pluginLines_, pluginComment_);
}

// --- handlers -------------------------------------------------------------------------------

void frmOption::Option1_Click(int index) {
    pages_->setCurrentIndex(index);
}

void frmOption::Option5_Click(int index) {
    soundPage_->showSubPage(index);
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
            Q_EMIT backlightOptionsApplied();
        else if (field == lastDigitField)
            colourPreview();
    });
    if (!restored)
        return restored;
    // A plug-in that is no longer one leaves the page empty; its faults are in the log.
    if (const QString plugin = store_.text(setting::PluginFile); !plugin.isEmpty())
        static_cast<void>(SetPlgin(plugin));
    return {};
}

PanelHost &frmOption::reporter() {
    if (reporter_)
        return *reporter_;
    if (!ownHost_)
        ownHost_ = std::make_unique<DesktopPanelHost>(this);
    return *ownHost_;
}

Expected<void, Errors> frmOption::SetPlgin(const QString &path) {
    const Expected<PlgInfo, Errors> read = KB4_GetPlgInfo(path);
    if (!read)
        return read.error();
    const PlgInfo &info = *read;
    setPluginComment(KB4_PlgComment(path));
    setPluginLines(capabilityLines(info));
    Q_EMIT ticketDescribed(QSize(twipsToPx(info.widthTwips), twipsToPx(info.heightTwips)),
                           info.companySwitching >= 1 ? KB4_CorpNames(path) : QStringList());
    return {};
}

void frmOption::Command1_Click() {
    const QString file = chooseFile(
        fileFilterList({QStringLiteral("整理券プラグイン(*.4SP)"), QStringLiteral("*.4SP")}),
        QStringLiteral("プラグインの選択"), QString());
    if (file.isEmpty())
        return;
    Q_EMIT ticketCompaniesCleared();
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
    applyBoardLook(board_, store_, panel_.backlight());
    Q_EMIT backlightOptionsApplied();
}

} // namespace q47
