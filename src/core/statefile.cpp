#include "statefile.h"

#include "logging.h"
#include "regularfile.h"
#include "safefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QtEndian>

#include <cstring>

namespace q47 {

namespace {

// Items 7 to 11 have no texts: their sizes in file order.
constexpr qsizetype kControlPanelBytes = 2 + 4 + 4 + 2 + 2 + 4 + 4;
constexpr qsizetype kMainWindowBytes = 4 + 4;
constexpr qsizetype kCustomColorBytes = kCustomColorCount * 4;
constexpr qsizetype kCellCountBytes = 2;
constexpr qsizetype kCellBytes = kCellCount * 6;
constexpr qsizetype kTailBytes =
    kControlPanelBytes + kMainWindowBytes + kCustomColorBytes + kCellCountBytes + kCellBytes;

constexpr qsizetype fieldBytes(SettingKind kind) {
    return kind == SettingKind::Colour ? 4 : 2; // a text's byte count is 2 bytes, too
}

class Writer {
public:
    explicit Writer(char *at) : p_(at) {}

    void i16(qint16 v) {
        qToLittleEndian(v, p_);
        p_ += 2;
    }
    void i32(qint32 v) {
        qToLittleEndian(v, p_);
        p_ += 4;
    }
    void text(const QByteArray &bytes) {
        i16(static_cast<qint16>(static_cast<quint16>(bytes.size())));
        if (!bytes.isEmpty())
            std::memcpy(p_, bytes.constData(), size_t(bytes.size()));
        p_ += bytes.size();
    }
    const char *at() const { return p_; }

private:
    char *p_;
};

// Reads fields without ever passing the end; the caller checks room() before each read.
class Reader {
public:
    explicit Reader(QByteArrayView bytes)
        : begin_(bytes.data()), p_(bytes.data()), end_(bytes.data() + bytes.size()) {}

    qsizetype room() const { return end_ - p_; }
    qsizetype offset() const { return p_ - begin_; }
    qsizetype size() const { return end_ - begin_; }

