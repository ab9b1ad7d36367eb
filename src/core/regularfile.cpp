#include "regularfile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace q47 {

namespace {

// What openDescriptor says of a folder, a named pipe, a device or a socket.
constexpr int kNotARegularFile = -1;

// 0, kNotARegularFile, or the errno that stopped it (EINVAL for a path that is no file name).
int openDescriptor(const QString &path, int &fd) {
    fd = -1;
    if (path.isEmpty() || path.contains(QChar(0)))
        return EINVAL;
    const QByteArray name = QFile::encodeName(path);
    // Not even opened when it is no file: opening some devices does something by itself.
    struct stat st {};
    if (::stat(name.constData(), &st) == 0 && !S_ISREG(st.st_mode))
        return kNotARegularFile;
    const int opened = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (opened < 0)
        return errno;
    if (::fstat(opened, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(opened);
        return kNotARegularFile;
    }
    fd = opened;
    return 0;
}

Error::Kind kindOf(const QString &path, int error) {
    switch (error) {
    case kNotARegularFile:
        return QFileInfo(path).isDir() ? Error::Kind::IsFolder : Error::Kind::NotAFile;
    case EFBIG:
        return Error::Kind::TooLarge;
    case ENOENT:
        return Error::Kind::NotFound;
    case EACCES:
    case EPERM:
        return Error::Kind::NoPermission;
    case EISDIR:
        return Error::Kind::IsFolder;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
    case EINVAL:
        return Error::Kind::BadPath;
    case EIO:
    case ENXIO:
    case ENODEV:
        return Error::Kind::DeviceFailed;
    case ENOMEM:
        return Error::Kind::OutOfMemory;
    default:
        return Error::Kind::ReadFailed;
    }
}

// Why a read of `path` failed: "a named pipe, not an ordinary file", "larger than 16 MiB" or
// the system's words as Qt gives them.
Error readFailure(const QString &path, int error, qint64 maxBytes) {
    QString words;
    if (error == kNotARegularFile) {
        const QString kind = fileKindText(path);
        words = kind.isEmpty() ? QStringLiteral("not an ordinary file")
                               : kind + QStringLiteral(", not an ordinary file");
    } else if (error == EFBIG) {
        words = QStringLiteral("larger than %1").arg(sizeText(maxBytes));
    } else {
        words = qt_error_string(error);
    }
    return Error(kindOf(path, error), words).in(path);
}

} // namespace

Result<int> openRegularDescriptor(const QString &path) {
    int fd = -1;
    if (const int error = openDescriptor(path, fd); error != 0)
        return readFailure(path, error, 0);
    return fd;
}

Result<> openRegularFile(const QString &path, QFile &file) {
    int fd = -1;
    if (const int error = openDescriptor(path, fd); error != 0)
        return readFailure(path, error, 0);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return readFailure(path, EACCES, 0);
    }
    return {};
}

Result<QByteArray> readRegularFile(const QString &path, qint64 maxBytes) {
    QFile file;
    if (Result<> opened = openRegularFile(path, file); !opened)
        return std::move(opened).error();
    if (file.size() > maxBytes)
        return readFailure(path, EFBIG, maxBytes);
    QByteArray bytes;
    bytes.reserve(static_cast<qsizetype>(file.size()));
    char chunk[64 * 1024];
    for (;;) {
        const qint64 n = file.read(chunk, sizeof chunk);
        if (n < 0)
            return readFailure(path, EIO, maxBytes);
        if (n == 0)
            return bytes;
        if (bytes.size() + n > maxBytes)
            return readFailure(path, EFBIG, maxBytes);
        bytes.append(chunk, static_cast<qsizetype>(n));
    }
}

QString fileKindText(const QString &path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || S_ISREG(st.st_mode))
        return {};
    if (S_ISDIR(st.st_mode))
        return QStringLiteral("a folder");
    if (S_ISFIFO(st.st_mode))
        return QStringLiteral("a named pipe");
    if (S_ISSOCK(st.st_mode))
        return QStringLiteral("a socket");
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode))
        return QStringLiteral("a device");
    return QStringLiteral("something other than a file");
}

QString sizeText(qint64 bytes) {
    const struct {
        qint64 unit;
        const char *name;
    } units[] = {{qint64(1) << 30, "GiB"}, {qint64(1) << 20, "MiB"}, {qint64(1) << 10, "KiB"}};
    for (const auto &u : units)
        if (bytes >= u.unit && bytes % u.unit == 0)
            return QStringLiteral("%1 %2").arg(bytes / u.unit).arg(QLatin1String(u.name));
    return QStringLiteral("%1 bytes").arg(bytes);
}

} // namespace q47
