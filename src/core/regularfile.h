#pragma once

#include "error.h"

#include <QByteArray>
#include <QString>

class QFile;

namespace q47 {

// What openRegularFile says of a folder, a named pipe, a device or a socket.
inline constexpr int kNotARegularFile = -1;

// Opens `path` for reading only when it is an ordinary file. The open does not block, so a
// named pipe or a device put where a file is expected cannot hang the caller. The failure
// names the file, with the system's reason (a path that is no file name is BadPath).
Result<> openRegularFile(const QString &path, QFile &file);
// The same for a caller that reads through a file descriptor of its own, which it closes.
// Returns 0, kNotARegularFile, or the errno that stopped it.
int openRegularDescriptor(const QString &path, int &fd);

struct RegularFileRead {
    int error = 0;    // as openRegularFile, EIO for a failed read, EFBIG past the limit
    QByteArray bytes; // the whole file when error is 0
    explicit operator bool() const { return error == 0; }
};

// Reads a whole ordinary file of at most `maxBytes`. The size from the file system is only a
// hint: one byte past the limit is read to see a file that grew, and the read never takes more
// than the limit in memory.
RegularFileRead readRegularFile(const QString &path, qint64 maxBytes);

// What is at `path` in words ("a named pipe", "a device", "a socket", "a folder"), for a
// message about something that is not an ordinary file; empty for an ordinary file or nothing.
QString fileKindText(const QString &path);
// A size as messages give it: "1 MiB", "16 MiB", "1 GiB", or bytes below 1 KiB.
QString sizeText(qint64 bytes);
// Why a read of `path` failed, from an error of openRegularFile or readRegularFile: "a named
// pipe, not an ordinary file", "larger than 16 MiB" or the system's words.
QString readErrorText(const QString &path, int error, qint64 maxBytes);
// The failure of a read of `path` from such an error: its kind, and the system's words.
Error readFailure(const QString &path, int error, qint64 maxBytes);

} // namespace q47
