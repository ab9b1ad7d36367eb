#pragma once

#include "error.h"
#include "settingsstore.h"

#include <QByteArray>
#include <QString>
#include <QVariant>

#include <array>
#include <functional>
#include <optional>
#include <span>

namespace q47 {

// A text field of the state file. It keeps the CP932 bytes it was read from, so that a text
// that comes back unchanged is written exactly as it was read, odd byte sequences included.
class StateText {
public:
    // The longest text the file's 16-bit byte count can describe.
    static constexpr qsizetype kMaxBytes = 0xFFFF;

    StateText() = default;
    explicit StateText(const QString &text) { setText(text); }

    // A text as the file holds it; more than kMaxBytes bytes are cut like setText() cuts.
    static StateText fromBytes(QByteArrayView bytes);

    const QString &text() const { return text_; }
    // What the file gets.
    const QByteArray &bytes() const { return bytes_; }

    // Keeps the bytes when `text` equals the current text; otherwise encodes it to CP932 ("?"
    // for what CP932 cannot hold), cut to kMaxBytes at a character boundary.
    void setText(const QString &text);

    bool operator==(const StateText &) const = default;

private:
    QString text_;
    QByteArray bytes_;
};

// One field of the option items (1 to 6): the setting it mirrors, its kind and its place. The
// catalogue is in the file's order, so a field's position is its setting's slot.
struct OptionField {
    int slot;
    SettingKind kind;
    int item;  // 1 to 6
    int field; // 1-based within the item
};

inline constexpr int kOptionItemCount = 6;
inline constexpr qsizetype kOptionFieldCount = kSettingCount;

// The option items' fields in file order.
std::span<const OptionField> optionLayout();
// One past the last field of `item` (1 to 6) in optionLayout(); a caller that must act right
// after an item (or a given field) compares its loop position with this.
qsizetype optionItemEnd(int item);

// The value of one option field. Texts use `text`; the other kinds use `number`: Flag, Choice
// and Index hold the file's 16-bit value sign-extended, Colour the 0x00BBGGRR bits.
struct OptionValue {
    StateText text;
    qint32 number = 0;

    // In the form SettingsStore::value() and setValue() use for `kind`.
    QVariant toVariant(SettingKind kind) const;
    void setVariant(SettingKind kind, const QVariant &value);

    bool operator==(const OptionValue &) const = default;
};

// Item 7: the control panel.
struct ControlPanelState {
    qint16 paneIndex = 0;      // which of the two panes was last double-clicked
    qint32 scrollSpeed = 0;    // HScroll1(0), sign-extended
    qint32 scrollInterval = 0; // HScroll1(1), sign-extended
    qint16 lateNightFare = 0;  // Check2
    qint16 previewOpen = 0;    // Check4
    qint32 leftTwips = 0;
    qint32 topTwips = 0;

    bool operator==(const ControlPanelState &) const = default;
};

// Item 8: the fare display window.
struct MainWindowPosition {
    qint32 leftTwips = 0;
    qint32 topTwips = 0;

    bool operator==(const MainWindowPosition &) const = default;
};

// Item 9: the colour dialog's custom colours, 0x00BBGGRR.
inline constexpr int kCustomColorCount = 17;
using CustomColors = std::array<quint32, kCustomColorCount>;

// Item 11: one fare cell's digit settings. Item 10, the entry count, is not kept: it is
// always written as 50 and ignored when read.
inline constexpr int kCellCount = 50;
struct CellDigitSettings {
    qint16 Shift = 0;
    qint16 ZeroMode = 0;
    qint16 FillZero = 0;

    bool operator==(const CellDigitSettings &) const = default;
};

// Everything the state file holds.
struct StateRecords {
    std::array<OptionValue, kOptionFieldCount> options{}; // items 1 to 6, as optionLayout()

    // The recorded value of one option.
    template <SettingKind K> const OptionValue &option(SettingId<K> s) const {
        return options[s.slot];
    }
    ControlPanelState controlPanel;
    MainWindowPosition mainWindow;
    CustomColors customColors{};
    std::array<CellDigitSettings, kCellCount> cells{};

    bool operator==(const StateRecords &) const = default;
};

// Copies the option settings into records.options, keeping the bytes of unchanged texts.
void copyOptionsFromStore(const SettingsStore &store, StateRecords &records);

// Writes records.options into the store in file order, calling `afterField` (when given) with
// each field's position in optionLayout() once it is written. Stops at the first value the
// store refuses (a list index outside its list, a flag other than 0 or 1) and returns that
// value (InvalidValue); the fields before it stay written.
Result<> copyOptionsToStore(const StateRecords &records, SettingsStore &store,
                            const std::function<void(qsizetype field)> &afterField = {});

} // namespace q47
