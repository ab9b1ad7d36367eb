#pragma once

#include "settingcatalogue.h"

#include <QDate>
#include <QObject>
#include <QString>
#include <QVariant>

#include <array>

namespace q47 {

// Every option of the application, one value per row of the catalogue. Readers ask for a value
// when they need it, so a change is seen at the next read; changed() keeps windows that show
// values in step.
class SettingsStore : public QObject {
    Q_OBJECT
public:
    // `today` becomes the fixed ticket date; a parameter so that tests need not race midnight.
    explicit SettingsStore(QDate today = QDate::currentDate(), QObject *parent = nullptr);

    QString text(TextSetting s) const { return values_[s.slot].toString(); }
    int flag(FlagSetting s) const { return values_[s.slot].toInt(); }
    // -1 when the button is the selected one of its group, else 0.
    int choice(ChoiceSetting s) const { return values_[s.slot].toInt(); }
    bool isSelected(ChoiceSetting s) const { return choice(s) != 0; }
    int listIndex(IndexSetting s) const { return values_[s.slot].toInt(); }
    quint32 colour(ColourSetting s) const { return values_[s.slot].toUInt(); }

    // Writes. Each returns false, changing nothing, when the value is out of range (a flag other
    // than 0 or 1, a list index outside -1 .. listSize-1), the way the dialog's controls refuse
    // such values.
    void setText(TextSetting s, const QString &value) { assign(s.slot, value); }
    bool setFlag(FlagSetting s, int value);
    // Any non-zero value selects the button and deselects the rest of its group. Writing 0 to
    // the selected button is ignored, so a group never ends up empty.
    void setChoice(ChoiceSetting s, int value);
    void select(ChoiceSetting s) { setChoice(s, -1); }
    bool setListIndex(IndexSetting s, int value);
    void setColour(ColourSetting s, quint32 value) { assign(s.slot, value); }

    // Kind-neutral access by catalogue slot, for code that walks the catalogue (the state
    // file): QString for Text, int for Flag, Choice and Index, quint32 for Colour.
    QVariant value(int slot) const;
    bool setValue(int slot, const QVariant &value);

    // Puts every setting back to its start value.
    void restoreStartValues();

Q_SIGNALS:
    // One emission per setting whose value actually changed, with its catalogue slot. Selecting
    // a button reports the button that lost the selection first, then the one that gained it.
    void changed(int slot);

private:
    void assign(int slot, const QVariant &value);

    std::array<QVariant, kSettingCount> start_;
    std::array<QVariant, kSettingCount> values_;
};

} // namespace q47
