#include "mdlq47_000.h"

#include "form1.h"
#include "seirikennum.h"

#include <QLabel>
#include <QMessageBox>

namespace q47 {

void SeirikenNumSet(Form1 &board, qint16 style, qint16 zeroPad, const ErrorBox &report) {
    const SeirikenNumbering numbering = seirikenNumbering(style, zeroPad != 0);
    // Labels rewritten before a failure keep their new captions.
    const auto fail = [&] {
        const QString text = seirikenNumSetError(
            91, QStringLiteral("オブジェクト変数または With ブロック変数が設定されていません。"));
        if (report)
            report(QStringLiteral("エラー！"), text);
        else
            QMessageBox::critical(nullptr, QStringLiteral("エラー！"), text);
    };
    QLabel *first = board.lblSeiriNum(1);
    if (!first)
        return fail();
    QFont face = first->font();
    face.setFamily(QString::fromUtf8(numbering.digitFaceOnLabel1 ? SeirikenNumbering::kDigitFace
                                                                 : SeirikenNumbering::kWordFace));
    first->setFont(face);
    if (numbering.label1Word)
        first->setText(*numbering.label1Word);
    for (int k = 1; k <= 50; ++k) {
        const std::optional<QString> &caption = numbering.captions[static_cast<size_t>(k)];
        if (!caption)
            continue;
        QLabel *label = board.lblSeiriNum(k);
        if (!label)
            return fail();
        label->setText(*caption);
    }
}

} // namespace q47
