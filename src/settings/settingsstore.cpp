#include "settingsstore.h"

#include <QDebug>

namespace q47 {

namespace {

constexpr int kFareCells = 50;
constexpr int kDataColumns = 150;
constexpr int kLabelStyles = 12;
constexpr int kPlaceNameFonts = 5;

constexpr quint32 kWhite = 0xFFFFFF;
constexpr quint32 kGrey = 0x808080;

bool isPlainName(QStringView name) {
    if (name.isEmpty() || !name.front().isLetter())
        return false;
    for (QChar c : name) {
        if (!c.isLetterOrNumber() && c != u'_')
            return false;
    }
    return true;
}

} // namespace

QString SettingKey::toString() const {
    if (index == NoIndex)
        return name;
    return QStringLiteral("%1(%2)").arg(name).arg(index);
}

std::optional<SettingKey> SettingKey::parse(QStringView text) {
    const qsizetype open = text.indexOf(u'(');
    if (open < 0) {
        if (!isPlainName(text))
            return std::nullopt;
        return SettingKey{text.toString(), NoIndex};
    }
    if (!text.endsWith(u')'))
        return std::nullopt;
    const QStringView name = text.first(open);
    const QStringView digits = text.sliced(open + 1, text.size() - open - 2);
    if (!isPlainName(name) || digits.isEmpty())
        return std::nullopt;
    for (QChar c : digits) {
        if (!c.isDigit() || c.unicode() > u'9')
            return std::nullopt;
    }
    bool ok = false;
    const int index = digits.toInt(&ok);
    if (!ok)
        return std::nullopt;
    return SettingKey{name.toString(), index};
}

SettingsStore::SettingsStore(QDate today, QObject *parent) : QObject(parent) {
    using K = SettingKind;
    const int none = SettingKey::NoIndex;

    // Page 0: folders.
    add(QStringLiteral("Text2"), 0, K::Text, QString());
    add(QStringLiteral("Text2"), 1, K::Text, QString());

    // Page 1: panel images and ticket-number labels.
    addGroup(QStringLiteral("Option3"), {0, 1}, 0); // automatic / one by one
    addGroup(QStringLiteral("Option3"), {7, 6}, 7); // OFF: built-in / user file
    addGroup(QStringLiteral("Option3"), {3, 2}, 3); // ON1
    addGroup(QStringLiteral("Option3"), {4, 5}, 4); // ON2
    for (int k = 0; k < 3; ++k)
        add(QStringLiteral("txtSelectPanel"), k, K::Text, QString());
    add(QStringLiteral("Check1"), none, K::Flag, 0);
    for (int k = 0; k < 3; ++k)
        add(QStringLiteral("Command5"), k, K::Colour, kWhite);
    add(QStringLiteral("Combo2"), none, K::Index, 0, kLabelStyles);
    add(QStringLiteral("Check2"), none, K::Flag, 0);

    // Page 2: digit colours and information digits.
    add(QStringLiteral("Command8"), 0, K::Colour, kGrey);
    add(QStringLiteral("Command8"), 1, K::Colour, quint32{0x969696});
    add(QStringLiteral("Command8"), 2, K::Colour, quint32{0x72D2F8});
    add(QStringLiteral("Check3"), 0, K::Flag, 0);
    add(QStringLiteral("Combo4"), 0, K::Index, 0, kFareCells);
    add(QStringLiteral("Check3"), 4, K::Flag, 0);
    add(QStringLiteral("Check3"), 1, K::Flag, 0);
    add(QStringLiteral("Combo4"), 1, K::Index, 0, kFareCells);
    add(QStringLiteral("Check3"), 2, K::Flag, 0);
    add(QStringLiteral("Combo4"), 2, K::Index, 0, kFareCells);
    add(QStringLiteral("Check3"), 3, K::Flag, 0);
    add(QStringLiteral("Combo4"), 4, K::Index, 0, kDataColumns);
    add(QStringLiteral("Combo4"), 3, K::Index, 0, kFareCells);

    // Page 3: place-name display. Combo3 is never filled with a selection at start.
    add(QStringLiteral("Command9"), 0, K::Colour, kGrey);
    add(QStringLiteral("Command9"), 1, K::Colour, quint32{0x00FFFF});
    add(QStringLiteral("Combo3"), none, K::Index, -1, kPlaceNameFonts);
    add(QStringLiteral("Check4"), none, K::Flag, 0);

    // Page 4: sounds.
    add(QStringLiteral("txtSelectSound"), 0, K::Text, QString());
    add(QStringLiteral("txtSelectSound"), 1, K::Text, QString());
    addGroup(QStringLiteral("Option2"), {0, 1}, 0); // step sound: fixed / by data column
    add(QStringLiteral("Combo1"), none, K::Index, 0, kDataColumns);
    for (int k = 7; k <= 10; ++k)
        add(QStringLiteral("txtSelectSound"), k, K::Text, QString());
    addGroup(QStringLiteral("Option6"), {0, 1}, 1); // step sound: waited / alongside
    addGroup(QStringLiteral("Option2"), {2, 3}, 2); // pre-announcement: fixed / by flag
    for (int k = 3; k <= 6; ++k)
        add(QStringLiteral("txtSelectSound"), k, K::Text, QString());
    addGroup(QStringLiteral("Option7"), {0, 1}, 0); // pre-announcement: waited / alongside

    // Page 5: ticket preview.
    add(QStringLiteral("chkUseSeiriPrev"), none, K::Flag, 0);
    add(QStringLiteral("txtSeiriPlgDir"), none, K::Text, QString());
    addGroup(QStringLiteral("Option4"), {0, 1, 2}, 0);
    add(QStringLiteral("Label10"), none, K::Text, today.toString(QStringLiteral("yyyy/MM/dd")));
}

void SettingsStore::add(const QString &name, int index, SettingKind kind, const QVariant &start,
                        int listSize) {
    Q_ASSERT(!find(name, index));
    settings_.push_back(Setting{SettingKey{name, index}, kind, start, start, listSize, -1});
}

void SettingsStore::addGroup(const QString &name, std::initializer_list<int> indices,
                             int selected) {
    const int group = groups_++;
    for (int index : indices) {
        add(name, index, SettingKind::Choice, index == selected ? -1 : 0);
        settings_.back().group = group;
    }
}

const SettingsStore::Setting *SettingsStore::find(const QString &name, int index) const {
    for (const Setting &s : settings_) {
        if (s.key.index == index && s.key.name == name)
            return &s;
    }
    return nullptr;
}

SettingsStore::Setting *SettingsStore::find(const QString &name, int index) {
    return const_cast<Setting *>(std::as_const(*this).find(name, index));
}

const SettingsStore::Setting *SettingsStore::findOfKind(const QString &name, int index,
                                                        SettingKind kind,
                                                        const char *reader) const {
    const Setting *s = find(name, index);
    if (!s || s->kind != kind) {
        const SettingKey key{name, index};
        qWarning("SettingsStore::%s: no such setting %s", reader, qPrintable(key.toString()));
        return nullptr;
    }
    return s;
}

QList<SettingKey> SettingsStore::keys() const {
    QList<SettingKey> out;
    out.reserve(static_cast<qsizetype>(settings_.size()));
    for (const Setting &s : settings_)
        out.append(s.key);
    return out;
}

bool SettingsStore::contains(const QString &name, int index) const {
    return find(name, index) != nullptr;
}

std::optional<SettingKind> SettingsStore::kind(const QString &name, int index) const {
    if (const Setting *s = find(name, index))
        return s->kind;
    return std::nullopt;
}

QString SettingsStore::text(const QString &name, int index) const {
    const Setting *s = findOfKind(name, index, SettingKind::Text, "text");
    return s ? s->value.toString() : QString();
}

int SettingsStore::flag(const QString &name, int index) const {
    const Setting *s = findOfKind(name, index, SettingKind::Flag, "flag");
    return s ? s->value.toInt() : 0;
}

int SettingsStore::choice(const QString &name, int index) const {
    const Setting *s = findOfKind(name, index, SettingKind::Choice, "choice");
    return s ? s->value.toInt() : 0;
}

int SettingsStore::listIndex(const QString &name, int index) const {
    const Setting *s = findOfKind(name, index, SettingKind::Index, "listIndex");
    return s ? s->value.toInt() : -1;
}

quint32 SettingsStore::colour(const QString &name, int index) const {
    const Setting *s = findOfKind(name, index, SettingKind::Colour, "colour");
    return s ? s->value.toUInt() : 0;
}

int SettingsStore::selectedInGroup(const QString &name, int index) const {
    const Setting *button = find(name, index);
    if (!button || button->kind != SettingKind::Choice)
        return -1;
    for (const Setting &s : settings_) {
        if (s.group == button->group && s.value.toInt() != 0)
            return s.key.index;
    }
    return -1;
}

QList<SettingKey> SettingsStore::group(const SettingKey &key) const {
    QList<SettingKey> out;
    const Setting *button = find(key.name, key.index);
    if (!button || button->kind != SettingKind::Choice)
        return out;
    for (const Setting &s : settings_) {
        if (s.group == button->group)
            out.append(s.key);
    }
    return out;
}

int SettingsStore::listSize(const QString &name, int index) const {
    const Setting *s = find(name, index);
    return s ? s->listSize : 0;
}

void SettingsStore::assign(Setting &s, const QVariant &value) {
    if (s.value == value)
        return;
    s.value = value;
    Q_EMIT changed(s.key.name, s.key.index);
}

bool SettingsStore::setText(const QString &name, int index, const QString &value) {
    Setting *s = find(name, index);
    if (!s || s->kind != SettingKind::Text)
        return false;
    assign(*s, value);
    return true;
}

bool SettingsStore::setFlag(const QString &name, int index, int value) {
    Setting *s = find(name, index);
    if (!s || s->kind != SettingKind::Flag || (value != 0 && value != 1))
        return false;
    assign(*s, value);
    return true;
}

bool SettingsStore::setChoice(const QString &name, int index, int value) {
    Setting *button = find(name, index);
    if (!button || button->kind != SettingKind::Choice)
        return false;
    if (value == 0 || button->value.toInt() != 0)
        return true;
    for (Setting &s : settings_) {
        if (s.group == button->group && &s != button)
            assign(s, 0);
    }
    assign(*button, -1);
    return true;
}

bool SettingsStore::setListIndex(const QString &name, int index, int value) {
    Setting *s = find(name, index);
    if (!s || s->kind != SettingKind::Index || value < -1 || value >= s->listSize)
        return false;
    assign(*s, value);
    return true;
}

bool SettingsStore::setColour(const QString &name, int index, quint32 value) {
    Setting *s = find(name, index);
    if (!s || s->kind != SettingKind::Colour)
        return false;
    assign(*s, value);
    return true;
}

QVariant SettingsStore::value(const SettingKey &key) const {
    const Setting *s = find(key.name, key.index);
    return s ? s->value : QVariant();
}

bool SettingsStore::setValue(const SettingKey &key, const QVariant &value) {
    const Setting *s = find(key.name, key.index);
    if (!s)
        return false;
    bool ok = true;
    switch (s->kind) {
    case SettingKind::Text:
        if (value.typeId() != QMetaType::QString)
            return false;
        return setText(key.name, key.index, value.toString());
    case SettingKind::Flag: {
        const int v = value.toInt(&ok);
        return ok && setFlag(key.name, key.index, v);
    }
    case SettingKind::Choice: {
        const int v = value.toInt(&ok);
        return ok && setChoice(key.name, key.index, v);
    }
    case SettingKind::Index: {
        const int v = value.toInt(&ok);
        return ok && setListIndex(key.name, key.index, v);
    }
    case SettingKind::Colour: {
        const quint32 v = value.toUInt(&ok);
        return ok && setColour(key.name, key.index, v);
    }
    }
    return false;
}

void SettingsStore::restoreStartValues() {
    // Deselections first, so that no group is seen with two selected buttons in between.
    for (Setting &s : settings_) {
        if (s.kind == SettingKind::Choice && s.start.toInt() == 0)
            assign(s, 0);
    }
    for (Setting &s : settings_)
        assign(s, s.start);
}

} // namespace q47
