#include "logging.h"

namespace q47 {

Q_LOGGING_CATEGORY(logSound, "q47.sound", QtCriticalMsg)
Q_LOGGING_CATEGORY(logSpeech, "q47.speech", QtCriticalMsg)
Q_LOGGING_CATEGORY(logReading, "q47.reading", QtCriticalMsg)
Q_LOGGING_CATEGORY(logRoute, "q47.route", QtCriticalMsg)
Q_LOGGING_CATEGORY(logPlugin, "q47.plugin", QtCriticalMsg)
Q_LOGGING_CATEGORY(logState, "q47.state", QtWarningMsg)
Q_LOGGING_CATEGORY(logPicture, "q47.picture", QtCriticalMsg)
Q_LOGGING_CATEGORY(logLcd, "q47.lcd", QtCriticalMsg)
Q_LOGGING_CATEGORY(logRemote, "q47.remote", QtWarningMsg)

void logPassedOver(LogCategory category, const Error &error) {
    qCInfo(category).noquote() << error.text();
}

} // namespace q47
