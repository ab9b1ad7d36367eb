#include "plugincheck.h"
#include "ticketplugin.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <ZXing/ReadBarcode.h>
#include <gtest/gtest.h>

using namespace q47;
using ticket::Fault;

namespace {

const QString kSamples = QStringLiteral(Q47_SAMPLES "/plugins/");

// A valid plug-in; the cases below break one thing at a time.
const QByteArray kBase = R"(Q47 ticket plug-in 1
[ticket]
size = 260 x 110
[capabilities]
print date = 1
print time = 1
print route = 1
print stop name = 1
print barcode = 1
barcode count = 1
highest route = 999
barcode route method = 0
lowest stop = 1
highest stop = 99
company switching = 1
[comment]
見本です
[companies]
甲交通
乙バス
[layout]
text x=0 y=100 w=100 h=10 size=8 text="{stop}"
)";

QByteArray edited(const char *from, const char *to) {
    return QByteArray(kBase).replace(from, to);
}

QByteArray withLayout(const QByteArray &lines) {
    return kBase + lines;
}

class TicketPlugin : public ::testing::Test {
protected:
    QString write(const QByteArray &bytes, const QString &name = QStringLiteral("t.4SP")) {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
        return path;
    }

    // The ticket on a grey page twice its size, so that drawing outside the ticket shows.
    static QImage draw(const QString &path, qreal dpr) {
        const PlgInfo info = ticketPluginInfo(path).value_or(PlgInfo{});
        const QSize size(std::max(info.widthTwips / 15, 50) * 2,
                         std::max(info.heightTwips / 15, 50) * 2);
        QImage img((QSizeF(size) * dpr).toSize(), QImage::Format_RGB32);
        img.setDevicePixelRatio(dpr);
        img.fill(Qt::gray);
        QPainter p(&img);
        drawPluginTicket(path, p, QStringLiteral("市役所前"), QStringLiteral("05-17-2025"),
                         QStringLiteral("14:05:09"), 12, 5, 7, 1);
        return img;
    }

    QTemporaryDir dir;
};

TEST(CapabilityLines, BarcodeLinesAppearOnlyWithBarcodePrinting) {
    PlgInfo info;
    info.printDate = info.printStopName = 1;
    info.printTime = info.printRoute = info.printBarcode = 2; // only exactly 1 is "可能"
    info.companySwitching = 2;                                // 1 or more is "可能"
    EXPECT_EQ(capabilityLines(info),
              QStringList({"日付の印字 ---> 可能", "時刻の印字 ---> 不可",
                           "系統番号の印字 ---> 不可", "停名の印字 ---> 可能",
                           "バーコード印字 ---> 不可", "社名切り替え:---> 可能"}));

    info = {};
    info.printBarcode = 1;
    info.barcodeCount = 2;
    info.highestRoute = 999;
    info.lowestStop = 1;
    info.highestStop = 99;
    info.barcodeRouteMethod = 1;
    EXPECT_EQ(
        capabilityLines(info),
        QStringList({"日付の印字 ---> 不可", "時刻の印字 ---> 不可", "系統番号の印字 ---> 不可",
                     "停名の印字 ---> 不可", "バーコード印字 ---> 可能", "バーコード本数 ---> 2",
                     "バーコード系統方式 ---> 連番式", "設定可能な系統範囲 ---> 1 ～ 999",
                     "停留所認識範囲 ---> 1 ～ 99", "社名切り替え:---> 不可"}));
    for (qint32 method : {0, 2}) {
        info.barcodeRouteMethod = method;
        EXPECT_EQ(capabilityLines(info).at(6), "バーコード系統方式 ---> 系統番号＋往復フラグ");
    }
}

