// Writes the board's two built-in faces (backlight OFF and ON1), drawn by the board's own code
// at pixel ratio 1, as a C++ source file that the board's window compiles: a board on an
// ordinary screen then shows its face without drawing it at start-up. The pixels are kept as
// runs of equal pixels, which the large even areas of the faces make few.
//
//   q47_facegen <output.cpp>

#include "boardartwork.h"
#include "safefile.h"

#include <QGuiApplication>
#include <QTextStream>

#include <cstdio>

namespace {

// The face's pixels as (count, pixel) pairs, row after row as if one line.
QList<quint32> runs(const QImage &face) {
    QList<quint32> out;
    quint32 pixel = 0;
    quint32 count = 0;
    for (int y = 0; y < face.height(); ++y) {
        const auto *line = reinterpret_cast<const quint32 *>(face.constScanLine(y));
        for (int x = 0; x < face.width(); ++x) {
            if (count > 0 && line[x] == pixel) {
                ++count;
                continue;
            }
            if (count > 0)
                out << count << pixel;
            pixel = line[x];
            count = 1;
        }
    }
    out << count << pixel;
    return out;
}

void writeFace(QTextStream &out, const char *name, const QImage &face) {
    const QList<quint32> data = runs(face);
    out << "const quint32 " << name << "[] = {";
    for (qsizetype i = 0; i < data.size(); ++i)
        out << (i % 8 == 0 ? "\n    " : " ") << "0x" << QString::number(data[i], 16) << "u,";
    out << "\n};\n";
}

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: q47_facegen <output.cpp>\n");
        return 2;
    }
    const QImage off = q47::board::renderArtwork(q47::board::Artwork::Off, 1);
    const QImage on1 = q47::board::renderArtwork(q47::board::Artwork::On1, 1);
    QString text;
    QTextStream out(&text);
    out << "// Written by q47_facegen: the built-in faces as runs of (count, pixel).\n"
        << "#include \"builtinfaces.h\"\n\n"
        << "namespace q47::board {\n\n"
        << "const int kFaceWidth = " << off.width() << ";\n"
        << "const int kFaceHeight = " << off.height() << ";\n";
    writeFace(out, "kOffFaceRuns", off);
    out << "const qsizetype kOffFaceRunsSize = sizeof kOffFaceRuns / sizeof *kOffFaceRuns;\n";
    writeFace(out, "kOn1FaceRuns", on1);
    out << "const qsizetype kOn1FaceRunsSize = sizeof kOn1FaceRuns / sizeof *kOn1FaceRuns;\n"
        << "\n} // namespace q47::board\n";
    out.flush();
    if (const q47::Result<> written =
            q47::writeFileSafely(QString::fromLocal8Bit(argv[1]), text.toUtf8());
        !written) {
        std::fprintf(stderr, "q47_facegen: cannot write %s\n", qPrintable(written.error().text()));
        return 1;
    }
    return 0;
}
