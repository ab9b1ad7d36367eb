#include "chimeictl.h"
#include "dialogs.h"
#include "fonts.h"
#include "form1.h"
#include "frmctl.h"
#include "mdegit.h"
#include "recordingsound.h"
#include "routedata.h"
#include "settingsstore.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace q47;

namespace {

// Remembers the fare in cell 1 at the moment each sound starts.
class SnapshotSound final : public SoundOutput {
public:
    explicit SnapshotSound(Form1 &board) : board_(board) {}
    void PlaySnd(const QString &path, const QString &channel, qint16 wait, qint16) override {
        plays.append({path, channel, wait, board_.Degit(1)->Value()});
    }
    void CloseSnd() override { ++closes; }

    struct Play {
        QString path, channel;
        qint16 wait;
        QVariant cell1;
    };
    QList<Play> plays;
    int closes = 0;

private:
    Form1 &board_;
};

StopRecord stop(const QString &name, std::initializer_list<qint16> fares, qint16 code = 0) {
    StopRecord s;
    s.StopName = name;
    int k = 1;
    for (qint16 f : fares)
        s.setDataCol(k++, f);
    s.setDataCol(51, code);
    return s;
}

// A panel with its board, its settings and a folder of routes.
struct Rig {
    Rig() : sound(board), panel(board, settings, sound, options) {
        settings.setText(QStringLiteral("Text2"), 0, dir.path());
        panel.lampTestMs = 0;
        panel.showMessage = [this](const QString &m) { messages.append(m); };
        panel.confirmExit = [this] { return answerYes; };
        panel.endProgram = [this] { ++ended; };
        writeRoute(QStringLiteral("1.hy3"), {stop(QStringLiteral("駅前"), {170}),
                                             stop(QStringLiteral("本町"), {200, 170}, 2),
                                             stop(QStringLiteral("終点"), {230, 200, 170}, 4)});
    }
    void writeRoute(const QString &name, const std::vector<StopRecord> &stops) {
        writeBytes(name, encodeRouteFile(stops));
    }
    void writeBytes(const QString &name, const QByteArray &bytes) {
        QFile f(dir.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    void keypad(const QString &route, const QString &section) {
        panel.CommandButton1_Click(KeypadEntry::kRouteKey);
        for (QChar c : route)
            panel.CommandButton1_Click(c.digitValue());
        panel.CommandButton1_Click(KeypadEntry::kSectionKey);
        for (QChar c : section)
            panel.CommandButton1_Click(c.digitValue());
    }
    void setRoute(const QString &route, const QString &section) {
        keypad(route, section);
        panel.Command1_Click(1);
    }

    QTemporaryDir dir;
    SettingsStore settings{QDate(2026, 12, 7)};
    Form1 board;
    QDialog options;
    SnapshotSound sound;
    frmCtl panel;
    QStringList messages;
    bool answerYes = false;
    int ended = 0;
};

QList<QVariant> cells(const Form1 &board) {
    QList<QVariant> v;
    for (int k = 1; k <= 50; ++k)
        v.append(board.Degit(k)->Value());
    return v;
}

} // namespace

class TestFrmCtl : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { installFontSubstitutes(); }

    void routeFromTheListsReadsTheFileWithoutLeadingZeros() {
        Rig r;
        r.writeRoute(QStringLiteral("12.hy3"),
                     {stop(QStringLiteral("A"), {150}), stop(QStringLiteral("B"), {180})});
        r.settings.setText(QStringLiteral("txtSelectSound"), 0, QStringLiteral("/snd/route.wav"));
        const int digits[5] = {0, 0, 0, 1, 2};
        for (int i = 0; i < 5; ++i)
            r.panel.List2(i)->setCurrentRow(digits[i]);
        r.sound.plays.clear();
        r.panel.Command1_Click(0);
        QVERIFY2(r.messages.isEmpty(), qPrintable(r.messages.join(QLatin1Char('|'))));
        QCOMPARE(r.panel.route().RouteText, QStringLiteral("00012"));
        QCOMPARE(r.board.Degit(1)->Value(), QVariant(150));
        QCOMPARE(r.sound.plays.first().path, QStringLiteral("/snd/route.wav"));
        QCOMPARE(r.sound.plays.first().channel, QStringLiteral("S1"));
        QVERIFY(r.panel.Command2(0)->isEnabled() && r.panel.Check1()->isEnabled());
        QCOMPARE(r.panel.RouteDate(), QDate::currentDate().toString(QStringLiteral("MM-dd-yyyy")));
        QCOMPARE(r.panel.ticketDateText(), r.panel.RouteDate());
        r.settings.select(QStringLiteral("Option4"), 2);
        r.panel.Command2_Click(1);
        QCOMPARE(r.panel.ticketDateText(), QStringLiteral("2026/12/07")); // the fixed date
    }

