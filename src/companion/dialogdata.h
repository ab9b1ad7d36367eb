#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <initializer_list>

namespace q47 {

// The date record the date dialog fills; the time fields are always 0 after a choice.
struct DateRecord {
    qint16 wYear = 0;
    qint16 wMonth = 0;
    qint16 wDayOfWeek = 0; // 0 = Sunday .. 6 = Saturday
    qint16 wDay = 0;
    qint16 wHour = 0;
    qint16 wMinute = 0;
    qint16 wSecond = 0;
    qint16 wMilliseconds = 0;

    friend bool operator==(const DateRecord &, const DateRecord &) = default;
};

// The record for `date`, time fields 0.
DateRecord dateRecordFrom(QDate date);
// The record's year, month and day as a date; invalid when they are no date.
QDate toDate(const DateRecord &date);
// The year as a plain number, month and day with two digits each: "2026/03/07", "987/03/07".
QString fixedDateText(const DateRecord &date);

// The custom colours every colour choice shares, 0x00BBGGRR each. The colour dialog shows and
// edits the first kDialogCustomColours; the last entry is carried along untouched.
using CustomColourTable = std::array<quint32, 17>;
inline constexpr int kDialogCustomColours = 16;

// One choice of a file dialog's type list.
struct FileFilter {
    QString description;  // shown as given, e.g. "Waveサウンド(*.wav)"
    QStringList patterns; // wildcards that match regardless of case, e.g. "*.[wW][aA][vV]"

    // Qt's "description (patterns)" form for QFileDialog::setNameFilters.
    QString nameFilter() const;
    bool matches(const QString &fileName) const;
};

// The NUL-separated list: description and pattern texts each followed by a NUL, one more NUL
// at the end. Built from the texts in order.
QString fileFilterList(std::initializer_list<QString> texts);

// The pairs of such a list, in order. A pattern text may hold several patterns separated by
// ";". The list ends at its first empty text or at its end; an incomplete last pair is dropped.
QList<FileFilter> parseFileFilterList(const QString &list);

// `pattern` with every letter turned into a set of both cases: "*.wav" -> "*.[wW][aA][vV]".
QString caseFreePattern(const QString &pattern);

} // namespace q47
