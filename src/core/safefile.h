#pragma once

#include "error.h"

#include <QByteArrayView>
#include <QImage>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

namespace q47 {

// Every step below returns nothing, or why the file was not written: a WriteFailed Error with
// the file as the caller named it and the reason in the system's words (strerror) or the
// writer's own; its text() is "47.hy3: No space left on device".

// New contents for one file, written into a temporary file `.NAME.q47tmp.XXXXXX` in the same
// folder. The file is as it was until commit() puts them in its place; a failure at any step
// removes the temporary file, and so does the object's end unless it was committed. An
// existing file's permission bits are kept. A symbolic link in the file's place, or anything
// but an ordinary file, is refused: nothing is ever written through a link.
class PendingFile {
public:
    PendingFile() = default;
    PendingFile(PendingFile &&other) noexcept;
    PendingFile &operator=(PendingFile &&other) noexcept;
    PendingFile(const PendingFile &) = delete;
    PendingFile &operator=(const PendingFile &) = delete;
    ~PendingFile();

    Result<> open(const QString &path);
    // Every byte, however many calls the system takes for them.
    Result<> write(QByteArrayView bytes);
    // The bytes on the disk, the temporary file closed.
    Result<> finish();
    // The finished contents in the file's place, the folder synced.
    Result<> commit();

    const QString &path() const { return path_; }
    // The open temporary file, for a writer that streams into it by itself (an encoder that
    // seeks back to fill in its headers); -1 when none is open. It stays this object's: the
    // writer is done with it before finish(), which closes it.
    int descriptor() const { return fd_; }

private:
    friend class FileSetCommit;
    Error fail(const QString &reason);
    Error failWith(int error);
    void discard();

    QString path_;
    QString temporary_;
    int fd_ = -1;
    bool existed_ = false;
    bool finished_ = false;
};

// The whole file at once: open, write, finish, commit.
Result<> writeFileSafely(const QString &path, QByteArrayView bytes);

// A picture encoded in memory ("PNG", "JPEG", "BMP"; quality -1 for the format's own), then
// written whole.
Result<> writeImageSafely(const QString &path, const QImage &image, const char *format,
                          int quality = -1);

// The bytes of the ordinary file `from`, streamed into `to`. The failure names whichever of
// the two failed.
Result<> copyFileSafely(const QString &from, const QString &to);

// What a commit of several files that failed left on disk.
struct SetWriteFailure {
    Error cause;
    // The files that hold their new contents; empty when every file is as it was. When not
    // empty, the old ones are kept beside them, and recoverFolder() puts them back.
    QStringList written;
};

// Called before each change a commit makes on disk, so that a test can stop it at each.
using CommitStep = std::function<void()>;

// Puts every file of the set in its place as one. All are finished first; then each old file
// is kept as a hard link `.NAME.q47old.ID` (a copy where the file system has no links), a
// journal `.q47commit.ID` in every folder of the set names them, and the files are replaced one
// by one. When one cannot be replaced, those already replaced get their old contents back.
// The journal of the first file's folder decides: while it exists, the old set is the one to
// keep, and recoverFolder() puts it back after a kill; once it is removed, the new set is.
Expected<void, SetWriteFailure> commitFiles(std::vector<PendingFile> &files,
                                            const CommitStep &step = {});

// Tidies what a killed write left in `folder` before anything is written there: puts back
// the old files of a commit that was stopped before it was decided (in every folder it
// touched), removes the kept old files of one that was decided, and removes stray temporary
// files. What it did is told as a Note and what it could not do as an Error, each with the
// file or folder concerned.
Errors recoverFolder(const QString &folder);

} // namespace q47
