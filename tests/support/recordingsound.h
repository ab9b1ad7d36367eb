#pragma once

#include "soundoutput.h"

#include <QList>
#include <QString>

namespace q47 {

// A SoundOutput that plays nothing and remembers every call, in order, for the tests of the
// code that makes sounds.
class RecordingSound final : public SoundOutput {
public:
    struct Call {
        QString path;
        SoundChannel channel = SoundChannel::S1;
        SoundWait wait = SoundWait::No;
        int pause = 0;
        bool close = false; // a closeAll() call; the other fields are empty

        bool operator==(const Call &) const = default;
    };

    void play(const QString &path, SoundChannel channel, SoundWait wait, int pauseMs) override;
    void closeAll() override;

    const QList<Call> &calls() const { return calls_; }
    void clear() { calls_.clear(); }

private:
    QList<Call> calls_;
};

} // namespace q47
