#include "ticketplugin.h"

#include "logging.h"
#include "regularfile.h"
#include "ticketdraw.h"

#include <QFile>
#include <QMutex>
#include <QMutexLocker>

#include <sys/stat.h>

#include <cerrno>

#include <vector>

namespace q47 {
namespace {

// What tells a changed file from an unchanged one without reading it.
struct FileStamp {
    qint64 size = 0;
    qint64 mtimeSec = 0;
    qint64 mtimeNsec = 0;
    quint64 inode = 0;
    quint64 device = 0;
    bool operator==(const FileStamp &) const = default;
};

struct CacheEntry {
    QString path;
    FileStamp stamp;
    PluginLoad plugin;
};

// The options dialog and the preview use one or two plug-ins; a few entries are plenty.
constexpr size_t kCacheEntries = 8;

QMutex cacheMutex;
std::vector<CacheEntry> cache;

Errors fileFault(const QString &path, const QString &text) {
    return {Error(Error::Kind::ReadFailed, text).in(path).about(Error::Subject::Plugin)};
}

PluginLoad readPlugin(const QString &path) {
    // The file may have grown since the stat; one byte past the limit is read to notice.
    const Result<QByteArray> read = readRegularFile(path, ticket::kMaxFileBytes + 1);
    if (!read) {
        switch (read.error().what) {
        case Error::Kind::IsFolder:
        case Error::Kind::NotAFile:
            return fileFault(path, QStringLiteral("not a regular file"));
        case Error::Kind::TooLarge:
            return Errors{ticket::faultError(ticket::Fault::FileTooLarge, 0)};
        default:
            return fileFault(path, QStringLiteral("cannot be read: %1").arg(read.error().detail));
        }
    }
    Expected<ticket::Plugin, Errors> parsed = ticket::parsePlugin(*read);
    if (!parsed)
        return std::move(parsed).error();
    return std::make_shared<const ticket::Plugin>(std::move(*parsed));
}

PluginLoad named(PluginLoad loaded, const QString &path) {
    if (!loaded)
        for (Error &fault : loaded.error())
            fault.file = path;
    return loaded;
}

} // namespace

PluginLoad loadTicketPlugin(const QString &path) {
    if (path.isEmpty())
        return fileFault(path, QStringLiteral("no plug-in file is chosen"));
    struct stat st {};
    // Only regular files: a FIFO or a device could block the reader or never end.
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return fileFault(path, QStringLiteral("cannot be read: %1").arg(qt_error_string(errno)));
    if (!S_ISREG(st.st_mode))
        return fileFault(path, QStringLiteral("not a regular file"));
    const FileStamp stamp{static_cast<qint64>(st.st_size), static_cast<qint64>(st.st_mtim.tv_sec),
                          static_cast<qint64>(st.st_mtim.tv_nsec), static_cast<quint64>(st.st_ino),
                          static_cast<quint64>(st.st_dev)};

    QMutexLocker lock(&cacheMutex);
    for (const CacheEntry &e : cache)
        if (e.path == path && e.stamp == stamp)
            return e.plugin;
    std::erase_if(cache, [&](const CacheEntry &e) { return e.path == path; });
    PluginLoad plugin = named(readPlugin(path), path);
    if (!plugin)
        for (const Error &fault : plugin.error())
            logPassedOver(logPlugin, fault);
    if (cache.size() >= kCacheEntries)
        cache.erase(cache.begin());
    cache.push_back({path, stamp, plugin});
    return plugin;
}

Expected<PlgInfo, Errors> ticketPluginInfo(const QString &path) {
    PluginLoad plugin = loadTicketPlugin(path);
    if (!plugin)
        return std::move(plugin).error();
    return (*plugin)->info;
}

QString ticketPluginComment(const QString &path) {
    const PluginLoad plugin = loadTicketPlugin(path);
    return plugin ? (*plugin)->comment : QString();
}

QStringList ticketPluginCompanies(const QString &path) {
    const PluginLoad plugin = loadTicketPlugin(path);
    return plugin ? (*plugin)->companies : QStringList();
}

void drawPluginTicket(const QString &path, QPainter &painter, const QString &stopName,
                      const QString &dateText, const QString &timeText, int routeNumber,
                      qint16 seiriNo, int stopIndex, int companyIndex) {
    const PluginLoad plugin = loadTicketPlugin(path);
    if (!plugin)
        return;
    ticket::drawTicket(
        **plugin, painter,
        {stopName, dateText, timeText, routeNumber, seiriNo, stopIndex, companyIndex});
}

QStringList capabilityLines(const PlgInfo &info) {
    const auto verdict = [](qint32 field) {
        return field == 1 ? QStringLiteral("---> 可能") : QStringLiteral("---> 不可");
    };
    QStringList lines{
        QStringLiteral("日付の印字 ") + verdict(info.printDate),
        QStringLiteral("時刻の印字 ") + verdict(info.printTime),
        QStringLiteral("系統番号の印字 ") + verdict(info.printRoute),
        QStringLiteral("停名の印字 ") + verdict(info.printStopName),
        QStringLiteral("バーコード印字 ") + verdict(info.printBarcode),
    };
    if (info.printBarcode == 1) {
        lines << QStringLiteral("バーコード本数 ---> ") + QString::number(info.barcodeCount)
              << QStringLiteral("バーコード系統方式 ") +
                     (info.barcodeRouteMethod == 1 ? QStringLiteral("---> 連番式")
                                                   : QStringLiteral("---> 系統番号＋往復フラグ"))
              << QStringLiteral("設定可能な系統範囲 ---> 1 ～ ") +
                     QString::number(info.highestRoute)
              << QStringLiteral("停留所認識範囲 ---> ") + QString::number(info.lowestStop) +
                     QStringLiteral(" ～ ") + QString::number(info.highestStop);
    }
    lines << QStringLiteral("社名切り替え:") + (info.companySwitching >= 1
                                                    ? QStringLiteral("---> 可能")
                                                    : QStringLiteral("---> 不可"));
    return lines;
}

} // namespace q47
