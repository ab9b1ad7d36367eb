#pragma once

#include <QString>

class QSettings;

namespace q47 {

class SettingsStore;

// The backlight switch's rows: 0 "OFF", 1 "ON1", 2 "ON2".
inline constexpr int kBacklightRows = 3;
// The error of a row that does not exist.
inline constexpr int kNoSuchBacklightRow = 340;

// What selecting a backlight row puts on the board.
struct BacklightRow {
    int error = 0;            // kNoSuchBacklightRow, and nothing below is read
    quint32 colour = 0;       // text colour of the ticket-number labels, 0x00BBGGRR
    bool userPicture = false; // the picture in `file`; else the board's built-in one of the row
    QString file;

    bool operator==(const BacklightRow &) const = default;
};

// Row `row` as the options set it. Rows take the user's files only while the options assign
// pictures one by one; automatic assignment always shows the built-in pictures.
BacklightRow backlightRow(const SettingsStore &settings, int row);

// The row selected last, kept in the user's settings (the state file has no place for it);
// "OFF" when none was kept or the kept one is no row.
int rememberedBacklight(const QSettings &userSettings);
void rememberBacklight(QSettings &userSettings, int row);

// The error box of the backlight switch: its title, and its text for an error number.
QString backlightErrorTitle();
QString backlightErrorText(int number);

} // namespace q47
