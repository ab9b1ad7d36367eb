// The LCD board with large names files: the route set and its first stop shown (every names
// file read then), a step after it, and the whole process's peak resident memory.
//
//   lcd_names MIB [hash]
//
// Copies the sample data into a folder of its own with a names.csv and a names_en.csv of MIB
// MiB each (0: none), starts the program with the LCD board on Qt's offscreen platform, sets
// sample route 2 and steps it once. With "hash" it only reads the names_en.csv into a hash,
// as the reader that the import still uses for its own writes does, for comparison.
#include "boardswitch.h"
#include "controlpanel.h"
#include "lcdboard.h"
#include "ledboard.h"
#include "namesen.h"
#include "q47app.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

#include <sys/resource.h>

namespace {

double peakMiB() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_maxrss) / 1024.0;
}

// Rows of invented stops up to just under `bytes` (a larger file is not read), then the sample
// route's own.
void writeNames(const QString &path, qint64 bytes, bool allLanguages) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return;
    f.write(allLanguages ? "name,ja-Hrkt,en,zh-Hans,zh-Hant,ko\n" : "停留所名,英語名\n");
    for (int i = 0; f.size() < bytes - 256; ++i) {
        const QByteArray n = QByteArray::number(i);
        f.write(allLanguages ? "停留所" + n + ",ていりゅうじょ" + n + ",Stop " + n + ",车站" + n +
                                   ",車站" + n + ",정류장" + n + "\n"
                             : "停留所" + n + ",Stop " + n + "\n");
    }
    f.write(allLanguages ? "新町,しんまち,Shinmachi,新町,新町,신마치\n" : "新町,Shinmachi\n");
}

} // namespace

int main(int argc, char *argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const qint64 bytes = argc > 1 ? qint64(QByteArray(argv[1]).toDouble() * 1024 * 1024) : 16 << 20;
    QTemporaryDir data;
    for (const QString &file : QDir(QStringLiteral(Q47_SAMPLES "/data")).entryList(QDir::Files))
        QFile::copy(QStringLiteral(Q47_SAMPLES "/data/") + file, data.filePath(file));
    QFile::remove(data.filePath(QStringLiteral("names.csv")));
    QFile::remove(data.filePath(QStringLiteral("names_en.csv")));
    if (bytes > 0) {
        writeNames(data.filePath(QStringLiteral("names.csv")), bytes, true);
        writeNames(data.filePath(QStringLiteral("names_en.csv")), bytes, false);
    }
    if (argc > 2 && QByteArray(argv[2]) == "hash") {
        QElapsedTimer t;
        t.start();
        const auto names = q47::loadEnglishNames(data.filePath(QStringLiteral("names_en.csv")));
        std::printf("names_en.csv of %.0f MiB into a hash: %lld names, %.0f ms, peak %.0f MiB\n",
                    double(bytes) / 1048576, static_cast<long long>(names.size()),
                    double(t.nsecsElapsed()) / 1e6, peakMiB());
        return 0;
    }

    q47::Q47App::preparePlatform(q47::lcd::BoardKind::Lcd);
    QApplication application(argc, argv);
    q47::Q47App app;
    app.setSpeechEnabled(false);
    app.setBoardOverride(q47::lcd::BoardKind::Lcd);
    app.setFolderOverrides(data.path(), data.path());
    app.start();
    q47::ControlPanel &panel = *app.controlPanel();
    panel.session().setLampTestMs(0);
    const double before = peakMiB();
    QElapsedTimer t;
    t.start();
    if (!panel.setRoute(QStringLiteral("2"), 1))
        return 1;
    app.boards()->lcdBoard()->repaint();
    const double set = double(t.nsecsElapsed()) / 1e6;
    t.restart();
    panel.session().step(1);
    app.boards()->lcdBoard()->repaint();
    const double step = double(t.nsecsElapsed()) / 1e6;
    const q47::NameForms &forms = app.model().content().stopForms;
    std::printf("names.csv and names_en.csv of %.0f MiB each: route set %.1f ms, a step %.1f ms "
                "(\"%s\"), peak %.0f MiB (%.0f MiB before the route)\n",
                double(bytes) / 1048576, set, step, qPrintable(forms[q47::NameLanguage::Korean]),
                peakMiB(), before);
    std::fflush(stdout);
    return 0;
}
