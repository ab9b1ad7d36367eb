#pragma once

#include <QDateTime>
#include <QHash>
#include <QString>

#include <memory>
#include <optional>
#include <utility>

namespace q47 {
class JapaneseReading;
}

namespace q47::lcd {

// A stop's name in kana and in English, as the LCD board alternates them with the kanji.
struct StopNames {
    QString kana; // hiragana; empty when the name cannot be read
    QString english;
};

// Looks names up: the kana from the author's readings.csv in the sound folder, else from
// MeCab's dictionary; the English from names_en.csv in the data folder. Both files are read
// again only when they change. MeCab is opened on the first look-up, not before.
class StopReadings {
public:
    StopReadings();
    ~StopReadings();
    StopReadings(const StopReadings &) = delete;
    StopReadings &operator=(const StopReadings &) = delete;

    // Folders as the settings keep them, with or without a trailing separator.
    StopNames lookUp(const QString &name, const QString &dataFolder, const QString &soundFolder);

private:
    using Stamp = std::optional<std::pair<QString, QDateTime>>;
    std::unique_ptr<JapaneseReading> reading_;
    Stamp dictionaryFrom_;
    QHash<QString, QString> english_;
    Stamp englishFrom_;
};

} // namespace q47::lcd
