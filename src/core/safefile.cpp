#include "safefile.h"

#include "regularfile.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace q47 {

namespace {

const QLatin1String kTemporaryMark(".q47tmp.");
const QLatin1String kKeptMark(".q47old.");
const QLatin1String kJournalPrefix(".q47commit.");
const QLatin1String kJournalHeader("Q47 commit journal 1");
constexpr qsizetype kIdLength = 6;
constexpr qint64 kMaxJournalBytes = 1 << 20;

QString systemReason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

Error writeFailure(const QString &file, const QString &reason) {
    return Error(Error::Kind::WriteFailed, reason).in(file);
}

QByteArray native(const QString &path) {
    return QFile::encodeName(path);
}

QString randomId() {
    static constexpr char kChars[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QString id;
    for (qsizetype i = 0; i < kIdLength; ++i)
        id.append(QLatin1Char(kChars[QRandomGenerator::global()->bounded(62)]));
    return id;
}

// The hidden name beside `path` that carries `mark` and `id`: `.NAME<mark><id>`.
QString besidePath(const QString &path, QLatin1String mark, const QString &id) {
    const QFileInfo info(path);
    return info.dir().filePath(QLatin1Char('.') + info.fileName() + mark + id);
}

// Whether `name` is `.NAME<mark><id>`, and then the id.
std::optional<QString> markedId(const QString &name, QLatin1String mark) {
    const qsizetype at = name.size() - kIdLength - mark.size();
    if (at < 2 || !name.startsWith(QLatin1Char('.')) || name.indexOf(mark, at) != at)
        return std::nullopt;
    return name.right(kIdLength);
}

int lstatError(const QString &path, struct stat &st) {
    return ::lstat(native(path).constData(), &st) == 0 ? 0 : errno;
}

bool isOrdinaryFile(const QString &path) {
    struct stat st {};
    return lstatError(path, st) == 0 && S_ISREG(st.st_mode);
}

QString notOrdinary() {
    return QStringLiteral("not an ordinary file");
}

// Why what stands at a path is not to be replaced: a link is never written through.
std::optional<QString> refusal(const struct stat &st) {
    if (S_ISLNK(st.st_mode))
        return QStringLiteral("a symbolic link, and nothing is written through one");
    if (!S_ISREG(st.st_mode))
        return notOrdinary();
    return std::nullopt;
}

// 0 or the errno that stopped it. Short writes go on; EINTR is tried again.
int writeAll(int fd, const char *data, qsizetype size) {
    while (size > 0) {
        const ssize_t n =
            ::write(fd, data, static_cast<size_t>(std::min<qsizetype>(size, qsizetype(1) << 30)));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0)
            return EIO;
        data += n;
        size -= n;
    }
    return 0;
}

int syncFd(int fd) {
    while (::fsync(fd) != 0)
        if (errno != EINTR)
            return errno;
    return 0;
}

// A close that reports EINTR has closed the descriptor all the same on Linux.
int closeFd(int fd) {
    return ::close(fd) == 0 || errno == EINTR ? 0 : errno;
}

// A rename or an unlink reaches the disk only with its folder.
int syncFolder(const QString &folder) {
    const int fd = ::open(native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    const int error = syncFd(fd);
    ::close(fd);
    return error == EINVAL ? 0 : error; // a file system that cannot sync a folder at all
}

int removeFile(const QString &path) {
    return ::unlink(native(path).constData()) == 0 || errno == ENOENT ? 0 : errno;
}

// A copy for a file system without hard links: created new, synced, with the file's bits.
int copyOrdinaryFile(const QString &from, const QString &to) {
    const int in = ::open(native(from).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (in < 0)
        return errno;
    struct stat st {};
    const int out = ::fstat(in, &st) != 0 || !S_ISREG(st.st_mode)
                        ? -1
                        : ::open(native(to).constData(),
                                 O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (out < 0) {
        const int error = S_ISREG(st.st_mode) ? errno : EINVAL;
        ::close(in);
        return error;
    }
    int error = ::fchmod(out, st.st_mode & 07777) == 0 ? 0 : errno;
    char chunk[64 * 1024];
    while (error == 0) {
        const ssize_t n = ::read(in, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error = n < 0 ? errno : 0;
            break;
        }
        error = writeAll(out, chunk, n);
    }
    if (error == 0)
        error = syncFd(out);
    const int closed = closeFd(out);
    ::close(in);
    if (error == 0)
        error = closed;
    if (error != 0)
        removeFile(to);
    return error;
}

// The old file kept under a second name: the same bytes whatever replaces the first.
int keepOld(const QString &file, const QString &kept) {
    if (::link(native(file).constData(), native(kept).constData()) == 0)
        return 0;
    if (errno != EPERM && errno != EOPNOTSUPP && errno != EMLINK && errno != ENOSYS)
        return errno;
    return copyOrdinaryFile(file, kept);
}

// The kept old file back in its place; a file that was new is taken away. A kept file that is
// no longer there was put back already (or never needed: the file was not yet replaced).
int putBack(const QString &file, const QString &kept) {
    if (kept.isEmpty())
        return removeFile(file);
    struct stat st {};
    if (const int error = lstatError(kept, st))
        return error == ENOENT ? 0 : error;
    // Two links to one file: rename does nothing, and the kept name goes below.
    if (::rename(native(kept).constData(), native(file).constData()) != 0)
        return errno;
    return removeFile(kept);
}

// Every file of a commit with its kept old file; empty where there was none.
struct Journal {
    QString primary;
    std::vector<std::pair<QString, QString>> files;
};

QByteArray encoded(const QString &path) {
    return path.isEmpty() ? QByteArray("-") : native(path).toPercentEncoding();
}

QString decoded(const QByteArray &text) {
    return text == "-" ? QString() : QFile::decodeName(QByteArray::fromPercentEncoding(text));
}

QByteArray journalText(const Journal &journal) {
    QByteArray text = QByteArray(kJournalHeader.data(), kJournalHeader.size()) + '\n';
    text += "primary " + encoded(journal.primary) + '\n';
    for (const auto &[file, kept] : journal.files)
        text += "file " + encoded(file) + ' ' + encoded(kept) + '\n';
    return text;
}

std::optional<Journal> readJournal(const QString &path) {
    const Result<QByteArray> read = readRegularFile(path, kMaxJournalBytes);
    if (!read)
        return std::nullopt;
    const QList<QByteArray> lines = read->split('\n');
    if (lines.size() < 3 || lines[0] != QByteArrayView(kJournalHeader) || !lines.back().isEmpty())
        return std::nullopt;
    Journal journal;
    for (qsizetype i = 1; i + 1 < lines.size(); ++i) {
        const QList<QByteArray> words = lines[i].split(' ');
        if (i == 1 && words.size() == 2 && words[0] == "primary")
            journal.primary = decoded(words[1]);
        else if (i > 1 && words.size() == 3 && words[0] == "file" && words[1] != "-")
            journal.files.emplace_back(decoded(words[1]), decoded(words[2]));
        else
            return std::nullopt;
    }
    if (journal.primary.isEmpty())
        return std::nullopt;
    return journal;
}

// Creates a journal file that must not exist yet, its bytes on the disk.
int createJournal(const QString &path, const QByteArray &text) {
    const int fd = ::open(native(path).constData(),
                          O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0)
        return errno;
    int error = writeAll(fd, text.constData(), text.size());
    if (error == 0)
        error = syncFd(fd);
    const int closed = closeFd(fd);
    if (error == 0)
        error = closed;
    if (error != 0)
        removeFile(path);
    return error;
}

QString folderOf(const QString &path) {
    return QFileInfo(path).absolutePath();
}

QString fileNames(const QStringList &paths) {
    QStringList names;
    for (const QString &p : paths)
        names.append(QFileInfo(p).fileName());
    return names.join(QStringLiteral(", "));
}

} // namespace

PendingFile::PendingFile(PendingFile &&other) noexcept
    : path_(std::move(other.path_)), temporary_(std::exchange(other.temporary_, {})),
      fd_(std::exchange(other.fd_, -1)), existed_(other.existed_), finished_(other.finished_) {}

PendingFile &PendingFile::operator=(PendingFile &&other) noexcept {
    if (this != &other) {
        discard();
        path_ = std::move(other.path_);
        temporary_ = std::exchange(other.temporary_, {});
        fd_ = std::exchange(other.fd_, -1);
        existed_ = other.existed_;
        finished_ = other.finished_;
    }
    return *this;
}

PendingFile::~PendingFile() {
    discard();
}

void PendingFile::discard() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (!temporary_.isEmpty())
        removeFile(temporary_);
    temporary_.clear();
    finished_ = false;
}

Error PendingFile::fail(const QString &reason) {
    discard();
    return writeFailure(path_, reason);
}

Error PendingFile::failWith(int error) {
    return fail(systemReason(error));
}

Result<> PendingFile::open(const QString &path) {
    discard();
    path_ = path;
    if (path.isEmpty() || path.contains(QChar(0)))
        return failWith(EINVAL);
    struct stat st {};
    const int missing = lstatError(path, st);
    existed_ = missing == 0;
    if (missing != 0 && missing != ENOENT)
        return failWith(missing);
    if (const std::optional<QString> refused = existed_ ? refusal(st) : std::nullopt)
        return fail(*refused);
    for (int attempt = 0; fd_ < 0; ++attempt) {
        const QString candidate = besidePath(path, kTemporaryMark, randomId());
        // The umask shapes a new file's bits, as for any file the user's programs make.
        fd_ = ::open(native(candidate).constData(),
                     O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd_ >= 0)
            temporary_ = candidate;
        else if (errno != EEXIST || attempt == 100)
            return failWith(errno);
    }
    if (existed_ && ::fchmod(fd_, st.st_mode & 07777) != 0)
        return failWith(errno);
    return {};
}

Result<> PendingFile::write(QByteArrayView bytes) {
    if (fd_ < 0 || finished_)
        return failWith(EBADF);
    if (const int error = writeAll(fd_, bytes.data(), bytes.size()))
        return failWith(error);
    return {};
}

Result<> PendingFile::finish() {
    if (finished_)
        return {};
    if (fd_ < 0)
        return failWith(EBADF);
    const int error = syncFd(fd_);
    const int closed = closeFd(std::exchange(fd_, -1));
    if (error != 0 || closed != 0)
        return failWith(error != 0 ? error : closed);
    finished_ = true;
    return {};
}

Result<> PendingFile::commit() {
    if (Result<> finished = finish(); !finished)
        return finished;
    if (::rename(native(temporary_).constData(), native(path_).constData()) != 0)
        return failWith(errno);
    temporary_.clear();
    finished_ = false;
    if (const int error = syncFolder(folderOf(path_)))
        return writeFailure(path_, systemReason(error) +
                                       QStringLiteral(" (the new file is in place, but its "
                                                      "folder did not reach the disk)"));
    return {};
}

Result<> writeFileSafely(const QString &path, QByteArrayView bytes) {
    PendingFile file;
    if (Result<> opened = file.open(path); !opened)
        return opened;
    if (Result<> written = file.write(bytes); !written)
        return written;
    return file.commit();
}

Result<> writeImageSafely(const QString &path, const QImage &image, const char *format,
                          int quality) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, format, quality))
        return writeFailure(
            path, QStringLiteral("the picture cannot be encoded as %1").arg(QLatin1String(format)));
    return writeFileSafely(path, bytes);
}

