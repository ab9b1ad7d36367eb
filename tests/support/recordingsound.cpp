#include "recordingsound.h"

namespace q47 {

void RecordingSound::PlaySnd(const QString &Path, const QString &Channel, qint16 Wait,
                             qint16 Pause) {
    calls_.append(Call{Path, Channel, Wait, Pause, false});
}

void RecordingSound::CloseSnd() {
    calls_.append(Call{{}, {}, 0, 0, true});
}

} // namespace q47
