#include "fakespeech.h"

namespace q47 {

void FakeSpeech::speak(const QString &text) {
    if (beforeSpeak)
        beforeSpeak();
    log_.append(QStringLiteral("speak ") + text);
}

} // namespace q47
