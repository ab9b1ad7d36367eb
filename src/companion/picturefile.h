#pragma once

#include <QImage>
#include <QString>

namespace q47 {

// What reading a picture file gives: the picture, or the error number the operator is told.
struct PictureRead {
    QImage image;
    int error = 0; // 0 when image holds the picture
};

// Error numbers of picture reading.
namespace picture_error {
inline constexpr int OutOfMemory = 7;
inline constexpr int FileNotFound = 53;
inline constexpr int DeviceIO = 57;
inline constexpr int AccessDenied = 75;
inline constexpr int BadPath = 76;
inline constexpr int InvalidPicture = 481;
} // namespace picture_error

// Neither the decoded picture nor anything the decoders allocate for it may exceed this; a
// picture that would is not a valid picture.
inline constexpr int kPictureMemoryLimitMiB = 64;

// Reads a BMP, GIF, JPEG or PNG picture, the format told by the content, whatever the name's
// extension. Other formats, damaged or truncated files and pictures over the memory limit are
// InvalidPicture; the file is never read into memory whole, so its size does not matter.
PictureRead loadPicture(const QString &path);

// The error number for an operating system error number met while opening a file.
int pictureOpenError(int osError);

} // namespace q47
