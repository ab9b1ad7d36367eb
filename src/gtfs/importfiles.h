#pragma once

#include "gtfsfeed.h"
#include "tripimport.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

namespace q47::gtfs {

// The files of an import, made in memory before any is written.
struct ImportFiles {
    QString routePath;        // <data>/N.hy3
    QString sidePath;         // <data>/N.route.json
    QString timetablePath;    // <data>/N.timetable.csv
    QString announcementPath; // <sound>/Ntp.csv
    QString readingsPath;     // <sound>/readings.csv
    QString namesPath;        // <data>/names.csv; empty when the import adds no names
    QByteArray route;
    QByteArray side;
    QByteArray timetable;
    QByteArray announcements;
    QByteArray readings;
    QByteArray names;
    // Every file written, in that order.
    QStringList paths() const;
};

// The comment that heads the readings of an import: the feed, its operators, the route.
QString readingsSource(const Feed &feed, const ImportPlan &plan);

// readings.csv with the import's readings merged in. The user's own lines stay as they are;
// the lines of earlier imports (between "# gtfstool:" and "# gtfstool: end") lose the words
// this import brings, and the new ones go last, so that they win. UTF-8 out.
QByteArray mergeReadings(const QByteArray &existing,
                         const QList<std::pair<QString, QString>> &readings, const QString &source,
                         Diagnostics &out);

// Makes the files' contents for the folders (an empty folder is the current one), reading the
// readings.csv and names.csv already there. The names of other languages go into names.csv
// only: names_en.csv, which the boards still read, is left as it is. False, with the reason, when
// the folders will not take them.
bool prepareImport(const Feed &feed, const ImportPlan &plan, const QString &dataFolder,
                   const QString &soundFolder, ImportFiles &files, Diagnostics &out);

// What a killed import left in the folders (an empty folder is the current one) is put back or
// tidied, with a note for each thing done; call it before prepareImport, which reads them.
void recoverImportFolders(const QString &dataFolder, const QString &soundFolder, Diagnostics &out);

enum class ImportWrite {
    Written,        // every file holds the import
    NothingWritten, // every file is as it was
    PartlyWritten,  // the errors name the files that hold the import; the old ones are kept
};

// Writes the files as one: all or, when one cannot be written, none (safefile.h). Only when
// putting back an old file fails as well are some left written, and the errors say which.
ImportWrite writeImport(const ImportFiles &files, Diagnostics &out);

} // namespace q47::gtfs
