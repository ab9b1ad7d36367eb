#include "fonts.h"
#include "q47app.h"

#include <QApplication>

int main(int argc, char *argv[]) {
    QApplication application(argc, argv);
    q47::installFontSubstitutes();
    q47::Q47App app;
    app.Form_Load();
    return application.exec();
}
