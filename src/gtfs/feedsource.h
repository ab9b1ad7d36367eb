#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

namespace q47::gtfs {

// The files of a feed, from a folder or from a zip as operators publish them. A zip may hold
// the files at its top or inside one folder.
class FeedSource {
public:
    // A folder, or a file read as a zip. On failure `error` says why and the result is null.
    static std::unique_ptr<FeedSource> open(const QString &path, QString *error);
    // A zip already in memory (the fuzz target and tests); `name` is what messages call it.
    static std::unique_ptr<FeedSource> fromZipBytes(const QByteArray &zip, const QString &name,
                                                    QString *error);
    virtual ~FeedSource() = default;

    // What messages call the feed: the folder's or the zip's file name.
    QString name() const { return name_; }
    virtual bool has(const QString &file) const = 0;
    // The file's bytes; false with `error` set when it cannot be read.
    virtual bool read(const QString &file, QByteArray &out, QString *error) const = 0;
    // Its size in bytes, for progress; 0 when unknown.
    virtual qint64 size(const QString &file) const = 0;

protected:
    explicit FeedSource(QString name) : name_(std::move(name)) {}

private:
    QString name_;
};

} // namespace q47::gtfs
