#include "commondialogs.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QColorDialog>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace q47;

namespace {

const QString kSounds =
    fileFilterList({QStringLiteral("Waveサウンド(*.wav)"), QStringLiteral("*.wav"),
                    QStringLiteral("MP3サウンド(*.mp3)"), QStringLiteral("*.mp3")});

// Runs `answer` on the modal dialog about to show, then rejects it if it is still open, so that
// a failed check cannot leave the test waiting on the dialog.
template <typename Dialog> void onNextDialog(std::function<void(Dialog *)> answer) {
    QTimer::singleShot(0, [answer] {
        auto *dlg = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        QVERIFY(dlg);
        const auto close = qScopeGuard([dlg] {
            if (dlg->isVisible())
                dlg->reject();
        });
        auto *typed = qobject_cast<Dialog *>(dlg);
        QVERIFY(typed);
        answer(typed);
    });
}

// The file names the dialog lists in `folder` under its current type.
QStringList listedFiles(QFileDialog *dlg, const QString &folder) {
    auto *model = dlg->findChild<QFileSystemModel *>();
    const QModelIndex parent = model->index(folder);
    QStringList names;
    for (int row = 0; row < model->rowCount(parent); ++row)
        names.append(model->fileName(model->index(row, 0, parent)));
    names.sort();
    return names;
}

} // namespace

