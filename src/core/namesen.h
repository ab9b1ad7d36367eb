#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include <utility>

namespace q47 {

// The English names of a route's stops, from "names_en.csv" beside the route files, for the
// boards that show them.
inline constexpr const char *kEnglishNamesFile = "names_en.csv";
// The header line a writer puts first; a reader also takes the file without it.
inline constexpr const char *kEnglishNamesHeader = "停留所名,英語名";

// One "stop name,English name" per line, UTF-8 with or without a byte-order mark, CR LF or LF;
// quoted fields may hold commas, quotes ("") and line breaks. Blank lines, lines starting with
// '#' and lines without both names are skipped; a later line for the same stop wins.
QHash<QString, QString> readEnglishNames(const QByteArray &bytes);
// Far more than any operator's stops; a larger file is not read.
inline constexpr qint64 kMaxEnglishNamesBytes = 16 * 1024 * 1024;
// A missing or unreadable file, or anything that is not an ordinary file (a folder, a named
// pipe, a device) or is larger than the limit, gives no names.
QHash<QString, QString> loadEnglishNames(const QString &path);

// The file as a reader takes it back, with the header and the stops in name order.
QByteArray writeEnglishNames(const QHash<QString, QString> &names);

// `existing` (a file's bytes, empty for none) with lines added for the names it does not
// already give so: it is kept byte for byte, and a later line wins, so the added ones take the
// place of what it gave before. Nothing added gives `existing` back unchanged.
QByteArray addEnglishNames(const QByteArray &existing,
                           const QList<std::pair<QString, QString>> &names);

} // namespace q47