    void refusedRouteChangesNothingOnTheBoard() {
        Rig r;
        r.setRoute(QStringLiteral("1"), QStringLiteral("1"));
        const QList<QVariant> before = cells(r.board);
        r.writeBytes(QStringLiteral("9.hy3"), QByteArray("\x00\x00", 2));
        r.setRoute(QStringLiteral("9"), QStringLiteral("1"));
        r.setRoute(QStringLiteral("8"), QStringLiteral("1"));
        QCOMPARE(r.messages, QStringList({route_messages::countZero(), route_messages::missing()}));
        QCOMPARE(cells(r.board), before);
        QCOMPARE(r.panel.route().RouteText, QStringLiteral("1"));
    }

    void refusedBeforeAnyRouteKeepsSteppingDisabled() {
        Rig r;
        r.setRoute(QStringLiteral("1"), QStringLiteral("3")); // the last stop cannot start
        QCOMPARE(r.messages, QStringList({route_messages::sectionTooHigh()}));
        QVERIFY(!r.panel.Command2(1)->isEnabled());
    }

    void bothEndsRefuseSilently() {
        Rig r;
        r.setRoute(QStringLiteral("1"), QStringLiteral("1"));
        r.sound.plays.clear();
        r.panel.Command2_Click(0);
        QVERIFY(r.sound.plays.isEmpty());
        QCOMPARE(r.panel.route().CurStopPos, qint16(0));
        r.panel.Command2_Click(1);
        r.panel.Command2_Click(1);
        QCOMPARE(r.panel.route().CurStopPos, qint16(2));
        r.sound.plays.clear();
        r.panel.Command2_Click(1);
        QVERIFY(r.sound.plays.isEmpty());
        QCOMPARE(r.panel.route().CurStopPos, qint16(2));
    }

    void columnRulePlaysBeforeTheFaresChange() {
        Rig r;
        for (int k = 7; k <= 10; ++k)
            r.settings.setText(QStringLiteral("txtSelectSound"), k,
                               QStringLiteral("/s%1.wav").arg(k));
        r.settings.select(QStringLiteral("Option2"), 1);
        r.settings.setListIndex(QStringLiteral("Combo1"), 50); // column 51
        r.settings.select(QStringLiteral("Option6"), 0);       // waited
        r.setRoute(QStringLiteral("1"), QStringLiteral("1"));
        r.sound.plays.clear();
        r.panel.Command2_Click(1); // arrives where column 51 holds 2
        QCOMPARE(r.sound.plays.size(), 1);
        QCOMPARE(r.sound.plays[0].path, QStringLiteral("/s9.wav"));
        QCOMPARE(r.sound.plays[0].channel, QStringLiteral("S2"));
        QCOMPARE(r.sound.plays[0].wait, qint16(-1));
        QCOMPARE(r.sound.plays[0].cell1, QVariant(170)); // still the fare of the stop before
        QCOMPARE(r.board.Degit(1)->Value(), QVariant(200));

        r.sound.plays.clear();
        r.panel.Command2_Click(1); // code 4: no sound, the fares still change
        QCOMPARE(r.sound.plays.size(), 1);
        QCOMPARE(r.sound.plays[0].path, QString());
        QCOMPARE(r.board.Degit(1)->Value(), QVariant(230));
    }

    void refusedBigRouteThenSteppingStaysInRange() {
        Rig r;
        r.setRoute(QStringLiteral("1"), QStringLiteral("1"));
        QByteArray big("\x90\x01", 2); // 400 records
        big += QByteArray(400 * 304, '\0');
        r.writeBytes(QStringLiteral("4.hy3"), big);
        r.setRoute(QStringLiteral("4"), QStringLiteral("1"));
        QCOMPARE(r.panel.route().StopCount, qint16(400));
        for (int i = 0; i < 10; ++i)
            r.panel.Command2_Click(1);
        QCOMPARE(r.panel.route().CurStopPos, qint16(2));
        QCOMPARE(r.board.Degit(3)->Value(), QVariant(170));
    }

    void lateNightAndStartSection() {
        Rig r;
        r.writeRoute(QStringLiteral("5.hy3"),
                     {stop(QStringLiteral("a"), {}), stop(QStringLiteral("b"), {}),
                      stop(QStringLiteral("c"), {1, 2, 230, -1, 20000}),
                      stop(QStringLiteral("d"), {})});
        r.panel.Check2()->setChecked(true);
        r.setRoute(QStringLiteral("5"), QStringLiteral("3"));
        QCOMPARE(r.board.Degit(1)->Value(), QVariant(0)); // below StartSection: left at 0
        QCOMPARE(r.board.Degit(2)->Value(), QVariant(0));
        QCOMPARE(r.board.Degit(3)->Value(), QVariant(460));
        QCOMPARE(r.board.Degit(4)->Value(), QVariant(-1));
        QCOMPARE(r.board.Degit(5)->Value(), QVariant(40000));
    }

