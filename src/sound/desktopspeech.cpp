#include "desktopspeech.h"

#include "espeakspeech.h"
#include "voicedialog.h"

#include <QWidget>

namespace q47 {

Result<std::unique_ptr<SpeechEngine>> createDesktopSpeech(std::function<QString()> readingsFile) {
    Result<std::unique_ptr<EspeakSpeech>> created = EspeakSpeech::create(std::move(readingsFile));
    if (!created)
        return created.error();
    std::unique_ptr<EspeakSpeech> engine = std::move(*created);
    engine->setSettings(loadVoiceSettings());
    // The engine owns the hook, so the pointer lives as long as the hook can be called.
    EspeakSpeech *speech = engine.get();
    engine->setSettingsHook([speech](QObject *owner, const QString &title) {
        VoiceDialog dialog(*speech, qobject_cast<QWidget *>(owner), title);
        dialog.exec();
    });
    return engine;
}

} // namespace q47
