#include "routedata.h"

#include "cp932.h"
#include "regularfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <algorithm>

namespace q47 {

const StopRecord &RouteTable::at(int i) const {
    static const StopRecord empty;
    return (i >= 1 && i <= kRouteSlots) ? slots[static_cast<size_t>(i - 1)] : empty;
}

int RouteTable::lastStopPos() const {
    const int records = std::min({static_cast<int>(StopCount), loaded, kRouteSlots});
    return std::max(records - 1, 0);
}

namespace {

void put16(QByteArray &out, qint16 v) {
    char b[2];
    qToLittleEndian(v, b);
    out.append(b, 2);
}

class Reader {
public:
    explicit Reader(const QByteArray &bytes) : data_(bytes) {}
    bool has(qsizetype n) const { return data_.size() - pos_ >= n; }
    qint16 i16() {
        const qint16 v = qFromLittleEndian<qint16>(data_.constData() + pos_);
        pos_ += 2;
        return v;
    }
    quint16 u16() { return static_cast<quint16>(i16()); }
    QByteArray bytes(qsizetype n) {
        QByteArray b = data_.mid(pos_, n);
        pos_ += n;
        return b;
    }

private:
    const QByteArray &data_;
    qsizetype pos_ = 0;
};

} // namespace

QByteArray encodeRouteFile(const std::vector<StopRecord> &stops) {
    QByteArray out;
    out.reserve(2 + static_cast<qsizetype>(stops.size()) * 320);
    put16(out, static_cast<qint16>(stops.size()));
    for (const StopRecord &s : stops) {
        const QByteArray name = toCp932(s.StopName);
        put16(out, static_cast<qint16>(name.size()));
        out.append(name);
        put16(out, s.SeiriNo);
        for (qint16 v : s.cols)
            put16(out, v);
    }
    return out;
}

RouteFileContents decodeRouteFile(const QByteArray &bytes) {
    RouteFileContents result;
    Reader in(bytes);
    if (!in.has(2)) {
        result.status = RouteFileContents::Status::Truncated;
        return result;
    }
    result.count = in.i16();
    if (result.count < 0) {
        result.status = RouteFileContents::Status::NegativeCount;
        return result;
    }
    if (result.count > kRouteSlots) {
        result.status = RouteFileContents::Status::TooManyRecords;
        return result;
    }
    result.stops.reserve(static_cast<size_t>(result.count));
    for (int i = 0; i < result.count; ++i) {
        if (!in.has(2))
            break;
        const quint16 len = in.u16();
        if (!in.has(len + 2 + 2 * kDataColumns))
            break;
        StopRecord s;
        s.StopName = fromCp932(in.bytes(len));
        s.SeiriNo = in.i16();
        for (qint16 &v : s.cols)
            v = in.i16();
        result.stops.push_back(std::move(s));
    }
    result.recordsRead = static_cast<int>(result.stops.size());
    if (result.recordsRead < result.count)
        result.status = RouteFileContents::Status::Truncated;
    return result;
}

QString routeName(const QString &routeText) {
    bool ok = false;
    const qlonglong n = routeText.trimmed().toLongLong(&ok);
    return ok ? QString::number(n) : QStringLiteral("0");
}

QString routeFileName(const QString &routeText) {
    return routeName(routeText) + QStringLiteral(".hy3");
}

QString normalizeFolder(const QString &folder) {
    if (folder.isEmpty() || folder.endsWith(QDir::separator()) || folder.endsWith(QLatin1Char('/')))
        return folder;
    return folder + QDir::separator();
}

qint16 clampStartSection(int section) {
    return static_cast<qint16>(std::clamp(section, 1, 300));
}

Result<> loadRoute(RouteTable &table, const QString &dataFolder, const QString &routeText,
                   int startSection) {
    const qint16 section = clampStartSection(startSection);
    const QString path = normalizeFolder(dataFolder) + routeFileName(routeText);
    const auto refused = [&path](Error::Kind what, const QString &detail = QString()) {
        return Error(what, detail).in(path).about(Error::Subject::Route);
    };

    QByteArray bytes;
    {
        const QFileInfo info(path);
        if (!info.exists())
            return refused(Error::Kind::NotFound);
        // A file that is there but cannot be read is not a missing route: say what is wrong.
        if (info.isDir())
            return refused(Error::Kind::IsFolder);
        // A pipe or a device in the file's place would never end, or never begin.
        if (!info.isFile())
            return refused(Error::Kind::NotAFile);
        Result<QByteArray> read = readRegularFile(path, kMaxRouteFileBytes);
        if (!read) {
            Error failure = read.error();
            if (failure.what != Error::Kind::TooLarge && failure.what != Error::Kind::NotAFile &&
                failure.what != Error::Kind::IsFolder)
                failure.what =
                    info.isReadable() ? Error::Kind::ReadFailed : Error::Kind::NoPermission;
            return failure.about(Error::Subject::Route);
        }
        bytes = std::move(*read);
    } // closed before any message

    const RouteFileContents contents = decodeRouteFile(bytes);
    if (bytes.size() < 2)
        return refused(Error::Kind::Truncated);
    table.StopCount = contents.count; // kept also when the route is refused below
    if (contents.count == 0)
        return refused(Error::Kind::Empty);
    if (contents.count - 1 < section)
        return refused(Error::Kind::OutOfRange);
    if (contents.status == RouteFileContents::Status::TooManyRecords)
        return refused(Error::Kind::TooMany, QString::number(contents.count));
    if (contents.status == RouteFileContents::Status::Truncated)
        return refused(Error::Kind::Truncated);

    table.slots.fill(StopRecord{});
    std::copy(contents.stops.begin(), contents.stops.end(), table.slots.begin());
    table.loaded = static_cast<int>(contents.stops.size());
    table.CurStopPos = static_cast<qint16>(section - 1);
    table.StartSection = section;
    table.RouteText = routeText;
    return {};
}

} // namespace q47
