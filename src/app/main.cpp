#include "boardartwork.h"
#include "desktopspeech.h"
#include "fonts.h"
#include "q47app.h"

#include <QApplication>
#include <QIcon>
#include <QPixmap>

int main(int argc, char *argv[]) {
    q47::warmUpDesktopSpeech();
    q47::Q47App::preparePlatform();
    QApplication application(argc, argv);
    // Where the user's own choices (the voice) are kept: ~/.config/Q47/Q47.conf.
    QCoreApplication::setOrganizationName(QStringLiteral("Q47"));
    QCoreApplication::setApplicationName(QStringLiteral("Q47"));
    q47::installFontSubstitutes();
    QIcon icon;
    for (int size : {16, 32, 64, 128})
        icon.addPixmap(QPixmap::fromImage(q47::board::renderIcon(size)));
    QApplication::setWindowIcon(icon);
    q47::Q47App app;
    app.Form_Load();
    return application.exec();
}
