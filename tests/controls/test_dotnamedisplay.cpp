#include "dotnamedisplay.h"
#include "dotnamerenderer.h"
#include "fonts.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QtMath>

using q47::DotNameDisplay;
using q47::DotNameModel;
using q47::DotPattern;

class TestDotNameDisplay : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { q47::installFontSubstitutes(); }
    void windowSizeFollowsAppearance();
    void screenShowsTheDotsSeparatedInTheirColours();
    void dotsStayCrispAtAnyDensity_data();
    void dotsStayCrispAtAnyDensity();
    void aLongNameScrollsOnTheTimerWithoutRenderingAgain();
    void scrolledFramesMatchAFreshDrawing_data();
    void scrolledFramesMatchAFreshDrawing();
    void theFirstPauseSleepsAndAShortNameStopsTheTimer();
};

void TestDotNameDisplay::windowSizeFollowsAppearance() {
    DotNameDisplay ctl;
    QCOMPARE(ctl.stripWidget()->geometry(), QRect(0, 0, 37, 196));
    ctl.setAppearance(0);
    QCOMPARE(ctl.stripWidget()->size(), QSize(35, 185));
    ctl.setAppearance(1);
    QCOMPARE(ctl.stripWidget()->size(), QSize(37, 195));
}

void TestDotNameDisplay::screenShowsTheDotsSeparatedInTheirColours() {
    DotNameDisplay ctl;
    ctl.showName(QStringLiteral("駅"));
    const QImage shot = ctl.drawing(1.0);
    const DotPattern dots = ctl.model().cellPattern(DotNameModel::kCellLeft, 80);
    QVERIFY(dots.count() > 20);

    const QRgb amber = qRgb(255, 190, 0), grey = qRgb(128, 128, 128);
    // Inside the 2-pixel 3D border; the strip starts one pixel left of the client area.
    const int x0 = 2 + DotNameModel::kStripLeft + DotNameModel::kCellLeft, y0 = 2 + 80;
    for (int v = 0; v < 16; ++v)
        for (int u = 0; u < 16; ++u) {
            const int x = x0 + 2 * u, y = y0 + 2 * v;
            QCOMPARE(shot.pixel(x, y), dots.at(u, v) ? amber : grey);
            QCOMPARE(shot.pixel(x + 1, y), grey);
            QCOMPARE(shot.pixel(x, y + 1), grey);
        }
    // The cells above and below are empty ground.
    for (int y = 2; y < 2 + 80; ++y)
        for (int x = 2; x < 35; ++x)
            QCOMPARE(shot.pixel(x, y), grey);
}

void TestDotNameDisplay::dotsStayCrispAtAnyDensity_data() {
    QTest::addColumn<qreal>("ratio");
    QTest::newRow("1") << 1.0;
    QTest::newRow("1.25") << 1.25;
    QTest::newRow("1.5") << 1.5;
    QTest::newRow("2") << 2.0;
    QTest::newRow("3") << 3.0;
}

void TestDotNameDisplay::dotsStayCrispAtAnyDensity() {
    QFETCH(qreal, ratio);
    DotNameModel model;
    model.showName(QStringLiteral("東京駅"));
    const QImage out = q47::renderDotNameStrip(model.strip(), model.BackColor(), ratio);
    QCOMPARE(out.devicePixelRatio(), ratio);
    QCOMPARE(out.size(),
             QSize(qCeil(model.strip().width() * ratio), qCeil(model.strip().height() * ratio)));

    const QRgb amber = qRgb(255, 190, 0), grey = qRgb(128, 128, 128);
    int amberPixels = 0;
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x) {
            const QRgb px = out.pixel(x, y);
            QVERIFY2(px == amber || px == grey, "a blended pixel");
            amberPixels += px == amber ? 1 : 0;
        }
    const int side = q47::dotNameDotDevicePx(ratio);
    QCOMPARE(amberPixels, model.dotCount() * side * side);
    // Horizontally neighbouring dots keep ground between them.
    for (int y = 0; y < model.strip().height(); ++y)
        for (int x = 0; x + 2 < model.strip().width(); ++x) {
            if (qAlpha(model.strip().pixel(x, y)) == 0 ||
                qAlpha(model.strip().pixel(x + 2, y)) == 0)
                continue;
            const int left = qRound(x * ratio), next = qRound((x + 2) * ratio);
            QVERIFY(next - left > side);
            QCOMPARE(out.pixel(next - 1, qRound(y * ratio)), grey);
        }
}

