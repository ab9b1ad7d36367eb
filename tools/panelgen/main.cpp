// Writes the sample board pictures for the options' user panels, one of each format the
// options offer: night.jpg, led.gif and day.bmp.
//
//   q47_panelgen <output folder>

#include "fonts.h"
#include "gifwriter.h"
#include "panelart.h"
#include "safefile.h"

#include <QDir>
#include <QGuiApplication>

#include <cstdio>

namespace {

bool written(const q47::Result<> &written) {
    if (!written)
        std::fprintf(stderr, "cannot write %s\n", qPrintable(written.error().text()));
    return bool(written);
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
    const bool ok = written(q47::writeImageSafely(out.filePath(QStringLiteral("night.jpg")),
                                                  drawPanel(Face::Night), "JPEG", 88)) &&
                    written(q47::writeFileSafely(out.filePath(QStringLiteral("led.gif")),
                                                 q47::panelgen::encodeGif(drawPanel(Face::Led)))) &&
                    written(q47::writeImageSafely(out.filePath(QStringLiteral("day.bmp")),
                                                  drawPanel(Face::Day).convertToFormat(
                                                      QImage::Format_Indexed8, Qt::ThresholdDither),
                                                  "BMP"));
    return ok ? 0 : 1;
}
