#include "desktoppanel.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QMessageBox>

namespace q47 {

QString programBaseName() {
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

void DesktopPanelHost::message(const QString &text) {
    QMessageBox box(QMessageBox::NoIcon, programBaseName(), text, QMessageBox::Ok, owner_);
    box.exec();
}

void DesktopPanelHost::error(const QString &title, const QString &text) {
    QMessageBox box(QMessageBox::Critical, title, text, QMessageBox::Ok, owner_);
    box.exec();
}

bool DesktopPanelHost::confirmExit() {
    QMessageBox box(QMessageBox::Question, QStringLiteral("運賃表示器アプリの終了確認"),
                    QStringLiteral("運賃表示器アプリを終了しますか？"),
                    QMessageBox::Yes | QMessageBox::No, owner_);
    return box.exec() == QMessageBox::Yes;
}

void DesktopPanelHost::endProgram() {
    // exit(), not quit(): quit() would close the windows again and so ask a second time.
    QCoreApplication::exit(0);
}

} // namespace q47
