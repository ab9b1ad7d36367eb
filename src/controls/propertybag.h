#pragma once

#include <QList>
#include <QString>
#include <QVariant>

namespace q47 {

// The persisted properties of a control. Keys match without regard to case; a property
// equal to its default is not written, and a missing key reads as the default.
class PropertyBag {
public:
    QVariant ReadProperty(const QString &key, const QVariant &defaultValue) const;
    void WriteProperty(const QString &key, const QVariant &value, const QVariant &defaultValue);

    bool contains(const QString &key) const;
    int size() const { return static_cast<int>(entries_.size()); }

private:
    struct Entry {
        QString key;
        QVariant value;
    };
    QList<Entry> entries_;
};

} // namespace q47
