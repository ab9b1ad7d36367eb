// Converts routes between spreadsheet CSV and the board's route data files, and checks them.
#include "routecsv.h"
#include "safefile.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

namespace {

const char *kHelp = R"(Usage:
  hy3tool to-hy3 ROUTE.csv ROUTE.hy3 [--encoding utf8|cp932]
  hy3tool to-csv ROUTE.hy3 ROUTE.csv
  hy3tool check FILE.hy3|FILE.csv

A route CSV has one row per stop, in the order the bus serves them:
  1  stop name       the name on the place-name display (Japanese text)
  2  ticket number   the numbered ticket handed out at this stop (整理券番号)
  3  column 1        fare owed here by a passenger holding ticket 1
  ...
  52 column 50       fare owed here by a passenger holding ticket 50
  53 column 51 ...   further data columns up to column 150, for instance the step-sound
                     code (1, 2 or 3) that the options can read from a chosen column
Every number is a whole number from -32768 to 32767; -1 is a fare the late-night
doubling leaves as it is. Missing or empty columns are 0. A first row whose second field
is not a number is a header; rows starting with # are comments. Fields may be quoted
("..." with "" for a quote). A route has 1 to 301 stops.

CSV is read as UTF-8 (with or without a byte-order mark) or, when it is not valid UTF-8,
as CP932; --encoding forces one. to-csv writes UTF-8 with a byte-order mark.
Nothing is written when the input has an error; errors name the file, line and field.
)";

int fail(const QStringList &errors) {
    for (const QString &e : errors)
        std::fprintf(stderr, "%s\n", qPrintable(e));
    return 1;
}

bool readFile(const QString &path, QByteArray &out, QStringList &errors) {
    q47::Result<QByteArray> read = q47::spreadsheetcsv::readFile(path);
    if (!read) {
        errors.append(read.error().text());
        return false;
    }
    out = std::move(*read);
    return true;
}

bool writeFile(const QString &path, const QByteArray &bytes, QStringList &errors) {
    if (const q47::Result<> written = q47::writeFileSafely(path, bytes); !written) {
        errors.append(written.error().text());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    using namespace q47;

    routecsv::Encoding encoding = routecsv::Encoding::Detect;
    const qsizetype enc = args.indexOf(QStringLiteral("--encoding"));
    if (enc >= 0) {
        const QString name = args.value(enc + 1).toLower();
        if (name == QStringLiteral("utf8") || name == QStringLiteral("utf-8"))
            encoding = routecsv::Encoding::Utf8;
        else if (name == QStringLiteral("cp932") || name == QStringLiteral("sjis"))
            encoding = routecsv::Encoding::Cp932;
        else
            return fail({QStringLiteral("--encoding takes utf8 or cp932")});
        args.remove(enc, 2);
    }

    if (args.isEmpty() || args[0] == QStringLiteral("--help") || args[0] == QStringLiteral("-h")) {
        std::fputs(kHelp, args.isEmpty() ? stderr : stdout);
        return args.isEmpty() ? 2 : 0;
    }
    const QString command = args[0];
    QStringList errors;
    QByteArray input;

    if (command == QStringLiteral("to-hy3") && args.size() == 3) {
        if (!readFile(args[1], input, errors))
            return fail(errors);
        const routecsv::ParseResult r = routecsv::parse(input, args[1], encoding);
        if (!r.ok())
            return fail(r.errors);
        if (!writeFile(args[2], encodeRouteFile(r.stops), errors))
            return fail(errors);
        std::printf("%s: %d stops\n", qPrintable(args[2]), static_cast<int>(r.stops.size()));
        return 0;
    }
    if (command == QStringLiteral("to-csv") && args.size() == 3) {
        if (!readFile(args[1], input, errors))
            return fail(errors);
        const QStringList problems = routecsv::check(input, args[1]);
        const RouteFileContents c = decodeRouteFile(input);
        if (c.status != RouteFileContents::Status::Ok)
            return fail(problems);
        if (!writeFile(args[2], routecsv::write(c.stops), errors))
            return fail(errors);
        std::printf("%s: %d stops\n", qPrintable(args[2]), static_cast<int>(c.stops.size()));
        return 0;
    }
    if (command == QStringLiteral("check") && args.size() == 2) {
        if (!readFile(args[1], input, errors))
            return fail(errors);
        if (args[1].endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive)) {
            const routecsv::ParseResult r = routecsv::parse(input, args[1], encoding);
            if (!r.ok())
                return fail(r.errors);
            std::printf("%s: %d stops, no errors\n", qPrintable(args[1]),
                        static_cast<int>(r.stops.size()));
            return 0;
        }
        const QStringList problems = routecsv::check(input, args[1]);
        if (!problems.isEmpty())
            return fail(problems);
        std::printf("%s: %d stops, no errors\n", qPrintable(args[1]),
                    static_cast<int>(decodeRouteFile(input).count));
        return 0;
    }
    std::fputs(kHelp, stderr);
    return 2;
}
