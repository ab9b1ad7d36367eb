#include "settingsstore.h"

namespace q47 {

QString controlName(int slot) {
    const SettingRow &row = kSettingCatalogue[static_cast<size_t>(slot)];
    const QString name = QString::fromLatin1(row.control);
    return row.index < 0 ? name : QStringLiteral("%1(%2)").arg(name).arg(row.index);
}

SettingsStore::SettingsStore(QDate today, QObject *parent) : QObject(parent) {
    for (size_t slot = 0; slot < kSettingCatalogue.size(); ++slot) {
        const SettingRow &row = kSettingCatalogue[slot];
        switch (row.kind) {
        case SettingKind::Text:
            start_[slot] =
                row.start == kStartToday ? today.toString(QStringLiteral("yyyy/MM/dd")) : QString();
            break;
        case SettingKind::Colour:
            start_[slot] = static_cast<quint32>(row.start);
            break;
        default:
            start_[slot] = static_cast<int>(row.start);
            break;
        }
    }
    values_ = start_;
}

void SettingsStore::assign(int slot, const QVariant &value) {
    QVariant &held = values_[static_cast<size_t>(slot)];
    if (held == value)
        return;
    held = value;
    Q_EMIT changed(slot);
}

bool SettingsStore::setFlag(FlagSetting s, int value) {
    if (value != 0 && value != 1)
        return false;
    assign(s.slot, value);
    return true;
}

void SettingsStore::setChoice(ChoiceSetting s, int value) {
    if (value == 0 || isSelected(s))
        return;
    const int group = catalogueRow(s).group;
    for (size_t slot = 0; slot < kSettingCatalogue.size(); ++slot) {
        const SettingRow &row = kSettingCatalogue[slot];
        if (row.kind == SettingKind::Choice && row.group == group && slot != s.slot)
            assign(static_cast<int>(slot), 0);
    }
    assign(s.slot, -1);
}

bool SettingsStore::setListIndex(IndexSetting s, int value) {
    if (value < -1 || value >= catalogueRow(s).listSize)
        return false;
    assign(s.slot, value);
    return true;
}

QVariant SettingsStore::value(int slot) const {
    if (slot < 0 || slot >= kSettingCount)
        return {};
    return values_[static_cast<size_t>(slot)];
}

bool SettingsStore::setValue(int slot, const QVariant &value) {
    if (slot < 0 || slot >= kSettingCount)
        return false;
    const auto id = static_cast<std::uint8_t>(slot);
    bool ok = true;
    switch (kSettingCatalogue[static_cast<size_t>(slot)].kind) {
    case SettingKind::Text:
        if (value.typeId() != QMetaType::QString)
            return false;
        setText(TextSetting{id}, value.toString());
        return true;
    case SettingKind::Flag: {
        const int v = value.toInt(&ok);
        return ok && setFlag(FlagSetting{id}, v);
    }
    case SettingKind::Choice: {
        const int v = value.toInt(&ok);
        if (ok)
            setChoice(ChoiceSetting{id}, v);
        return ok;
    }
    case SettingKind::Index: {
        const int v = value.toInt(&ok);
        return ok && setListIndex(IndexSetting{id}, v);
    }
    case SettingKind::Colour: {
        const quint32 v = value.toUInt(&ok);
        if (ok)
            setColour(ColourSetting{id}, v);
        return ok;
    }
    }
    return false;
}

void SettingsStore::restoreStartValues() {
    // Deselections first, so that no group is seen with two selected buttons in between.
    for (size_t slot = 0; slot < kSettingCatalogue.size(); ++slot) {
        if (kSettingCatalogue[slot].kind == SettingKind::Choice && start_[slot].toInt() == 0)
            assign(static_cast<int>(slot), 0);
    }
    for (size_t slot = 0; slot < kSettingCatalogue.size(); ++slot)
        assign(static_cast<int>(slot), start_[slot]);
}

} // namespace q47