TEST_F(TicketPlugin, SamplesDescribeThemselves) {
    struct Expected {
        const char *file;
        std::array<qint32, 14> fields;
        QStringList companies;
    };
    const Expected samples[] = {
        {"plain.4SP", {1, 3300, 1395, 1, 0, 0, 1, 0, 0, 0, 0, 1, 99, 0}, {}},
        {"full.4SP",
         {1, 3390, 1680, 1, 1, 1, 1, 1, 1, 999, 0, 1, 99, 1},
         {"かもめ台交通", "星見ヶ丘バス", "つばき野観光"}},
    };
    for (const Expected &s : samples) {
        const QString path = kSamples + QLatin1String(s.file);
        const auto info = ticketPluginInfo(path);
        ASSERT_TRUE(info) << s.file;
        for (int n = 1; n <= 14; ++n)
            EXPECT_EQ(info->field(n), s.fields[static_cast<size_t>(n - 1)])
                << s.file << " field " << n;
        EXPECT_EQ(ticketPluginCompanies(path), s.companies);
        EXPECT_TRUE(ticketPluginComment(path).contains(QStringLiteral("整理券")));
    }
}

TEST_F(TicketPlugin, RefusesWhatIsNoPlugin) {
    struct Case {
        const char *what;
        QByteArray bytes;
        Fault fault;
    };
    QByteArray manyItems = kBase;
    for (int i = 0; i < ticket::kMaxItems; ++i)
        manyItems += "box x=0 y=0 w=1 h=1\n";
    const QByteArray huge = kBase + QByteArray(ticket::kMaxFileBytes, '#');
    // Each about 3 000 000 units: a stop name of up to 1000 characters at size 110.
    QByteArray costly = kBase;
    for (int i = 0; i < 70; ++i)
        costly += "text x=0 y=0 w=260 h=110 size=110 text=\"{stop}\"\n";
    const Case cases[] = {
        {"empty", {}, Fault::BadHeader},
        {"other format", edited("Q47 ticket plug-in", "Q47 ticket plugin"), Fault::BadHeader},
        {"newer version", edited("plug-in 1", "plug-in 2"), Fault::BadVersion},
        {"not UTF-8", edited("見本", "\x8C\xA9\x96\x7B"), Fault::NotUtf8},
        {"missing field", edited("highest stop = 99\n", ""), Fault::MissingKey},
        {"missing size", edited("size = 260 x 110\n", ""), Fault::MissingKey},
        {"misspelt field", edited("print date", "print data"), Fault::UnknownKey},
        {"repeated field", edited("print time = 1", "print date = 1"), Fault::RepeatedKey},
        {"not a number", edited("print date = 1", "print date = yes"), Fault::BadValue},
        {"beyond 32 bits", edited("highest route = 999", "highest route = 2147483648"),
         Fault::BadValue},
        {"ticket too tall", edited("260 x 110", "260 x 641"), Fault::TicketTooLarge},
        {"text larger than a ticket", withLayout("text x=0 y=0 w=9 h=9 size=641 text=a\n"),
         Fault::BadValue},
        {"too dear to draw", costly, Fault::TooCostly},
        {"too many items", manyItems, Fault::TooManyItems},
        {"item off the ticket", withLayout("box x=200 y=0 w=61 h=10\n"), Fault::OutsideTicket},
        {"unknown symbology", withLayout("barcode x=0 y=0 w=9 h=9 type=pdf417 data=1\n"),
         Fault::UnknownSymbology},
        {"unknown placeholder", withLayout("text x=0 y=0 w=9 h=9 text=\"{fare}\"\n"),
         Fault::BadTemplate},
        {"width on a name", withLayout("text x=0 y=0 w=9 h=9 text=\"{stop:3}\"\n"),
         Fault::BadTemplate},
        {"unclosed quote", withLayout("text x=0 y=0 w=9 h=9 text=\"a\n"), Fault::BadLine},
        {"company outside CP932", edited("乙バス", "乙버스"), Fault::NotCp932},
        {"fixed text outside CP932", withLayout("text x=0 y=0 w=9 h=9 text=\"😀\"\n"),
         Fault::NotCp932},
        {"comment outside CP932", edited("見本です", "見本です€"), Fault::NotCp932},
        {"file too large", huge, Fault::FileTooLarge},
    };
    ASSERT_TRUE(ticket::parsePlugin(kBase));
    for (const Case &c : cases) {
        const auto parsed = ticket::parsePlugin(c.bytes);
        ASSERT_FALSE(parsed) << c.what;
        EXPECT_TRUE(parsed.error().front().detail.startsWith(ticket::faultText(c.fault)))
            << c.what << ": " << qPrintable(parsed.error().front().detail);
        EXPECT_FALSE(ticketPluginInfo(write(c.bytes))) << c.what;
    }
    for (const QString &path : {QString(), dir.filePath("missing.4SP"), dir.path()})
        EXPECT_FALSE(ticketPluginInfo(path)) << path.toStdString();
}

