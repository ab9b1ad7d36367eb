#include "staterecords.h"

#include "cp932.h"

#include <QStringView>

#include <vector>

namespace q47 {

namespace {

struct FieldRow {
    const char16_t *name;
    int index;
    SettingKind kind;
    int item;
};

constexpr int none = SettingKey::NoIndex;
using K = SettingKind;

// The option items in file order. The order is not the dialog's page order: it is what the
// file has always held, and the file is read without any marker.
constexpr FieldRow kFields[] = {
    // 1 DataFolders
    {u"Text2", 0, K::Text, 1},
    {u"Text2", 1, K::Text, 1},
    // 2 PanelSettings
    {u"Check1", none, K::Flag, 2},
    {u"Command5", 0, K::Colour, 2},
    {u"Command5", 1, K::Colour, 2},
    {u"Command5", 2, K::Colour, 2},
    {u"Combo2", none, K::Index, 2},
    {u"Check2", none, K::Flag, 2},
    {u"Option3", 0, K::Choice, 2},
    {u"Option3", 1, K::Choice, 2},
    {u"Option3", 7, K::Choice, 2},
    {u"Option3", 6, K::Choice, 2},
    {u"Option3", 3, K::Choice, 2},
    {u"Option3", 2, K::Choice, 2},
    {u"Option3", 4, K::Choice, 2},
    {u"Option3", 5, K::Choice, 2},
    {u"txtSelectPanel", 0, K::Text, 2},
    {u"txtSelectPanel", 1, K::Text, 2},
    {u"txtSelectPanel", 2, K::Text, 2},
    // 3 DigitColors
    {u"Command8", 0, K::Colour, 3},
    {u"Command8", 1, K::Colour, 3},
    {u"Command8", 2, K::Colour, 3},
    {u"Check3", 0, K::Flag, 3},
    {u"Combo4", 0, K::Index, 3},
    {u"Check3", 4, K::Flag, 3},
    {u"Check3", 1, K::Flag, 3},
    {u"Combo4", 1, K::Index, 3},
    {u"Check3", 2, K::Flag, 3},
    {u"Combo4", 2, K::Index, 3},
    {u"Check3", 3, K::Flag, 3},
    {u"Combo4", 4, K::Index, 3},
    {u"Combo4", 3, K::Index, 3},
    // 4 PlaceNameSettings
    {u"Command9", 0, K::Colour, 4},
    {u"Command9", 1, K::Colour, 4},
    {u"Combo3", none, K::Index, 4},
    {u"Check4", none, K::Flag, 4},
    // 5 SoundSettings
    {u"txtSelectSound", 0, K::Text, 5},
    {u"txtSelectSound", 1, K::Text, 5},
    {u"Option2", 0, K::Choice, 5},
    {u"Option2", 1, K::Choice, 5},
    {u"Option6", 0, K::Choice, 5},
    {u"Option6", 1, K::Choice, 5},
    {u"txtSelectSound", 7, K::Text, 5},
    {u"Combo1", none, K::Index, 5},
    {u"txtSelectSound", 8, K::Text, 5},
    {u"txtSelectSound", 9, K::Text, 5},
    {u"txtSelectSound", 10, K::Text, 5},
    {u"Option2", 2, K::Choice, 5},
    {u"Option2", 3, K::Choice, 5},
    {u"Option7", 0, K::Choice, 5},
    {u"Option7", 1, K::Choice, 5},
    {u"txtSelectSound", 3, K::Text, 5},
    {u"txtSelectSound", 4, K::Text, 5},
    {u"txtSelectSound", 5, K::Text, 5},
    {u"txtSelectSound", 6, K::Text, 5},
    // 6 TicketPreviewSettings
    {u"chkUseSeiriPrev", none, K::Flag, 6},
    {u"txtSeiriPlgDir", none, K::Text, 6},
    {u"Option4", 0, K::Choice, 6},
    {u"Option4", 1, K::Choice, 6},
    {u"Option4", 2, K::Choice, 6},
    {u"Label10", none, K::Text, 6},
};
static_assert(std::size(kFields) == kOptionFieldCount);

const std::vector<OptionField> &fields() {
    static const std::vector<OptionField> all = [] {
        std::vector<OptionField> out;
        out.reserve(std::size(kFields));
        int field = 0;
        for (const FieldRow &s : kFields) {
            field = !out.empty() && out.back().item == s.item ? field + 1 : 1;
            out.push_back(
                {SettingKey{QStringView(s.name).toString(), s.index}, s.kind, s.item, field});
        }
        return out;
    }();
    return all;
}

bool isLeadByte(char c) {
    const auto b = static_cast<unsigned char>(c);
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// The byte count is 16 bits, so a longer text would make the count wrap and every later field
// be read from the wrong place. It is cut instead, after the last whole character that fits.
QByteArray cutToLimit(QByteArray bytes) {
    if (bytes.size() <= StateText::kMaxBytes)
        return bytes;
    qsizetype end = 0;
    while (end < bytes.size()) {
        const qsizetype width = isLeadByte(bytes[end]) ? 2 : 1;
        if (end + width > StateText::kMaxBytes)
            break;
        end += width;
    }
    bytes.truncate(end);
    return bytes;
}

} // namespace

StateText StateText::fromBytes(QByteArrayView bytes) {
    StateText t;
    t.bytes_ = cutToLimit(bytes.toByteArray());
    t.text_ = fromCp932(t.bytes_);
    return t;
}

void StateText::setText(const QString &text) {
    if (text == text_)
        return;
    text_ = text;
    bytes_ = cutToLimit(toCp932(text));
}

std::span<const OptionField> optionLayout() {
    return fields();
}

qsizetype optionItemEnd(int item) {
    const std::vector<OptionField> &all = fields();
    qsizetype end = 0;
    while (end < qsizetype(all.size()) && all[size_t(end)].item <= item)
        ++end;
    return end;
}

qsizetype optionFieldIndex(const SettingKey &key) {
    const std::vector<OptionField> &all = fields();
    for (size_t k = 0; k < all.size(); ++k) {
        if (all[k].key == key)
            return qsizetype(k);
    }
    return -1;
}

QVariant OptionValue::toVariant(SettingKind kind) const {
    switch (kind) {
    case SettingKind::Text:
        return text.text();
    case SettingKind::Colour:
        return static_cast<quint32>(number);
    case SettingKind::Flag:
    case SettingKind::Choice:
    case SettingKind::Index:
        break;
    }
    return int{number};
}

void OptionValue::setVariant(SettingKind kind, const QVariant &value) {
    switch (kind) {
    case SettingKind::Text:
        text.setText(value.toString());
        return;
    case SettingKind::Colour:
        number = static_cast<qint32>(value.toUInt());
        return;
    case SettingKind::Flag:
    case SettingKind::Choice:
    case SettingKind::Index:
        number = value.toInt();
        return;
    }
}

void copyOptionsFromStore(const SettingsStore &store, StateRecords &records) {
    const std::vector<OptionField> &all = fields();
    for (size_t k = 0; k < all.size(); ++k)
        records.options[k].setVariant(all[k].kind, store.value(all[k].key));
}

std::optional<StateError>
copyOptionsToStore(const StateRecords &records, SettingsStore &store,
                   const std::function<void(qsizetype field)> &afterField) {
    const std::vector<OptionField> &all = fields();
    for (size_t k = 0; k < all.size(); ++k) {
        const OptionField &f = all[k];
        const QVariant value = records.options[k].toVariant(f.kind);
        if (!store.setValue(f.key, value)) {
            return StateError{state_error::InvalidValue,
                              QStringLiteral("プロパティの値が不正です（%1 = %2）")
                                  .arg(f.key.toString(), value.toString())};
        }
        if (afterField)
            afterField(qsizetype(k));
    }
    return std::nullopt;
}

} // namespace q47
