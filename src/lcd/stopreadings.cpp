#include "stopreadings.h"

#include "japanesereading.h"
#include "lcdtexts.h"
#include "namesen.h"

#include <QDir>
#include <QFileInfo>

namespace q47::lcd {

namespace {

// Whether `path` is still the file last read.
bool unchanged(const std::optional<std::pair<QString, QDateTime>> &from, const QString &path,
               QDateTime *modified) {
    *modified = QFileInfo(path).lastModified();
    return from && from->first == path && from->second == *modified;
}

} // namespace

StopReadings::StopReadings() = default;
StopReadings::~StopReadings() = default;

StopNames StopReadings::lookUp(const QString &name, const QString &dataFolder,
                               const QString &soundFolder) {
    if (name.trimmed().isEmpty())
        return {};
    QDateTime modified;
    // An unset folder has no files, rather than the working folder's.
    const auto inFolder = [](const QString &folder, const QString &file) {
        return folder.isEmpty() ? QString() : QDir(folder).filePath(file);
    };
    const QString readings = inFolder(soundFolder, QStringLiteral("readings.csv"));
    if (!reading_)
        reading_ = std::make_unique<JapaneseReading>();
    if (!unchanged(dictionaryFrom_, readings, &modified)) {
        reading_->setDictionary(ReadingDictionary::load(readings));
        dictionaryFrom_.emplace(readings, modified);
    }
    const QString english = inFolder(dataFolder, QString::fromLatin1(kEnglishNamesFile));
    if (!unchanged(englishFrom_, english, &modified)) {
        english_ = loadEnglishNames(english);
        englishFrom_.emplace(english, modified);
    }
    return {toHiragana(reading_->writtenKana(name)), english_.value(name.trimmed())};
}

} // namespace q47::lcd
