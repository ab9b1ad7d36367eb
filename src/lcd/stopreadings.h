#pragma once

#include "namesen.h"

#include <QDateTime>
#include <QString>

#include <memory>
#include <optional>
#include <utility>

namespace q47 {
class JapaneseReading;
}

namespace q47::lcd {

// Looks a stop's name up in kana and other languages, as the LCD board alternates them with
// the name as written: the kana from the author's readings.csv in the sound folder, else from
// names.csv in the data folder, else from MeCab's dictionary (in hiragana); the others from
// names.csv, else names_en.csv for English. Each file is read again only when it changes.
// MeCab is opened on the first look-up, not before.
class StopReadings {
public:
    StopReadings();
    ~StopReadings();
    StopReadings(const StopReadings &) = delete;
    StopReadings &operator=(const StopReadings &) = delete;

    // Folders as the settings keep them, with or without a trailing separator.
    NameForms lookUp(const QString &name, const QString &dataFolder, const QString &soundFolder);

private:
    using Stamp = std::optional<std::pair<QString, QDateTime>>;
    std::unique_ptr<JapaneseReading> reading_;
    Stamp dictionaryFrom_;
    NameTable names_;
    Stamp namesFrom_;
    NameTable english_;
    Stamp englishFrom_;
};

} // namespace q47::lcd
