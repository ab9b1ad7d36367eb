#pragma once

#include "fareupdate.h"
#include "routedata.h"

#include <QDate>
#include <QString>

#include <vector>

#include <optional>

namespace q47 {

class SettingsStore;

// The stop position one step back (index 0) or forward (1), or nothing at either end of the
// records the table holds.
std::optional<qint16> stepTarget(const RouteTable &table, int index);

// The step sound for arriving at stop position `pos`, chosen by the options at this moment:
// the fixed sound, or the one the chosen data column's code 1..3 names. Empty: no sound.
QString stepSound(const SettingsStore &settings, const RouteTable &table, int pos);
// Whether the step sound is played to its end before the fares change.
bool stepSoundWaits(const SettingsStore &settings);

// The information digit options as the options dialog holds them now.
InfoDigitOptions infoDigitOptions(const SettingsStore &settings);

// The date a route setting fixes for the ticket.
QString routeDate(const SettingsStore &settings, const QDate &today);
// The date printed on the ticket for the current stop.
QString ticketDate(const SettingsStore &settings, const QString &routeDate, const QDate &today);

// The about box's text, each line ended by CR LF.
QString aboutText(const QString &model, const QString &version, int year);

// The keys that drive the panel from either window, for a foot switch or a keyboard.
enum class OperatorAction {
    StepForward,   // "データ送り"
    StepBack,      // "データ戻し"
    KeypadDigit,   // a digit key of the keypad
    KeypadEnter,   // route typed: on to the section; section typed: "リセット"
    speakNext,     // announcement "送り"
    speakPrevious, // announcement "戻し"
    stopSpeaking,  // "■"
};
struct OperatorKey {
    int key; // Qt::Key
    OperatorAction action;
};
const std::vector<OperatorKey> &operatorKeys();
// The keys as the about box and the README list them, lines ending in CR LF.
QString operatorKeysHelp();

} // namespace q47
