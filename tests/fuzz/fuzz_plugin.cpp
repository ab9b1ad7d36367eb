// Feeds arbitrary bytes to the ticket plug-in reader: it must refuse cleanly or give a plug-in
// whose size, items and description keep to the format's limits, and that draws without fault
// at device pixel ratios 1 and 2.
#include "fonts.h"
#include "pluginformat.h"
#include "ticketdraw.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

using namespace q47::ticket;

bool onTicket(const QRect &r, const QSize &size) {
    return r.left() >= 0 && r.top() >= 0 && r.width() >= 1 && r.height() >= 1 &&
           r.left() + r.width() <= size.width() && r.top() + r.height() <= size.height();
}

void check(const Plugin &p) {
    const QSize s = p.size;
    if (s.width() < 1 || s.height() < 1 || s.width() > kMaxTicketPx || s.height() > kMaxTicketPx)
        std::abort();
    if (p.info.widthTwips != s.width() * 15 || p.info.heightTwips != s.height() * 15 ||
        p.info.formatVersion != kFormatVersion)
        std::abort();
    if (p.items.size() > static_cast<size_t>(kMaxItems) || p.companies.size() > kMaxCompanies)
        std::abort();
    qint64 cost = 0;
    for (const Item &it : p.items) {
        cost += drawingCost(it, p.companies);
        if (it.kind == Item::Kind::Line) {
            const QRect ends(0, 0, s.width() + 1, s.height() + 1);
            if (!ends.contains(it.line.p1()) || !ends.contains(it.line.p2()))
                std::abort();
        } else if (!onTicket(it.box, s)) {
            std::abort();
        }
        if (!it.colour.isValid())
            std::abort();
    }
    if (cost > kMaxDrawingCost)
        std::abort();
}

} // namespace

// fontconfig keeps what it looks up for a new face name until exit.
extern "C" const char *__lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    static int argc = 1;
    static char name[] = "fuzz_plugin";
    static char *argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(argc, argv);
    q47::installFontSubstitutes();
    // Font set-up allocates once for good; do it before the first input is measured for leaks.
    QImage warm(8, 8, QImage::Format_RGB32);
    QPainter(&warm).drawText(0, 8, QStringLiteral("整理券 12"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const auto read = parsePlugin(QByteArrayView(data, static_cast<qsizetype>(size)));
    if (!read) {
        if (read.error().empty())
            std::abort();
        return 0;
    }
    check(*read);
    QImage img(64, 48, QImage::Format_RGB32);
    img.setDevicePixelRatio(size % 2 ? 2.0 : 1.0);
    QPainter painter(&img);
    const TicketValues values{QStringLiteral("市役所前"),        QStringLiteral("05-17-2025"),
                              QStringLiteral("14:05:09"),        12,
                              static_cast<int>(size % 300) - 10, 7,
                              static_cast<int>(size % 5) - 1};
    drawTicket(*read, painter, values);
    // Qt trims its font cache from a timer, which needs the event loop.
    QCoreApplication::processEvents();
    return 0;
}
