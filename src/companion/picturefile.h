#pragma once

#include "error.h"

#include <QImage>
#include <QString>

namespace q47 {

// Neither the decoded picture nor anything the decoders allocate for it may exceed this; a
// picture that would is not a valid picture.
inline constexpr int kPictureMemoryLimitMiB = 64;

// Reads a BMP, GIF, JPEG or PNG picture, the format told by the content, whatever the name's
// extension. The failure is a Picture's, with the number the operator is told: other formats,
// damaged or truncated files and pictures over the memory limit are InvalidPicture; a file
// that cannot be opened FileNotFound, AccessDenied or BadPath; a failed read DeviceIO. The file
// is never read into memory whole, so its size does not matter.
Result<QImage> loadPicture(const QString &path);

} // namespace q47
