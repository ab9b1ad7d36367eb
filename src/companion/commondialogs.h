#pragma once

#include "dialogdata.h"

#include <QString>

class QWidget;

namespace q47 {

// The common dialogs. Each is Qt's own dialog (never the desktop's), so that it looks and
// behaves the same everywhere, modal to `owner`. A cancelled dialog changes nothing.

// Chooses an existing file. `filterList` is the NUL-separated list (fileFilterList); its
// patterns match regardless of case. Starts at `initialFile` when that names an existing file
// or folder. Returns the chosen path, or "" on cancel.
QString askForFile(QWidget *owner, const QString &filterList, const QString &initialFile,
                   const QString &title);

// Chooses a folder, starting at `startFolder` when it exists. Returns it without a trailing
// separator (except the root), or "" on cancel.
QString askForFolder(QWidget *owner, const QString &title, const QString &startFolder = {});

// Chooses a colour (0x00BBGGRR), starting at `colour`, with the first kDialogCustomColours
// entries of `table` as the dialog's custom colours. On OK `colour` and those entries take the
// dialog's values (the last entry is kept) and true is returned; on cancel false, nothing changed.
bool askForColour(QWidget *owner, quint32 &colour, CustomColourTable &table);

// Chooses a date on a calendar, starting at the record's date when it is one, else today.
// On OK the record holds the date, its day of the week and zero time fields, and true
// is returned; on cancel false, the record unchanged.
bool askForDate(QWidget *owner, DateRecord &date);

} // namespace q47