    qint16 i16() {
        const auto v = qFromLittleEndian<qint16>(p_);
        p_ += 2;
        return v;
    }
    qint32 i32() {
        const auto v = qFromLittleEndian<qint32>(p_);
        p_ += 4;
        return v;
    }
    QByteArrayView take(qsizetype n) {
        const QByteArrayView v(p_, n);
        p_ += n;
        return v;
    }

private:
    const char *begin_;
    const char *p_;
    const char *end_;
};

// A failure of the state file: its number, and its description as the message gives it.
Error stateError(Error::Kind what, ErrorNumber number, const QString &description,
                 const QString &path = QString()) {
    return Error(what, description).in(path).about(Error::Subject::StateFile).numbered(number);
}

Error truncated(const Reader &in, int item) {
    return stateError(
        Error::Kind::Truncated, ErrorNumber::StateTruncated,
        QStringLiteral("状態ファイルが途中で終わっています（%1 バイト、項目 %2 の途中）")
            .arg(in.size())
            .arg(item));
}

// The item that the fixed tail of the file ends in, `room` bytes after its start.
int tailItem(qsizetype room) {
    const qsizetype ends[] = {kControlPanelBytes, kMainWindowBytes, kCustomColorBytes,
                              kCellCountBytes, kCellBytes};
    int item = 7;
    for (qsizetype size : ends) {
        if (room < size)
            return item;
        room -= size;
        ++item;
    }
    return item;
}

Error ioError(Error::Kind kind, ErrorNumber number, const QString &what, const QString &path,
              const QString &why = QString()) {
    const QString where = QDir::toNativeSeparators(path);
    return stateError(kind, number,
                      why.isEmpty() ? QStringLiteral("%1（%2）").arg(what, where)
                                    : QStringLiteral("%1（%2: %3）").arg(what, where, why),
                      path);
}

bool canCreateFileIn(const QString &folder) {
    // Asking for the permission bits is not enough: root passes them on read-only mounts and
    // pseudo file systems. Creating a file is the question that matters.
    if (!QFileInfo(folder).isDir())
        return false;
    QTemporaryFile probe(folder + QStringLiteral("/.in4-probe-XXXXXX"));
    return probe.open();
}

// Why a file could not be opened for reading, in the words the program's messages use.
QString openErrorText(const Error &error) {
    return error.what == Error::Kind::NotAFile || error.what == Error::Kind::IsFolder
               ? QStringLiteral("通常のファイルではありません")
               : error.detail;
}

} // namespace

QByteArray encodeState(const StateRecords &records) {
    const std::span<const OptionField> layout = optionLayout();
    qsizetype size = kStateFileFixedSize;
    for (size_t k = 0; k < layout.size(); ++k) {
        if (layout[k].kind == SettingKind::Text)
            size += records.options[k].text.bytes().size();
    }

    QByteArray out(size, Qt::Uninitialized);
    Writer w(out.data());
    for (size_t k = 0; k < layout.size(); ++k) {
        const OptionValue &v = records.options[k];
        switch (layout[k].kind) {
        case SettingKind::Text:
            w.text(v.text.bytes());
            break;
        case SettingKind::Colour:
            w.i32(v.number);
            break;
        case SettingKind::Flag:
        case SettingKind::Choice:
        case SettingKind::Index:
            w.i16(static_cast<qint16>(v.number));
            break;
        }
    }

    const ControlPanelState &panel = records.controlPanel;
    w.i16(panel.paneIndex);
    w.i32(panel.scrollSpeed);
    w.i32(panel.scrollInterval);
    w.i16(panel.lateNightFare);
    w.i16(panel.previewOpen);
    w.i32(panel.leftTwips);
    w.i32(panel.topTwips);

    w.i32(records.mainWindow.leftTwips);
    w.i32(records.mainWindow.topTwips);

    for (quint32 colour : records.customColors)
        w.i32(static_cast<qint32>(colour));

    w.i16(kCellCount);
    for (const CellDigitSettings &cell : records.cells) {
        w.i16(cell.Shift);
        w.i16(cell.ZeroMode);
        w.i16(cell.FillZero);
    }
    Q_ASSERT(w.at() == out.constData() + out.size());
    return out;
}

Result<StateRecords> decodeState(QByteArrayView bytes) {
    Reader in(bytes);
    StateRecords records;

    const std::span<const OptionField> layout = optionLayout();
    for (size_t k = 0; k < layout.size(); ++k) {
        const OptionField &f = layout[k];
        OptionValue &v = records.options[k];
        if (in.room() < fieldBytes(f.kind))
            return truncated(in, f.item);
        switch (f.kind) {
        case SettingKind::Text: {
            const qsizetype count = static_cast<quint16>(in.i16());
            if (in.room() < count) {
                return stateError(
                    Error::Kind::Truncated, ErrorNumber::StateTextPastEnd,
                    QStringLiteral("状態ファイルの文字列の長さ %1 バイトがファイルの"
                                   "残り %2 バイトを超えています（項目 %3、%4 バイト目）")
                        .arg(count)
                        .arg(in.room())
                        .arg(f.item)
                        .arg(in.offset() - 2));
            }
            v.text = StateText::fromBytes(in.take(count));
            break;
        }
        case SettingKind::Colour:
            v.number = in.i32();
            break;
        case SettingKind::Flag:
        case SettingKind::Choice:
        case SettingKind::Index:
            v.number = in.i16();
            break;
        }
    }

    if (in.room() < kTailBytes)
        return truncated(in, tailItem(in.room()));

    ControlPanelState &panel = records.controlPanel;
    panel.paneIndex = in.i16();
    panel.scrollSpeed = in.i32();
    panel.scrollInterval = in.i32();
    panel.lateNightFare = in.i16();
    panel.previewOpen = in.i16();
    panel.leftTwips = in.i32();
    panel.topTwips = in.i32();

    records.mainWindow.leftTwips = in.i32();
    records.mainWindow.topTwips = in.i32();

    for (quint32 &colour : records.customColors)
        colour = static_cast<quint32>(in.i32());

    // The entry count was never trusted: there are always exactly 50 entries.
    in.i16();
    for (CellDigitSettings &cell : records.cells) {
        cell.Shift = in.i16();
        cell.ZeroMode = in.i16();
        cell.FillZero = in.i16();
    }
    // Anything after the last entry is left unread: the layout ends there, and a file with more
    // after it still restores everything it holds.
    return records;
}

QString stateFilePath(const QString &executablePath, const QString &fallbackFolder) {
    const QFileInfo exe(executablePath);
    const QString name = exe.completeBaseName() + QStringLiteral(".in4");
    const QString folder = exe.absolutePath();
    if (canCreateFileIn(folder))
        return QDir(folder).filePath(name);
    return QDir(fallbackFolder).filePath(name);
}

QString stateFilePath(const QString &executablePath) {
    return stateFilePath(executablePath,
                         QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
}

Result<std::optional<QByteArray>> loadStateFile(const QString &path) {
    QFile file;
    // A pipe or a device in the file's place is refused, not waited on.
    if (Result<> opened = openRegularFile(path, file); !opened) {
        if (opened.error().what == Error::Kind::NotFound) {
            logPassedOver(logState, opened.error()); // a first start
            return std::nullopt;
        }
        return ioError(opened.error().what, ErrorNumber::AccessDenied,
                       QStringLiteral("状態ファイルを開けません"), path,
                       openErrorText(opened.error()));
    }

    const auto tooLarge = [&] {
        return ioError(
            Error::Kind::TooLarge, ErrorNumber::StateTooLarge,
            QStringLiteral("状態ファイルが上限の %1 バイトを超えています").arg(kStateFileMaxBytes),
            path);
    };
    if (file.size() > kStateFileMaxBytes)
        return tooLarge();

    // Read in chunks up to the limit: the size is only a hint (it may grow, or a device may
    // report none).
    QByteArray bytes;
    bytes.reserve(qsizetype(file.size()));
    char chunk[64 * 1024];
    for (;;) {
        const qint64 got = file.read(chunk, sizeof chunk);
        if (got < 0)
            return ioError(Error::Kind::ReadFailed, ErrorNumber::DeviceIO,
                           QStringLiteral("状態ファイルを読み込めません"), path,
                           file.errorString());
        if (got == 0)
            break;
        if (bytes.size() + got > kStateFileMaxBytes)
            return tooLarge();
        bytes.append(chunk, qsizetype(got));
    }
    return std::optional<QByteArray>(std::move(bytes));
}

Result<> saveStateFile(const QString &path, const QByteArray &bytes) {
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder)) {
        return ioError(Error::Kind::WriteFailed, ErrorNumber::BadPath,
                       QStringLiteral("状態ファイルのフォルダーを作れません"), folder);
    }
    PendingFile file;
    if (const Result<> opened = file.open(path); !opened) {
        return ioError(Error::Kind::WriteFailed, ErrorNumber::AccessDenied,
                       QStringLiteral("状態ファイルを書き込み用に開けません"), path,
                       opened.error().detail);
    }
    Result<> written = file.write(bytes);
    if (written)
        written = file.commit();
    if (!written) { // the old file is untouched, the temporary file gone
        return ioError(Error::Kind::WriteFailed, ErrorNumber::DeviceIO,
                       QStringLiteral("状態ファイルを書き込めません"), path,
                       written.error().detail);
    }
    return {};
}

