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
        QString channel;
        qint16 wait = 0;
        qint16 pause = 0;
        bool close = false; // a CloseSnd() call; the other fields are empty

        bool operator==(const Call &) const = default;
    };

    void PlaySnd(const QString &Path, const QString &Channel, qint16 Wait, qint16 Pause) override;
    void CloseSnd() override;

    const QList<Call> &calls() const { return calls_; }
    void clear() { calls_.clear(); }

private:
    QList<Call> calls_;
};

} // namespace q47
