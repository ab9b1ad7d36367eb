// The bare Qt window that bench/startup.sh launches beside the program: a program that links
// Qt's widgets and nothing else and shows one plain window, as large as the LED board.
#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[]) {
    QApplication application(argc, argv);
    QWidget window;
    window.resize(710, 244);
    window.show();
    return application.exec();
}
