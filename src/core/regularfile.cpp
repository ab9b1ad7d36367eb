#include "regularfile.h"

#include <QFile>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace q47 {

int openRegularFile(const QString &path, QFile &file) {
    if (path.isEmpty() || path.contains(QChar(0)))
        return EINVAL;
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return kNotARegularFile;
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return EACCES;
    }
    return 0;
}

RegularFileRead readRegularFile(const QString &path, qint64 maxBytes) {
    RegularFileRead result;
    QFile file;
    if ((result.error = openRegularFile(path, file)) != 0)
        return result;
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

} // namespace q47
