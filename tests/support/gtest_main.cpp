// Every test program keeps its user settings in a folder of its own, made afresh, so that
// neither the user's real settings nor another test's can change what it sees. Programs that
// draw text (Q47_GTEST_GUI) get an application object and the board's font faces as well.
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#ifdef Q47_GTEST_GUI
#include "fonts.h"

#include <QGuiApplication>
#endif

int main(int argc, char **argv) {
    QTemporaryDir home;
    if (!home.isValid())
        return 1;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path()));
#ifdef Q47_GTEST_GUI
    // Test discovery runs the program outside the test environment.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    q47::installFontSubstitutes();
#endif
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
