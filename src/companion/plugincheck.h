#pragma once

#include <QString>

#include <vector>

namespace q47 {

// What the plug-in check says of one place in a file.
struct PluginNote {
    enum class Kind { Fault, Warning };
    Kind kind = Kind::Fault;
    int line = 0; // 1-based; 0 for the file as a whole
    QString text;
};

// Every fault of a plug-in file, each with its line; for a valid file, warnings where a
// barcode would be left out: data its type cannot hold, or more modules than its box has
// pixels. Barcodes are tried with the widest values the plug-in declares (its highest route
// and stop, ticket number 50, its longest company name, a ten-character stop name).
std::vector<PluginNote> checkPlugin(const QString &path);

// "FILE:LINE: fault: text" or "FILE:LINE: warning: text", as compilers write them.
QString formatPluginNote(const QString &file, const PluginNote &note);

} // namespace q47
