#pragma once

#include "staterecords.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

namespace q47 {

// The file is the records one after another, little-endian, without header or padding: texts
// as a 16-bit byte count and CP932 bytes, flags, choices and list indices in 16 bits, colours
// and positions in 32. With every text empty it is kStateFileFixedSize bytes long.
inline constexpr qsizetype kStateFileFixedSize = 538;

// A state file is at most its fixed part and 17 texts of 64 KiB, about 1.1 MB. A file far
// beyond that is not one, and is refused rather than read into memory.
inline constexpr qint64 kStateFileMaxBytes = 16 * 1024 * 1024;

QByteArray encodeState(const StateRecords &records);

// Reads the records in file order. Bytes after the last item are ignored: the layout ends there.
// A file that ends inside a field is StateTruncated, or StateTextPastEnd inside a text.
Result<StateRecords> decodeState(QByteArrayView bytes);

// Where the state file lies: `<exe folder>/<exe base name>.in4` when a file can be created in
// the executable's folder, else `<fallbackFolder>/<exe base name>.in4`.
QString stateFilePath(const QString &executablePath, const QString &fallbackFolder);
// The same with QStandardPaths::AppConfigLocation as the fallback.
QString stateFilePath(const QString &executablePath);

// Reads the whole file, refusing one over kStateFileMaxBytes and anything but an ordinary file.
// Nothing there is no failure but a first start: nullopt.
Result<std::optional<QByteArray>> loadStateFile(const QString &path);

// Replaces the file through the safe writer (safefile.h): the bytes go to a temporary file
// beside it, reach the disk, and only then take the old file's name. On failure the old file is
// left as it was; a symbolic link in its place is refused, not written through. Creates the
// file's folder when it is missing.
Result<> saveStateFile(const QString &path, const QByteArray &bytes);

// Copies the file at `path` to `<path>.bad`, replacing an older copy. No file: nothing to do.
Result<> keepBadCopy(const QString &path);

// The state file of one run: load() at start-up, save() at the exit. Keep the loaded records
// for the save and copy the windows' values into them, so that unchanged texts keep the bytes
// they were read from. A file that exists but cannot be loaded is not silently lost: save()
// first keeps it as `<path>.bad`, and does not replace it when that fails.
class StateFile {
public:
    explicit StateFile(QString path) : path_(std::move(path)) {}

    const QString &path() const { return path_; }
    // True after a load that failed on an existing file, until the next successful save.
    bool keepsBadCopy() const { return keepBadCopy_; }
    // The file read but could not be restored whole: the next save keeps it as a bad copy too.
    void keepBadCopyOnSave() { keepBadCopy_ = true; }

    // The records, nullopt without a file, or why the file could not be read.
    Result<std::optional<StateRecords>> load();
    Result<> save(const StateRecords &records);

private:
    QString path_;
    bool keepBadCopy_ = false;
};

} // namespace q47