void TestDotNameDisplay::aLongNameScrollsOnTheTimerWithoutRenderingAgain() {
    // Time stands still until the test lets it run, however slow the machine.
    std::chrono::nanoseconds now{0};
    bool running = false;
    QElapsedTimer wall;
    DotNameDisplay ctl(
        nullptr, [&] { return running ? std::chrono::nanoseconds(wall.nsecsElapsed()) : now; });
    ctl.setScrollStartWait(0);
    ctl.show();
    QVERIFY(QTest::qWaitForWindowExposed(&ctl));
    ctl.showName(QStringLiteral("一二三四五六七八九十"));
    // Returned at once, with the name already drawn below the window.
    QCOMPARE(ctl.model().stripTop(), ctl.model().windowSize().height());
    QVERIFY(ctl.model().dotCount() > 0);
    wall.start();
    running = true;
    QTRY_VERIFY(ctl.model().stripTop() < 100);
    QTRY_VERIFY(ctl.stripRenders() >= 1);
    const int renders = ctl.stripRenders();
    const int updates = ctl.positionUpdates();
    QTRY_VERIFY(ctl.positionUpdates() > updates + 5);
    QCOMPARE(ctl.stripRenders(), renders);
    QVERIFY(ctl.frameCount() >= ctl.positionUpdates());
}

void TestDotNameDisplay::scrolledFramesMatchAFreshDrawing_data() {
    QTest::addColumn<qreal>("zoom");
    QTest::newRow("1") << 1.0;
    QTest::newRow("2") << 2.0;   // shifted by whole pixels, twice as far
    QTest::newRow("1.5") << 1.5; // drawn afresh at every frame
}

// Frames shift what is on the screen and paint only the rows that come into view: after many
// of them the screen must still show exactly what a fresh drawing of the strip shows, at any
// zoom.
void TestDotNameDisplay::scrolledFramesMatchAFreshDrawing() {
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        QSKIP("grabbing a child window here draws it afresh; ctest runs this on Xvfb");
    QFETCH(qreal, zoom);
    std::chrono::nanoseconds now{0};
    DotNameDisplay ctl(nullptr, [&now] { return now; });
    ctl.setScrollStartWait(0);
    ctl.setSpeed(7); // 3.15 pixels a frame: uneven steps
    ctl.setZoom(zoom);
    ctl.show();
    QVERIFY(QTest::qWaitForWindowExposed(&ctl));
    ctl.showName(QStringLiteral("一二三四五六七八九十"));
    for (int frame = 0; frame < 100; ++frame) {
        now += std::chrono::milliseconds(15);
        const int updates = ctl.positionUpdates();
        QTRY_VERIFY(ctl.positionUpdates() > updates);
    }
    QVERIFY(ctl.model().stripTop() < 0); // well into the name
    QTest::qWait(50);
    const QImage onScreen = ctl.screen()
                                ->grabWindow(ctl.stripWindow()->winId())
                                .toImage()
                                .convertToFormat(QImage::Format_RGB32);
    const QImage fresh = ctl.drawing(1.0);
    QCOMPARE(onScreen.size(), fresh.size());
    QVERIFY(onScreen == fresh);
}

void TestDotNameDisplay::theFirstPauseSleepsAndAShortNameStopsTheTimer() {
    DotNameDisplay ctl;
    ctl.show();
    ctl.setScrollStartWait(60000);
    ctl.showName(QStringLiteral("一二三四五六七"));
    QTest::qWait(100);
    QCOMPARE(ctl.frameCount(), 0);
    QCOMPARE(ctl.model().stripTop(), 196);

    ctl.setScrollStartWait(0);
    ctl.showName(QStringLiteral("一二三四五六七"));
    QTRY_VERIFY(ctl.positionUpdates() > 0);
    // Hidden (the other board shows), it does not scroll; shown again, it goes on.
    ctl.hide();
    int frames = ctl.frameCount();
    QTest::qWait(100);
    QCOMPARE(ctl.frameCount(), frames);
    ctl.show();
    QTRY_VERIFY(ctl.frameCount() > frames);

    ctl.showName(QStringLiteral("東京"));
    frames = ctl.frameCount();
    QTest::qWait(100);
    QCOMPARE(ctl.frameCount(), frames);
    QCOMPARE(ctl.model().stripTop(), 0);
}

QTEST_MAIN(TestDotNameDisplay)
#include "test_dotnamedisplay.moc"
