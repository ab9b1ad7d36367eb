#include "commondialogs.h"

#include "olecolor.h"

#include <QCalendarWidget>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

namespace q47 {

namespace {

const QString kCancelText = QStringLiteral("キャンセル");

// The rest of the program speaks Japanese; Qt's own captions would be English here.
void setJapaneseLabels(QFileDialog &dlg, const QString &acceptText) {
    dlg.setLabelText(QFileDialog::LookIn, QStringLiteral("ファイルの場所:"));
    dlg.setLabelText(QFileDialog::FileName, QStringLiteral("ファイル名:"));
    dlg.setLabelText(QFileDialog::FileType, QStringLiteral("ファイルの種類:"));
    dlg.setLabelText(QFileDialog::Accept, acceptText);
    dlg.setLabelText(QFileDialog::Reject, kCancelText);
}

void setCancelText(QDialogButtonBox *buttons) {
    if (buttons)
        if (QPushButton *cancel = buttons->button(QDialogButtonBox::Cancel))
            cancel->setText(kCancelText);
}

} // namespace

QString askForFile(QWidget *owner, const QString &filterList, const QString &initialFile,
                   const QString &title) {
    QFileDialog dlg(owner, title);
    dlg.setWindowModality(Qt::WindowModal);
    // Qt's own dialog matches the case-free patterns; the desktop's may not.
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    // The descriptions already name their patterns; the case-free forms are not for reading.
    dlg.setOption(QFileDialog::HideNameFilterDetails);
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    dlg.setFileMode(QFileDialog::ExistingFile);
    setJapaneseLabels(dlg, QStringLiteral("開く"));

    QStringList nameFilters;
    for (const FileFilter &filter : parseFileFilterList(filterList))
        nameFilters.append(filter.nameFilter());
    if (!nameFilters.isEmpty())
        dlg.setNameFilters(nameFilters);

    const QFileInfo initial(initialFile);
    if (!initialFile.isEmpty() && initial.isDir()) {
        dlg.setDirectory(initial.absoluteFilePath());
    } else if (!initialFile.isEmpty() && initial.exists()) {
        dlg.setDirectory(initial.absolutePath());
        dlg.selectFile(initial.absoluteFilePath());
    }

    if (dlg.exec() != QDialog::Accepted)
        return {};
    return QDir::toNativeSeparators(dlg.selectedFiles().value(0));
}

QString askForFolder(QWidget *owner, const QString &title, const QString &startFolder) {
    QFileDialog dlg(owner, title);
    dlg.setWindowModality(Qt::WindowModal);
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    dlg.setOption(QFileDialog::ShowDirsOnly);
    dlg.setFileMode(QFileDialog::Directory);
    setJapaneseLabels(dlg, QStringLiteral("選択"));
    dlg.setLabelText(QFileDialog::FileName, QStringLiteral("フォルダー:"));
    if (!startFolder.isEmpty() && QFileInfo(startFolder).isDir())
        dlg.setDirectory(startFolder);

    if (dlg.exec() != QDialog::Accepted)
        return {};
    const QString chosen = dlg.selectedFiles().value(0);
    return chosen.isEmpty() ? QString() : QDir::toNativeSeparators(QDir::cleanPath(chosen));
}

bool askForColour(QWidget *owner, quint32 &colour, CustomColourTable &table) {
    // Qt keeps the custom colours process-wide: load ours every time, so that nothing an
    // earlier dialog left there (even a cancelled one) reaches this table.
    for (int i = 0; i < kDialogCustomColours; ++i)
        QColorDialog::setCustomColor(i, fromOleColor(table[i]));

    QColorDialog dlg(fromOleColor(colour), owner);
    dlg.setWindowModality(Qt::WindowModal);
    dlg.setOption(QColorDialog::DontUseNativeDialog);
    dlg.setWindowTitle(QStringLiteral("色の設定"));
    setCancelText(dlg.findChild<QDialogButtonBox *>());
    if (dlg.exec() != QDialog::Accepted)
        return false;

    colour = toOleColor(dlg.selectedColor());
    for (int i = 0; i < kDialogCustomColours; ++i)
        table[i] = toOleColor(QColorDialog::customColor(i));
    return true;
}

bool askForDate(QWidget *owner, DateRecord &date) {
    QDialog dlg(owner);
    dlg.setObjectName(QStringLiteral("dlg111"));
    dlg.setWindowTitle(QStringLiteral("日付の選択"));
    dlg.setWindowModality(Qt::WindowModal);

    auto *layout = new QVBoxLayout(&dlg);
    auto *calendar = new QCalendarWidget(&dlg);
    calendar->setLocale(QLocale(QLocale::Japanese, QLocale::Japan));
    calendar->setFirstDayOfWeek(Qt::Sunday);
    calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    const QDate start = toDate(date);
    calendar->setSelectedDate(start.isValid() ? start : QDate::currentDate());
    layout->addWidget(calendar);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dlg);
    setCancelText(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
    // A double click or Enter on a day confirms it.
    QObject::connect(calendar, &QCalendarWidget::activated, &dlg, &QDialog::accept);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    if (dlg.exec() != QDialog::Accepted)
        return false;
    date = dateRecordFrom(calendar->selectedDate());
    return true;
}

} // namespace q47
