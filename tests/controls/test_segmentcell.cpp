#include "dialogs.h"
#include "segmentcell.h"

#include <QApplication>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

using q47::SegmentCell;

namespace {

// Answers the next modal dialog: accepts it after `configure`, or rejects it.
void answerDialog(bool accept, std::function<void(q47::CellFormatDialog *)> configure = {}) {
    QTimer::singleShot(0, [=] {
        auto *dlg = qobject_cast<q47::CellFormatDialog *>(QApplication::activeModalWidget());
        QVERIFY(dlg);
        if (configure)
            configure(dlg);
        accept ? dlg->accept() : dlg->reject();
    });
}

bool anyPixelOf(const QImage &img, QRgb colour) {
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixel(x, y) == colour)
                return true;
    return false;
}

} // namespace

class TestSegmentCell : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void onlyDrawingPropertiesRedraw() {
        SegmentCell d;
        int before = d.redrawCount();
        d.setFillZero(2);
        d.setZeroMode(1);
        d.setShift(1);
        d.setUserSet(false);
        QCOMPARE(d.redrawCount(), before);
        d.setValue(5);
        d.setBackColor(0x000000);
        d.setBaseForeColor(0x111111);
        d.setDigitForeColor(0x00FFFF);
        d.setDigitStyle(2);
        QCOMPARE(d.redrawCount(), before + 5);
    }

    void formattingWaitsForTheNextRedraw() {
        SegmentCell d;
        d.setDigitForeColor(0x0000FF); // pure red
        d.setValue(0);
        const QImage blank = d.surface().copy();
        QVERIFY(!anyPixelOf(blank, qRgb(255, 0, 0)));
        d.setZeroMode(1);
        QCOMPARE(d.surface(), blank);
        d.setValue(d.Value());
        QVERIFY(anyPixelOf(d.surface(), qRgb(255, 0, 0)));
    }

    void ketaAndSizeResize() {
        SegmentCell d;
        d.setDigitCount(0);
        QCOMPARE(d.size(), QSize(4 * 13, 20));
        d.setDigitCount(15);
        QCOMPARE(d.width(), 15 * 13);
        d.setDigitSize(1);
        QCOMPARE(d.size(), QSize(15 * 17, 26));
        d.setDigitCount(2);
        d.setDigitSize(2);
        QCOMPARE(d.size(), QSize(2 * 19, 29));
        d.setDigitSize(3);
        QCOMPARE(d.size(), QSize(2 * 11, 15));
    }

    void resetDigitLightsEightsAndRestoresSettings() {
        SegmentCell d;
        d.setDigitCount(3);
        d.setShift(2);
        d.setZeroMode(2);
        d.setFillZero(1);
        d.resetDigits(-1);
        QCOMPARE(d.Value(), QVariant(QStringLiteral("888")));
        QCOMPARE(d.Shift(), qint16(2));
        QCOMPARE(d.ZeroMode(), qint16(2));
        QCOMPARE(d.FillZero(), qint16(1));
        d.resetDigits(0);
        QCOMPARE(d.Value(), QVariant(QString()));
    }

    void lampTestIsDrawnWithoutTheShift() {
        SegmentCell d;
        d.setDigitCount(3);
        d.setDigitForeColor(0x0000FF);
        d.setShift(2);
        d.resetDigits(-1);
        // All three cells lit: count red pixels per cell.
        const QImage &img = d.surface();
        for (int cell = 0; cell < 3; ++cell) {
            bool lit = false;
            for (int y = 0; y < img.height() && !lit; ++y)
                for (int x = cell * 13; x < cell * 13 + 13 && !lit; ++x)
                    lit = img.pixel(x, y) == qRgb(255, 0, 0);
            QVERIFY2(lit, qPrintable(QStringLiteral("cell %1").arg(cell)));
        }
    }

    void doubleClickRaisesTheEvent() {
        SegmentCell d;
        QSignalSpy spy(&d, &SegmentCell::DblClick);
        QTest::mouseDClick(&d, Qt::LeftButton);
        QCOMPARE(spy.count(), 1);
    }

    void dialogConfirmedTakesTheChosenValues() {
        SegmentCell d;
        d.setValue(7);
        answerDialog(true, [](q47::CellFormatDialog *dlg) {
            dlg->setZeroMode(3);
            dlg->setShift(1);
            dlg->setFillZero(2);
        });
        QVERIFY(d.chooseFormat());
        QCOMPARE(d.ZeroMode(), qint16(3));
        QCOMPARE(d.Shift(), qint16(1));
        QCOMPARE(d.FillZero(), qint16(2));
        QCOMPARE(d.model().displayText(), QStringLiteral("07 "));
    }

    void dialogCancelledLeavesTheValues() {
        SegmentCell d;
        d.setZeroMode(2);
        d.setShift(1);
        answerDialog(false, [](q47::CellFormatDialog *dlg) { dlg->setZeroMode(0); });
        QVERIFY(!d.chooseFormat());
        QCOMPARE(d.ZeroMode(), qint16(2));
        QCOMPARE(d.Shift(), qint16(1));
    }

    void dialogOffersOnlyTheRangesOfTheCell() {
        q47::CellFormatDialog dlg(nullptr, 4, 0, 0, 0);
        auto *shift = dlg.findChild<QSpinBox *>(QStringLiteral("shift"));
        auto *fill = dlg.findChild<QSpinBox *>(QStringLiteral("fillZero"));
        QVERIFY(shift && fill);
        QCOMPARE(shift->maximum(), 3);
        QCOMPARE(fill->maximum(), 4);
        dlg.setShift(9);
        QCOMPARE(dlg.shift(), qint16(3));
    }

    void surfaceFollowsThePixelRatio() {
        SegmentCell d;
        d.setValue(12);
        QCOMPARE(d.surface().devicePixelRatio(), d.devicePixelRatioF());
        QCOMPARE(d.surface().deviceIndependentSize().toSize(), d.size());
    }
};

QTEST_MAIN(TestSegmentCell)
#include "test_segmentcell.moc"
