#include "feedsource.h"

#include "regularfile.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>

#include <zip.h>

#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

namespace q47::gtfs {

namespace {

// libzip is opened on the first zip feed: linked, it would bring its compression and
// cryptography libraries into every start of the program, which reads feeds rarely.
#define Q47_ZIP_FUNCTIONS(X)                                                                       \
    X(zip_discard)                                                                                 \
    X(zip_get_num_entries)                                                                         \
    X(zip_stat_index)                                                                              \
    X(zip_fopen_index)                                                                             \
    X(zip_strerror)                                                                                \
    X(zip_fread)                                                                                   \
    X(zip_file_strerror)                                                                           \
    X(zip_fclose)                                                                                  \
    X(zip_error_init)                                                                              \
    X(zip_error_init_with_code)                                                                    \
    X(zip_source_buffer_create)                                                                    \
    X(zip_error_strerror)                                                                          \
    X(zip_error_fini)                                                                              \
    X(zip_fdopen)                                                                                  \
    X(zip_open_from_source)                                                                        \
    X(zip_source_free)

struct Zip {
#define Q47_ZIP_POINTER(name) decltype(&::name) name = nullptr;
    Q47_ZIP_FUNCTIONS(Q47_ZIP_POINTER)
#undef Q47_ZIP_POINTER
};

// Null when the library or one of its functions is missing. Never closed.
const Zip *zipLibrary() {
    static const std::optional<Zip> library = []() -> std::optional<Zip> {
        void *handle = dlopen(Q47_LIBZIP_SONAME, RTLD_LAZY | RTLD_LOCAL);
        if (!handle)
            return std::nullopt;
        Zip zip;
        bool complete = true;
#define Q47_ZIP_RESOLVE(name)                                                                      \
    zip.name = reinterpret_cast<decltype(zip.name)>(dlsym(handle, #name));                         \
    complete = complete && zip.name;
        Q47_ZIP_FUNCTIONS(Q47_ZIP_RESOLVE)
#undef Q47_ZIP_RESOLVE
        if (!complete)
            return std::nullopt;
        return zip;
    }();
    return library ? &*library : nullptr;
}
#undef Q47_ZIP_FUNCTIONS

const QString kNeedsLibzip =
    QStringLiteral("zip feeds need libzip, which is not installed; unpack the feed into a folder");

// An ordinary file of a folder feed, read through its descriptor.
class FileStream final : public ByteStream {
public:
    explicit FileStream(int fd) : fd_(fd) {}
    ~FileStream() override { ::close(fd_); }
    FileStream(const FileStream &) = delete;
    FileStream &operator=(const FileStream &) = delete;

    qint64 read(char *to, qint64 max) override {
        for (;;) {
            const ssize_t n = ::read(fd_, to, size_t(max));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                error_ = QString::fromLocal8Bit(std::strerror(errno));
                return -1;
            }
            total_ += n;
            if (total_ > kMaxTableBytes) {
                error_ = QStringLiteral("larger than %1").arg(sizeText(kMaxTableBytes));
                return -1;
            }
            return n;
        }
    }
    QString errorString() const override { return error_; }

private:
    int fd_;
    qint64 total_ = 0;
    QString error_;
};

class FolderSource final : public FeedSource {
public:
    explicit FolderSource(const QString &path) : FeedSource(QDir(path).dirName()), dir_(path) {}

    bool has(const QString &file) const override {
        const QFileInfo info(dir_.filePath(file));
        return info.exists() || info.isSymLink();
    }
    Result<std::unique_ptr<ByteStream>> openFile(const QString &file) const override {
        const QString path = dir_.filePath(file);
        const Result<int> opened = openRegularDescriptor(path);
        if (!opened)
            return opened.error();
        const int fd = *opened;
        struct stat st {};
        if (::fstat(fd, &st) == 0 && st.st_size > kMaxTableBytes) {
            ::close(fd);
            return Error(Error::Kind::TooLarge,
                         QStringLiteral("larger than %1").arg(sizeText(kMaxTableBytes)))
                .in(path);
        }
        return std::unique_ptr<ByteStream>(std::make_unique<FileStream>(fd));
    }
    qint64 size(const QString &file) const override {
        return QFileInfo(dir_.filePath(file)).size();
    }

private:
    QDir dir_;
};

// A zip member unpacked as it is read. The sizes in the zip's headers are not trusted: what
// the member yields is counted, and it stops at the limits.
class ZipMemberStream final : public ByteStream {
public:
    ZipMemberStream(zip_file_t *file, QString member, qint64 packedSize)
        : file_(file), member_(std::move(member)), packed_(std::max<qint64>(packedSize, 1)) {}
    ~ZipMemberStream() override { zipLibrary()->zip_fclose(file_); }
    ZipMemberStream(const ZipMemberStream &) = delete;
    ZipMemberStream &operator=(const ZipMemberStream &) = delete;

    qint64 read(char *to, qint64 max) override {
        if (!error_.isEmpty())
            return -1;
        const zip_int64_t n = zipLibrary()->zip_fread(file_, to, zip_uint64_t(max));
        if (n < 0) {
            error_ = QStringLiteral("%1 in the zip: %2")
                         .arg(member_, QString::fromUtf8(zipLibrary()->zip_file_strerror(file_)));
            return -1;
        }
        unpacked_ += n;
        if (unpacked_ > kMaxMemberBytes)
            error_ = QStringLiteral("%1 in the zip unpacks to more than %2; a member that large "
                                    "is refused")
                         .arg(member_, sizeText(kMaxMemberBytes));
        else if (unpacked_ > kRatioCheckedFrom && unpacked_ / packed_ >= kMaxPackingRatio)
            error_ = QStringLiteral("%1 in the zip unpacks to more than %2 times its packed size "
                                    "of %3 bytes; refused as a zip bomb")
                         .arg(member_)
                         .arg(kMaxPackingRatio)
                         .arg(packed_);
        return error_.isEmpty() ? qint64(n) : -1;
    }
    QString errorString() const override { return error_; }

private:
    zip_file_t *file_;
    QString member_;
    qint64 packed_;
    qint64 unpacked_ = 0;
    QString error_;
};

struct ZipCloser {
    void operator()(zip_t *z) const { zipLibrary()->zip_discard(z); }
};

class ZipSource final : public FeedSource {
public:
    ZipSource(const QString &name, std::unique_ptr<zip_t, ZipCloser> zip, QByteArray bytes)
        : FeedSource(name), zip_(std::move(zip)), bytes_(std::move(bytes)) {
        // The files at the top win over those in a folder; folders of other systems' metadata
        // (__MACOSX) are no feed. Only tables (.txt) are listed, so that a zip of countless
        // other members costs nothing here.
        const Zip *lib = zipLibrary();
        const zip_int64_t count = lib->zip_get_num_entries(zip_.get(), 0);
        for (zip_int64_t i = 0; i < count; ++i) {
            zip_stat_t st;
            if (lib->zip_stat_index(zip_.get(), zip_uint64_t(i), 0, &st) != 0 ||
                !(st.valid & ZIP_STAT_NAME))
                continue;
            const QString path = QString::fromUtf8(st.name);
            if (!path.endsWith(QLatin1String(".txt")) || path.startsWith(QLatin1String("__MACOSX")))
                continue;
            const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
            const QString base = path.mid(slash + 1);
            const int depth = int(path.count(QLatin1Char('/')));
            auto it = entries_.find(base);
            if (it == entries_.end() || depth < it->depth)
                entries_.insert(base, {zip_uint64_t(i), depth, path,
                                       (st.valid & ZIP_STAT_SIZE) ? qint64(st.size) : 0,
                                       (st.valid & ZIP_STAT_COMP_SIZE) ? qint64(st.comp_size) : 0});
        }
    }

    bool has(const QString &file) const override { return entries_.contains(file); }
    Result<std::unique_ptr<ByteStream>> openFile(const QString &file) const override {
        const auto it = entries_.constFind(file);
        if (it == entries_.constEnd())
            return Error(Error::Kind::NotFound, QStringLiteral("not in the zip")).in(file);
        const Zip *lib = zipLibrary();
        zip_file_t *f = lib->zip_fopen_index(zip_.get(), it->index, 0);
        if (!f)
            return Error(Error::Kind::ReadFailed,
                         QStringLiteral("%1 in the zip: %2")
                             .arg(it->path, QString::fromUtf8(lib->zip_strerror(zip_.get()))))
                .in(file);
        return std::unique_ptr<ByteStream>(
            std::make_unique<ZipMemberStream>(f, it->path, it->packedSize));
    }
    qint64 size(const QString &file) const override {
        const auto it = entries_.constFind(file);
        return it == entries_.constEnd() ? 0 : std::min(it->size, kMaxMemberBytes);
    }

private:
    struct Entry {
        zip_uint64_t index;
        int depth;
        QString path;
        qint64 size;
        qint64 packedSize;
    };
    std::unique_ptr<zip_t, ZipCloser> zip_;
    QByteArray bytes_; // a zip in memory: the zip source reads from these
    QHash<QString, Entry> entries_;
};

QString zipErrorText(const Zip *lib, zip_error_t *ze) {
    return QStringLiteral("not a zip file (%1)")
        .arg(QString::fromUtf8(lib->zip_error_strerror(ze)));
}

} // namespace

qint64 BytesStream::read(char *to, qint64 max) {
    const qsizetype n = std::min<qsizetype>(qsizetype(max), bytes_.size() - pos_);
    std::memcpy(to, bytes_.constData() + pos_, size_t(n));
    pos_ += n;
    return n;
}

Result<std::unique_ptr<FeedSource>> FeedSource::fromZipBytes(const QByteArray &bytes,
                                                             const QString &name) {
    const auto failed = [&name](Error::Kind what, const QString &why) {
        return Error(what, why).in(name);
    };
    const Zip *lib = zipLibrary();
    if (!lib)
        return failed(Error::Kind::Unavailable, kNeedsLibzip);
    zip_error_t ze;
    lib->zip_error_init(&ze);
    // libzip reads the buffer in place; ZipSource keeps the (shared) bytes alive.
    zip_source_t *src =
        lib->zip_source_buffer_create(bytes.constData(), zip_uint64_t(bytes.size()), 0, &ze);
    if (!src) {
        const Error error =
            failed(Error::Kind::ReadFailed, QString::fromUtf8(lib->zip_error_strerror(&ze)));
        lib->zip_error_fini(&ze);
        return error;
    }
    zip_t *z = lib->zip_open_from_source(src, ZIP_RDONLY, &ze);
    if (!z) {
        const Error error = failed(Error::Kind::Invalid, zipErrorText(lib, &ze));
        lib->zip_source_free(src);
        lib->zip_error_fini(&ze);
        return error;
    }
    lib->zip_error_fini(&ze);
    return std::unique_ptr<FeedSource>(
        std::make_unique<ZipSource>(name, std::unique_ptr<zip_t, ZipCloser>(z), bytes));
}

Result<std::unique_ptr<FeedSource>> FeedSource::open(const QString &path) {
    const QFileInfo info(path);
    if (info.isDir())
        return std::unique_ptr<FeedSource>(std::make_unique<FolderSource>(path));
    // Anything but an ordinary file is refused before a byte of it is read: a named pipe would
    // wait for a writer, a device never end.
    const Result<int> opened = openRegularDescriptor(path);
    if (!opened) {
        Error refused = opened.error();
        if (refused.what == Error::Kind::NotAFile || refused.what == Error::Kind::IsFolder)
            refused.detail =
                QStringLiteral("%1, not a folder or a .zip file").arg(fileKindText(path));
        return refused;
    }
    const int fd = *opened;
    const Zip *lib = zipLibrary();
    if (!lib) {
        ::close(fd);
        return Error(Error::Kind::Unavailable, kNeedsLibzip).in(path);
    }
    // The zip is read where it lies, member by member, never whole into memory.
    int code = 0;
    zip_t *z = lib->zip_fdopen(fd, 0, &code);
    if (!z) {
        ::close(fd);
        zip_error_t ze;
        lib->zip_error_init_with_code(&ze, code);
        const Error error = Error(Error::Kind::Invalid, zipErrorText(lib, &ze)).in(path);
        lib->zip_error_fini(&ze);
        return error;
    }
    return std::unique_ptr<FeedSource>(std::make_unique<ZipSource>(
        info.fileName(), std::unique_ptr<zip_t, ZipCloser>(z), QByteArray()));
}

} // namespace q47::gtfs