Result<> copyFileSafely(const QString &from, const QString &to) {
    QFile source;
    if (const Result<> opened = openRegularFile(from, source); !opened) {
        const Error::Kind what = opened.error().what;
        return writeFailure(from, what == Error::Kind::NotAFile || what == Error::Kind::IsFolder
                                      ? notOrdinary()
                                      : opened.error().detail);
    }
    PendingFile target;
    Result<> written = target.open(to);
    char chunk[64 * 1024];
    qint64 got = 0;
    while (written && (got = source.read(chunk, sizeof chunk)) > 0)
        written = target.write(QByteArrayView(chunk, got));
    if (!written)
        return written;
    if (got < 0)
        return writeFailure(from, source.errorString());
    return target.commit();
}

// One commit of several files, in the order its journal makes safe to stop at any point.
class FileSetCommit {
public:
    FileSetCommit(std::vector<PendingFile> &files, const CommitStep &step)
        : files_(files), step_(step) {}

    Expected<void, SetWriteFailure> run() {
        for (PendingFile &f : files_)
            if (Result<> finished = f.finish(); !finished)
                return SetWriteFailure{std::move(finished).error(), {}};
        if (Expected<void, SetWriteFailure> prepared = prepare(); !prepared)
            return prepared;
        if (Expected<void, SetWriteFailure> journalled = writeJournals(); !journalled)
            return journalled;
        for (size_t i = 0; i < files_.size(); ++i) {
            if (kept_[i].isEmpty())
                continue;
            stepOn();
            if (const int error = keepOld(absolute_[i], kept_[i]))
                return undo(i, writeFailure(files_[i].path_, systemReason(error)));
        }
        for (const QString &folder : folders_)
            if (const int error = syncFolder(folder))
                return undo(files_.size(), writeFailure(folder, systemReason(error)));
        for (size_t i = 0; i < files_.size(); ++i) {
            stepOn();
            PendingFile &f = files_[i];
            if (::rename(native(f.temporary_).constData(), native(absolute_[i]).constData()) != 0)
                return rollBack(i, writeFailure(f.path_, systemReason(errno)));
            f.temporary_.clear();
        }
        for (const QString &folder : folders_)
            if (const int error = syncFolder(folder))
                return rollBack(files_.size(), writeFailure(folder, systemReason(error)));
        // The decision: from here on the new set is the one to keep.
        stepOn();
        if (const int error = removeFile(journals_.front()))
            return rollBack(files_.size(), writeFailure(journals_.front(), systemReason(error)));
        syncFolder(folders_.front());
        // What is left now is tidied by the next recovery if it cannot be here.
        for (const QString &kept : kept_) {
            if (kept.isEmpty())
                continue;
            stepOn();
            removeFile(kept);
        }
        for (qsizetype k = 1; k < journals_.size(); ++k) {
            stepOn();
            removeFile(journals_[k]);
        }
        for (const QString &folder : folders_)
            syncFolder(folder);
        return {};
    }

private:
    void stepOn() {
        if (step_)
            step_();
    }

