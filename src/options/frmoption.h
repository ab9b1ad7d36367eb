#pragma once

#include "commondialogs.h"
#include "lcdsettings.h"
#include "settingsstore.h"
#include "staterecords.h"

#include <QDialog>
#include <QStringList>
#include <QUrl>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QScrollArea;
class QSpinBox;
class QStackedWidget;

namespace q47 {

namespace gtfs {
class GtfsImportDialog;
}
class Form1;
class M_Degit;
class OptionStates;
class frmCtl;
class PanelHost;

// The options dialog "オプション". The settings store holds every value; the dialog's controls
// are views of it that write through at once, so every reader sees a change without "OK".
// Its pages are built on first showing: start-up pays only for the states object that keeps
// the governed controls in step with the store meanwhile.
class frmOption : public QDialog {
    Q_OBJECT
public:
    frmOption(SettingsStore &store, Form1 &board, QWidget *parent = nullptr);
    ~frmOption() override;

    // The control panel whose backlight SetProp re-applies; created after the dialog.
    void setControlPanel(frmCtl *panel) { panel_ = panel; }
    // Opens a folder for Command10; QDesktopServices by default.
    void setFolderOpener(std::function<bool(const QUrl &)> opener) {
        openFolder_ = std::move(opener);
    }

    // Builds the pages; runs once, before the dialog first shows.
    void Form_Load();
    bool isLoaded() const { return loaded_; }

    // Applies the look options to the board, then re-applies the panel's backlight.
    void SetProp();
    // "OK": applies and hides.
    void Command4_Click();

    // Copies the options to and from the state file's records. The restore goes through the
    // same click behaviour as the operator's changes, re-applies the panel's backlight once the
    // panel pictures are in, and describes the restored ticket plug-in; it stops at the first
    // value a control refuses and returns why.
    void GetOptionInfo(StateRecords &records) const;
    Result<> SetOptionInfo(const StateRecords &records);

    // Describes the ticket plug-in at `path` on the preview page and sizes the panel's ticket
    // preview for it; when it is none, changes nothing and returns its faults.
    Expected<void, Errors> SetPlgin(const QString &path);
    // Choosing and removing the ticket plug-in.
    void Command1_Click();
    void Command11_Click();
    // "GTFS-JPから取り込む...": the import into the folders above, over this dialog.
    gtfs::GtfsImportDialog *importGtfs();

    // The custom colours every colour choice shares, for the whole run.
    CustomColourTable &customColours() { return customColours_; }

    // What the ticket plug-in's description shows: the capability lines and the comment.
    QStringList pluginLines() const { return pluginLines_; }
    void setPluginLines(const QStringList &lines);
    QString pluginComment() const { return pluginComment_; }
    void setPluginComment(const QString &comment);

    // Which board shows and how long a page of the LCD board's fare table stays. They live in
    // the user's settings, not in the store: the dialog shows them and tells of a change.
    void showBoardChoice(lcd::BoardKind kind, int pageSeconds);
    // How many page turns each form of the LCD board's stop name stays, 0 leaving it out.
    void showFormBeats(const std::array<int, lcd::kNameForms> &beats);

    const OptionStates &states() const { return *states_; }
    SettingsStore &store() { return store_; }

    // Handlers, by the control they answer.
    void Option1_Click(int index);
    void Option5_Click(int index);
    void Command3_Click(int index);
    void Command10_Click(int index);
    void Command6_Click(int index);
    void cmdSelectSound_Click(TextSetting sound);
    void Command7_Click();
    void GetBtnColor(ColourSetting button);
    QString GetPathString(const QString &startFolder = {});
    void AddComboItem();

    // Page and sub-page shown; widgets are built by then.
    QStackedWidget *pages() const { return pages_; }
    QStackedWidget *soundPages() const { return soundPages_; }
    M_Degit *M_Degit1() const { return preview_; }

Q_SIGNALS:
    void boardChosen(lcd::BoardKind kind);
    void pageSecondsChosen(int seconds);
    void formBeatsChosen(const std::array<int, lcd::kNameForms> &beats);

protected:
    void setVisible(bool visible) override;
    void reject() override;

private:
    struct Binding {
        int slot;
        QWidget *widget;
    };

    void buildDataPage(QWidget *page);
    void buildPanelPage(QWidget *page);
    QWidget *boardKindRow(QWidget *parent);
    void buildDigitPage(QWidget *page);
    void buildPlaceNamePage(QWidget *page);
    void buildSoundPage(QWidget *page);
    void buildPreviewPage(QWidget *page);

    QLineEdit *boundText(TextSetting s, QWidget *parent);
    QWidget *boundCheck(FlagSetting s, const QString &caption, QWidget *parent);
    QWidget *boundOption(ChoiceSetting s, const QString &caption, QWidget *parent);
    QComboBox *boundCombo(IndexSetting s, const QStringList &items, QWidget *parent);
    QWidget *boundColour(ColourSetting s, const QString &caption, QWidget *parent);
    QWidget *soundRow(TextSetting sound, const QString &caption, QWidget *parent);
    // The widget takes the setting's control name and shows its value from then on.
    void bind(int slot, QWidget *widget);

    void settingChanged(int slot);
    void showValue(const Binding &binding);
    void applyStates();
    void colourPreview();
    QString chooseFile(const QString &filters, const QString &title, const QString &current);
    void reapplyBacklight();
    // Where the operator is told: the panel's reporter, or message boxes of the dialog's own.
    PanelHost &reporter();

    SettingsStore &store_;
    Form1 &board_;
    frmCtl *panel_ = nullptr;
    std::unique_ptr<PanelHost> ownHost_;
    QString lastFileFolder_; // where the file choices start when nothing is chosen yet
    OptionStates *states_;
    std::function<bool(const QUrl &)> openFolder_;
    CustomColourTable customColours_{};
    QStringList pluginLines_;
    QString pluginComment_;
    bool loaded_ = false;

    std::vector<Binding> bindings_;
    QButtonGroup *pageButtons_ = nullptr;
    QStackedWidget *pages_ = nullptr;
    QScrollArea *scroll_ = nullptr;
    QButtonGroup *soundButtons_ = nullptr;
    QStackedWidget *soundPages_ = nullptr;
    QGroupBox *frame3_ = nullptr;
    std::array<QGroupBox *, 3> frame6_{};
    std::array<QComboBox *, 5> combo4_{};
    QWidget *check3Zero_ = nullptr;
    QGroupBox *frame10_ = nullptr;
    QGroupBox *frame7_ = nullptr;
    M_Degit *preview_ = nullptr;
    lcd::BoardKind boardKind_ = lcd::BoardKind::Led;
    int pageSeconds_ = lcd::kDefaultPageSeconds;
    QComboBox *boardKindCombo_ = nullptr;
    QSpinBox *pageSecondsSpin_ = nullptr;
    std::array<int, lcd::kNameForms> formBeats_ = lcd::Beats{}.formBeats;
    std::array<QSpinBox *, lcd::kNameForms> formBeatsSpins_{};
    QListWidget *list1_ = nullptr;
    QPlainTextEdit *comment_ = nullptr;
};

} // namespace q47
