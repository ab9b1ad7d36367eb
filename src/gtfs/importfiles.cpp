#include "importfiles.h"

#include "cp932.h"
#include "japanesereading.h"
#include "namesen.h"
#include "regularfile.h"
#include "routedata.h"
#include "routesidefile.h"
#include "safefile.h"
#include "timetable.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QStringDecoder>

namespace q47::gtfs {

namespace {

const QString kBlockStart = QStringLiteral("# gtfstool:");
const QString kBlockEnd = QStringLiteral("# gtfstool: end");

// The word of a "word,reading" line, as the reading dictionary splits it; empty for comments.
QString wordOf(const QString &line) {
    const QString t = line.trimmed();
    if (t.isEmpty() || t.startsWith(QLatin1Char('#')))
        return {};
    const qsizetype comma = t.indexOf(QLatin1Char(','));
    return comma <= 0 ? QString() : t.left(comma).trimmed();
}

QString readingOf(const QString &line) {
    const QString t = line.trimmed();
    return t.mid(t.indexOf(QLatin1Char(',')) + 1).trimmed();
}

QString folderPath(const QString &folder) {
    return folder.isEmpty() ? QStringLiteral(".") : folder;
}

} // namespace

QString readingsSource(const Feed &feed, const ImportPlan &plan) {
    const QString agencies = feed.agencies().join(QStringLiteral("・"));
    return QStringLiteral("%1%2, route %3, trip %4")
        .arg(agencies.isEmpty() ? QString() : agencies + QLatin1Char(' '),
             QStringLiteral("(%1)").arg(feed.name()))
        .arg(plan.route)
        .arg(plan.tripId);
}

QByteArray mergeReadings(const QByteArray &existing,
                         const QList<std::pair<QString, QString>> &readings, const QString &source,
                         Diagnostics &out) {
    const QString file = QStringLiteral("readings.csv");
    QByteArrayView bytes(existing);
    const bool bom = bytes.startsWith("\xEF\xBB\xBF");
    if (bom)
        bytes = bytes.sliced(3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError()) {
        text = fromCp932(bytes.toByteArray());
        out.append(diagnostic(Severity::Note, file, 0,
                              QStringLiteral("CP932 text; written back as UTF-8")));
    }
    const QString eol =
        text.contains(QLatin1String("\r\n")) ? QStringLiteral("\r\n") : QStringLiteral("\n");
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();

    QHash<QString, QString> incoming;
    QList<std::pair<QString, QString>> written;
    for (const auto &[word, reading] : readings) {
        if (word.contains(QLatin1Char(',')) || word.trimmed().startsWith(QLatin1Char('#')) ||
            word.trimmed() != word) {
            out.append(
                diagnostic(Severity::Warning, file, 0,
                           QStringLiteral("%1 cannot be a word of the reading dictionary (a comma, "
                                          "a leading # or blanks); its reading is left out")
                               .arg(word)));
            continue;
        }
        incoming.insert(word, reading);
        written.append({word, reading});
    }

    QStringList kept;
    QStringList block; // the earlier import being read: its header and remaining lines
    bool inBlock = false;
    const auto closeBlock = [&] {
        bool entries = false;
        for (const QString &l : block)
            entries |= !wordOf(l).isEmpty();
        if (entries) {
            kept += block;
            kept.append(kBlockEnd);
        }
        block.clear();
        inBlock = false;
    };
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.trimmed() == kBlockEnd) {
            if (inBlock)
                closeBlock();
            continue;
        }
        if (line.startsWith(kBlockStart)) {
            if (inBlock)
                closeBlock();
            inBlock = true;
            block.append(line);
            continue;
        }
        const QString word = wordOf(line);
        if (inBlock) {
            if (!incoming.contains(word))
                block.append(line);
            continue;
        }
        if (!word.isEmpty() && incoming.contains(word) && readingOf(line) != incoming[word])
            out.append(
                diagnostic(Severity::Warning, file, int(i + 1),
                           QStringLiteral("your reading %1 of %2 stays, but the feed's %3 below "
                                          "takes its place")
                               .arg(readingOf(line), word, incoming[word])));
        kept.append(line);
    }
    if (inBlock)
        closeBlock();

    if (!written.isEmpty()) {
        kept.append(kBlockStart + QLatin1Char(' ') + source);
        for (const auto &[word, reading] : written)
            kept.append(word + QLatin1Char(',') + reading);
        kept.append(kBlockEnd);
    }
    QByteArray result = bom ? QByteArray("\xEF\xBB\xBF") : QByteArray();
    for (const QString &l : kept)
        result += (l + eol).toUtf8();
    return result;
}

