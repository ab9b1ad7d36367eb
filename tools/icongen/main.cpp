// Writes the application icon at the given pixel sizes into a hicolor-style tree:
// <output folder>/<N>x<N>/apps/<name>.png.
//
//   q47_icongen <output folder> <name> <size>...

#include "boardartwork.h"
#include "fonts.h"
#include "safefile.h"

#include <QDir>
#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 4) {
        std::fprintf(stderr, "usage: q47_icongen <output folder> <name> <size>...\n");
        return 2;
    }
    // The fare digits name the board's face; without the substitutes they would fall back
    // to whatever the machine picks.
    q47::installFontSubstitutes();
    const QDir out(QString::fromLocal8Bit(argv[1]));
    const QString name = QString::fromLocal8Bit(argv[2]);
    for (int i = 3; i < argc; ++i) {
        char *end = nullptr;
        const long size = std::strtol(argv[i], &end, 10);
        if (*end != '\0' || size < 8 || size > 1024) {
            std::fprintf(stderr, "bad icon size %s\n", argv[i]);
            return 2;
        }
        const QString folder = QStringLiteral("%1x%1/apps").arg(size);
        const QString path =
            out.filePath(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
        if (!out.mkpath(folder)) {
            std::fprintf(stderr, "cannot create %s\n", qPrintable(out.filePath(folder)));
            return 1;
        }
        if (const q47::Result<> written =
                q47::writeImageSafely(path, q47::board::renderIcon(static_cast<int>(size)), "PNG");
            !written) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(written.error().text()));
            return 1;
        }
    }
    return 0;
}
