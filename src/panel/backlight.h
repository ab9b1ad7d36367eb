#pragma once

#include "error.h"

#include <QString>

class QSettings;

namespace q47 {

class SettingsStore;

// The backlight switch's rows: 0 "OFF", 1 "ON1", 2 "ON2".
inline constexpr int kBacklightRows = 3;

// What selecting a backlight row puts on the board.
struct BacklightRow {
    quint32 colour = 0;       // text colour of the ticket-number labels, 0x00BBGGRR
    bool userPicture = false; // the picture in `file`; else the board's built-in one of the row
    QString file;

    bool operator==(const BacklightRow &) const = default;
};

// Row `row` as the options set it. Rows take the user's files only while the options assign
// pictures one by one; automatic assignment always shows the built-in pictures. A row that does
// not exist is a Picture's failure, NoSuchBacklightRow.
Result<BacklightRow> backlightRow(const SettingsStore &settings, int row);

// The row selected last, kept in the user's settings (the state file has no place for it);
// "OFF" when none was kept or the kept one is no row.
int rememberedBacklight(const QSettings &userSettings);
void rememberBacklight(QSettings &userSettings, int row);

} // namespace q47
