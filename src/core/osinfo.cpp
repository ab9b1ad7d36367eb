#include "osinfo.h"

#include <QSysInfo>

namespace q47 {

QString GetOsInfo() {
    return QSysInfo::prettyProductName();
}

} // namespace q47
