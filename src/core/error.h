#pragma once

#include <QList>
#include <QString>

#include <optional>
#include <type_traits>
#include <utility>
#include <variant>

namespace q47 {

// How much a failure matters where a list of them is kept: a feed's, a plug-in's.
enum class Severity : quint8 { Note, Warning, Error };

// The error numbers the program's messages show ("エラー Code:57", "エラーコード：481"), and
// only those; a failure no message numbers has None.
enum class ErrorNumber : quint16 {
    None = 0,
    OutOfMemory = 7,
    FileNotFound = 53,
    DeviceIO = 57,
    AccessDenied = 75,
    BadPath = 76,
    NoSuchBacklightRow = 340,
    InvalidValue = 380,
    InvalidPicture = 481,
    StateTruncated = 1001,   // the state file ends inside a field
    StateTextPastEnd = 1002, // a text's byte count runs past its end
    StateTooLarge = 1003,    // larger than any state file can be
    BadCopyNotKept = 1004,   // the unreadable state file could not be kept
};

// One failure, whatever layer met it: what went wrong, with which file and where in it, the
// specifics in words, and the number a message shows. The words the operator sees are the
// panel's choice (PanelHost::report); tools and logs print text() or diagnostic().
struct Error {
    enum class Kind : quint8 {
        NotFound,     // nothing at the path
        IsFolder,     // a folder where a file belongs
        NotAFile,     // a named pipe, a device or a socket where a file belongs
        NoPermission, // the system refused access
        BadPath,      // a name the system cannot take: too long, a loop of links
        DeviceFailed, // the device failed
        OutOfMemory,
        ReadFailed, // any other reason the system gives for a read
        TooLarge,   // past the size limit
        Truncated,  // ends inside a record
        Invalid,    // not of its form
        BadValue,   // a value outside what it may be
        Empty,      // holds nothing to use
        TooMany,    // more records than there is room for
        OutOfRange, // asks for what the data does not have
        WriteFailed,
        Unavailable, // a library, an engine or a device the program needs is missing
    };
    // What the failure concerns, where the operator is told of it in words of its own.
    enum class Subject : quint8 { File, Route, StateFile, Picture, Plugin };

    Error() = default;
    explicit Error(Kind what, QString detail = QString()) : what(what), detail(std::move(detail)) {}

    Kind what = Kind::ReadFailed;
    Subject subject = Subject::File;
    Severity severity = Severity::Error;
    QString file; // as the caller named it; empty for none
    int line = 0; // 1-based; 0 for the file as a whole
    QString detail;
    ErrorNumber number = ErrorNumber::None;

    // The same failure with one more thing said of it.
    Error in(const QString &f) const {
        return with([&](Error &e) { e.file = f; });
    }
    Error at(int l) const {
        return with([&](Error &e) { e.line = l; });
    }
    Error about(Subject s) const {
        return with([&](Error &e) { e.subject = s; });
    }
    Error as(Severity s) const {
        return with([&](Error &e) { e.severity = s; });
    }
    Error numbered(ErrorNumber n) const {
        return with([&](Error &e) { e.number = n; });
    }

    // "FILE:LINE", or "FILE" for the file as a whole.
    QString where() const;
    // "47.hy3: No space left on device"; without a detail, the kind's own words.
    QString text() const;
    // "FILE:LINE: warning: text", as compilers write them ("error", "warning", "note").
    QString diagnostic() const;

    bool operator==(const Error &) const = default;

private:
    template <class Change> Error with(Change change) const {
        Error e = *this;
        change(e);
        return e;
    }
};

using Errors = QList<Error>;

bool hasError(const Errors &errors);

// What a kind of failure is, in a few English words ("not an ordinary file").
QString kindText(Error::Kind kind);

// A value, or the failure that stands in its place; void for an operation that gives none.
// Tested like a pointer: true when it holds the value.
template <class T, class E = Error> class [[nodiscard]] Expected {
public:
    template <class U = T>
    requires(std::is_convertible_v<U &&, T> && !std::is_same_v<std::remove_cvref_t<U>, Expected> &&
             !std::is_same_v<std::remove_cvref_t<U>, E>) Expected(U &&value)
        : state_(std::in_place_index<0>, std::forward<U>(value)) {}
    Expected(E error) : state_(std::in_place_index<1>, std::move(error)) {}

    bool has_value() const { return state_.index() == 0; }
    explicit operator bool() const { return has_value(); }

    T &value() & { return *std::get_if<0>(&state_); }
    const T &value() const & { return *std::get_if<0>(&state_); }
    T &&value() && { return std::move(*std::get_if<0>(&state_)); }
    T &operator*() & { return value(); }
    const T &operator*() const & { return value(); }
    T &&operator*() && { return std::move(*this).value(); }
    T *operator->() { return &value(); }
    const T *operator->() const { return &value(); }
    template <class U> T value_or(U &&fallback) const & {
        return has_value() ? value() : static_cast<T>(std::forward<U>(fallback));
    }
    template <class U> T value_or(U &&fallback) && {
        return has_value() ? std::move(value()) : static_cast<T>(std::forward<U>(fallback));
    }

    const E &error() const & { return *std::get_if<1>(&state_); }
    E &error() & { return *std::get_if<1>(&state_); }
    E &&error() && { return std::move(*std::get_if<1>(&state_)); }

private:
    std::variant<T, E> state_;
};

template <class E> class [[nodiscard]] Expected<void, E> {
public:
    Expected() = default;
    Expected(E error) : error_(std::move(error)) {}

    bool has_value() const { return !error_; }
    explicit operator bool() const { return has_value(); }

    const E &error() const & { return *error_; }
    E &error() & { return *error_; }
    E &&error() && { return std::move(*error_); }

private:
    std::optional<E> error_;
};

template <class T = void> using Result = Expected<T, Error>;

} // namespace q47
