#include "frmoption.h"

namespace q47 {

frmOption::frmOption(QWidget *parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("オプション"));
    setModal(true);
}

} // namespace q47
