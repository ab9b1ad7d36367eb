#include "boardlayout.h"
#include "boardmodel.h"
#include "boardzoom.h"
#include "facedrag.h"
#include "fonts.h"
#include "lcdboard.h"
#include "ledboard.h"
#include "scaling.h"
#include "segmentcell.h"
#include "segmentrenderer.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QStyleHints>
#include <QTest>
#include <QTimer>

using q47::BoardModel;
using q47::LedBoard;
using q47::board::clientSizePx;
using q47::board::digitTwips;
using q47::board::toPx;

namespace {

constexpr q47::OleColor kGreen = 0x00FF00, kRed = 0x0000FF;

// The smallest rectangle holding every pixel of exactly `colour`.
QRect boundsOf(const QImage &image, QRgb colour) {
    QRect found;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == colour)
                found |= QRect(x, y, 1, 1);
    return found;
}

QImage plain(QImage image) {
    image = image.convertToFormat(QImage::Format_RGB32);
    image.setDevicePixelRatio(1);
    return image;
}

// The cells on a ground and with a lit colour found nowhere else on the board; only cell k
// shows a value.
void markCell(BoardModel &model, int k, const QVariant &value) {
    model.setDigitColours({kGreen, model.content().digits.unlit, kRed});
    for (int cell = 1; cell <= 50; ++cell)
        model.setCellValue(cell, cell == k ? value : QVariant(QString()));
}

// Where the fifty cells stand together at `scale`.
QRect allCells(qreal scale) {
    return q47::scaledRect(toPx(digitTwips(1)), scale) |
           q47::scaledRect(toPx(digitTwips(50)), scale);
}

void pressKey(QWidget &w, int key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier) {
    QTest::keyClick(&w, static_cast<Qt::Key>(key), modifiers);
}

} // namespace

