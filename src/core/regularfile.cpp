#include "regularfile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace q47 {

int openRegularDescriptor(const QString &path, int &fd) {
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

Result<> openRegularFile(const QString &path, QFile &file) {
    int fd = -1;
    if (const int error = openRegularDescriptor(path, fd); error != 0)
        return readFailure(path, error, 0);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return readFailure(path, EACCES, 0);
    }
    return {};
}

RegularFileRead readRegularFile(const QString &path, qint64 maxBytes) {
    RegularFileRead result;
    int fd = -1;
    if ((result.error = openRegularDescriptor(path, fd)) != 0)
        return result;
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        result.error = EACCES;
        return result;
    }
    if (file.size() > maxBytes) {
        result.error = EFBIG;
        return result;
    }
    result.bytes.reserve(static_cast<qsizetype>(file.size()));
    char chunk[64 * 1024];
    for (;;) {
        const qint64 n = file.read(chunk, sizeof chunk);
        if (n < 0) {
            result.error = EIO;
            result.bytes.clear();
            return result;
        }
        if (n == 0)
            return result;
        if (result.bytes.size() + n > maxBytes) {
            result.error = EFBIG;
            result.bytes.clear();
            return result;
        }
        result.bytes.append(chunk, static_cast<qsizetype>(n));
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

QString readErrorText(const QString &path, int error, qint64 maxBytes) {
    if (error == kNotARegularFile) {
        const QString kind = fileKindText(path);
        return kind.isEmpty() ? QStringLiteral("not an ordinary file")
                              : kind + QStringLiteral(", not an ordinary file");
    }
    if (error == EFBIG)
        return QStringLiteral("larger than %1").arg(sizeText(maxBytes));
    return QString::fromLocal8Bit(std::strerror(error));
}

Error readFailure(const QString &path, int error, qint64 maxBytes) {
    const auto kind = [&] {
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
    };
    const QString words = error == kNotARegularFile || error == EFBIG
                              ? readErrorText(path, error, maxBytes)
                              : qt_error_string(error);
    return Error(kind(), words).in(path);
}

} // namespace q47
