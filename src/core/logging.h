#pragma once

#include "error.h"

#include <QLoggingCategory>

namespace q47 {

// The program's logging categories, one per area. What the program passes over without telling
// the operator (a sound that stays silent, a side file left out) is logged at info level, so
// that `QT_LOGGING_RULES="q47.*=true"` shows why. The areas that must stay silent keep even
// their warnings off unless asked.
Q_DECLARE_LOGGING_CATEGORY(logSound)   // q47.sound: the sound channels and the MIDI synthesizer
Q_DECLARE_LOGGING_CATEGORY(logSpeech)  // q47.speech: the announcement list and the voice
Q_DECLARE_LOGGING_CATEGORY(logReading) // q47.reading: the Japanese reading and its dictionary
Q_DECLARE_LOGGING_CATEGORY(logRoute)   // q47.route: route files and their side files
Q_DECLARE_LOGGING_CATEGORY(logPlugin)  // q47.plugin: ticket plug-ins
Q_DECLARE_LOGGING_CATEGORY(logState)   // q47.state: the state file
Q_DECLARE_LOGGING_CATEGORY(logPicture) // q47.picture: the board's panel pictures
Q_DECLARE_LOGGING_CATEGORY(logLcd)     // q47.lcd: the LCD board's names files
// q47.remote: boards published and followed over MQTT. Messages turned down and a broker that
// refuses are warnings, shown by default; the link's comings and goings are info.
Q_DECLARE_LOGGING_CATEGORY(logRemote)

using LogCategory = const QLoggingCategory &(*)();

// A failure the program goes on without, at info level: "FILE:LINE: detail".
void logPassedOver(LogCategory category, const Error &error);

} // namespace q47