    Expected<void, SetWriteFailure> prepare() {
        const QString id = randomId();
        for (PendingFile &f : files_) {
            const QString absolute = QFileInfo(f.path_).absoluteFilePath();
            if (std::find(absolute_.begin(), absolute_.end(), absolute) != absolute_.end())
                return SetWriteFailure{
                    writeFailure(f.path_, QStringLiteral("named twice in one write")), {}};
            // Looked at again: the file may have come or gone since the write began.
            struct stat st {};
            const int missing = lstatError(absolute, st);
            if (const std::optional<QString> refused = missing == 0 ? refusal(st) : std::nullopt)
                return SetWriteFailure{writeFailure(f.path_, *refused), {}};
            if (missing != 0 && missing != ENOENT)
                return SetWriteFailure{writeFailure(f.path_, systemReason(missing)), {}};
            absolute_.push_back(absolute);
            kept_.push_back(missing == 0 ? besidePath(absolute, kKeptMark, id) : QString());
            const QString folder = folderOf(absolute);
            if (!folders_.contains(folder)) {
                folders_.append(folder);
                journals_.append(QDir(folder).filePath(kJournalPrefix + id));
            }
        }
        return {};
    }

    Expected<void, SetWriteFailure> writeJournals() {
        Journal journal{journals_.front(), {}};
        for (size_t i = 0; i < absolute_.size(); ++i)
            journal.files.emplace_back(absolute_[i], kept_[i]);
        const QByteArray text = journalText(journal);
        for (qsizetype k = 0; k < journals_.size(); ++k) {
            stepOn();
            if (const int error = createJournal(journals_[k], text)) {
                // Only those made here go: one already there belongs to another write.
                for (qsizetype j = k - 1; j >= 0; --j)
                    removeFile(journals_[j]);
                return SetWriteFailure{writeFailure(journals_[k], systemReason(error)), {}};
            }
            syncFolder(folders_[k]);
        }
        return {};
    }

