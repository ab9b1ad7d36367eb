// The options and the GTFS import dialog on screens too small for them as designed (the test
// runs once at scale factor 2 on 1920 x 1080, once on 1366 x 768): each lies within the
// screen's available area with the buttons that close it or act in reach.
#include "boardmodel.h"
#include "fonts.h"
#include "gtfsdialog.h"
#include "optionsdialog.h"
#include "panelstate.h"
#include "settingsstore.h"

#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Why `button` cannot be reached on `area`, or nothing.
QString unreachable(const QPushButton *button, const QRect &area) {
    if (!button || !button->isVisible())
        return QStringLiteral("not shown");
    const QRect at(button->mapToGlobal(QPoint(0, 0)), button->size());
    if (!area.contains(at))
        return QStringLiteral("%1 at %2,%3").arg(button->text()).arg(at.x()).arg(at.y());
    return {};
}

QPushButton *buttonNamed(const QWidget &dialog, const QString &text) {
    for (QPushButton *button : dialog.findChildren<QPushButton *>())
        if (button->text() == text)
            return button;
    return nullptr;
}

} // namespace

class TestDialogFit : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { q47::installFontSubstitutes(); }

    void optionsDialogFits() {
        q47::SettingsStore store;
        q47::BoardModel board;
        q47::PanelState panel;
        q47::OptionsDialog dialog(store, board, panel);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const QRect area = dialog.screen()->availableGeometry();
        QVERIFY(area.contains(dialog.frameGeometry()));
        QCOMPARE(unreachable(dialog.findChild<QPushButton *>(QStringLiteral("Command4")), area),
                 QString());
    }

    void gtfsDialogFits() {
        QTemporaryDir dir;
        q47::gtfs::GtfsImportDialog dialog(dir.path(), dir.path());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const QRect area = dialog.screen()->availableGeometry();
        QVERIFY(area.contains(dialog.frameGeometry()));
        for (const QString &text : {QStringLiteral("取り込む"), QStringLiteral("閉じる")})
            QCOMPARE(unreachable(buttonNamed(dialog, text), area), QString());
    }
};

QTEST_MAIN(TestDialogFit)
#include "test_dialogfit.moc"
