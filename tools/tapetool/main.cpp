// Converts announcement lists to and from spreadsheet CSV, checks them, and speaks entries
// the way the program will.
#include "espeakspeech.h"
#include "japanesereading.h"
#include "safefile.h"
#include "tapecsv.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

namespace {

const char *kHelp = R"(Usage:
  tapetool check LIST
  tapetool to-tp IN.csv LIST [--encoding utf8|cp932]
  tapetool to-csv LIST OUT.csv
  tapetool reading TEXT [--readings FILE]
  tapetool say TEXT [--readings FILE] [-o FILE.wav]
  tapetool say LIST N [-o FILE.wav]

An announcement list belongs to one route: <route>tp.csv in the sound folder (route 12 is
12tp.csv). Each line is one entry, blank lines included, and the announcement buttons step
through them in order. A line has three comma-separated columns:
  1  text    the words to speak, in Japanese (CP932 characters; no double quote)
  2  link    1: stepping onto this entry also steps the bus stop the same way
             (forward with the next announcement, back with the previous one);
             2: the "まもなく" entry of the stop the linked entry before it
             announced, spoken by a ride before the bus arrives; to the buttons a
             plain entry; anything else: no link
  3  sound   1, 2 or 3: the pre-announcement chime played before the words when the
             options choose the chime by entry; anything else: none
Numbers are whole numbers from -32768 to 32767; an empty number is 0. A field may be
enclosed in double quotes and then hold commas. The list is CP932 text with CR LF line
ends. One unreadable number makes the program refuse the whole list.

check      reports every problem as FILE:LINE: message, and notes words that the reading
           dictionaries do not know and that are read character by character.
           Exit 0: no problems, 1: problems, 2: usage error or unreadable file.
to-tp      makes a list from a spreadsheet's CSV: columns as above, an optional header
           row, "" for a quote in a quoted field. UTF-8 (with or without a byte-order
           mark) or CP932; --encoding forces one. Nothing is written when a row has a
           problem.
to-csv     writes a list as UTF-8 CSV with a byte-order mark and a header row.
reading    prints the katakana that will be spoken for TEXT.
say        speaks TEXT, or entry N (from 1) of LIST, aloud or with -o into a WAV file.

Reading dictionary: readings.csv in the sound folder, beside the lists. One "word,reading"
per line (reading in kana), UTF-8 or CP932. It is consulted before the system dictionary,
longest word first, so a stop name that is misread can be fixed there, e.g.
  一口,イモアライ
Lines starting with # are comments. `tapetool reading` shows the effect.
check, and say with a LIST, use the readings.csv beside the list; reading and say with a
TEXT use the one named by --readings.
)";

int report(const QStringList &lines, int code) {
    for (const QString &l : lines)
        std::fprintf(stderr, "%s\n", qPrintable(l));
    return code;
}

// Exit code 2: the file could not be read at all.
bool readFile(const QString &path, QByteArray &out) {
    q47::Result<QByteArray> read = q47::spreadsheetcsv::readFile(path);
    if (!read) {
        report({read.error().text()}, 2);
        return false;
    }
    out = std::move(*read);
    return true;
}

// A failure never leaves half a file behind, nor touches the old one.
int writeFile(const QString &path, const QByteArray &bytes, int entries) {
    if (const q47::Result<> written = q47::writeFileSafely(path, bytes); !written)
        return report({written.error().text()}, 1);
    std::printf("%s: %d entries\n", qPrintable(path), entries);
    return 0;
}

// Takes "--name VALUE" out of the arguments.
bool takeOption(QStringList &args, const QString &name, QString &value) {
    const qsizetype at = args.indexOf(name);
    if (at < 0)
        return true;
    if (at + 1 >= args.size())
        return false;
    value = args[at + 1];
    args.remove(at, 2);
    return true;
}

QString readingsBeside(const QString &list) {
    return QFileInfo(list).dir().filePath(QStringLiteral("readings.csv"));
}

// MeCab with the author's dictionary; null when MeCab cannot be opened.
std::unique_ptr<q47::JapaneseReading> openReading(const QString &dictionary) {
    auto reading = std::make_unique<q47::JapaneseReading>();
    if (!reading->available())
        return nullptr;
    if (!dictionary.isEmpty())
        reading->setDictionary(q47::ReadingDictionary::load(dictionary));
    return reading;
}

// Words no dictionary knows are read character by character, which is often wrong for
// names; each is noted once, on the first line it occurs.
QStringList readingNotes(const q47::tapecsv::ParseResult &list, const QString &fileName) {
    const auto reading = openReading(readingsBeside(fileName));
    if (!reading)
        return {
            QStringLiteral("%1: note: MeCab is not available, readings not checked").arg(fileName)};
    QStringList notes, seen;
    for (qsizetype i = 0; i < list.entries.size(); ++i)
        for (const QString &word : reading->read(list.entries[i].TapeText).ownKana)
            if (!seen.contains(word)) {
                seen.append(word);
                notes.append(QStringLiteral("%1:%2: note: \"%3\" is in no dictionary and is read "
                                            "from its own characters as %4")
                                 .arg(fileName)
                                 .arg(list.lines[i])
                                 .arg(word, reading->read(word).kana));
            }
    return notes;
}

// A WAV file through GStreamer; the quotes keep a path with spaces one property value.
QString wavSink(const QString &path) {
    QString location = QFileInfo(path).absoluteFilePath();
    location.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    location.replace(QLatin1Char('"'), QLatin1String("\\\""));
    return QStringLiteral("wavenc ! filesink location=\"%1\"").arg(location);
}

