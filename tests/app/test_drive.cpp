// Drives the real program on a real display: keypad entry of a sample route, "リセット",
// two steps forward; then reads the board's pixels.
#include "chimeictl.h"
#include "fonts.h"
#include "form1.h"
#include "frmctl.h"
#include "mdegit.h"
#include "q47app.h"
#include "recordingsound.h"
#include "settingsstore.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QTest>

namespace {

// Pixels of the cell's lit colour in a picture of the screen.
int litPixels(const QImage &screen, const QRect &cell, QRgb lit) {
    int n = 0;
    for (int y = cell.top(); y <= cell.bottom(); ++y)
        for (int x = cell.left(); x <= cell.right(); ++x)
            n += screen.pixel(x, y) == lit;
    return n;
}

} // namespace

class TestDrive : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void keypadRouteResetAndTwoSteps() {
        q47::installFontSubstitutes();
        q47::RecordingSound sound;
        q47::Q47App app(&sound);
        app.Form_Load();
        app.settings().setText(QStringLiteral("Text2"), 0, QStringLiteral(Q47_SAMPLES "/data"));
        q47::frmCtl &panel = app.controlPanel();
        panel.lampTestMs = 100;
        QVERIFY(QTest::qWaitForWindowExposed(&app.board()));
        QVERIFY(QTest::qWaitForWindowExposed(&panel));

        for (int key : {10, 1, 11, 1})
            QTest::mouseClick(panel.CommandButton1(key), Qt::LeftButton, {}, QPoint(15, 13));
        QCOMPARE(panel.Label2(0)->text(), QStringLiteral("1"));
        QCOMPARE(panel.Label2(2)->text(), QStringLiteral("1"));
        QTest::mouseClick(panel.Command1(1), Qt::LeftButton);
        QVERIFY(panel.Command2(1)->isEnabled());
        QCOMPARE(panel.route().StopCount, 12);
        QCOMPARE(panel.route().CurStopPos, 0);

        QTest::mouseClick(panel.Command2(1), Qt::LeftButton);
        QTest::mouseClick(panel.Command2(1), Qt::LeftButton);
        QCOMPARE(panel.route().CurStopPos, 2);
        QCOMPARE(app.board().Degit(1)->Value(), QVariant(200));
        QCOMPARE(app.board().Degit(3)->Value(), QVariant(170));
        QCOMPARE(app.board().Degit(4)->Value(), QVariant(0));
        QTest::qWait(300);

        const QImage screen = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
        const QString shots = qEnvironmentVariable("Q47_DRIVE_SHOTS");
        if (!shots.isEmpty())
            screen.save(shots + QStringLiteral("/board-stepped.png"));
        const QRgb lit = qRgb(0xF8, 0xD2, 0x72);
        const QPoint origin = app.board().mapToGlobal(QPoint(0, 0));
        for (int k = 1; k <= 4; ++k) {
            const QRect cell = app.board().Degit(k)->geometry().translated(origin);
            const int n = litPixels(screen, cell, lit);
            if (k <= 3)
                QVERIFY2(n > 20, qPrintable(QStringLiteral("cell %1 lit %2").arg(k).arg(n)));
            else
                QCOMPARE(n, 0);
        }
        // The place-name column shows the stop in its dot colour.
        const QRect column = app.board().ChimeiCtl()->geometry().translated(origin);
        int dots = 0;
        for (int y = column.top(); y <= column.bottom(); ++y)
            for (int x = column.left(); x <= column.right(); ++x)
                dots += qRed(screen.pixel(x, y)) > 200 && qBlue(screen.pixel(x, y)) < 80;
        QVERIFY2(dots > 50, qPrintable(QString::number(dots)));

        // A double-click on the keypad pane brings the digit lists to the front.
        QTest::mouseDClick(panel.Frame1(1), Qt::LeftButton, {}, QPoint(5, 100));
        QCOMPARE(panel.BackPane(), qint16(1));
        QTest::qWait(200);
        const QImage lists = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
        if (!shots.isEmpty())
            lists.save(shots + QStringLiteral("/panel-lists.png"));
        const QRect list =
            panel.List2(0)->geometry().translated(panel.Frame1(0)->mapToGlobal(QPoint(0, 0)));
        QCOMPARE(lists.pixel(list.right() - 2, list.bottom() - 2), qRgb(255, 255, 255));
    }
};

QTEST_MAIN(TestDrive)
#include "test_drive.moc"