    void keypadDigitsStartInTheSection() {
        Rig r;
        r.settings.setText(QStringLiteral("txtSelectSound"), 1, QStringLiteral("/key.wav"));
        r.panel.CommandButton1_Click(4);
        QCOMPARE(r.panel.Label2(2)->text(), QStringLiteral("4"));
        QCOMPARE(r.panel.Label2(0)->text(), QString());
        QCOMPARE(r.sound.plays.last().path, QStringLiteral("/key.wav"));
    }

    void displayClearAndRestore() {
        Rig r;
        r.setRoute(QStringLiteral("1"), QStringLiteral("1"));
        r.panel.Command2_Click(1);
        r.panel.Check1()->setChecked(true);
        QCOMPARE(r.board.Degit(1)->Value(), QVariant(QString()));
        QVERIFY(!r.panel.Command2(1)->isEnabled());
        QVERIFY(!r.panel.Frame6()->isEnabled());
        QVERIFY(!r.board.Timer1()->isActive());
        QCOMPARE(r.board.TimeDegit(0)->Value(), QVariant(QString()));
        r.panel.Check1()->setChecked(false);
        QVERIFY(!r.board.Timer1()->isActive()); // the clock is hidden: it stays off
        QVERIFY(r.panel.Command2(1)->isEnabled());
        QCOMPARE(r.board.Degit(1)->Value(), QVariant(200));
    }

    void scrollBarsSetBothSettings() {
        Rig r;
        r.panel.HScroll1(1)->setValue(1500);
        QCOMPARE(r.panel.Label1(1)->text(), QStringLiteral("1500"));
        QCOMPARE(r.board.ChimeiCtl()->Speed(), qint16(1));
        QCOMPARE(r.board.ChimeiCtl()->ScrollStartWait(), 1500);
        r.panel.HScroll1(0)->setValue(300);
        QCOMPARE(r.board.ChimeiCtl()->Speed(), qint16(300));
        QCOMPARE(r.board.ChimeiCtl()->ScrollStartWait(), 1500);
    }

    void panesFlip() {
        Rig r;
        r.panel.show();
        r.panel.Frame1_DblClick(1);
        QCOMPARE(r.panel.BackPane(), qint16(1));
        QVERIFY(r.panel.childAt(r.panel.Frame1(0)->geometry().center()) != nullptr);
        const QWidget *top = r.panel.childAt(QPoint(5, 100));
        QVERIFY(top == r.panel.Frame1(0) || r.panel.Frame1(0)->isAncestorOf(top));
        r.panel.Frame1_DblClick(0);
        top = r.panel.childAt(QPoint(5, 100));
        QVERIFY(top == r.panel.Frame1(1) || r.panel.Frame1(1)->isAncestorOf(top));
    }

    void exitAnsweredNoChangesNothing() {
        Rig r;
        r.setRoute(QStringLiteral("1"), QStringLiteral("1"));
        r.answerYes = false;
        QVERIFY(!r.panel.Form_QueryUnload());
        QCOMPARE(r.sound.closes, 0);
        QCOMPARE(r.ended, 0);
        r.answerYes = true;
        QVERIFY(r.panel.Form_QueryUnload());
        QCOMPARE(r.sound.closes, 1);
        QCOMPARE(r.ended, 1);
    }

    void aboutBoxShowsTheModelAndDisablesTheBoard() {
        Rig r;
        bool boardDisabled = false;
        QString text;
        QTimer::singleShot(0, [&] {
            auto *box = QApplication::activeModalWidget();
            QVERIFY(box);
            boardDisabled = !r.board.isEnabled();
            text = box->findChild<QLabel *>(QStringLiteral("aboutText"))->text();
            qobject_cast<QDialog *>(box)->accept();
        });
        r.panel.Command8_Click();
        QVERIFY(boardDisabled);
        QVERIFY(r.board.isEnabled());
        QVERIFY(text.contains(QStringLiteral("バージョン：" Q47_VERSION)));
        QVERIFY(text.contains(QString::number(QDate::currentDate().year())));
    }

    void optionsDialogIsModalOverBothWindows() {
        Rig r;
        bool bothDisabled = false;
        QTimer::singleShot(0, [&] {
            bothDisabled = !r.board.isEnabled() && !r.panel.isEnabled();
            r.options.accept();
        });
        r.panel.Command4_Click();
        QVERIFY(bothDisabled);
        QVERIFY(r.board.isEnabled() && r.panel.isEnabled());
    }
};

QTEST_MAIN(TestFrmCtl)
#include "test_frmctl.moc"
