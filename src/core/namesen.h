#pragma once

#include <QByteArray>
#include <QHash>
#include <QLatin1StringView>
#include <QList>
#include <QString>

#include <array>
#include <utility>
#include <vector>

namespace q47 {

// The stops' names in other languages, from "names.csv" beside the route files: UTF-8 CSV
// whose header row names the columns, the first the stop's name as written, the others any of
// the language tags below in any order and case; unknown columns are ignored, empty cells are
// unknown. "names_en.csv" (below) is still read, and names.csv wins where both give a form.
inline constexpr const char *kStopNamesFile = "names.csv";

enum class NameLanguage { Kana, English, ChineseHans, ChineseHant, Korean };
inline constexpr int kNameLanguages = 5;
// "ja-Hrkt", "en", "zh-Hans", "zh-Hant", "ko", as the header names the columns.
QLatin1StringView nameLanguageTag(NameLanguage language);

// A stop's name in each language; empty where unknown.
struct NameForms {
    std::array<QString, kNameLanguages> text;
    QString &operator[](NameLanguage l) { return text[size_t(l)]; }
    const QString &operator[](NameLanguage l) const { return text[size_t(l)]; }
    // `over`'s known forms in place of these.
    void overlay(const NameForms &over);
    bool operator==(const NameForms &) const = default;
};

// A names file as read: its bytes and, per row, the hash of the stop's name and where the row
// starts, so that a file of a hundred thousand stops costs little more than its own size and a
// look-up reads only that stop's rows. Quoted fields may hold commas, quotes ("") and line
// breaks; unquoted ones are trimmed; blank lines and lines starting with '#' are skipped.
class NameTable {
public:
    // names.csv: the first row is the header.
    static NameTable fromNamesFile(QByteArray bytes);
    // names_en.csv: "stop,English name" per line, with or without the header line.
    static NameTable fromEnglishNames(QByteArray bytes);
    // Far more than any operator's stops; a larger file is not read.
    static constexpr qint64 kMaxBytes = 16 * 1024 * 1024;
    // A missing or unreadable file, or anything that is not an ordinary file or is larger
    // than the limit, gives an empty table.
    static NameTable loadNamesFile(const QString &path);
    static NameTable loadEnglishNames(const QString &path);

    // The forms of the stop written `name` (trimmed): a later row wins, cell by cell.
    NameForms lookUp(const QString &name) const;
    bool isEmpty() const { return rows_.empty(); }

private:
    static NameTable indexed(QByteArray bytes, bool header,
                             const std::array<int, kNameLanguages> &columns);

    QByteArray bytes_;
    std::array<int, kNameLanguages> columns_{-1, -1, -1, -1, -1}; // per language; -1: none
    std::vector<std::pair<size_t, qsizetype>> rows_; // (name's hash, row start), sorted
};

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
// pipe, a device) or is larger than the limit, gives no names. The boards read the file
// through NameTable instead.
QHash<QString, QString> loadEnglishNames(const QString &path);

// The file as a reader takes it back, with the header and the stops in name order.
QByteArray writeEnglishNames(const QHash<QString, QString> &names);

// `existing` (a file's bytes, empty for none) with lines added for the names it does not
// already give so: it is kept byte for byte, and a later line wins, so the added ones take the
// place of what it gave before. Nothing added gives `existing` back unchanged.
QByteArray addEnglishNames(const QByteArray &existing,
                           const QList<std::pair<QString, QString>> &names);

} // namespace q47
