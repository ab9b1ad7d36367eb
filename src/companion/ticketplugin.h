#pragma once

#include "pluginformat.h"

#include <QString>
#include <QStringList>

#include <memory>

class QPainter;

namespace q47 {

// The ticket plug-in host. Every call takes the plug-in file's path; the parsed file, or its
// faults, are kept while its size, modification time and inode stay the same, so that asking
// again at every stop costs a stat, not a read. A path that is not a regular file of at most
// 1 MiB holding a valid plug-in is no plug-in.

// The parsed plug-in behind a path (shared with the cache), or its faults: every faulty line,
// or why the file cannot be read. A plug-in's failures, each with the path as given.
using PluginLoad = Expected<std::shared_ptr<const ticket::Plugin>, Errors>;
PluginLoad loadTicketPlugin(const QString &path);

// What a valid plug-in tells the options dialog, or its faults.
Expected<PlgInfo, Errors> ticketPluginInfo(const QString &path);

// The plug-in's comment, lines joined by "\n"; empty for no plug-in.
QString ticketPluginComment(const QString &path);

// The plug-in's company names in their order; empty for no plug-in.
QStringList ticketPluginCompanies(const QString &path);

// Draws the ticket for one stop at the painter's origin, in ticket pixels (the plug-in's size,
// field 2 and 3 divided by 15). The date text is "mm-dd-yyyy" or "yyyy/mm/dd", the time
// "hh:mm:ss"; a company index outside the list prints the first company. Draws nothing for no
// plug-in.
void drawPluginTicket(const QString &path, QPainter &painter, const QString &stopName,
                      const QString &dateText, const QString &timeText, int routeNumber,
                      qint16 seiriNo, int stopIndex, int companyIndex);

// The options dialog's capability list for a plug-in: six lines, or ten with barcode printing.
QStringList capabilityLines(const PlgInfo &info);

} // namespace q47
