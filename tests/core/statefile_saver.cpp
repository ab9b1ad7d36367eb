// Saves two state files in turn, for ever: statefile_saver TARGET A B. The crash test kills it
// at random moments and expects TARGET to be A or B, whole, every time. "ready" on stdout
// follows the first save of B, so that a kill after it always falls among the saves.
#include "statefile.h"

#include <QFile>
#include <QString>

#include <cstdio>

namespace {

QByteArray readAll(const char *path) {
    QFile file(QString::fromLocal8Bit(path));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 4)
        return 2;
    const QString target = QString::fromLocal8Bit(argv[1]);
    const QByteArray files[] = {readAll(argv[2]), readAll(argv[3])};
    if (files[0].isEmpty() || files[1].isEmpty())
        return 2;
    if (q47::saveStateFile(target, files[1]))
        return 1;
    std::puts("ready");
    std::fflush(stdout);
    for (;;) {
        for (const QByteArray &bytes : files) {
            if (q47::saveStateFile(target, bytes))
                return 1;
        }
    }
}
