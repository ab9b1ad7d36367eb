#pragma once

#include <QString>

namespace q47 {

// Name of the running operating system, as the about box and callers show it.
QString GetOsInfo();

} // namespace q47