class TestCommonDialogs : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void filterListsParse_data() {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QStringList>("descriptions");
        QTest::addColumn<QStringList>("firstMatches");
        QTest::addColumn<QStringList>("firstMisses");
        const QString wave = fileFilterList({QStringLiteral("Wave"), QStringLiteral("*.wav")});
        const QStringList wav = {"CHIME.WAV", "Chime.Wav", "chime.wav"};
        QTest::newRow("sounds") << kSounds
                                << QStringList{"Waveサウンド(*.wav)", "MP3サウンド(*.mp3)"} << wav
                                << QStringList{"chime.mp3", "chime.wav.bak"};
        QTest::newRow("several patterns")
            << fileFilterList({"JPEG画像", "*.jpg; *.jpeg"}) << QStringList{"JPEG画像"}
            << QStringList{"PHOTO.JPEG", "a.jpg"} << QStringList{"a.png"};
        QTest::newRow("sets and ranges")
            << fileFilterList({"C", "*.[ch];*.[x-z]"}) << QStringList{"C"}
            << QStringList{"A.H", "b.c", "b.Y"} << QStringList{"a.w", "a.X1"};
        QTest::newRow("odd count") << fileFilterList({"Wave", "*.wav", "MP3"})
                                   << QStringList{"Wave"} << wav << QStringList{};
        QTest::newRow("no final NUL")
            << wave.chopped(1) << QStringList{"Wave"} << wav << QStringList{};
        QTest::newRow("last text unended")
            << wave.chopped(2) << QStringList{"Wave"} << wav << QStringList{};
        QTest::newRow("ends at an empty text") << wave + fileFilterList({"MP3", "*.mp3"})
                                               << QStringList{"Wave"} << wav << QStringList{};
        QTest::newRow("empty") << QString() << QStringList{} << QStringList{} << QStringList{};
    }

    void filterListsParse() {
        QFETCH(QString, list);
        QFETCH(QStringList, descriptions);
        QFETCH(QStringList, firstMatches);
        QFETCH(QStringList, firstMisses);
        const QList<FileFilter> filters = parseFileFilterList(list);
        QStringList parsed;
        for (const FileFilter &f : filters)
            parsed.append(f.description);
        QCOMPARE(parsed, descriptions);
        for (const QString &name : firstMatches)
            QVERIFY2(filters.first().matches(name), qPrintable(name));
        for (const QString &name : firstMisses)
            QVERIFY2(!filters.first().matches(name), qPrintable(name));
    }

    void fileDialogOffersFilesOfEitherCase() {
        QTemporaryDir dir;
        for (const char *name : {"CHIME.WAV", "chime.wav", "a.mp3"}) {
            QFile f(dir.filePath(QString::fromLatin1(name)));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        const QString folder = QDir(dir.path()).canonicalPath();
        onNextDialog<QFileDialog>([&](QFileDialog *dlg) {
            QCOMPARE(dlg->directory().canonicalPath(), folder);
            QStringList shown;
            auto *types = dlg->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
            for (int i = 0; i < types->count(); ++i)
                shown.append(types->itemText(i));
            QCOMPARE(shown, (QStringList{"Waveサウンド(*.wav)", "MP3サウンド(*.mp3)"}));
            dlg->selectNameFilter(dlg->nameFilters().at(1));
            QTRY_COMPARE(listedFiles(dlg, folder), QStringList{"a.mp3"});
            dlg->selectNameFilter(dlg->nameFilters().at(0));
            QTRY_COMPARE(listedFiles(dlg, folder), (QStringList{"CHIME.WAV", "chime.wav"}));
            dlg->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText("CHIME.WAV");
            static_cast<QDialog *>(dlg)->accept(); // QFileDialog's own, checking the name
        });
        QCOMPARE(askForFile(nullptr, kSounds, folder, QStringLiteral("サウンドの選択")),
                 folder + QStringLiteral("/CHIME.WAV"));
    }

    void cancelledDialogsChangeNothing_data() {
        QTest::addColumn<QString>("dialog");
        for (const char *name : {"file", "folder", "colour", "date"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }

    // Each dialog is changed by the operator first, then cancelled.
    void cancelledDialogsChangeNothing() {
        QFETCH(QString, dialog);
        QTemporaryDir dir;
        const QString folder = dir.path();
        if (dialog == QLatin1String("file")) {
            onNextDialog<QFileDialog>([&](QFileDialog *dlg) { dlg->selectFile(folder); });
            QCOMPARE(askForFile(nullptr, kSounds, QString(), QStringLiteral("t")), QString());
        } else if (dialog == QLatin1String("folder")) {
            onNextDialog<QFileDialog>([&](QFileDialog *dlg) { dlg->setDirectory(folder); });
            QCOMPARE(askForFolder(nullptr, QStringLiteral("t")), QString());
        } else if (dialog == QLatin1String("colour")) {
            quint32 colour = 0x808080;
            CustomColourTable table{};
            table[0] = 0x0000FF;
            const CustomColourTable before = table;
            onNextDialog<QColorDialog>([](QColorDialog *dlg) {
                dlg->setCurrentColor(Qt::green);
                QColorDialog::setCustomColor(0, Qt::blue);
            });
            QVERIFY(!askForColour(nullptr, colour, table));
            QCOMPARE(colour, 0x808080u);
            QVERIFY(table == before);
        } else {
            DateRecord date; // no date: the calendar starts on today
            const QDate today = QDate::currentDate();
            onNextDialog<QDialog>([&](QDialog *dlg) {
                auto *calendar = dlg->findChild<QCalendarWidget *>();
                QVERIFY(calendar->selectedDate() == today ||
                        calendar->selectedDate() == QDate::currentDate());
                calendar->setSelectedDate(QDate(2020, 1, 1));
            });
            QVERIFY(!askForDate(nullptr, date));
            QVERIFY(date == DateRecord{});
        }
    }

    void chosenColourUpdatesColourAndTable() {
        quint32 colour = 0x72D2F8;
        CustomColourTable table{};
        for (int i = 0; i < 17; ++i)
            table[i] = 0x010203u * static_cast<quint32>(i);
        const CustomColourTable before = table;
        QColorDialog::setCustomColor(7, Qt::green); // left over from an earlier dialog
        onNextDialog<QColorDialog>([](QColorDialog *dlg) {
            QCOMPARE(dlg->currentColor(), QColor(0xF8, 0xD2, 0x72));
            QCOMPARE(QColorDialog::customColor(7), QColor(0x15, 0x0E, 0x07));
            dlg->setCurrentColor(QColor(0x11, 0x22, 0x33));
            QColorDialog::setCustomColor(3, QColor(0x44, 0x55, 0x66)); // the operator adds one
            dlg->accept();
        });
        QVERIFY(askForColour(nullptr, colour, table));
        QCOMPARE(colour, 0x332211u);
        for (int i = 0; i < 17; ++i)
            QCOMPARE(table[i], i == 3 ? 0x665544u : before[i]);
    }

    void chosenDateFillsTheRecord() {
        DateRecord date{2026, 3, 6, 7, 9, 30, 15, 500};
        onNextDialog<QDialog>([](QDialog *dlg) {
            auto *calendar = dlg->findChild<QCalendarWidget *>();
            QCOMPARE(calendar->selectedDate(), QDate(2026, 3, 7));
            calendar->setSelectedDate(QDate(2026, 3, 8)); // a Sunday
            dlg->accept();
        });
        QVERIFY(askForDate(nullptr, date));
        QCOMPARE(fixedDateText(date), QStringLiteral("2026/03/08"));
        QCOMPARE(date.wDayOfWeek, qint16(0));
        QCOMPARE(date.wHour + date.wMinute + date.wSecond + date.wMilliseconds, 0);
        QCOMPARE(fixedDateText(DateRecord{987, 3, 0, 7}), QStringLiteral("987/03/07"));
    }
};

QTEST_MAIN(TestCommonDialogs)
#include "test_commondialogs.moc"
