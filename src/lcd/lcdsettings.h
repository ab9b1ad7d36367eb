#pragma once

#include "lcdtiming.h"

#include <QPoint>
#include <QString>

#include <optional>

class QSettings;

namespace q47::lcd {

// Which fare display the bus carries: the seven-segment board, the LCD, or both, each in a
// window of its own.
enum class BoardKind { Led, Lcd, Both };

// As the command line and the settings name them ("led", "lcd", "led,lcd"); nothing for any
// other word.
std::optional<BoardKind> boardKindNamed(const QString &name);
QString boardKindName(BoardKind kind);
inline bool showsLed(BoardKind kind) {
    return kind != BoardKind::Lcd;
}
inline bool showsLcd(BoardKind kind) {
    return kind != BoardKind::Led;
}

// The user's settings, not the state file: the board chosen ("lcd/board"), how many seconds a
// page of the fare table stays ("lcd/pageSeconds", 1 to 60, 5 when absent or unusable), and
// the LCD window's zoom ("lcd/zoom") and place ("lcd/pos").
BoardKind readBoardKind(const QSettings &settings);
void writeBoardKind(QSettings &settings, BoardKind kind);

inline constexpr int kMinPageSeconds = 1;
inline constexpr int kMaxPageSeconds = 60;
inline constexpr int kDefaultPageSeconds = 5;
int readPageSeconds(const QSettings &settings);
void writePageSeconds(QSettings &settings, int seconds);

// "kanji", "kana", "en", "zh-Hans", "zh-Hant", "ko", as the settings and the command line name
// a form; nothing for any other word.
QString nameFormTag(NameForm form);
std::optional<NameForm> nameFormNamed(const QString &tag);

// How many beats (pages) each form of the name stays: "lcd/formBeats/kanji", ".../kana",
// ".../en" and so on, 0 to 5, 0 leaving the form out; the kanji at least 1.
// 2 for the kanji and 1 for the others when absent or unusable.
inline constexpr int kMaxFormBeats = 5;
std::array<int, kNameForms> readFormBeats(const QSettings &settings);
void writeFormBeats(QSettings &settings, const std::array<int, kNameForms> &beats);

qreal readLcdZoom(const QSettings &settings);
void writeLcdZoom(QSettings &settings, qreal zoom);
std::optional<QPoint> readLcdPosition(const QSettings &settings);
void writeLcdPosition(QSettings &settings, const QPoint &at);

} // namespace q47::lcd
