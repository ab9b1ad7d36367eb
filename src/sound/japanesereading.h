#pragma once

// toKatakana(), which the readings give their kana in.
#include "japanesetext.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <memory>

namespace q47 {

// "word,reading" pairs an announcement author supplies to fix names the dictionary misreads.
class ReadingDictionary {
public:
    // One "word,reading" per line; UTF-8 (with or without BOM) or CP932 (valid UTF-8 is taken
    // as UTF-8, anything else as CP932); CR LF or LF; blank lines and lines starting with '#'
    // skipped; surrounding spaces trimmed; the reading may be hiragana or katakana (stored as
    // katakana). Malformed lines are skipped.
    static ReadingDictionary fromBytes(const QByteArray &bytes);
    // Far more than any author's words; a larger file is not read.
    static constexpr qint64 kMaxFileBytes = 16 * 1024 * 1024;
    // A missing or unreadable file, or anything that is not an ordinary file (a folder, a
    // named pipe, a device) or is larger than the limit, gives an empty dictionary.
    static ReadingDictionary load(const QString &path);
    // A later entry for the same word replaces the earlier one. An empty word or a reading that
    // is not kana (with ー and the pauses 、。) is ignored.
    void add(const QString &word, const QString &reading);
    int size() const;
    // Length of the longest word that starts at text[pos], 0 when none; its reading in *reading.
    qsizetype match(QStringView text, qsizetype pos, QString *reading) const;

private:
    // A trie: edge (node << 16 | character) -> child node; node 0 is the root.
    QHash<quint64, qint32> m_edges;
    QList<qint32> m_readingOf{-1}; // per node, index into m_readings or -1
    QStringList m_readings;
    int m_words = 0;
};

struct Reading {
    QString kana; // katakana pronunciation, what is spoken (may contain 、 and 。 as pauses)
    QStringList ownKana; // words the system dictionary does not know, read from their own
                         // characters (for an author's check tool)
};

class JapaneseReading {
public:
    JapaneseReading(); // opens MeCab
    ~JapaneseReading();
    JapaneseReading(const JapaneseReading &) = delete;
    JapaneseReading &operator=(const JapaneseReading &) = delete;

    bool available() const; // MeCab and its dictionary could be opened
    // Whether a dictionary is installed where the constructor looks, found without opening it.
    static bool dictionaryInstalled();
    void setDictionary(ReadingDictionary dictionary);
    const ReadingDictionary &dictionary() const;
    Reading read(const QString &text) const; // not thread-safe per instance; one per thread
    // How a name is written in kana, as a board shows it under the kanji (ちゅうおうこうえん, not
    // the spoken チューオーコーエン), in katakana: the dictionary's reading of the whole name when
    // it has one, else MeCab's reading of each word. Empty when some part cannot be read.
    QString writtenKana(const QString &name) const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// Japanese numeral reading of a decimal number text such as "12", "210", "3.5", "10000", "0"
// (ASCII or full-width digits, commas between digit groups allowed); empty when the text is no
// number. Long vowels in numbers are written with ウ: 12 ジュウニ.
QString numberReading(QStringView digits);

} // namespace q47
