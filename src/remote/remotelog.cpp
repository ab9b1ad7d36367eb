#include "remotelog.h"

namespace q47 {

Q_LOGGING_CATEGORY(logRemote, "q47.remote", QtWarningMsg)

} // namespace q47
