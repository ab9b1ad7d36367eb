#include "picturefile.h"

#include "regularfile.h"

#include <QFile>
#include <QImageReader>

#include <cerrno>
#include <cstring>
#include <new>

namespace q47 {

namespace {

using namespace picture_error;

constexpr qint64 kLimitBytes = qint64{kPictureMemoryLimitMiB} * 1024 * 1024;

PictureRead failed(int error) {
    return {QImage(), error};
}

bool fitsLimit(const QSize &size) {
    return size.width() > 0 && size.height() > 0 &&
           qint64{size.width()} * size.height() * 4 <= kLimitBytes;
}

bool isOfferedFormat(const QByteArray &format) {
    for (const char *f : {"bmp", "dib", "gif", "jpeg", "jpg", "png"})
        if (format == f)
            return true;
    return false;
}

int openRegular(const QString &path, QFile &file) {
    const int error = openRegularFile(path, file);
    if (error == kNotARegularFile)
        return BadPath;
    return error ? pictureOpenError(error) : 0;
}

// A JPEG cut short still decodes, its missing rows filled in grey; such a file is refused.
// Entropy-coded data never holds a marker, so a whole file has an end-of-image marker after
// the start of its last scan. Returns 0, DeviceIO or InvalidPicture.
int checkJpegIsWhole(QIODevice &in) {
    static constexpr qint64 kChunk = 64 * 1024;
    QByteArray buffer(kChunk, Qt::Uninitialized);
    qint64 pos = 0, lastScan = -1, lastEnd = -1;
    bool pendingFF = false; // the previous chunk ended on 0xFF
    const auto marker = [&](unsigned char code, qint64 at) {
        if (code == 0xDA)
            lastScan = at;
        else if (code == 0xD9)
            lastEnd = at;
    };
    for (;;) {
        const qint64 n = in.read(buffer.data(), kChunk);
        if (n < 0)
            return DeviceIO;
        if (n == 0)
            break;
        const auto *data = reinterpret_cast<const unsigned char *>(buffer.constData());
        if (pendingFF)
            marker(data[0], pos);
        const unsigned char *p = data, *end = data + n;
        while ((p = static_cast<const unsigned char *>(std::memchr(p, 0xFF, size_t(end - p))))) {
            if (p + 1 < end)
                marker(p[1], pos + (p + 1 - data));
            ++p;
        }
        pendingFF = data[n - 1] == 0xFF;
        pos += n;
    }
    return lastEnd > lastScan ? 0 : InvalidPicture;
}

PictureRead readPicture(const QString &path) {
    QFile file;
    if (const int error = openRegular(path, file))
        return failed(error);
    const auto readFailed = [&file] { return file.error() == QFileDevice::ReadError; };

    char head[3];
    const qint64 got = file.peek(head, sizeof head);
    if (got < 0)
        return failed(DeviceIO);
    if (got == 3 && std::memcmp(head, "\xFF\xD8\xFF", 3) == 0) {
        if (const int error = checkJpegIsWhole(file))
            return failed(error);
        if (!file.seek(0))
            return failed(DeviceIO);
    }

    QImageReader::setAllocationLimit(kPictureMemoryLimitMiB);
    QImageReader reader(&file);
    reader.setDecideFormatFromContent(true);
    if (!isOfferedFormat(reader.format()))
        return failed(readFailed() ? DeviceIO : InvalidPicture);
    // Declared sizes are refused before any decoder allocates for them.
    const QSize declared = reader.size();
    if (declared.isValid() && !fitsLimit(declared))
        return failed(InvalidPicture);
    QImage image;
    if (reader.read(&image))
        return {std::move(image), 0};
    if (readFailed())
        return failed(DeviceIO);
    // A picture of an acceptable size that could not be allocated: memory ran out. The probe
    // leaves the pages untouched, so it costs no memory when it succeeds.
    if (declared.isValid() && QImage(declared, QImage::Format_ARGB32).isNull())
        return failed(OutOfMemory);
    return failed(InvalidPicture);
}

} // namespace

int pictureOpenError(int osError) {
    switch (osError) {
    case ENOENT:
        return FileNotFound;
    case EACCES:
    case EPERM:
        return AccessDenied;
    case EISDIR:
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
    case EINVAL:
        return BadPath;
    case EIO:
    case ENXIO:
    case ENODEV:
        return DeviceIO;
    case ENOMEM:
        return OutOfMemory;
    default:
        return AccessDenied;
    }
}

PictureRead loadPicture(const QString &path) {
    try {
        return readPicture(path);
    } catch (const std::bad_alloc &) {
        return failed(OutOfMemory);
    }
}

} // namespace q47
