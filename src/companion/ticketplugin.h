#pragma once

#include "pluginformat.h"

#include <QString>
#include <QStringList>

#include <memory>

class QPainter;

namespace q47 {

// The ticket plug-in host. Every call takes the plug-in file's path; the parsed file is kept
// while its size, modification time and inode stay the same, so that asking again at every
// stop costs a stat, not a read. A path that is not a regular file of at most 1 MiB holding a
// valid plug-in is no plug-in.

// Non-zero when the file is a valid plug-in; the record is then filled (and left alone if not).
int KB4_GetPlgInfo(const QString &path, PlgInfo &info);

// The plug-in's comment, lines joined by "\n"; empty for no plug-in.
QString KB4_PlgComment(const QString &path);

// The plug-in's company names in their order; empty for no plug-in.
QStringList KB4_CorpNames(const QString &path);

// Draws the ticket for one stop at the painter's origin, in ticket pixels (the plug-in's size,
// field 2 and 3 divided by 15). The date text is "mm-dd-yyyy" or "yyyy/mm/dd", the time
// "hh:mm:ss"; a company index outside the list prints the first company. Draws nothing for no
// plug-in.
void KB4_DrawSeiriken(const QString &path, QPainter &painter, const QString &stopName,
                      const QString &dateText, const QString &timeText, int routeNumber,
                      qint16 seiriNo, int stopIndex, int companyIndex);

// The options dialog's capability list for a plug-in: six lines, or ten with barcode printing.
QStringList capabilityLines(const PlgInfo &info);

// The parsed plug-in behind a path (shared with the cache); null for no plug-in.
std::shared_ptr<const ticket::Plugin> loadTicketPlugin(const QString &path);

} // namespace q47
