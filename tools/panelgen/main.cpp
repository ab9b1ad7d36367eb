// Writes the sample board pictures for the options' user panels, one of each format the
// options offer: night.jpg, led.gif and day.bmp.
//
//   q47_panelgen <output folder>

#include "fonts.h"
#include "gifwriter.h"
#include "panelart.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <cstdio>

namespace {

bool writeFile(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

bool writeImage(const QImage &img, const QString &path, const char *format, int quality) {
    if (!img.save(path, format, quality)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: q47_panelgen <output folder>\n");
        return 2;
    }
    q47::installFontSubstitutes();
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!out.exists() && !QDir().mkpath(out.path())) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    using q47::panelgen::drawPanel;
    using q47::panelgen::Face;
    const bool ok =
        writeImage(drawPanel(Face::Night), out.filePath(QStringLiteral("night.jpg")), "JPEG", 88) &&
        writeFile(out.filePath(QStringLiteral("led.gif")),
                  q47::panelgen::encodeGif(drawPanel(Face::Led))) &&
        writeImage(
            drawPanel(Face::Day).convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither),
            out.filePath(QStringLiteral("day.bmp")), "BMP", -1);
    return ok ? 0 : 1;
}
