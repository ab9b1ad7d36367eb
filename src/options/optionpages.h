#pragma once

#include "lcdsettings.h"
#include "olecolor.h"
#include "optionpage.h"

#include <array>

class QButtonGroup;
class QComboBox;
class QListWidget;
class QPlainTextEdit;
class QSpinBox;
class QStackedWidget;

namespace q47 {

class SegmentCell;

// The options dialog's six pages, in the order of their buttons. Each builds its controls,
// shows the governed ones as the states have them, and tells the dialog by its signals what the
// operator asks of it beyond a setting's value.

// "運賃データと放送用データ": the data and sound folders, and the GTFS-JP import.
class DataPage : public OptionsPage {
    Q_OBJECT
public:
    explicit DataPage(OptionBindings &bindings, QWidget *parent = nullptr);

Q_SIGNALS:
    // "..." and "...をエクスプローラで開く" of folder 0 (data) or 1 (sound).
    void folderBrowseClicked(int folder);
    void folderOpenClicked(int folder);
    void gtfsImportClicked();
};

// "パネルと整理券番号表示": which board shows and how the LCD board turns its pages, the panel
// pictures and the ticket-number labels.
class PanelPage : public OptionsPage {
    Q_OBJECT
public:
    explicit PanelPage(OptionBindings &bindings, QWidget *parent = nullptr);

    void showBoardChoice(lcd::BoardKind kind, int pageSeconds);
    void showFormBeats(const std::array<int, lcd::kNameForms> &beats);
    void showPublishUrl(const QString &url);
    // The twelve numbering styles in the list, the store's chosen.
    void fillLabelStyles(int chosen);
    void applyStates(const OptionStates &states) override;

Q_SIGNALS:
    void boardKindChosen(lcd::BoardKind kind);
    void pageSecondsChosen(int seconds);
    void formBeatChosen(int form, int beats);
    // The broker's topic the board is published to, empty for none, as typed.
    void publishUrlChosen(const QString &url);
    // "..." of panel picture row 0 (OFF), 1 (ON1) or 2 (ON2).
    void panelFileBrowseClicked(int row);

private:
    QWidget *boardKindRow();

    QComboBox *boardKind_ = nullptr;
    QSpinBox *pageSeconds_ = nullptr;
    QLineEdit *publishUrl_ = nullptr;
    std::array<QSpinBox *, lcd::kNameForms> formBeats_{};
    std::array<QGroupBox *, 3> imageRows_{};
    QGroupBox *labelFrame_ = nullptr;
    QComboBox *labelStyles_ = nullptr;
};

// "デジタル部品と情報用数字": the digit colours with their preview, and the information digits.
class DigitPage : public OptionsPage {
    Q_OBJECT
public:
    explicit DigitPage(OptionBindings &bindings, QWidget *parent = nullptr);

    SegmentCell *preview() const { return preview_; }
    void showColours(OleColor back, OleColor unlit, OleColor lit);
    void applyStates(const OptionStates &states) override;

private:
    SegmentCell *preview_ = nullptr;
    std::array<QComboBox *, 5> cellLists_{};
    QWidget *fromZero_ = nullptr;
};

// "停名の設定": the place name's colours, face and weight.
class PlaceNamePage : public OptionsPage {
    Q_OBJECT
public:
    explicit PlaceNamePage(OptionBindings &bindings, QWidget *parent = nullptr);
};

// "サウンド": the route and reset sounds, and on two sub-pages the pre-announcement and the
// step sounds.
class SoundPage : public OptionsPage {
    Q_OBJECT
public:
    explicit SoundPage(OptionBindings &bindings, QWidget *parent = nullptr);

    QStackedWidget *subPages() const { return subPages_; }
    // Sub-page 0 (before announcements) or 1 (steps), its button pressed.
    void showSubPage(int index);

Q_SIGNALS:
    // The "..." of sound setting `slot`.
    void soundBrowseClicked(int slot);

private:
    QWidget *soundRow(TextSetting sound, const QString &caption, QWidget *parent);

    QButtonGroup *subPageButtons_ = nullptr;
    QStackedWidget *subPages_ = nullptr;
};

// "整理券プレビュー": whether the preview is used, the ticket plug-in and its description, and
// the ticket's date.
class PreviewPage : public OptionsPage {
    Q_OBJECT
public:
    explicit PreviewPage(OptionBindings &bindings, QWidget *parent = nullptr);

    void showPlugin(const QStringList &lines, const QString &comment);
    void applyStates(const OptionStates &states) override;

Q_SIGNALS:
    void pluginChooseClicked();
    void pluginRemoveClicked();
    void dateChooseClicked();

private:
    QGroupBox *plugin_ = nullptr;
    QGroupBox *date_ = nullptr;
    QListWidget *lines_ = nullptr;
    QPlainTextEdit *comment_ = nullptr;
};

} // namespace q47
