#include "feedsource.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <optional>

#include <zip.h>

#include <dlfcn.h>

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
    X(zip_source_buffer_create)                                                                    \
    X(zip_error_strerror)                                                                          \
    X(zip_error_fini)                                                                              \
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

class FolderSource final : public FeedSource {
public:
    explicit FolderSource(const QString &path) : FeedSource(QDir(path).dirName()), dir_(path) {}

    bool has(const QString &file) const override { return QFileInfo(dir_.filePath(file)).isFile(); }
    bool read(const QString &file, QByteArray &out, QString *error) const override {
        QFile f(dir_.filePath(file));
        if (!f.open(QIODevice::ReadOnly)) {
            *error = f.errorString();
            return false;
        }
        out = f.readAll();
        return true;
    }
    qint64 size(const QString &file) const override {
        return QFileInfo(dir_.filePath(file)).size();
    }

private:
    QDir dir_;
};

struct ZipCloser {
    void operator()(zip_t *z) const { zipLibrary()->zip_discard(z); }
};

class ZipSource final : public FeedSource {
public:
    ZipSource(const QString &name, std::unique_ptr<zip_t, ZipCloser> zip, QByteArray bytes)
        : FeedSource(name), zip_(std::move(zip)), bytes_(std::move(bytes)) {
        // The files at the top win over those in a folder; folders of other systems' metadata
        // (__MACOSX) are no feed.
        const Zip *lib = zipLibrary();
        const zip_int64_t count = lib->zip_get_num_entries(zip_.get(), 0);
        for (zip_int64_t i = 0; i < count; ++i) {
            zip_stat_t st;
            if (lib->zip_stat_index(zip_.get(), zip_uint64_t(i), 0, &st) != 0 ||
                !(st.valid & ZIP_STAT_NAME))
                continue;
            const QString path = QString::fromUtf8(st.name);
            if (path.endsWith(QLatin1Char('/')) || path.startsWith(QLatin1String("__MACOSX")))
                continue;
            const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
            const QString base = path.mid(slash + 1);
            const int depth = int(path.count(QLatin1Char('/')));
            auto it = entries_.find(base);
            if (it == entries_.end() || depth < it->depth)
                entries_.insert(base, {zip_uint64_t(i), depth,
                                       (st.valid & ZIP_STAT_SIZE) ? qint64(st.size) : 0});
        }
    }

    bool has(const QString &file) const override { return entries_.contains(file); }
    bool read(const QString &file, QByteArray &out, QString *error) const override {
        const auto it = entries_.constFind(file);
        if (it == entries_.constEnd()) {
            *error = QStringLiteral("not in the zip");
            return false;
        }
        // The size the zip claims is checked against what the entry yields, so a forged size
        // costs no memory beyond the entry's real content.
        const Zip *lib = zipLibrary();
        zip_file_t *f = lib->zip_fopen_index(zip_.get(), it->index, 0);
        if (!f) {
            *error = QString::fromUtf8(lib->zip_strerror(zip_.get()));
            return false;
        }
        out.clear();
        char buf[65536];
        for (;;) {
            const zip_int64_t n = lib->zip_fread(f, buf, sizeof buf);
            if (n < 0) {
                *error = QString::fromUtf8(lib->zip_file_strerror(f));
                lib->zip_fclose(f);
                return false;
            }
            if (n == 0)
                break;
            out.append(buf, qsizetype(n));
        }
        lib->zip_fclose(f);
        return true;
    }
    qint64 size(const QString &file) const override {
        const auto it = entries_.constFind(file);
        return it == entries_.constEnd() ? 0 : it->size;
    }

private:
    struct Entry {
        zip_uint64_t index;
        int depth;
        qint64 size;
    };
    std::unique_ptr<zip_t, ZipCloser> zip_;
    QByteArray bytes_; // the zip source reads from these
    QHash<QString, Entry> entries_;
};

} // namespace

std::unique_ptr<FeedSource> FeedSource::fromZipBytes(const QByteArray &bytes, const QString &name,
                                                     QString *error) {
    const Zip *lib = zipLibrary();
    if (!lib) {
        *error = QStringLiteral("zip feeds need libzip, which is not installed; unpack the feed "
                                "into a folder");
        return nullptr;
    }
    zip_error_t ze;
    lib->zip_error_init(&ze);
    // libzip reads the buffer in place; ZipSource keeps the (shared) bytes alive.
    zip_source_t *src =
        lib->zip_source_buffer_create(bytes.constData(), zip_uint64_t(bytes.size()), 0, &ze);
    if (!src) {
        *error = QString::fromUtf8(lib->zip_error_strerror(&ze));
        lib->zip_error_fini(&ze);
        return nullptr;
    }
    zip_t *z = lib->zip_open_from_source(src, ZIP_RDONLY, &ze);
    if (!z) {
        *error = QStringLiteral("not a zip file (%1)")
                     .arg(QString::fromUtf8(lib->zip_error_strerror(&ze)));
        lib->zip_source_free(src);
        lib->zip_error_fini(&ze);
        return nullptr;
    }
    lib->zip_error_fini(&ze);
    return std::make_unique<ZipSource>(name, std::unique_ptr<zip_t, ZipCloser>(z), bytes);
}

std::unique_ptr<FeedSource> FeedSource::open(const QString &path, QString *error) {
    const QFileInfo info(path);
    if (info.isDir())
        return std::make_unique<FolderSource>(path);
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        *error = f.errorString();
        return nullptr;
    }
    return fromZipBytes(f.readAll(), info.fileName(), error);
}

} // namespace q47::gtfs
