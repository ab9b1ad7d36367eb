#pragma once

#include <QElapsedTimer>
#include <QThread>

#include <functional>

namespace q47 {

// Polls until the condition holds. Generous by design: a failure means "never happened",
// not "too slow".
inline bool eventually(const std::function<bool()> &condition, int timeoutMs = 10000) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QThread::msleep(5);
    }
    return true;
}

} // namespace q47
