#pragma once

#include <QDate>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringView>
#include <QVariant>

#include <optional>
#include <vector>

namespace q47 {

// What a setting holds, after the control that edits it in the options dialog.
enum class SettingKind {
    Text,   // a path or caption; empty means none
    Flag,   // check box: 0 unticked, 1 ticked
    Choice, // option button: -1 selected, 0 not; exactly one per group is selected
    Index,  // drop-down list position, -1 nothing selected
    Colour, // 0x00BBGGRR
};

// A control name with its array index; controls that are not arrays have no index.
struct SettingKey {
    static constexpr int NoIndex = -1;

    QString name;
    int index = NoIndex;

    bool operator==(const SettingKey &) const = default;

    // "Text2(0)" or "Combo3".
    QString toString() const;
    // Reads the form toString() writes; nullopt for anything else.
    static std::optional<SettingKey> parse(QStringView text);
};

// Every option of the application, addressed by the options dialog's control names. Readers
// ask for a value when they need it, so a change is seen at the next read; changed() keeps
// windows that show values in step.
class SettingsStore : public QObject {
    Q_OBJECT
public:
    // `today` becomes the fixed ticket date; a parameter so that tests need not race midnight.
    explicit SettingsStore(QDate today = QDate::currentDate(), QObject *parent = nullptr);

    // Every setting, in the order of the options dialog's pages.
    QList<SettingKey> keys() const;
    bool contains(const QString &name, int index = SettingKey::NoIndex) const;
    std::optional<SettingKind> kind(const QString &name, int index = SettingKey::NoIndex) const;

    // Typed reads. A key that does not exist, or holds another kind, reads as empty or 0 and
    // logs a warning: that is a programming error, not a user's.
    QString text(const QString &name, int index = SettingKey::NoIndex) const;
    int flag(const QString &name, int index = SettingKey::NoIndex) const;
    int choice(const QString &name, int index = SettingKey::NoIndex) const;
    int listIndex(const QString &name, int index = SettingKey::NoIndex) const;
    quint32 colour(const QString &name, int index = SettingKey::NoIndex) const;

    // The index of the selected button in the group that button `index` of `name` belongs to;
    // -1 when `name`/`index` is not a choice.
    int selectedInGroup(const QString &name, int index) const;
    // The buttons sharing a group with `key`, in the order the group lists them.
    QList<SettingKey> group(const SettingKey &key) const;
    // Items in the drop-down list behind an Index setting; 0 for other kinds.
    int listSize(const QString &name, int index = SettingKey::NoIndex) const;

    // Typed writes. Each returns false, changing nothing, when the key does not exist, holds
    // another kind or the value is out of range (a flag other than 0 or 1, a list index
    // outside -1 .. listSize-1), the way the dialog's controls refuse such values.
    bool setText(const QString &name, int index, const QString &value);
    bool setText(const QString &name, const QString &value) {
        return setText(name, SettingKey::NoIndex, value);
    }
    bool setFlag(const QString &name, int index, int value);
    bool setFlag(const QString &name, int value) {
        return setFlag(name, SettingKey::NoIndex, value);
    }
    // Any non-zero value selects the button and deselects the rest of its group. Writing 0 to
    // the selected button is ignored (and returns true), so a group never ends up empty.
    bool setChoice(const QString &name, int index, int value);
    bool select(const QString &name, int index) { return setChoice(name, index, -1); }
    bool setListIndex(const QString &name, int index, int value);
    bool setListIndex(const QString &name, int value) {
        return setListIndex(name, SettingKey::NoIndex, value);
    }
    bool setColour(const QString &name, int index, quint32 value);

    // Kind-neutral access for code that walks the keys (the state file): QString for Text,
    // int for Flag, Choice and Index, quint32 for Colour; an invalid QVariant for unknown keys.
    QVariant value(const SettingKey &key) const;
    bool setValue(const SettingKey &key, const QVariant &value);

    // Puts every setting back to its start value.
    void restoreStartValues();

Q_SIGNALS:
    // One emission per setting whose value actually changed. Selecting a button reports the
    // button that lost the selection first, then the one that gained it.
    void changed(const QString &name, int index);

private:
    struct Setting {
        SettingKey key;
        SettingKind kind;
        QVariant start;
        QVariant value;
        int listSize = 0; // Index only
        int group = -1;   // Choice only
    };

    const Setting *find(const QString &name, int index) const;
    Setting *find(const QString &name, int index);
    const Setting *findOfKind(const QString &name, int index, SettingKind kind,
                              const char *reader) const;
    void add(const QString &name, int index, SettingKind kind, const QVariant &start,
             int listSize = 0);
    void addGroup(const QString &name, std::initializer_list<int> indices, int selected);
    void assign(Setting &s, const QVariant &value);

    std::vector<Setting> settings_;
    int groups_ = 0;
};

} // namespace q47
