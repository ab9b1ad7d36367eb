#pragma once

#include <QLoggingCategory>

namespace q47 {

// q47.remote: the boards' link over MQTT. Messages turned down and a broker that refuses are
// warnings, shown by default; the link's comings and goings are info, shown with
// QT_LOGGING_RULES="q47.remote.info=true".
Q_DECLARE_LOGGING_CATEGORY(logRemote)

} // namespace q47