bool prepareImport(const Feed &feed, const ImportPlan &plan, const QString &dataFolder,
                   const QString &soundFolder, ImportFiles &files, Diagnostics &out) {
    const QString name = QString::number(plan.route);
    bool ok = true;
    for (const QString &folder : {dataFolder, soundFolder}) {
        const QFileInfo info(folderPath(folder));
        if (!info.isDir()) {
            out.append(diagnostic(Severity::Error, folderPath(folder), 0,
                                  QStringLiteral("no such folder")));
            ok = false;
        } else if (!info.isWritable()) {
            out.append(diagnostic(Severity::Error, folderPath(folder), 0,
                                  QStringLiteral("the folder cannot be written")));
            ok = false;
        }
    }
    if (!ok)
        return false;
    const QDir data(folderPath(dataFolder)), sound(folderPath(soundFolder));
    files.routePath = data.filePath(name + QStringLiteral(".hy3"));
    files.sidePath = data.filePath(routeSideFileName(name));
    files.side = encodeRouteSideFile(plan.side);
    files.timetablePath = data.filePath(timetableFileName(name));
    files.timetable = encodeTimetable(plan.timetable);
    files.announcementPath = sound.filePath(name + QStringLiteral("tp.csv"));
    files.readingsPath = sound.filePath(QStringLiteral("readings.csv"));
    files.route = encodeRouteFile(plan.records);
    files.announcements = formatTapeList(plan.announcements);

    // What is already there is kept, so it must be read whole: anything that is not an
    // ordinary file of a sensible size stops the import before it writes.
    const auto existing = [&out](const QString &path, qint64 maxBytes, QByteArray &bytes) {
        if (!QFileInfo::exists(path))
            return true;
        Result<QByteArray> read = readRegularFile(path, maxBytes);
        if (!read) {
            const Error::Kind what = read.error().what;
            out.append(diagnostic(Severity::Error, path, 0,
                                  what == Error::Kind::NotAFile || what == Error::Kind::IsFolder
                                      ? QStringLiteral("not an ordinary file")
                                  : what == Error::Kind::TooLarge
                                      ? QStringLiteral("larger than %1 bytes").arg(maxBytes)
                                      : read.error().detail));
            return false;
        }
        bytes = std::move(*read);
        return true;
    };
    QByteArray readings;
    if (!existing(files.readingsPath, ReadingDictionary::kMaxFileBytes, readings))
        return false;
    files.readings = mergeReadings(readings, plan.readings, readingsSource(feed, plan), out);

    const QString namesPath = data.filePath(QString::fromLatin1(kStopNamesFile));
    QByteArray names;
    if (!existing(namesPath, NameTable::kMaxBytes, names))
        return false;
    const std::optional<QByteArray> merged = addStopNames(names, plan.names);
    if (!merged)
        out.append(
            diagnostic(Severity::Warning, namesPath, 1,
                       QStringLiteral("the first row names none of the languages (name,ja-Hrkt,en,"
                                      "zh-Hans,zh-Hant,ko); the file is left as it is, without the "
                                      "names of this import")));
    else if (*merged != names) {
        files.names = *merged;
        files.namesPath = namesPath;
    }
    return true;
}

QStringList ImportFiles::paths() const {
    QStringList out{routePath, sidePath, timetablePath, announcementPath, readingsPath};
    if (!namesPath.isEmpty())
        out.append(namesPath);
    return out;
}

void recoverImportFolders(const QString &dataFolder, const QString &soundFolder, Diagnostics &out) {
    QStringList done;
    for (const QString &folder : {dataFolder, soundFolder}) {
        const QString path = QFileInfo(folderPath(folder)).absoluteFilePath();
        if (done.contains(path))
            continue;
        done.append(path);
        out.append(recoverFolder(path));
    }
}

ImportWrite writeImport(const ImportFiles &files, Diagnostics &out) {
    std::vector<std::pair<QString, QByteArray>> contents = {
        {files.routePath, files.route},
        {files.sidePath, files.side},
        {files.timetablePath, files.timetable},
        {files.announcementPath, files.announcements},
        {files.readingsPath, files.readings}};
    if (!files.namesPath.isEmpty())
        contents.emplace_back(files.namesPath, files.names);
    // Every file is written beside its place first; only when all are complete does each
    // replace the old one, and a failure puts back those replaced before it.
    std::vector<PendingFile> pending(contents.size());
    for (size_t i = 0; i < contents.size(); ++i) {
        Result<> written = pending[i].open(contents[i].first);
        if (written)
            written = pending[i].write(contents[i].second);
        if (!written) {
            out.append(written.error());
            return ImportWrite::NothingWritten;
        }
    }
    const Expected<void, SetWriteFailure> committed = commitFiles(pending);
    if (committed)
        return ImportWrite::Written;
    const SetWriteFailure &failed = committed.error();
    out.append(failed.cause);
    if (failed.written.isEmpty())
        return ImportWrite::NothingWritten;
    for (const QString &path : failed.written)
        out.append(diagnostic(
            Severity::Error, path, 0,
            QStringLiteral("holds the new import, and the old file is kept beside it; the "
                           "next import puts it back")));
    return ImportWrite::PartlyWritten;
}

} // namespace q47::gtfs