class TestZoom : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        q47::installFontSubstitutes();
        // The remembered zoom goes to a settings file of the tests' own.
        QStandardPaths::setTestModeEnabled(true);
        QSettings().clear();
    }
    void cleanup() { QSettings().clear(); }

    // The off-screen picture grows exactly with its scale, cell by cell, and keeps the
    // corners outside the rounded outline transparent.
    void renderedBoardGrowsExactlyWithItsScale() {
        BoardModel model;
        LedBoard board(model);
        markCell(model, 27, 1230);
        model.setStopName(QStringLiteral("東京駅"));
        const QRect cell = toPx(digitTwips(27));
        for (const qreal scale : {1.0, 1.5, 2.0, 3.0}) {
            const QImage shot = board.renderBoard(scale);
            QCOMPARE(shot.size(), q47::scaledSize(clientSizePx(), scale));
            QCOMPARE(boundsOf(shot, qRgb(0, 255, 0)), allCells(scale));
            QVERIFY(q47::scaledRect(cell, scale).contains(boundsOf(shot, qRgb(255, 0, 0))));
            QCOMPARE(qAlpha(shot.pixel(0, 0)), 0);
            QCOMPARE(qAlpha(shot.pixel(shot.width() - 1, shot.height() - 1)), 0);
            QCOMPARE(qAlpha(shot.pixel(shot.width() / 2, 0)), 255);
        }
        const QRect lit1 = boundsOf(board.renderBoard(1), qRgb(255, 0, 0));
        const QRect lit2 = boundsOf(board.renderBoard(2), qRgb(255, 0, 0));
        QVERIFY(!lit1.isEmpty());
        QVERIFY2(qAbs(lit2.width() - 2 * lit1.width()) <= 1 &&
                     qAbs(lit2.height() - 2 * lit1.height()) <= 1,
                 qPrintable(QStringLiteral("%1x%2 against %3x%4")
                                .arg(lit2.width())
                                .arg(lit2.height())
                                .arg(lit1.width())
                                .arg(lit1.height())));
    }

    // Enlarged cells and dots are drawn at their size: pixel for pixel what a screen three
    // times as dense shows, with no blend that a stretched bitmap would leave.
    void enlargedBoardIsDrawnAfreshNotStretched() {
        BoardModel model;
        LedBoard board(model);
        markCell(model, 5, 88);
        model.setStopName(QStringLiteral("駅"));
        // The same cell on its own.
        q47::SegmentCell cell;
        cell.setBackColor(kGreen);
        cell.setDigitForeColor(kRed);
        cell.setValue(88);

        q47::SegmentFrame dense = cell.frame();
        dense.devicePixelRatio = 3;
        q47::SegmentRenderer renderer;
        QImage native;
        renderer.render(native, dense);

        const QImage shot = board.renderBoard(3);
        QCOMPARE(plain(shot.copy(q47::scaledRect(toPx(digitTwips(5)), 3))), plain(native));
        board.setZoom(3);
        QCOMPARE(board.cellRect(5).size(), QSize(3 * 52, 3 * 20));
        QCOMPARE(plain(board.grab(board.cellRect(5)).toImage()), plain(native));

        // Inside the place name's border only its ground and its dots.
        const QRect name = q47::scaledRect(toPx(q47::board::dotNameTwips()), 3)
                               .adjusted(2 * 3, 2 * 3, -3 * 3, -3 * 3);
        int dots = 0;
        for (int y = name.top(); y <= name.bottom(); ++y)
            for (int x = name.left(); x <= name.right(); ++x) {
                const QRgb px = shot.pixel(x, y);
                QVERIFY2(px == qRgb(128, 128, 128) || px == qRgb(255, 190, 0),
                         qPrintable(QStringLiteral("blend at %1,%2").arg(x).arg(y)));
                dots += px == qRgb(255, 190, 0);
            }
        QVERIFY(dots > 0);
    }

    // Ctrl with plus, minus and 0 step through the sizes, as the menu does; every other key
    // is left to whoever else listens.
    void keysAndMenuStepTheZoom() {
        BoardModel model;
        LedBoard board(model);
        const auto expectZoom = [&](qreal zoom) {
            QCOMPARE(board.zoom(), zoom);
            QCOMPARE(board.size(), q47::scaledSize(clientSizePx(), zoom));
            QCOMPARE(board.mask(), LedBoard::roundedRegion(board.size(), zoom));
            QCOMPARE(board.cellRect(50), q47::scaledRect(toPx(digitTwips(50)), zoom));
            QCOMPARE(board.nameRect(), q47::scaledRect(toPx(q47::board::dotNameTwips()), zoom));
        };
        pressKey(board, Qt::Key_Plus);
        expectZoom(1.5);
        pressKey(board, Qt::Key_Equal);
        expectZoom(2);
        pressKey(board, Qt::Key_Plus, Qt::ControlModifier | Qt::KeypadModifier);
        expectZoom(3);
        pressKey(board, Qt::Key_Plus);
        expectZoom(3);
        pressKey(board, Qt::Key_Minus);
        expectZoom(2);
        pressKey(board, Qt::Key_0);
        expectZoom(1);
        pressKey(board, Qt::Key_Minus);
        expectZoom(1);

        for (const auto &[key, modifiers] :
             {std::pair{Qt::Key_0, Qt::NoModifier}, std::pair{Qt::Key_Escape, Qt::NoModifier},
              std::pair{Qt::Key_Plus, Qt::NoModifier}, std::pair{Qt::Key_Space, Qt::NoModifier},
              std::pair{Qt::Key_N, Qt::ControlModifier}}) {
            QKeyEvent press(QEvent::KeyPress, key, modifiers);
            QApplication::sendEvent(&board, &press);
            QVERIFY(!press.isAccepted());
        }
        expectZoom(1);

        QMenu *menu = board.boardMenu();
        const QList<QAction *> actions = menu->actions();
        QCOMPARE(actions.at(2)->text(), QStringLiteral("表示倍率 2倍"));
        actions.at(2)->trigger();
        expectZoom(2);
        QMetaObject::invokeMethod(menu, "aboutToShow");
        QVERIFY(actions.at(2)->isChecked() && !actions.at(0)->isChecked());
        QCOMPARE(actions.last()->text(), QStringLiteral("全画面表示\tF11"));
    }

    // A press and release without motion on either board's face is a click, whatever follows:
    // the window system's move starts only once the pointer travels with the button held.
    void aTapIsAClickOnBothBoards() {
        BoardModel model;
        LedBoard led(model);
        q47::LcdBoard lcd(model);
        for (QWidget *board : {static_cast<QWidget *>(&led), static_cast<QWidget *>(&lcd)}) {
            board->show();
            QVERIFY(QTest::qWaitForWindowExposed(board));
            QSignalSpy moves(board->findChild<q47::FaceDrag *>(), &q47::FaceDrag::moveStarted);
            const QPoint face(8, board->height() / 2); // clear of the cells and the name
            const auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButtons held) {
                QMouseEvent event(type, at, board->mapToGlobal(at),
                                  type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held,
                                  Qt::NoModifier);
                QApplication::sendEvent(board, &event);
            };
            const int far = 3 * QGuiApplication::styleHints()->startDragDistance();
            send(QEvent::MouseButtonPress, face, Qt::LeftButton);
            send(QEvent::MouseButtonRelease, face, Qt::NoButton);
            send(QEvent::MouseMove, face + QPoint(far, 0), Qt::NoButton);
            QCOMPARE(moves.count(), 0);
            send(QEvent::MouseButtonPress, face, Qt::LeftButton);
            send(QEvent::MouseMove, face + QPoint(1, 0), Qt::LeftButton);
            QCOMPARE(moves.count(), 0);
            send(QEvent::MouseMove, face + QPoint(far, 0), Qt::LeftButton);
            QCOMPARE(moves.count(), 1);
            send(QEvent::MouseButtonRelease, face + QPoint(far, 0), Qt::NoButton);
        }
    }

    // A chosen zoom is reported, for the start-up to remember; an unusable stored value means 1.
    void zoomIsReportedAndReadBack() {
        BoardModel model;
        LedBoard board(model);
        QSignalSpy changed(&board, &LedBoard::zoomChanged);
        board.setZoom(2);
        board.setZoom(2);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.first().first().toReal(), 2.0);
        QCOMPARE(board.size(), QSize(1420, 488));

        QSettings settings;
        for (const auto &[stored, zoom] :
             {std::pair{QVariant(2.9), 3.0}, std::pair{QVariant(QStringLiteral("big")), 1.0},
              std::pair{QVariant(-2), 1.0}, std::pair{QVariant(), 1.0}}) {
            settings.setValue(QStringLiteral("board/zoom"), stored);
            QCOMPARE(q47::board::readZoom(settings), zoom);
        }
    }

    // F11 fills the screen with the board at the largest scale that fits, hides a resting
    // pointer, and gives the window back as it was.
    void fullScreenFitsTheScreenAndGivesTheWindowBack() {
        BoardModel model;
        LedBoard board(model);
        model.setPicture(q47::BoardPicture::builtIn(0));
        board.setZoom(1.5);
        board.move(30, 40);
        board.show();
        QVERIFY(QTest::qWaitForWindowExposed(&board));

        pressKey(board, Qt::Key_F11, Qt::NoModifier);
        const QRect screen = board.screen()->geometry();
        const qreal scale = q47::board::fitScale(clientSizePx(), screen.size());
        QVERIFY(board.isBoardFullScreen());
        QCOMPARE(board.boardScale(), scale);
        QTRY_COMPARE(board.geometry(), screen);
        const QRect shown = board.boardRect();
        QCOMPARE(shown.size(), q47::scaledSize(clientSizePx(), scale));
        QCOMPARE(shown.center(), QRect(QPoint(), screen.size()).center());
        QCOMPARE(board.cellRect(1),
                 q47::scaledRect(toPx(digitTwips(1)), scale).translated(shown.topLeft()));
        QVERIFY(board.mask().isEmpty());
        const QImage face = board.grab().toImage();
        QCOMPARE(face.pixel(0, 0), qRgb(0, 0, 0));
        // The rim, 3.5 design pixels from the top.
        QCOMPARE(face.pixel(shown.center().x(), shown.top() + qRound(3.5 * scale)),
                 qRgb(0xEE, 0xE6, 0xCC));

        // The zoom keys wait for the window to come back.
        pressKey(board, Qt::Key_Plus);
        QCOMPARE(board.boardScale(), scale);

        auto *rest = board.findChild<QTimer *>(QStringLiteral("pointerTimer"));
        QVERIFY(rest && rest->isActive());
        rest->start(0);
        QTRY_COMPARE(board.cursor().shape(), Qt::BlankCursor);
        QTest::mouseMove(&board, QPoint(100, 100));
        QCOMPARE(board.cursor().shape(), Qt::ArrowCursor);
        QVERIFY(rest->isActive());

        pressKey(board, Qt::Key_F11, Qt::NoModifier);
        QVERIFY(!board.isBoardFullScreen());
        QCOMPARE(board.zoom(), 1.5);
        QTRY_COMPARE(board.geometry(), QRect(QPoint(30, 40), q47::scaledSize(clientSizePx(), 1.5)));
        QCOMPARE(board.mask(), LedBoard::roundedRegion(board.size(), 1.5));
        QVERIFY(!rest->isActive());
    }
};

QTEST_MAIN(TestZoom)
#include "test_zoom.moc"
