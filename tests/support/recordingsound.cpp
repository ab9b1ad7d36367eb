#include "recordingsound.h"

namespace q47 {

void RecordingSound::play(const QString &path, SoundChannel channel, SoundWait wait, int pauseMs) {
    calls_.append(Call{path, channel, wait, pauseMs, false});
}

void RecordingSound::closeAll() {
    calls_.append(Call{{}, SoundChannel::S1, SoundWait::No, 0, true});
}

} // namespace q47
