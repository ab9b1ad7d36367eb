#pragma once

#include <QWidget>

namespace q47 {

class Form1;

// The operator's control panel beside the fare board.
class frmCtl : public QWidget {
    Q_OBJECT
public:
    static constexpr int kClientWidthTwips = 5295;
    static constexpr int kClientHeightTwips = 2595;

    explicit frmCtl(Form1 &board, QWidget *parent = nullptr);

    // Control panel start: names the board after the program.
    void Form_Load();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    Form1 &board_;
};

// "運賃表示器アプリケーション - 型番:" followed by the program's base name.
QString boardCaption(const QString &programBaseName);

} // namespace q47
