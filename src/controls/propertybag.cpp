#include "propertybag.h"

namespace q47 {

QVariant PropertyBag::ReadProperty(const QString &key, const QVariant &defaultValue) const {
    for (const Entry &e : entries_)
        if (e.key.compare(key, Qt::CaseInsensitive) == 0)
            return e.value;
    return defaultValue;
}

void PropertyBag::WriteProperty(const QString &key, const QVariant &value,
                                const QVariant &defaultValue) {
    entries_.removeIf([&](const Entry &e) { return e.key.compare(key, Qt::CaseInsensitive) == 0; });
    if (value == defaultValue && value.typeId() == defaultValue.typeId())
        return;
    entries_.append({key, value});
}

bool PropertyBag::contains(const QString &key) const {
    for (const Entry &e : entries_)
        if (e.key.compare(key, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

} // namespace q47
