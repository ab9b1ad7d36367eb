#include "plugincheck.h"

#include "pluginformat.h"
#include "regularfile.h"
#include "ticketdraw.h"

#include <algorithm>

namespace q47 {

namespace {

using ticket::Item;

QString symbologyName(ticket::Symbology symbology) {
    switch (symbology) {
    case ticket::Symbology::Codabar:
        return QStringLiteral("nw7");
    case ticket::Symbology::Itf:
        return QStringLiteral("itf");
    case ticket::Symbology::Code39:
        return QStringLiteral("code39");
    case ticket::Symbology::Code128:
        return QStringLiteral("code128");
    case ticket::Symbology::Ean13:
        return QStringLiteral("jan13");
    case ticket::Symbology::Ean8:
        return QStringLiteral("jan8");
    case ticket::Symbology::Qr:
        return QStringLiteral("qr");
    }
    return {};
}

// The widest values a ticket of this plug-in is drawn with.
ticket::TicketValues widestValues(const ticket::Plugin &plugin) {
    ticket::TicketValues v;
    v.stopName = QStringLiteral("中央通り三丁目北口前");
    v.dateText = QStringLiteral("12-31-2026");
    v.timeText = QStringLiteral("23:59:59");
    const qint32 route = plugin.info.highestRoute;
    v.route = route >= 1 && route <= 99999 ? route : 99999;
    v.ticket = 50;
    const qint32 stop = plugin.info.highestStop;
    v.stopIndex = stop >= 1 && stop <= 301 ? stop : 301;
    v.companyIndex = 0;
    for (int i = 1; i < plugin.companies.size(); ++i)
        if (plugin.companies[i].size() > plugin.companies[v.companyIndex].size())
            v.companyIndex = i;
    return v;
}

std::optional<QString> barcodeWarning(const Item &item, const QString &data) {
    const QString type = symbologyName(item.symbology);
    const std::optional<QSize> modules = ticket::barcodeModules(item, data);
    if (!modules)
        return QStringLiteral("%1 cannot hold \"%2\": the barcode is left out at such a stop")
            .arg(type, data);
    const bool qr = item.symbology == ticket::Symbology::Qr;
    if (modules->width() <= item.box.width() && (!qr || modules->height() <= item.box.height()))
        return std::nullopt;
    const QString needs =
        qr ? QStringLiteral("%1 x %2 modules").arg(modules->width()).arg(modules->height())
           : QStringLiteral("%1 modules across").arg(modules->width());
    const QString has =
        qr ? QStringLiteral("%1 x %2 pixels").arg(item.box.width()).arg(item.box.height())
           : QStringLiteral("%1 pixels wide").arg(item.box.width());
    return QStringLiteral("%1 needs %2 for \"%3\", its box is %4: the barcode is left out on a "
                          "screen of ratio 1")
        .arg(type, needs, data, has);
}

} // namespace

std::vector<PluginNote> checkPlugin(const QString &path) {
    std::vector<PluginNote> notes;
    const RegularFileRead read = readRegularFile(path, ticket::kMaxFileBytes + 1);
    if (!read) {
        notes.push_back(
            {PluginNote::Kind::Fault, 0,
             read.error == kNotARegularFile
                 ? QStringLiteral("not a regular file")
                 : QStringLiteral("cannot be read: %1").arg(qt_error_string(read.error))});
        return notes;
    }
    const ticket::ParseResult parsed = ticket::parsePlugin(read.bytes);
    for (const ticket::FaultAt &f : parsed.faults) {
        QString text = ticket::faultText(f.fault);
        if (!f.detail.isEmpty())
            text += QStringLiteral(" (%1)").arg(f.detail);
        notes.push_back({PluginNote::Kind::Fault, f.line, text});
    }
    if (!parsed.plugin)
        return notes;
    const ticket::TicketValues widest = widestValues(*parsed.plugin);
    for (const Item &item : parsed.plugin->items) {
        if (item.kind != Item::Kind::Barcode)
            continue;
        const QString data = ticket::fillTemplate(item.text, widest, parsed.plugin->companies);
        if (const std::optional<QString> warning = barcodeWarning(item, data))
            notes.push_back({PluginNote::Kind::Warning, item.fileLine, *warning});
    }
    return notes;
}

QString formatPluginNote(const QString &file, const PluginNote &note) {
    const QString where = note.line > 0 ? QStringLiteral("%1:%2").arg(file).arg(note.line) : file;
    return QStringLiteral("%1: %2: %3")
        .arg(where,
             note.kind == PluginNote::Kind::Fault ? QStringLiteral("fault")
                                                  : QStringLiteral("warning"),
             note.text);
}

} // namespace q47
