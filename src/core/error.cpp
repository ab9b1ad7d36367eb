#include "error.h"

#include <algorithm>

namespace q47 {

namespace {

QString severityText(Severity severity) {
    switch (severity) {
    case Severity::Note:
        return QStringLiteral("note");
    case Severity::Warning:
        return QStringLiteral("warning");
    case Severity::Error:
        break;
    }
    return QStringLiteral("error");
}

} // namespace

QString kindText(Error::Kind kind) {
    switch (kind) {
    case Error::Kind::NotFound:
        return QStringLiteral("no such file");
    case Error::Kind::IsFolder:
        return QStringLiteral("a folder, not an ordinary file");
    case Error::Kind::NotAFile:
        return QStringLiteral("not an ordinary file");
    case Error::Kind::NoPermission:
        return QStringLiteral("permission denied");
    case Error::Kind::BadPath:
        return QStringLiteral("not a usable file name");
    case Error::Kind::DeviceFailed:
        return QStringLiteral("the device failed");
    case Error::Kind::OutOfMemory:
        return QStringLiteral("out of memory");
    case Error::Kind::ReadFailed:
        return QStringLiteral("cannot be read");
    case Error::Kind::TooLarge:
        return QStringLiteral("too large");
    case Error::Kind::Truncated:
        return QStringLiteral("ends too early");
    case Error::Kind::Invalid:
        return QStringLiteral("not of its form");
    case Error::Kind::BadValue:
        return QStringLiteral("a value out of range");
    case Error::Kind::Empty:
        return QStringLiteral("empty");
    case Error::Kind::TooMany:
        return QStringLiteral("too many records");
    case Error::Kind::OutOfRange:
        return QStringLiteral("beyond the data");
    case Error::Kind::WriteFailed:
        return QStringLiteral("cannot be written");
    case Error::Kind::Unavailable:
        return QStringLiteral("not available");
    }
    return {};
}

QString Error::where() const {
    return line > 0 ? QStringLiteral("%1:%2").arg(file).arg(line) : file;
}

QString Error::text() const {
    const QString words = detail.isEmpty() ? kindText(what) : detail;
    return file.isEmpty() ? words : where() + QStringLiteral(": ") + words;
}

QString Error::diagnostic() const {
    return QStringLiteral("%1: %2: %3")
        .arg(where(), severityText(severity), detail.isEmpty() ? kindText(what) : detail);
}

bool hasError(const Errors &errors) {
    return std::any_of(errors.begin(), errors.end(),
                       [](const Error &e) { return e.severity == Severity::Error; });
}

} // namespace q47
