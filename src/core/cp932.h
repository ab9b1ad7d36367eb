#pragma once

#include <QByteArray>
#include <QString>

namespace q47 {

// Route files, state files and the byte-wise string functions all work on CP932 bytes.
// A character that CP932 cannot hold becomes "?"; an undecodable byte reads back as "?".
QByteArray toCp932(const QString &text);
QString fromCp932(const QByteArray &bytes);

// Length of the text in CP932 bytes.
int LenB_ASCII(const QString &text);

// The CP932 byte range [start, start + count) (1-based start) of the text, decoded again.
// Positions past the end give a shorter or empty slice; a slice that splits a double-byte
// character decodes the orphaned byte as "?".
QString MidB_ASCII(const QString &text, int start, int count);

} // namespace q47
