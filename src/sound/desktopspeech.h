#pragma once

#include "error.h"
#include "speechengine.h"

#include <QString>

#include <functional>
#include <memory>

namespace q47 {

// The program's speech: eSpeak NG with the voice stored in QSettings, its settings shown in
// the voice dialog; why it cannot be created, see EspeakSpeech::create().
Result<std::unique_ptr<SpeechEngine>> createDesktopSpeech(std::function<QString()> readingsFile);

} // namespace q47
