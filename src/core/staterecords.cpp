#include "staterecords.h"

#include "cp932.h"

#include <QStringView>

#include <vector>

namespace q47 {

namespace {

const std::vector<OptionField> &fields() {
    static const std::vector<OptionField> all = [] {
        std::vector<OptionField> out;
        out.reserve(kSettingCatalogue.size());
        int field = 0;
        for (size_t slot = 0; slot < kSettingCatalogue.size(); ++slot) {
            const SettingRow &row = kSettingCatalogue[slot];
            field = !out.empty() && out.back().item == row.item ? field + 1 : 1;
            out.push_back({static_cast<int>(slot), row.kind, row.item, field});
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
        records.options[k].setVariant(all[k].kind, store.value(all[k].slot));
}

Result<> copyOptionsToStore(const StateRecords &records, SettingsStore &store,
                            const std::function<void(qsizetype field)> &afterField) {
    const std::vector<OptionField> &all = fields();
    for (size_t k = 0; k < all.size(); ++k) {
        const OptionField &f = all[k];
        const QVariant value = records.options[k].toVariant(f.kind);
        if (!store.setValue(f.slot, value)) {
            return Error(Error::Kind::BadValue,
                         QStringLiteral("プロパティの値が不正です（%1 = %2）")
                             .arg(controlName(f.slot), value.toString()))
                .about(Error::Subject::StateFile)
                .numbered(ErrorNumber::InvalidValue);
        }
        if (afterField)
            afterField(qsizetype(k));
    }
    return {};
}

} // namespace q47
