#include "plugincheck.h"

#include "pluginformat.h"
#include "ticketdraw.h"
#include "ticketplugin.h"

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

Errors checkPlugin(const QString &path) {
    const PluginLoad loaded = loadTicketPlugin(path);
    if (!loaded)
        return loaded.error();
    const ticket::Plugin &plugin = **loaded;
    Errors notes;
    const ticket::TicketValues widest = widestValues(plugin);
    for (const Item &item : plugin.items) {
        if (item.kind != Item::Kind::Barcode)
            continue;
        const QString data = ticket::fillTemplate(item.text, widest, plugin.companies);
        if (const std::optional<QString> warning = barcodeWarning(item, data))
            notes.push_back(Error(Error::Kind::BadValue, *warning)
                                .in(path)
                                .at(item.fileLine)
                                .about(Error::Subject::Plugin)
                                .as(Severity::Warning));
    }
    return notes;
}

QString formatPluginNote(const Error &note) {
    return QStringLiteral("%1: %2: %3")
        .arg(note.where(),
             note.severity == Severity::Error ? QStringLiteral("fault") : QStringLiteral("warning"),
             note.detail);
}

} // namespace q47
