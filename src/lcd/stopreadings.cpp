#include "stopreadings.h"

#include "japanesereading.h"
#include "lcdtexts.h"
#include "namesen.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace q47::lcd {

namespace {

// Whether `path` is still the file last read.
bool unchanged(const std::optional<std::pair<QString, QDateTime>> &from, const QString &path,
               QDateTime *modified) {
    *modified = QFileInfo(path).lastModified();
    return from && from->first == path && from->second == *modified;
}

const QRegularExpression &spokenPauses() {
    static const QRegularExpression pauses(QStringLiteral("[、。，．,.\\s]"));
    return pauses;
}

} // namespace

StopReadings::StopReadings() = default;
StopReadings::~StopReadings() = default;

NameForms StopReadings::lookUp(const QString &name, const QString &dataFolder,
                               const QString &soundFolder) {
    const QString text = name.trimmed();
    if (text.isEmpty())
        return {};
    QDateTime modified;
    // An unset folder has no files, rather than the working folder's.
    const auto inFolder = [](const QString &folder, const char *file) {
        return folder.isEmpty() ? QString() : QDir(folder).filePath(QString::fromLatin1(file));
    };
    const QString names = inFolder(dataFolder, kStopNamesFile);
    if (!unchanged(namesFrom_, names, &modified)) {
        names_ = NameTable::loadNamesFile(names);
        namesFrom_.emplace(names, modified);
    }
    const QString english = inFolder(dataFolder, kEnglishNamesFile);
    if (!unchanged(englishFrom_, english, &modified)) {
        english_ = NameTable::loadEnglishNames(english);
        englishFrom_.emplace(english, modified);
    }
    NameForms forms = english_.lookUp(text);
    forms.overlay(names_.lookUp(text));

    const QString readings = inFolder(soundFolder, "readings.csv");
    if (!reading_)
        reading_ = std::make_unique<JapaneseReading>();
    if (!unchanged(dictionaryFrom_, readings, &modified)) {
        reading_->setDictionary(ReadingDictionary::load(readings));
        dictionaryFrom_.emplace(readings, modified);
    }
    // The author's reading of the whole name, else the names file's, else the dictionary's.
    QString kana;
    if (reading_->dictionary().match(text, 0, &kana) == text.size())
        kana.remove(spokenPauses()); // a board shows the name, not where the voice rests
    else
        kana = forms[NameLanguage::Kana].isEmpty() ? reading_->writtenKana(text)
                                                   : forms[NameLanguage::Kana];
    forms[NameLanguage::Kana] = toHiragana(kana);
    return forms;
}

} // namespace q47::lcd
