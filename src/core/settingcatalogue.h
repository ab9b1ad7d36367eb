#pragma once

#include <QString>

#include <array>
#include <cstdint>

namespace q47 {

// What a setting holds, after the control that edits it in the options dialog.
enum class SettingKind : std::uint8_t {
    Text,   // a path or caption; empty means none
    Flag,   // check box: 0 unticked, 1 ticked
    Choice, // option button: -1 selected, 0 not; exactly one per group is selected
    Index,  // drop-down list position, -1 nothing selected
    Colour, // 0x00BBGGRR
};

// A setting's place in the catalogue, of one kind: code names settings by the constants in
// `setting` below, so that a setting that does not exist, or is read as another kind, does not
// compile.
template <SettingKind K> struct SettingId {
    std::uint8_t slot;
    static constexpr SettingKind kind = K;
    constexpr bool operator==(const SettingId &) const = default;
};
using TextSetting = SettingId<SettingKind::Text>;
using FlagSetting = SettingId<SettingKind::Flag>;
using ChoiceSetting = SettingId<SettingKind::Choice>;
using IndexSetting = SettingId<SettingKind::Index>;
using ColourSetting = SettingId<SettingKind::Colour>;

// The catalogue: one row per setting, in the state file's order (items 1 to 6). The columns
// are the name code uses, the kind, the options dialog's control and index (its objectName,
// and the name the state file's description gives), the start value (a number; for texts 0 is
// empty and kStartToday the day the store is made), the list size of an index, the group of a
// choice, the options page and the state file's item.
#define Q47_SETTINGS(X)                                                                            \
    X(DataFolder, Text, "Text2", 0, 0, 0, 0, 0, 1)                                                 \
    X(SoundFolder, Text, "Text2", 1, 0, 0, 0, 0, 1)                                                \
    X(ShowLabels, Flag, "Check1", -1, 0, 0, 0, 1, 2)                                               \
    X(LabelColourOff, Colour, "Command5", 0, 0xFFFFFF, 0, 0, 1, 2)                                 \
    X(LabelColourOn1, Colour, "Command5", 1, 0xFFFFFF, 0, 0, 1, 2)                                 \
    X(LabelColourOn2, Colour, "Command5", 2, 0xFFFFFF, 0, 0, 1, 2)                                 \
    X(LabelStyle, Index, "Combo2", -1, 0, 12, 0, 1, 2)                                             \
    X(ZeroPadLabels, Flag, "Check2", -1, 0, 0, 0, 1, 2)                                            \
    X(PanelsAutomatic, Choice, "Option3", 0, -1, 0, 1, 1, 2)                                       \
    X(PanelsOneByOne, Choice, "Option3", 1, 0, 0, 1, 1, 2)                                         \
    X(OffPanelBuiltIn, Choice, "Option3", 7, -1, 0, 2, 1, 2)                                       \
    X(OffPanelUser, Choice, "Option3", 6, 0, 0, 2, 1, 2)                                           \
    X(On1PanelBuiltIn, Choice, "Option3", 3, -1, 0, 3, 1, 2)                                       \
    X(On1PanelUser, Choice, "Option3", 2, 0, 0, 3, 1, 2)                                           \
    X(On2PanelBuiltIn, Choice, "Option3", 4, -1, 0, 4, 1, 2)                                       \
    X(On2PanelUser, Choice, "Option3", 5, 0, 0, 4, 1, 2)                                           \
    X(OffPanelFile, Text, "txtSelectPanel", 0, 0, 0, 0, 1, 2)                                      \
    X(On1PanelFile, Text, "txtSelectPanel", 1, 0, 0, 0, 1, 2)                                      \
    X(On2PanelFile, Text, "txtSelectPanel", 2, 0, 0, 0, 1, 2)                                      \
    X(DigitBack, Colour, "Command8", 0, 0x808080, 0, 0, 2, 3)                                      \
    X(DigitUnlit, Colour, "Command8", 1, 0x969696, 0, 0, 2, 3)                                     \
    X(DigitLit, Colour, "Command8", 2, 0x72D2F8, 0, 0, 2, 3)                                       \
    X(ShowStopOrder, Flag, "Check3", 0, 0, 0, 0, 2, 3)                                             \
    X(StopOrderCell, Index, "Combo4", 0, 0, 50, 0, 2, 3)                                           \
    X(StopOrderFromZero, Flag, "Check3", 4, 0, 0, 0, 2, 3)                                         \
    X(ShowTicketNumber, Flag, "Check3", 1, 0, 0, 0, 2, 3)                                          \
    X(TicketNumberCell, Index, "Combo4", 1, 0, 50, 0, 2, 3)                                        \
    X(ShowRouteNumber, Flag, "Check3", 2, 0, 0, 0, 2, 3)                                           \
    X(RouteNumberCell, Index, "Combo4", 2, 0, 50, 0, 2, 3)                                         \
    X(ShowDataColumn, Flag, "Check3", 3, 0, 0, 0, 2, 3)                                            \
    X(InfoDataColumn, Index, "Combo4", 4, 0, 150, 0, 2, 3)                                         \
    X(DataColumnCell, Index, "Combo4", 3, 0, 50, 0, 2, 3)                                          \
    X(NameBack, Colour, "Command9", 0, 0x808080, 0, 0, 3, 4)                                       \
    X(NameDots, Colour, "Command9", 1, 0x00FFFF, 0, 0, 3, 4)                                       \
    X(NameFont, Index, "Combo3", -1, -1, 5, 0, 3, 4)                                               \
    X(NameBold, Flag, "Check4", -1, 0, 0, 0, 3, 4)                                                 \
    X(RouteSound, Text, "txtSelectSound", 0, 0, 0, 0, 4, 5)                                        \
    X(ResetSound, Text, "txtSelectSound", 1, 0, 0, 0, 4, 5)                                        \
    X(StepSoundFixed, Choice, "Option2", 0, -1, 0, 5, 4, 5)                                        \
    X(StepSoundByColumn, Choice, "Option2", 1, 0, 0, 5, 4, 5)                                      \
    X(StepSoundWaited, Choice, "Option6", 0, 0, 0, 6, 4, 5)                                        \
    X(StepSoundAlongside, Choice, "Option6", 1, -1, 0, 6, 4, 5)                                    \
    X(StepSoundFile, Text, "txtSelectSound", 7, 0, 0, 0, 4, 5)                                     \
    X(StepSoundColumn, Index, "Combo1", -1, 0, 150, 0, 4, 5)                                       \
    X(StepSound1, Text, "txtSelectSound", 8, 0, 0, 0, 4, 5)                                        \
    X(StepSound2, Text, "txtSelectSound", 9, 0, 0, 0, 4, 5)                                        \
    X(StepSound3, Text, "txtSelectSound", 10, 0, 0, 0, 4, 5)                                       \
    X(PreSoundFixed, Choice, "Option2", 2, -1, 0, 7, 4, 5)                                         \
    X(PreSoundByFlag, Choice, "Option2", 3, 0, 0, 7, 4, 5)                                         \
    X(PreSoundWaited, Choice, "Option7", 0, -1, 0, 8, 4, 5)                                        \
    X(PreSoundAlongside, Choice, "Option7", 1, 0, 0, 8, 4, 5)                                      \
    X(PreSoundFile, Text, "txtSelectSound", 3, 0, 0, 0, 4, 5)                                      \
    X(PreSound1, Text, "txtSelectSound", 4, 0, 0, 0, 4, 5)                                         \
    X(PreSound2, Text, "txtSelectSound", 5, 0, 0, 0, 4, 5)                                         \
    X(PreSound3, Text, "txtSelectSound", 6, 0, 0, 0, 4, 5)                                         \
    X(UsePreview, Flag, "chkUseSeiriPrev", -1, 0, 0, 0, 5, 6)                                      \
    X(PluginFile, Text, "txtSeiriPlgDir", -1, 0, 0, 0, 5, 6)                                       \
    X(DateAtEachPrint, Choice, "Option4", 0, -1, 0, 9, 5, 6)                                       \
    X(DateAtRouteSetting, Choice, "Option4", 1, 0, 0, 9, 5, 6)                                     \
    X(DateFixed, Choice, "Option4", 2, 0, 0, 9, 5, 6)                                              \
    X(FixedDate, Text, "Label10", -1, kStartToday, 0, 0, 5, 6)

// A text's start value that is the day the store is made, as "yyyy/MM/dd".
inline constexpr int kStartToday = 1;

namespace setting_slot {
enum : std::uint8_t {
#define Q47_SETTING_SLOT(name, kind, control, index, start, size, group, page, item) name,
    Q47_SETTINGS(Q47_SETTING_SLOT)
#undef Q47_SETTING_SLOT
        Count
};
} // namespace setting_slot

// The settings by name: setting::DataFolder, setting::LabelColourOn1, ...
namespace setting {
#define Q47_SETTING_ID(name, kind, control, index, start, size, group, page, item)                 \
    inline constexpr SettingId<SettingKind::kind> name{setting_slot::name};
Q47_SETTINGS(Q47_SETTING_ID)
#undef Q47_SETTING_ID

// Families the code walks by number.
inline constexpr std::array<ColourSetting, 3> LabelColours{LabelColourOff, LabelColourOn1,
                                                           LabelColourOn2};
inline constexpr std::array<TextSetting, 3> PanelFiles{OffPanelFile, On1PanelFile, On2PanelFile};
inline constexpr std::array<ChoiceSetting, 3> UserPanels{OffPanelUser, On1PanelUser, On2PanelUser};
inline constexpr std::array<TextSetting, 2> Folders{DataFolder, SoundFolder};
// The step sounds for data column codes 1 to 3, and the pre-announcement sounds for flags 1 to 3.
inline constexpr std::array<TextSetting, 3> StepSounds{StepSound1, StepSound2, StepSound3};
inline constexpr std::array<TextSetting, 3> PreSounds{PreSound1, PreSound2, PreSound3};
} // namespace setting

inline constexpr int kSettingCount = setting_slot::Count;

struct SettingRow {
    const char *name; // as code names it
    SettingKind kind;
    const char *control; // the options dialog's control
    int index;           // its index in the control array, -1 for none
    long long start;
    int listSize; // Index only
    int group;    // Choice only: buttons of one group share it
    int page;     // of the options dialog, 0 to 5
    int item;     // of the state file, 1 to 6
};

inline constexpr std::array<SettingRow, kSettingCount> kSettingCatalogue = {{
#define Q47_SETTING_ROW(name, kind, control, index, start, size, group, page, item)                \
    {#name, SettingKind::kind, control, index, start, size, group, page, item},
    Q47_SETTINGS(Q47_SETTING_ROW)
#undef Q47_SETTING_ROW
}};

template <SettingKind K> constexpr const SettingRow &catalogueRow(SettingId<K> id) {
    return kSettingCatalogue[id.slot];
}

// The control's name as the options dialog's objectName: "Text2(0)", "Combo3".
QString controlName(int slot);
template <SettingKind K> QString controlName(SettingId<K> id) {
    return controlName(id.slot);
}

} // namespace q47
