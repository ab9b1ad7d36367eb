// lcdshot: the LCD fare display at one stop of a route, as a PNG.
//   lcdshot --data DIR --route N --stop S [--kana READING] [--form kanji|kana|english]
//           [--page P] [--time HH:MM] [--night] [--backlight 0|1|2] [--scale Z] [--dpr R] OUT.png
// The English name comes from names_en.csv in the route folder.
#include "fareupdate.h"
#include "lcdrenderer.h"
#include "lcdtexts.h"
#include "namesen.h"
#include "routedata.h"

#include <QCommandLineParser>
#include <QDir>
#include <QGuiApplication>

#include <algorithm>
#include <cstdio>

using namespace q47;

namespace {

// What the board holds at stop `stop` of a route set from its first stop.
BoardContent contentAt(const RouteTable &table, int stop, bool night) {
    BoardContent content;
    for (int cell = 1; cell <= kBoardCells; ++cell)
        content.cells[size_t(cell)] = 0;
    for (const CellWrite &w : fareWrites(table, stop, night, InfoDigitOptions{}))
        content.cells[size_t(w.cell)] = w.value;
    for (int i = 1; i <= stop; ++i)
        content.highestSeiriNo = std::max<int>(content.highestSeiriNo, table.at(i).SeiriNo);
    content.stopName = table.at(stop).StopName;
    content.routeNumber = routeName(table.RouteText);
    content.headsign = table.at(table.loaded).StopName + QStringLiteral("行");
    return content;
}

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCommandLineParser cli;
    cli.addHelpOption();
    cli.addOptions({{"data", "Route folder.", "dir", "."},
                    {"route", "Route number.", "n", "1"},
                    {"stop", "Stop, from 1.", "s", "1"},
                    {"kana", "The stop's reading.", "reading"},
                    {"form", "kanji, kana or english.", "form", "kanji"},
                    {"page", "Page of the fare table, from 1.", "p", "1"},
                    {"time", "Clock.", "hh:mm", "10:24"},
                    {"night", "Late-night fares."},
                    {"backlight", "0 OFF, 1 ON1, 2 ON2.", "b", "2"},
                    {"scale", "Zoom.", "z", "1"},
                    {"dpr", "Device pixel ratio.", "r", "1"}});
    cli.addPositionalArgument("out", "PNG file.");
    cli.process(app);
    if (cli.positionalArguments().size() != 1)
        cli.showHelp(2);

    RouteTable table;
    const RouteLoadResult loaded =
        loadRoute(table, normalizeFolder(QDir::fromNativeSeparators(cli.value("data")) + "/"),
                  cli.value("route"), 1);
    if (!loaded.ok) {
        std::fprintf(stderr, "%s\n", qPrintable(loaded.message));
        return 1;
    }
    const int stop = std::clamp(cli.value("stop").toInt(), 1, table.loaded);
    BoardContent content = contentAt(table, stop, cli.isSet("night"));
    content.time = QTime::fromString(cli.value("time"), QStringLiteral("HH:mm"));
    content.backlight = cli.value("backlight").toInt();
    content.stopKana = lcd::toHiragana(cli.value("kana"));
    content.stopEnglish =
        lcd::loadEnglishNames(
            QDir(cli.value("data")).filePath(QString::fromUtf8(lcd::kEnglishNamesFile)))
            .value(content.stopName);

    lcd::LcdPhase phase;
    phase.page = cli.value("page").toInt() - 1;
    const QString form = cli.value("form");
    phase.name = form == "kana"      ? lcd::NameForm::Kana
                 : form == "english" ? lcd::NameForm::English
                                     : lcd::NameForm::Kanji;
    const qreal scale = cli.value("scale").toDouble();
    const QSize size(int(960 * scale), int(540 * scale));
    lcd::LcdRenderer renderer;
    const QImage image = renderer.render(content, size, cli.value("dpr").toDouble(), phase);
    if (!image.save(cli.positionalArguments().constFirst())) {
        std::fprintf(stderr, "cannot write %s\n",
                     qPrintable(cli.positionalArguments().constFirst()));
        return 1;
    }
    return 0;
}