// Every faulty line once, with its line, from the one reading that the check shares.
TEST_F(TicketPlugin, FaultsAreListedOnceWithTheirLines) {
    const QString path = write(
        edited("print date = 1", "print data = 1").replace("print time = 1", "print time = x"));
    const auto info = ticketPluginInfo(path);
    ASSERT_FALSE(info);
    QStringList lines;
    for (const Error &fault : info.error())
        lines << formatPluginNote(fault);
    EXPECT_EQ(lines.join(u'\n').toStdString(),
              (path + QStringLiteral(":5: fault: an unknown key or attribute (print data)\n") +
               path + QStringLiteral(":6: fault: a value not of its kind or outside its range"))
                  .toStdString());
    EXPECT_EQ(checkPlugin(path), info.error());
}

TEST_F(TicketPlugin, AChangedFileIsReadAgain) {
    const QString path = write(kBase);
    ASSERT_TRUE(ticketPluginInfo(path));
    write(edited("260 x 110", "300 x 120"));
    const auto info = ticketPluginInfo(path);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->widthTwips, 4500);
    write(edited("plug-in 1", "plug-in 2"));
    EXPECT_FALSE(ticketPluginInfo(path));
    EXPECT_EQ(ticketPluginCompanies(path), QStringList());
}

TEST(TicketTemplate, FillsPlaceholders) {
    const ticket::TicketValues slash{"駅前", "2025/05/17", "09:04:03", 12, -7, 3, 5};
    const ticket::TicketValues hyphen{"駅前", "05-17-2025", "bad", 12, 7, 3, 1};
    const QStringList companies{"甲交通", "乙バス"};
    const struct {
        const char *tpl;
        const ticket::TicketValues &values;
        const char *expected;
    } cases[] = {
        {"{year}/{month}/{day} {hour:2}:{minute:2}:{second}", slash, "2025/5/17 09:04:3"},
        {"{year}{month:2}{day:2}", hyphen, "20250517"},
        {"{date} {time}", hyphen, "05-17-2025 bad"},
        {"[{hour}{minute}]", hyphen, "[]"}, // an unreadable time leaves its parts empty
        {"{route:4}{index:3}{ticket:3}", slash, "0012003-07"},
        {"{{{stop}}} {company}", slash, "{駅前} 甲交通"}, // no such company: the first
        {"{company}", hyphen, "乙バス"},
    };
    for (const auto &c : cases) {
        const auto tpl = ticket::parseTemplate(QString::fromUtf8(c.tpl));
        ASSERT_TRUE(tpl) << c.tpl;
        EXPECT_EQ(ticket::fillTemplate(*tpl, c.values, companies), QString::fromUtf8(c.expected));
    }
    // However long a route's stop name, a text is drawn with at most so many characters.
    ticket::TicketValues endless = slash;
    endless.stopName = QString(40000, QChar(u'停'));
    const auto many = ticket::parseTemplate(QStringLiteral("{stop}{stop}{stop}"));
    EXPECT_EQ(ticket::fillTemplate(*many, endless, companies).size(), ticket::kMaxTemplateChars);
}

struct Read {
    std::string text;
    bool crisp = true; // only ink and paper, every bar and gap a whole number of modules
};

