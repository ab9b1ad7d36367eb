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

class QButtonGroup;
class QScrollArea;
class QStackedWidget;

namespace q47 {

namespace gtfs {
class GtfsImportDialog;
}
class BoardModel;
class DataPage;
class DigitPage;
class SegmentCell;
class OptionBindings;
class OptionStates;
class PanelPage;
class PreviewPage;
class SoundPage;
class PanelHost;
class PanelState;

// The options dialog "オプション". The settings store holds every value; the dialog's controls
// are views of it that write through at once, so every reader sees a change without "OK".
// Its pages, a class each, are built on first showing: start-up pays only for the states object
// that keeps the governed controls in step with the store meanwhile. It puts the options' look on
// the board's model and offers an imported route on the panel's state; what the control panel's
// window must do, it tells by its signals.
class OptionsDialog : public QDialog {
    Q_OBJECT
public:
    OptionsDialog(SettingsStore &store, BoardModel &board, PanelState &panel,
                  QWidget *parent = nullptr);
    ~OptionsDialog() override;

    // Where the operator is told of a failure; message boxes of the dialog's own without one.
    void setReporter(PanelHost *reporter) { reporter_ = reporter; }
    // Opens a data folder in the desktop's file manager; QDesktopServices by default.
    void setFolderOpener(std::function<bool(const QUrl &)> opener) {
        openFolder_ = std::move(opener);
    }

    // Builds the pages; runs once, before the dialog first shows.
    void buildPages();
    bool pagesBuilt() const { return loaded_; }

    // Applies the look options to the board, then asks for the panel's backlight again.
    void applyLook();
    // "OK": applies and hides.
    void applyAndClose();

    // Copies the options to and from the state file's records. The restore goes through the
    // same click behaviour as the operator's changes, re-applies the panel's backlight once the
    // panel pictures are in, and describes the restored ticket plug-in; it stops at the first
    // value a control refuses and returns why.
    void saveTo(StateRecords &records) const;
    Result<> restoreFrom(const StateRecords &records);

    // Describes the ticket plug-in at `path` on the preview page and tells the ticket's size and
    // companies for the panel's preview; when it is none, changes nothing and returns its faults.
    Expected<void, Errors> describePlugin(const QString &path);
    // Choosing and removing the ticket plug-in.
    void choosePlugin();
    void removePlugin();
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
    // The broker's topic the board is published to, as the user's settings keep it.
    void showPublishUrl(const QString &url);
    // How many page turns each form of the LCD board's stop name stays, 0 leaving it out.
    void showFormBeats(const std::array<int, lcd::kNameForms> &beats);

    const OptionStates &states() const { return *states_; }
    SettingsStore &store() { return store_; }

    // What the pages' buttons do: show page `page` or the sound page's sub-page; choose or open
    // data folder `folder` (0 data, 1 sound), choose the panel picture of row `row`, a sound, the
    // fixed date, a colour; a folder from a dialog starting at `startFolder`.
    void showPage(int page);
    void showSoundPage(int page);
    void chooseDataFolder(int folder);
    void openDataFolder(int folder);
    void choosePanelPicture(int row);
    void chooseSound(TextSetting sound);
    void chooseFixedDate();
    void chooseColour(ColourSetting button);
    QString pickFolder(const QString &startFolder = {});

    // Page and sub-page shown; widgets are built by then.
    QStackedWidget *pages() const { return pages_; }
    QStackedWidget *soundPages() const;
    SegmentCell *digitPreview() const;

Q_SIGNALS:
    // The options that choose the backlight's pictures and colours are to be shown: the panel
    // shows its backlight row again.
    void backlightOptionsApplied();
    // A ticket plug-in was described: the ticket's size in pixels and its companies (none when
    // it cannot switch them), added to the preview's list.
    void ticketDescribed(const QSize &size, const QStringList &companies);
    // Another plug-in is being chosen: the preview's companies go.
    void ticketCompaniesCleared();
    void boardChosen(lcd::BoardKind kind);
    void pageSecondsChosen(int seconds);
    void publishUrlChosen(const QString &url);
    void formBeatsChosen(const std::array<int, lcd::kNameForms> &beats);

protected:
    void setVisible(bool visible) override;
    void reject() override;

private:
    void settingChanged(int slot);
    void applyStates();
    void colourPreview();
    void connectPages();
    QString chooseFile(const QString &filters, const QString &title, const QString &current);
    // Where the operator is told: the reporter, or message boxes of the dialog's own.
    PanelHost &reporter();

    SettingsStore &store_;
    BoardModel &board_;
    PanelState &panel_;
    PanelHost *reporter_ = nullptr;
    std::unique_ptr<PanelHost> ownHost_;
    QString lastFileFolder_; // where the file choices start when nothing is chosen yet
    OptionStates *states_;
    OptionBindings *bindings_;
    std::function<bool(const QUrl &)> openFolder_;
    CustomColourTable customColours_{};
    QStringList pluginLines_;
    QString pluginComment_;
    lcd::BoardKind boardKind_ = lcd::BoardKind::Led;
    int pageSeconds_ = lcd::kDefaultPageSeconds;
    QString publishUrl_;
    std::array<int, lcd::kNameForms> formBeats_ = lcd::Beats{}.formBeats;
    bool loaded_ = false;

    QButtonGroup *pageButtons_ = nullptr;
    QStackedWidget *pages_ = nullptr;
    QScrollArea *scroll_ = nullptr;
    DataPage *dataPage_ = nullptr;
    PanelPage *panelPage_ = nullptr;
    DigitPage *digitPage_ = nullptr;
    SoundPage *soundPage_ = nullptr;
    PreviewPage *previewPage_ = nullptr;
};

} // namespace q47
