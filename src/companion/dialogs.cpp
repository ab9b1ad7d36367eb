#include "dialogs.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

namespace q47 {

namespace {

struct ZeroRule {
    const char *title;
    const char *caption;
};

// Index = ZeroMode.
constexpr ZeroRule kZeroRules[4] = {
    {"0: 0は表示しない", "値が0または空のとき、何も点灯しません。"},
    {"1: 0を表示する", "値が0または空のとき、0を点灯します。"},
    {"2: -1を0として表示", "値が-1のとき0を点灯し、0のときは何も点灯しません。"},
    {"3: -1・0・空を0として表示", "値が-1、0または空のとき、0を点灯します。"},
};

} // namespace

CellFormatDialog::CellFormatDialog(QWidget *owner, qint16 digitCount, qint16 zeroMode, qint16 shift,
                                   qint16 fillZero)
    : QDialog(owner) {
    setWindowTitle(QStringLiteral("表示桁の設定"));
    setModal(true);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("この表示器の桁数: %1 桁").arg(digitCount), this));

    auto *rules = new QGroupBox(QStringLiteral("ゼロの表示方法"), this);
    auto *rulesLayout = new QVBoxLayout(rules);
    auto *group = new QButtonGroup(this);
    for (int i = 0; i < 4; ++i) {
        modes_[i] = new QRadioButton(QString::fromUtf8(kZeroRules[i].title), rules);
        modes_[i]->setObjectName(QStringLiteral("zeroMode%1").arg(i));
        auto *caption = new QLabel(QString::fromUtf8(kZeroRules[i].caption), rules);
        caption->setIndent(24);
        caption->setEnabled(false);
        group->addButton(modes_[i], i);
        rulesLayout->addWidget(modes_[i]);
        rulesLayout->addWidget(caption);
    }
    layout->addWidget(rules);

    auto *form = new QFormLayout;
    const int maxShift = std::max(0, digitCount - 1);
    shift_ = new QSpinBox(this);
    shift_->setObjectName(QStringLiteral("shift"));
    shift_->setRange(0, maxShift);
    shift_->setSuffix(QStringLiteral(" 桁"));
    fill_ = new QSpinBox(this);
    fill_->setObjectName(QStringLiteral("fillZero"));
    fill_->setRange(0, std::max<int>(0, digitCount));
    fill_->setSpecialValueText(QStringLiteral("しない"));
    fill_->setSuffix(QStringLiteral(" 桁"));
    form->addRow(QStringLiteral("左へずらす桁数:"), shift_);
    form->addRow(QStringLiteral("0で埋める桁数:"), fill_);
    layout->addLayout(form);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    setZeroMode(zeroMode);
    setShift(shift);
    setFillZero(fillZero);
}

qint16 CellFormatDialog::zeroMode() const {
    for (int i = 0; i < 4; ++i)
        if (modes_[i]->isChecked())
            return static_cast<qint16>(i);
    return 0;
}

qint16 CellFormatDialog::shift() const {
    return static_cast<qint16>(shift_->value());
}
qint16 CellFormatDialog::fillZero() const {
    return static_cast<qint16>(fill_->value());
}

void CellFormatDialog::setZeroMode(qint16 mode) {
    modes_[(mode >= 0 && mode < 4) ? mode : 0]->setChecked(true);
}
void CellFormatDialog::setShift(qint16 shift) {
    shift_->setValue(shift);
}
void CellFormatDialog::setFillZero(qint16 fill) {
    fill_->setValue(fill);
}

bool askForCellFormat(QWidget *owner, qint16 digitCount, qint16 &zeroMode, qint16 &shift,
                      qint16 &fillZero) {
    CellFormatDialog dlg(owner, digitCount, zeroMode, shift, fillZero);
    if (dlg.exec() != QDialog::Accepted)
        return false;
    zeroMode = dlg.zeroMode();
    shift = dlg.shift();
    fillZero = dlg.fillZero();
    return true;
}

void showAboutBox(QWidget *owner, const QString &aboutText) {
    QDialog box(owner);
    box.setObjectName(QStringLiteral("dlg110"));
    box.setWindowTitle(QStringLiteral("バージョン情報"));
    box.setModal(true);
    auto *layout = new QVBoxLayout(&box);
    auto *text = new QLabel(
        QString(aboutText).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).trimmed(), &box);
    text->setObjectName(QStringLiteral("aboutText"));
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    text->setMargin(12);
    layout->addWidget(text);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &box);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);
    layout->addWidget(buttons);
    box.exec();
}

} // namespace q47