// What a reader sees in the barcode box.
Read readBack(const QImage &drawn, QRect box, ZXing::BarcodeFormat format) {
    const qreal dpr = drawn.devicePixelRatio();
    const QImage part =
        drawn.copy(QRectF(QRectF(box).topLeft() * dpr, QRectF(box).size() * dpr).toRect())
            .convertToFormat(QImage::Format_Grayscale8);
    Read read;
    for (int y = 0; y < part.height(); ++y)
        for (int x = 0; x < part.width(); ++x)
            read.crisp = read.crisp && qGray(part.pixel(x, y)) % 255 == 0;
    // Runs along the middle row, from the first bar to the last.
    const uchar *row = part.constScanLine(part.height() / 2);
    int first = 0;
    int last = part.width() - 1;
    while (first <= last && row[first] != 0)
        ++first;
    while (last >= first && row[last] != 0)
        --last;
    std::vector<int> runs;
    for (int x = first; x <= last; ++x) {
        if (x == first || (row[x] == 0) != (row[x - 1] == 0))
            runs.push_back(0);
        ++runs.back();
    }
    const int module = runs.empty() ? 1 : *std::min_element(runs.begin(), runs.end());
    for (int run : runs)
        read.crisp = read.crisp && run % module == 0;

    ZXing::DecodeHints hints;
    hints.setFormats(format).setReturnCodabarStartEnd(true);
    const auto result = ZXing::ReadBarcode({part.constBits(), part.width(), part.height(),
                                            ZXing::ImageFormat::Lum, int(part.bytesPerLine())},
                                           hints);
    read.text = result.isValid() ? result.text() : std::string("(nothing read)");
    return read;
}

TEST_F(TicketPlugin, BarcodesReadBackAsTheirFilledData) {
    using F = ZXing::BarcodeFormat;
    const struct {
        const char *type;
        const char *data;
        F format;
        qreal dpr;
        std::string expected;
    } cases[] = {
        {"code128", "{route:3}{index:3}{ticket:2}", F::Code128, 1, "01200705"},
        {"code128", "{route:3}{index:3}{ticket:2}", F::Code128, 1.5, "01200705"},
        {"itf", "{year}{month:2}{day:2}", F::ITF, 2, "20250517"},
        {"nw7", "A{route:3}{ticket:4}B", F::Codabar, 1, "A0120005B"},
        {"jan13", "4900000{ticket:5}", F::EAN13, 2, "4900000000054"},
        {"qr", "{company}/{stop}/{hour:2}{minute:2}", F::QRCode, 1, "乙バス/市役所前/1405"},
        {"qr", "{company}/{stop}/{hour:2}{minute:2}", F::QRCode, 2, "乙バス/市役所前/1405"},
    };
    for (const auto &c : cases) {
        const QString path =
            write(withLayout(QStringLiteral("barcode x=10 y=10 w=240 h=90 type=%1 data=\"%2\"\n")
                                 .arg(c.type, QString::fromUtf8(c.data))
                                 .toUtf8()));
        const Read read = readBack(draw(path, c.dpr), QRect(10, 10, 240, 90), c.format);
        EXPECT_EQ(read.text, c.expected) << c.type << " at " << c.dpr;
        EXPECT_TRUE(read.crisp) << c.type << " at " << c.dpr;
    }
    // The sample ticket as the preview draws it.
    for (qreal dpr : {1.0, 2.0}) {
        const Read read =
            readBack(draw(kSamples + "full.4SP", dpr), QRect(6, 86, 214, 22), F::Code128);
        EXPECT_EQ(read.text, "01200705") << dpr;
        EXPECT_TRUE(read.crisp) << dpr;
    }
}

TEST_F(TicketPlugin, DrawsOnlyOnTheTicketAndOnlyWhatItCan) {
    const QString path =
        write(withLayout("barcode x=10 y=10 w=240 h=90 type=itf data=\"{stop}\"\n"
                         "barcode x=10 y=10 w=240 h=90 type=jan13 data=\"{route}\"\n"));
    for (qreal dpr : {1.0, 2.0}) {
        const QImage img = draw(path, dpr);
        EXPECT_EQ(img.pixel(QPoint(130, 60) * dpr), qRgb(255, 255, 255)); // no bars
        EXPECT_EQ(img.pixel(QPoint(259, 109) * dpr),
                  qRgb(255, 255, 255)); // the ticket's last pixel
        EXPECT_EQ(img.pixel(QPoint(260, 110) * dpr), QColor(Qt::gray).rgb());
    }
    const QImage untouched = draw(write("Q47 ticket plug-in 1\n[ticket]\n", "bad.4SP"), 1);
    EXPECT_EQ(untouched.pixel(0, 0), QColor(Qt::gray).rgb());
}

} // namespace
