#pragma once

#include "error.h"

#include <QByteArray>
#include <QString>

class QFile;

namespace q47 {

// Opens `path` for reading only when it is an ordinary file. The open does not block, so a
// named pipe or a device put where a file is expected cannot hang the caller. The failure names
// the file and says what stands there (IsFolder, NotAFile: "a named pipe, not an ordinary
// file") or what the system refused (NotFound, NoPermission, BadPath for a path that is no file
// name, DeviceFailed, ...) in its words.
Result<> openRegularFile(const QString &path, QFile &file);
// The same for a caller that reads through a file descriptor of its own, which it closes.
Result<int> openRegularDescriptor(const QString &path);

// Reads a whole ordinary file of at most `maxBytes`, failing as openRegularFile does, or
// TooLarge ("larger than 16 MiB"), or ReadFailed. The size from the file system is only a
// hint: one byte past the limit is read to see a file that grew, and the read never takes more
// than the limit in memory.
Result<QByteArray> readRegularFile(const QString &path, qint64 maxBytes);

// What is at `path` in words ("a named pipe", "a device", "a socket", "a folder"), for a
// message about something that is not an ordinary file; empty for an ordinary file or nothing.
QString fileKindText(const QString &path);
// A size as messages give it: "1 MiB", "16 MiB", "1 GiB", or bytes below 1 KiB.
QString sizeText(qint64 bytes);

} // namespace q47