Result<> keepBadCopy(const QString &path) {
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
        return {};
    // Streamed, not read whole: the file may be the one refused for its size.
    if (const Result<> kept = copyFileSafely(path, path + QStringLiteral(".bad")); !kept)
        return ioError(Error::Kind::WriteFailed, ErrorNumber::BadCopyNotKept,
                       QStringLiteral("読めなかった状態ファイルを残せません"), kept.error().file,
                       kept.error().detail);
    return {};
}

Result<std::optional<StateRecords>> StateFile::load() {
    Result<std::optional<StateRecords>> loaded = [this]() -> Result<std::optional<StateRecords>> {
        Result<std::optional<QByteArray>> read = loadStateFile(path_);
        if (!read)
            return std::move(read).error();
        if (!*read)
            return std::nullopt;
        Result<StateRecords> decoded = decodeState(**read);
        if (!decoded)
            return std::move(decoded).error();
        return std::optional<StateRecords>(std::move(*decoded));
    }();
    keepBadCopy_ = !loaded;
    return loaded;
}

Result<> StateFile::save(const StateRecords &records) {
    if (keepBadCopy_) {
        if (Result<> kept = keepBadCopy(path_); !kept)
            return kept;
    }
    if (Result<> saved = saveStateFile(path_, encodeState(records)); !saved)
        return saved;
    keepBadCopy_ = false;
    return {};
}

} // namespace q47
