#pragma once

#include "error.h"

#include <QString>

namespace q47 {

// Every fault of a plug-in file, each with its line, from the one reading the host keeps; for a
// valid file, warnings where a barcode would be left out: data its type cannot hold, or more
// modules than its box has pixels. Barcodes are tried with the widest values the plug-in
// declares (its highest route and stop, ticket number 50, its longest company name, a
// ten-character stop name). Each is a plug-in's failure naming `path` as given.
Errors checkPlugin(const QString &path);

// "FILE:LINE: fault: text" or "FILE:LINE: warning: text", as compilers write them.
QString formatPluginNote(const Error &note);

} // namespace q47