// say TEXT, or say LIST N: speaks and waits until it has been spoken.
int say(const QStringList &args, QString readings, const QString &wavOut) {
    QString text = args[1];
    if (args.size() == 3) {
        QByteArray input;
        if (!readFile(args[1], input))
            return 2;
        const q47::tapecsv::ParseResult list = q47::tapecsv::readList(input);
        bool number = false;
        const int n = args[2].toInt(&number);
        if (!number || n < 1 || n > list.entries.size())
            return report({QStringLiteral("%1: entries are numbered 1 to %2")
                               .arg(args[1])
                               .arg(list.entries.size())},
                          2);
        text = list.entries[n - 1].TapeText;
        readings = readingsBeside(args[1]);
    }
    if (text.trimmed().isEmpty())
        return report({QStringLiteral("nothing to speak")}, 1);
    // GStreamer writes the WAV into a folder of this run's own; the safe writer then puts it
    // in its place whole, or leaves an older file as it was.
    QTemporaryDir spoken;
    const QString wavPath = spoken.filePath(QStringLiteral("spoken.wav"));
    if (!wavOut.isEmpty() && !spoken.isValid())
        return report({QStringLiteral("%1: %2").arg(spoken.path(), spoken.errorString())}, 1);
    const std::unique_ptr<q47::EspeakSpeech> speech =
        q47::EspeakSpeech::create([readings] { return readings; },
                                  wavOut.isEmpty() ? QString() : wavSink(wavPath))
            .value_or(nullptr);
    if (!speech)
        return report({QStringLiteral("speech is not available: it needs eSpeak NG with its "
                                      "Japanese voice, MeCab and GStreamer")},
                      1);
    std::printf("%s\n", qPrintable(text));
    std::fflush(stdout);
    speech->speak(text);
    // Long enough for any entry; a stalled audio device is the only way to reach it.
    if (!speech->waitIdle(10 * 60 * 1000))
        return report({QStringLiteral("speaking did not finish")}, 1);
    if (wavOut.isEmpty())
        return 0;
    if (QFileInfo(wavPath).size() <= 44)
        return report({QStringLiteral("%1: no audio was written").arg(wavOut)}, 1);
    if (const q47::Result<> copied = q47::copyFileSafely(wavPath, wavOut); !copied)
        return report({copied.error().text()}, 1);
    return 0;
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    using namespace q47;

    QString encodingName, readings, wavOut;
    if (!takeOption(args, QStringLiteral("--encoding"), encodingName) ||
        !takeOption(args, QStringLiteral("--readings"), readings) ||
        !takeOption(args, QStringLiteral("-o"), wavOut))
        return report({QStringLiteral("an option is missing its value")}, 2);
    tapecsv::Encoding encoding = tapecsv::Encoding::Detect;
    encodingName = encodingName.toLower();
    if (encodingName == QStringLiteral("utf8") || encodingName == QStringLiteral("utf-8"))
        encoding = tapecsv::Encoding::Utf8;
    else if (encodingName == QStringLiteral("cp932") || encodingName == QStringLiteral("sjis"))
        encoding = tapecsv::Encoding::Cp932;
    else if (!encodingName.isEmpty())
        return report({QStringLiteral("--encoding takes utf8 or cp932")}, 2);

    if (args.isEmpty() || args[0] == QStringLiteral("--help") || args[0] == QStringLiteral("-h")) {
        std::fputs(kHelp, args.isEmpty() ? stderr : stdout);
        return args.isEmpty() ? 2 : 0;
    }
    const QString command = args[0];
    QByteArray input;

    if (command == QStringLiteral("check") && args.size() == 2) {
        if (!readFile(args[1], input))
            return 2;
        const tapecsv::ParseResult r = tapecsv::readList(input);
        report(r.messages(args[1]), 0);
        report(readingNotes(r, args[1]), 0);
        if (!r.ok())
            return 1;
        std::printf("%s: %d entries, no problems\n", qPrintable(args[1]),
                    static_cast<int>(r.entries.size()));
        return 0;
    }
    if (command == QStringLiteral("to-tp") && args.size() == 3) {
        if (!readFile(args[1], input))
            return 2;
        const tapecsv::ParseResult r = tapecsv::parseCsv(input, encoding);
        if (!r.ok())
            return report(r.messages(args[1]), 1);
        if (r.entries.isEmpty())
            return report({QStringLiteral("%1: no entries").arg(args[1])}, 1);
        return writeFile(args[2], tapecsv::writeList(r.entries),
                         static_cast<int>(r.entries.size()));
    }
    if (command == QStringLiteral("to-csv") && args.size() == 3) {
        if (!readFile(args[1], input))
            return 2;
        const tapecsv::ParseResult r = tapecsv::readList(input);
        if (!r.readable())
            return report(r.messages(args[1]), 1);
        report(r.messages(args[1]), 0); // worded wrong, to be mended in the spreadsheet
        return writeFile(args[2], tapecsv::writeCsv(r.entries), static_cast<int>(r.entries.size()));
    }
    if (command == QStringLiteral("reading") && args.size() == 2) {
        const auto reading = openReading(readings);
        if (!reading)
            return report({QStringLiteral("MeCab or its dictionary cannot be opened")}, 1);
        std::printf("%s\n", qPrintable(reading->read(args[1]).kana));
        return 0;
    }
    if (command == QStringLiteral("say") && (args.size() == 2 || args.size() == 3))
        return say(args, readings, wavOut);
    std::fputs(kHelp, stderr);
    return 2;
}
