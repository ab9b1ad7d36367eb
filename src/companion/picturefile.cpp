#include "picturefile.h"

#include "regularfile.h"

#include <QFile>
#include <QImageReader>

#include <cstring>
#include <new>

namespace q47 {

namespace {

constexpr qint64 kLimitBytes = qint64{kPictureMemoryLimitMiB} * 1024 * 1024;

Error failed(const QString &path, Error::Kind what, ErrorNumber number) {
    return Error(what).in(path).about(Error::Subject::Picture).numbered(number);
}

// The number a picture's message gives for a file that could not be opened.
ErrorNumber openErrorNumber(Error::Kind what) {
    switch (what) {
    case Error::Kind::NotFound:
        return ErrorNumber::FileNotFound;
    case Error::Kind::IsFolder:
    case Error::Kind::NotAFile:
    case Error::Kind::BadPath:
        return ErrorNumber::BadPath;
    case Error::Kind::DeviceFailed:
        return ErrorNumber::DeviceIO;
    case Error::Kind::OutOfMemory:
        return ErrorNumber::OutOfMemory;
    default:
        return ErrorNumber::AccessDenied;
    }
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

enum class JpegCheck { Whole, Cut, ReadFailed };

// A JPEG cut short still decodes, its missing rows filled in grey; such a file is refused.
// Entropy-coded data never holds a marker, so a whole file has an end-of-image marker after
// the start of its last scan.
JpegCheck checkJpegIsWhole(QIODevice &in) {
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
            return JpegCheck::ReadFailed;
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
    return lastEnd > lastScan ? JpegCheck::Whole : JpegCheck::Cut;
}

Result<QImage> readPicture(const QString &path) {
    QFile file;
    if (Result<> opened = openRegularFile(path, file); !opened) {
        const Error &error = opened.error();
        return error.about(Error::Subject::Picture).numbered(openErrorNumber(error.what));
    }
    const auto readFailed = [&file] { return file.error() == QFileDevice::ReadError; };
    const Error deviceFailed = failed(path, Error::Kind::DeviceFailed, ErrorNumber::DeviceIO);
    const Error invalid = failed(path, Error::Kind::Invalid, ErrorNumber::InvalidPicture);

    char head[3];
    const qint64 got = file.peek(head, sizeof head);
    if (got < 0)
        return deviceFailed;
    if (got == 3 && std::memcmp(head, "\xFF\xD8\xFF", 3) == 0) {
        switch (checkJpegIsWhole(file)) {
        case JpegCheck::Whole:
            break;
        case JpegCheck::Cut:
            return invalid;
        case JpegCheck::ReadFailed:
            return deviceFailed;
        }
        if (!file.seek(0))
            return deviceFailed;
    }

    QImageReader::setAllocationLimit(kPictureMemoryLimitMiB);
    QImageReader reader(&file);
    reader.setDecideFormatFromContent(true);
    if (!isOfferedFormat(reader.format()))
        return readFailed() ? deviceFailed : invalid;
    // Declared sizes are refused before any decoder allocates for them.
    const QSize declared = reader.size();
    if (declared.isValid() && !fitsLimit(declared))
        return invalid;
    QImage image;
    if (reader.read(&image))
        return image;
    if (readFailed())
        return deviceFailed;
    // A picture of an acceptable size that could not be allocated: memory ran out. The probe
    // leaves the pages untouched, so it costs no memory when it succeeds.
    if (declared.isValid() && QImage(declared, QImage::Format_ARGB32).isNull())
        return failed(path, Error::Kind::OutOfMemory, ErrorNumber::OutOfMemory);
    return invalid;
}

} // namespace

Result<QImage> loadPicture(const QString &path) {
    try {
        return readPicture(path);
    } catch (const std::bad_alloc &) {
        return failed(path, Error::Kind::OutOfMemory, ErrorNumber::OutOfMemory);
    }
}

} // namespace q47