    // Before any file was replaced: the kept files and journals go, the old set stays.
    SetWriteFailure undo(size_t keptSoFar, const Error &cause) {
        for (size_t i = 0; i < keptSoFar && i < kept_.size(); ++i)
            if (!kept_[i].isEmpty())
                removeFile(kept_[i]);
        removeJournals();
        return SetWriteFailure{cause, {}};
    }

    // The first `replaced` files get their old contents back.
    SetWriteFailure rollBack(size_t replaced, const Error &cause) {
        QStringList written;
        for (size_t i = replaced; i-- > 0;)
            if (putBack(absolute_[i], kept_[i]) != 0)
                written.prepend(files_[i].path_);
        if (!written.isEmpty())
            return SetWriteFailure{cause, written}; // the journals stay for the next recovery
        for (const QString &folder : folders_)
            syncFolder(folder);
        return undo(files_.size(), cause);
    }

    void removeJournals() {
        for (qsizetype k = journals_.size() - 1; k >= 0; --k)
            removeFile(journals_[k]);
        for (const QString &folder : folders_)
            syncFolder(folder);
    }

    std::vector<PendingFile> &files_;
    const CommitStep &step_;
    std::vector<QString> absolute_; // the files' absolute paths
    std::vector<QString> kept_;     // where each old file is kept; empty for a new file
    QStringList folders_;           // the folders of the set, the first file's first
    QStringList journals_;          // one per folder, in the same order; the first decides
};

