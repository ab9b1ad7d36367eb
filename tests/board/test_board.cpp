#include "backlight.h"
#include "boardartwork.h"
#include "boardlayout.h"
#include "boardmodel.h"
#include "builtinfaces.h"
#include "controlpanel.h"
#include "dialogs.h"
#include "fakepanel.h"
#include "fonts.h"
#include "lcdtexts.h"
#include "ledboard.h"
#include "optionsdialog.h"
#include "q47app.h"
#include "segmentmodel.h"
#include "settingsstore.h"
#include "statefileio.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using q47::BoardModel;
using q47::BoardPicture;
using q47::LedBoard;

class TestBoard : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { q47::installFontSubstitutes(); }

    void cellsStandWhereTheGridPutsThem_data() {
        QTest::addColumn<int>("k");
        QTest::addColumn<QRect>("digit");
        QTest::addColumn<QRect>("label");
        // Twips / 15, rounded: columns 1935.., rows 705.. for digits and 450.. for labels.
        QTest::newRow("1") << 1 << QRect(129, 47, 52, 20) << QRect(129, 30, 52, 16);
        QTest::newRow("2") << 2 << QRect(185, 47, 52, 20) << QRect(185, 30, 52, 16);
        QTest::newRow("10") << 10 << QRect(638, 47, 52, 20) << QRect(638, 30, 52, 16);
        QTest::newRow("11") << 11 << QRect(129, 86, 52, 20) << QRect(129, 67, 52, 16);
        QTest::newRow("27") << 27 << QRect(467, 124, 52, 20) << QRect(467, 106, 52, 16);
        QTest::newRow("38") << 38 << QRect(524, 163, 52, 20) << QRect(524, 145, 52, 16);
        QTest::newRow("50") << 50 << QRect(638, 202, 52, 20) << QRect(638, 184, 52, 16);
        QTest::newRow("spare") << 0 << QRect(140, 2, 52, 20) << QRect(79, 3, 52, 16);
    }
    void cellsStandWhereTheGridPutsThem() {
        QFETCH(int, k);
        QFETCH(QRect, digit);
        QFETCH(QRect, label);
        BoardModel model;
        LedBoard board(model);
        QCOMPARE(board.cellRect(k), digit);
        QCOMPARE(board.labelRect(k), label);
    }

    void nameColumn() {
        BoardModel model;
        LedBoard board(model);
        QCOMPARE(board.size(), QSize(710, 244));
        QCOMPARE(board.nameRect(), QRect(32, 25, 38, 197));
        QCOMPARE(q47::board::fullWidthNumber(50), QStringLiteral("５０"));
    }

    // A board shows what the model holds, whether it followed every change or was made after
    // them: its cells, labels, place name and picture, with formats the model brought into
    // range.
    void theLedBoardFollowsAModelItDoesNotOwn() {
        BoardModel model;
        LedBoard early(model);
        const QImage fresh = early.renderBoard(1);
        model.setPicture(BoardPicture::builtIn(1));
        model.setDigitColours({0x400000, 0x202020, 0x00FF00});
        model.setLabelsShown(true);
        model.setNumbering(7, false);
        model.setLabelColour(Qt::yellow);
        model.setNameColours(0x101010, 0x0000FF);
        model.setCellFormat(3, {0, 9, 1});
        model.setCellValue(3, 170);
        model.resetCell(4, -1);
        model.setStopName(QStringLiteral("市役所前"));
        LedBoard late(model);
        QCOMPARE(early.cellText(3), QStringLiteral("170 "));
        QCOMPARE(early.cellText(4), QStringLiteral("8888"));
        const QImage shown = early.renderBoard(1);
        QVERIFY(shown != fresh);
        QCOMPARE(late.renderBoard(1), shown);
    }

    void maskIsARoundedRectangle() {
        const QRegion r = LedBoard::roundedRegion(QSize(710, 244));
        QCOMPARE(r.boundingRect(), QRect(0, 0, 710, 244));
        for (QPoint outside : {QPoint(0, 0), QPoint(709, 0), QPoint(0, 243), QPoint(709, 243),
                               QPoint(1, 1), QPoint(3, 0), QPoint(706, 0), QPoint(0, 3)})
            QVERIFY2(!r.contains(outside),
                     qPrintable(QStringLiteral("%1,%2").arg(outside.x()).arg(outside.y())));
        for (QPoint inside : {QPoint(4, 0), QPoint(355, 0), QPoint(0, 122), QPoint(705, 243),
                              QPoint(2, 2), QPoint(709, 6), QPoint(355, 122)})
            QVERIFY2(r.contains(inside),
                     qPrintable(QStringLiteral("%1,%2").arg(inside.x()).arg(inside.y())));
    }

    void startUpPlacesBothWindowsWithoutSavedState() {
        q47::Q47App app;
        app.start();
        LedBoard &board = app.board();
        QVERIFY(board.isVisible());
        QCOMPARE(board.pos(), QPoint(0, 0));
        QVERIFY(board.windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(board.mask(), LedBoard::roundedRegion(board.size()));
        QVERIFY(
            board.windowTitle().startsWith(QStringLiteral("運賃表示器アプリケーション - 型番:")));

        QWidget &panel = *app.controlPanel();
        QVERIFY(panel.isVisible());
        QCOMPARE(panel.windowTitle(), QStringLiteral("集中操作盤"));
        QCOMPARE(panel.size(), QSize(353, 173));
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QCOMPARE(panel.frameGeometry().bottomRight(), screen.bottomRight());

        QCOMPARE(board.Picture(), board.backlightFace(0));
        QCOMPARE(board.backlightFace(2), board.backlightFace(1));
        QVERIFY(board.backlightFace(0) != board.backlightFace(1));
        QCOMPARE(board.backlightFace(0).deviceIndependentSize().toSize(), QSize(709, 244));
        for (int k = 1; k <= 50; ++k)
            QCOMPARE(app.model().content().cells[size_t(k)], QVariant(QString()));
        QVERIFY(!app.options()->isVisible());
    }

    // The board is painted before the windows that restore the saved state exist, and that
    // first picture is already the restored board: nothing jumps or changes colour after it.
    void firstPaintShowsTheRestoredBoard() {
        QTemporaryDir dir;
        const QString state = dir.filePath(QStringLiteral("Q47.in4"));
        {
            q47::Q47App saved(nullptr, state);
            saved.setSpeechEnabled(false);
            saved.start();
            q47::SettingsStore &s = saved.settings();
            s.setFlag(q47::setting::ShowLabels, 1);
            s.setListIndex(q47::setting::LabelStyle, 7);
            s.setColour(q47::setting::LabelColourOn1, 0x0000FFFF);
            s.setColour(q47::setting::DigitBack, 0x00400000);
            saved.options()->applyLook();
            saved.board().move(40, 30);
            saved.board().setZoom(1.5);
            saved.controlPanel()->switchBacklight(1);
            saved.stateFile()->save();
        }
        q47::Q47App app(nullptr, state);
        app.setSpeechEnabled(false);
        QImage first;
        QPoint firstAt;
        qreal firstZoom = 0;
        struct OnPaint : QObject {
            std::function<void()> then;
            bool eventFilter(QObject *, QEvent *e) override {
                if (e->type() == QEvent::Paint && then)
                    std::exchange(then, nullptr)();
                return false;
            }
        } onPaint;
        onPaint.then = [&] {
            for (const QWidget *w : QApplication::topLevelWidgets())
                QVERIFY(!w->isVisible() || w == &app.board());
            QVERIFY(app.board().windowTitle().startsWith(
                QStringLiteral("運賃表示器アプリケーション - 型番:")));
            first = app.board().renderBoard(1);
            firstAt = app.board().pos();
            firstZoom = app.board().zoom();
        };
        app.board().installEventFilter(&onPaint);
        app.start();
        QVERIFY(!first.isNull());
        QCOMPARE(firstAt, QPoint(40, 30));
        QCOMPARE(firstZoom, 1.5);
        QCOMPARE(app.board().pos(), firstAt);
        QCOMPARE(first, app.board().renderBoard(1));
        BoardModel plainModel;
        plainModel.setPicture(BoardPicture::builtIn(0));
        LedBoard plain(plainModel);
        QVERIFY(first != plain.renderBoard(1));
        QSettings().clear();
    }

    // Every message of the restore comes with the panel, its owner, on the screen, the board
    // named, and the backlight the user left still selected: a file that is no state file, and
    // a backlight picture that is no picture (told once, though the restore shows it twice).
    void restoreMessagesComeWithThePanelShown_data() {
        QTest::addColumn<bool>("stateFileBroken");
        QTest::newRow("not a state file") << true;
        QTest::newRow("no picture") << false;
    }
    void restoreMessagesComeWithThePanelShown() {
        QFETCH(bool, stateFileBroken);
        QTemporaryDir dir;
        const QString state = dir.filePath(QStringLiteral("Q47.in4"));
        q47::FakeHost host;
        if (stateFileBroken) {
            QFile file(state);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write("\x05") == 1);
            QSettings user;
            q47::rememberBacklight(user, 1);
        } else {
            QFile picture(dir.filePath(QStringLiteral("on1.bmp")));
            QVERIFY(picture.open(QIODevice::WriteOnly) && picture.write("not a picture") > 0);
            q47::Q47App saved(nullptr, state);
            saved.setSpeechEnabled(false);
            saved.setPanelHost(&host);
            saved.start();
            q47::SettingsStore &s = saved.settings();
            s.select(q47::setting::PanelsOneByOne);
            s.select(q47::setting::On1PanelUser);
            s.setText(q47::setting::On1PanelFile, picture.fileName());
            saved.controlPanel()->switchBacklight(1);
            saved.stateFile()->save();
            host.errors.clear();
        }
        q47::Q47App app(nullptr, state);
        app.setSpeechEnabled(false);
        app.setPanelHost(&host);
        QStringList seen;
        host.whileShown = [&] {
            seen << QStringLiteral("panel %1, board %2, backlight %3")
                        .arg(app.controlPanel()->isVisible() ? "shown" : "hidden")
                        .arg(app.board().windowTitle().startsWith(
                                 QStringLiteral("運賃表示器アプリケーション - 型番:"))
                                 ? "named"
                                 : "unnamed")
                        .arg(app.board().model().content().backlight);
        };
        app.start();
        QCOMPARE(seen, QStringList{QStringLiteral("panel shown, board named, backlight 1")});
        QCOMPARE(app.controlPanel()->backlightRow(), 1);
        QSettings().clear();
    }

    void cancelledDialogChangesNoCell() {
        q47::Q47App app;
        app.start();
        LedBoard &board = app.board();
        app.model().setCellFormat(7, {2, 0, 0});
        bool panelDisabled = false;
        QTimer::singleShot(0, [&] {
            panelDisabled = !app.controlPanel()->isEnabled();
            auto *dlg = qobject_cast<q47::CellFormatDialog *>(QApplication::activeModalWidget());
            QVERIFY(dlg);
            dlg->setZeroMode(3);
            dlg->setFillZero(2);
            dlg->reject();
        });
        board.editCellFormat(3);
        QVERIFY(panelDisabled);
        QVERIFY(app.controlPanel()->isEnabled());
        for (int k = 1; k <= 50; ++k)
            QCOMPARE(app.model().content().formats[size_t(k)],
                     (q47::CellFormat{qint16(k == 7 ? 2 : 0), 0, 0}));
    }

    void confirmedDialogAppliesToEveryCell() {
        q47::Q47App app;
        app.start();
        LedBoard &board = app.board();
        for (int k = 1; k <= 50; ++k)
            app.model().setCellValue(k, k * 10);
        QTimer::singleShot(0, [&] {
            auto *dlg = qobject_cast<q47::CellFormatDialog *>(QApplication::activeModalWidget());
            QVERIFY(dlg);
            dlg->setZeroMode(1);
            dlg->setShift(1);
            dlg->setFillZero(3);
            dlg->accept();
        });
        const QPoint cell12 = board.cellRect(12).center();
        QWidget *cell = board.childAt(cell12);
        QVERIFY(cell);
        QTest::mouseDClick(cell, Qt::LeftButton, {}, cell->mapFrom(&board, cell12));
        for (int k = 1; k <= 50; ++k) {
            QCOMPARE(app.model().content().formats[size_t(k)], (q47::CellFormat{1, 3, 1}));
            QCOMPARE(app.model().content().cells[size_t(k)], QVariant(k * 10));
        }
        QCOMPARE(board.cellText(2), QStringLiteral("020 "));
        QVERIFY(app.controlPanel()->isEnabled());
    }

    // A state file may hold formats out of the digit control's ranges: the LCD board's fare
    // texts, drawn from the model, still read what the LED cells show, only never cut to the
    // cells' digits.
    void bothBoardsShowOutOfRangeFormatsAlike_data() {
        QTest::addColumn<qint16>("shift");
        QTest::addColumn<qint16>("zeroMode");
        QTest::addColumn<qint16>("fillZero");
        QTest::newRow("fill 6") << qint16(0) << qint16(0) << qint16(6);
        QTest::newRow("shift 9") << qint16(9) << qint16(0) << qint16(0);
        QTest::newRow("zero mode 5") << qint16(0) << qint16(5) << qint16(0);
        QTest::newRow("all three") << qint16(9) << qint16(5) << qint16(6);
        QTest::newRow("negative") << qint16(-2) << qint16(-1) << qint16(-3);
    }
    void bothBoardsShowOutOfRangeFormatsAlike() {
        QFETCH(qint16, shift);
        QFETCH(qint16, zeroMode);
        QFETCH(qint16, fillZero);
        BoardModel model;
        LedBoard board(model);
        model.setCellFormat(5, {zeroMode, fillZero, shift});
        const q47::CellFormat &held = model.content().formats[5];
        for (const QVariant &value : {QVariant(0), QVariant(-1), QVariant(7), QVariant(12345)}) {
            model.setCellValue(5, value);
            const QString uncut =
                q47::digitDisplayText(value, held.zeroMode, held.fillZero, held.shift, -1);
            QCOMPARE(uncut.right(held.digitCount), board.cellText(5));
            QCOMPARE(q47::lcd::fareText(model.content(), 5), uncut);
        }
    }

    void formInfoRoundTripsThePosition() {
        BoardModel model;
        LedBoard board(model);
        board.restorePosition({1500, 3000});
        QCOMPARE(board.pos(), QPoint(100, 200));
        const q47::WindowPosition p = board.windowPosition();
        QCOMPARE(p.Left, 1500);
        QCOMPARE(p.Top, 3000);
    }

    // A word style puts label 1 in the proportional face and going back restores the digit
    // face; a style without a caption for a label leaves it as it was, on both boards. Whether
    // labels are shown is the options' business, not the style's.
    void labelStylesSwitchLabelOnesFace() {
        BoardModel model;
        const q47::TicketLabels &labels = model.content().labels;
        model.setNumbering(7, false);
        QCOMPARE(labels.texts[1], QStringLiteral("券なし"));
        QCOMPARE(labels.texts[50], QStringLiteral("５０"));
        QVERIFY(!labels.label1DigitFace);
        model.setNumbering(0, true);
        QVERIFY(labels.label1DigitFace);
        QCOMPARE(labels.texts[1], QStringLiteral("０１"));
        model.setNumbering(12, false);
        QCOMPARE(labels.texts[1], QString());
        QCOMPARE(labels.texts[2], QStringLiteral("０２"));
        QCOMPARE(q47::lcd::ticketLabel(model.content(), 2), QStringLiteral("02"));
        QVERIFY(!labels.shown);
    }

    // The faces drawn when the program was built, which an ordinary screen shows, are the
    // faces the board's code draws now.
    void builtInFacesAreTheDrawnOnes() {
        for (const auto which : {q47::board::Artwork::Off, q47::board::Artwork::On1})
            QVERIFY(q47::board::builtInFace(which) == q47::board::renderArtwork(which, 1));
    }

    // The lit face is told from the dark one across a room, and going back to OFF gives the
    // first picture again, pixel for pixel.
    void backlightLightsTheFace() {
        BoardModel model;
        LedBoard board(model);
        model.setPicture(BoardPicture::builtIn(0));
        const QImage off = board.renderBoard(1);
        model.setPicture(BoardPicture::builtIn(1));
        const QImage on = board.renderBoard(1);
        qsizetype changed = 0;
        for (int y = 0; y < off.height(); ++y)
            for (int x = 0; x < off.width(); ++x)
                changed += off.pixel(x, y) != on.pixel(x, y);
        QVERIFY2(changed * 10 >= off.width() * off.height(), qPrintable(QString::number(changed)));
        model.setPicture(BoardPicture::builtIn(0));
        QCOMPARE(board.renderBoard(1), off);
    }

    // Labels over a built-in picture replace its printed numbers instead of covering them.
    void labelsReplaceThePrintedNumbers() {
        for (const auto which : {q47::board::Artwork::Off, q47::board::Artwork::On1}) {
            BoardModel model;
            LedBoard board(model);
            model.setPicture(BoardPicture::builtIn(which == q47::board::Artwork::Off ? 0 : 1));
            model.setLabelsShown(true);
            model.setLabelColour(Qt::transparent); // the labels themselves leave no trace
            const QImage shown = board.renderBoard(1);
            const QImage bare = q47::board::renderArtwork(which, 1, false);
            for (int k : {1, 2, 27, 50}) {
                const QRect label = q47::board::toPx(q47::board::seiriLabelTwips(k));
                QCOMPARE(shown.copy(label), bare.copy(label).convertToFormat(shown.format()));
            }
        }
    }

    // Qt's own buttons speak Japanese as the program does, though the test runs under LANG=C;
    // LANGUAGE asks for English. Last: the translation stays.
    void qtButtonsSpeakJapaneseWhateverTheLocale() {
        QVERIFY(!q47::Q47App::installQtTranslation(QStringLiteral("en_GB:en")));
        q47::Q47App::prepareApplication();
        const QMessageBox box(QMessageBox::Question, QStringLiteral("確認"), QStringLiteral("?"),
                              QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(box.button(QMessageBox::Yes)->text(), QStringLiteral("はい(&Y)"));
        QCOMPARE(box.button(QMessageBox::No)->text(), QStringLiteral("いいえ(&N)"));
    }
};

QTEST_MAIN(TestBoard)
#include "test_board.moc"
