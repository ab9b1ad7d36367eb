// What the kill tests stop half-way.
//
// statefile_saver TARGET A B: saves two state files in turn, for ever. The test kills it at
// random moments and expects TARGET to be A or B, whole, every time. "ready" on stdout
// follows the first save of B, so that a kill after it always falls among the saves.
//
// statefile_saver commit STEP DATA SOUND: commits an import's four files in two folders
// ("new NAME" each) and kills itself before the STEP-th change the commit makes on disk.
#include "safefile.h"
#include "statefile.h"

#include <QDir>
#include <QFile>
#include <QString>

#include <csignal>
#include <cstdio>

namespace {

QByteArray readAll(const char *path) {
    QFile file(QString::fromLocal8Bit(path));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

int commitImport(int killAt, const QDir &data, const QDir &sound) {
    std::vector<q47::PendingFile> files(4);
    const QString paths[] = {data.filePath("47.hy3"), data.filePath("names_en.csv"),
                             sound.filePath("47tp.csv"), sound.filePath("readings.csv")};
    for (size_t i = 0; i < files.size(); ++i) {
        if (!files[i].open(paths[i]) ||
            !files[i].write("new " + QFileInfo(paths[i]).fileName().toUtf8()))
            return 1;
    }
    int step = 0;
    const auto committed = q47::commitFiles(files, [&] {
        if (++step == killAt)
            std::raise(SIGKILL);
    });
    if (!committed)
        std::fprintf(stderr, "%s\n", qPrintable(committed.error().cause.text()));
    return committed ? 0 : 1;
}

} // namespace

int main(int argc, char **argv) {
    if (argc == 5 && QByteArrayView(argv[1]) == "commit")
        return commitImport(std::atoi(argv[2]), QDir(QString::fromLocal8Bit(argv[3])),
                            QDir(QString::fromLocal8Bit(argv[4])));
    if (argc != 4)
        return 2;
    const QString target = QString::fromLocal8Bit(argv[1]);
    const QByteArray files[] = {readAll(argv[2]), readAll(argv[3])};
    if (files[0].isEmpty() || files[1].isEmpty())
        return 2;
    if (!q47::saveStateFile(target, files[1]))
        return 1;
    std::puts("ready");
    std::fflush(stdout);
    for (;;) {
        for (const QByteArray &bytes : files) {
            if (!q47::saveStateFile(target, bytes))
                return 1;
        }
    }
}
