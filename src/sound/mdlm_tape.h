#pragma once

#include <QString>

namespace q47 {

// The announcement tape: a route's announcement list ("<route>tp.csv" in the sound folder),
// spoken entry by entry. Setting a route loads its list here.
class mdlM_Tape {
public:
    // Reads the announcement list of a route. Speech is not available yet, so nothing is
    // read and the announcement buttons stay disabled.
    void TapeLoad(const QString &soundFolder, const QString &routeName);

    // The file the list of a route lives in.
    static QString listPath(const QString &soundFolder, const QString &routeName);
};

} // namespace q47
