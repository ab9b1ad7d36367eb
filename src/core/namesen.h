#pragma once

#include <QByteArray>
#include <QHash>
#include <QLatin1StringView>
#include <QList>
#include <QString>

#include <array>
#include <optional>
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
// The language a BCP 47 tag as feeds write it names, matched case-insensitively by its primary
// subtag: "en-US" is English, "ja-HrKt" (also ja-Kana, ja-Hira) the kana, "ko-KR" Korean.
// Chinese goes by its script, else its region: zh-Hans, zh-CN, zh-SG, zh-MY are simplified,
// zh-Hant, zh-TW, zh-HK, zh-MO traditional, and plain "zh" simplified, the script most
// readers of Chinese use. Nothing for other languages, for plain "ja" (the name itself) and
// for other scripts (ja-Latn, zh-Latn).
std::optional<NameLanguage> nameLanguageOf(QStringView tag);

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
    friend std::optional<QByteArray> addStopNames(const QByteArray &,
                                                  const QList<std::pair<QString, NameForms>> &);

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

// names.csv (`existing`, empty for none) with a row added for each name whose forms it does
// not already give so: its rows are kept as they are, and a later row wins cell by cell, so
// the added ones take the place of what it gave before. A header lacking some languages gets
// their columns at its end (the rows above leave them empty, unknown). Nothing added gives
// `existing` back unchanged; nothing at all when `existing` has no header naming a language,
// since rows added below it would never be read.
std::optional<QByteArray> addStopNames(const QByteArray &existing,
                                       const QList<std::pair<QString, NameForms>> &names);

} // namespace q47
