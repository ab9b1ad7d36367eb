#pragma once

#include <QDialog>

namespace q47 {

// The options dialog. Loaded hidden at start-up and shown modally on request.
class frmOption : public QDialog {
    Q_OBJECT
public:
    explicit frmOption(QWidget *parent = nullptr);
};

} // namespace q47
