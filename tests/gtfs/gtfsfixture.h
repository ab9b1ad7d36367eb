#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QString>

// Small feeds written into a folder file by file, and the sample feed's folder.
namespace q47::gtfs::test {

using Files = QMap<QString, QByteArray>;

inline bool writeFeed(const QString &folder, const Files &files) {
    QDir().mkpath(folder);
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        QFile f(QDir(folder).filePath(it.key()));
        if (!f.open(QIODevice::WriteOnly) || f.write(it.value()) != it.value().size())
            return false;
    }
    return true;
}

inline QByteArray readFile(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline QString sampleFeed() {
    return QStringLiteral(Q47_SAMPLES "/gtfs");
}

} // namespace q47::gtfs::test
