#include "frmctl.h"

#include "form1.h"
#include "twips.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>

namespace q47 {

QString boardCaption(const QString &programBaseName) {
    return QStringLiteral("運賃表示器アプリケーション - 型番:") + programBaseName;
}

frmCtl::frmCtl(Form1 &board, QWidget *parent) : QWidget(parent, Qt::Window), board_(board) {
    setWindowTitle(QStringLiteral("集中操作盤"));
    setFixedSize(twipsToPx(kClientWidthTwips), twipsToPx(kClientHeightTwips));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0x40, 0x40, 0x40));
    setPalette(pal);
    setAutoFillBackground(true);
}

void frmCtl::Form_Load() {
    const QString base = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    board_.setWindowTitle(boardCaption(base));
}

void frmCtl::closeEvent(QCloseEvent *event) {
    // Closing the control panel ends the program; the board has no frame to close it by.
    event->accept();
    QCoreApplication::quit();
}

} // namespace q47
