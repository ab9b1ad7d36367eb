#include "mdlm_tape.h"

namespace q47 {

void mdlM_Tape::TapeLoad(const QString &, const QString &) {}

QString mdlM_Tape::listPath(const QString &soundFolder, const QString &routeName) {
    return soundFolder + routeName + QStringLiteral("tp.csv");
}

} // namespace q47
