#pragma once

#include "error.h"

#include <QByteArray>
#include <QString>

#include <memory>

namespace q47::gtfs {

// A table's bytes, read piece by piece so that no file is ever held whole.
class ByteStream {
public:
    virtual ~ByteStream() = default;
    // Up to `max` bytes into `to`: the count, 0 at the end, -1 when the read failed or went past
    // a limit (errorString() says which).
    virtual qint64 read(char *to, qint64 max) = 0;
    virtual QString errorString() const = 0;
};

// Bytes already in memory (the fuzz target and tests).
class BytesStream final : public ByteStream {
public:
    explicit BytesStream(QByteArray bytes) : bytes_(std::move(bytes)) {}
    qint64 read(char *to, qint64 max) override;
    QString errorString() const override { return {}; }

private:
    QByteArray bytes_;
    qsizetype pos_ = 0;
};

// Limits on what a feed's file may hold. A file in a folder is on the disk at its full size;
// a zip member is unpacked, so a few kilobytes could otherwise claim gigabytes.
inline constexpr qint64 kMaxTableBytes = 2000LL << 20; // lines are counted in an int
inline constexpr qint64 kMaxMemberBytes = 1LL << 30;   // 1 GiB unpacked
inline constexpr qint64 kMaxPackingRatio = 1000;       // unpacked : packed, ...
inline constexpr qint64 kRatioCheckedFrom = 8LL << 20; // ... once past 8 MiB unpacked

// The files of a feed, from a folder or from a zip as operators publish them. A zip may hold
// the files at its top or inside one folder.
class FeedSource {
public:
    // A folder, or an ordinary file read as a zip; anything else (a named pipe, a device) is
    // refused without being read, the failure's detail saying why.
    static Result<std::unique_ptr<FeedSource>> open(const QString &path);
    // A zip already in memory (the fuzz target and tests); `name` is what messages call it.
    static Result<std::unique_ptr<FeedSource>> fromZipBytes(const QByteArray &zip,
                                                            const QString &name);
    virtual ~FeedSource() = default;

    // What messages call the feed: the folder's or the zip's file name.
    QString name() const { return name_; }
    // Whether the feed names the file at all, readable or not.
    virtual bool has(const QString &file) const = 0;
    // The file's bytes as a stream, or why it cannot be read (not an ordinary file, no
    // permission).
    virtual Result<std::unique_ptr<ByteStream>> openFile(const QString &file) const = 0;
    // Its size in bytes, for progress; 0 when unknown.
    virtual qint64 size(const QString &file) const = 0;

protected:
    explicit FeedSource(QString name) : name_(std::move(name)) {}

private:
    QString name_;
};

} // namespace q47::gtfs