Expected<void, SetWriteFailure> commitFiles(std::vector<PendingFile> &files,
                                            const CommitStep &step) {
    if (files.empty())
        return {};
    return FileSetCommit(files, step).run();
}

Errors recoverFolder(const QString &folder) {
    Errors notes;
    const auto note = [&notes](const QString &file, const QString &text, Severity severity) {
        notes.push_back(writeFailure(file, text).as(severity));
    };
    const QDir dir(folder.isEmpty() ? QStringLiteral(".") : folder);
    const QDir::Filters any = QDir::Files | QDir::Hidden | QDir::System;
    for (const QString &name : dir.entryList({kJournalPrefix + QLatin1Char('*')}, any)) {
        const QString path = dir.filePath(name);
        const std::optional<Journal> journal = readJournal(path);
        if (!journal) {
            note(path, QStringLiteral("cannot be read; the files it names are left as they are"),
                 Severity::Error);
            continue;
        }
        struct stat st {};
        const int primaryMissing = lstatError(journal->primary, st);
        if (primaryMissing != 0 &&
            (primaryMissing != ENOENT || !QFileInfo(folderOf(journal->primary)).isDir())) {
            // A folder not there (a drive not mounted) decides nothing: wait for it.
            note(path,
                 QStringLiteral("names a write whose first folder cannot be seen (%1); its files "
                                "are left as they are")
                     .arg(folderOf(journal->primary)),
                 Severity::Error);
            continue;
        }
        if (primaryMissing != 0) {
            // Decided: the new set stands, and only its kept old files are left to go.
            for (const auto &[file, kept] : journal->files)
                if (!kept.isEmpty())
                    removeFile(kept);
            removeFile(path);
            continue;
        }
        QStringList restored, failed;
        for (const auto &[file, kept] : journal->files) {
            if (const int error = putBack(file, kept))
                failed.append(QStringLiteral("%1: %2").arg(file, systemReason(error)));
            else
                restored.append(file);
        }
        if (!failed.isEmpty()) {
            note(dir.path(),
                 QStringLiteral("a write was stopped half-way and its old files cannot all be "
                                "put back: %1")
                     .arg(failed.join(QStringLiteral("; "))),
                 Severity::Error);
            continue;
        }
        QStringList folders;
        for (const auto &[file, kept] : journal->files)
            if (!folders.contains(folderOf(file)))
                folders.append(folderOf(file));
        for (const QString &f : folders)
            syncFolder(f);
        for (const QString &f : folders)
            if (QDir(f).filePath(name) != journal->primary)
                removeFile(QDir(f).filePath(name));
        removeFile(journal->primary);
        note(dir.path(),
             QStringLiteral("a write was stopped half-way; these files are as they were before "
                            "it: %1")
                 .arg(fileNames(restored)),
             Severity::Note);
    }
    int strays = 0;
    for (const QString &name : dir.entryList({QStringLiteral(".*")}, any)) {
        const QString path = dir.filePath(name);
        const std::optional<QString> kept = markedId(name, kKeptMark);
        // A kept old file without its journal belongs to a write that was decided.
        const bool stray = markedId(name, kTemporaryMark) ||
                           (kept && !QFileInfo::exists(dir.filePath(kJournalPrefix + *kept)));
        if (stray && isOrdinaryFile(path) && removeFile(path) == 0)
            ++strays;
    }
    if (strays > 0)
        note(dir.path(),
             QStringLiteral("removed %1 file(s) left by a write that was stopped").arg(strays),
             Severity::Note);
    return notes;
}

} // namespace q47
