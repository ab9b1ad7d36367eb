#include "recordingdialog.h"

#include "fareboard.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QSpinBox>

#include <array>

namespace q47 {

namespace {

constexpr std::array kSizes{QSize(1920, 1080), QSize(1280, 720), QSize(3840, 2160)};

// The choices, filled from the request and read back into it.
class RecordingForm : public QDialog {
public:
    RecordingForm(QWidget *owner, const RecordingRequest &request)
        : QDialog(owner), request_(request) {
        setWindowTitle(QStringLiteral("録画"));
        auto *form = new QFormLayout(this);
        file_ = new QLineEdit(request.file, this);
        file_->setMinimumWidth(320);
        auto *browse = new QPushButton(QStringLiteral("参照..."), this);
        auto *fileRow = new QHBoxLayout;
        fileRow->addWidget(file_);
        fileRow->addWidget(browse);
        form->addRow(QStringLiteral("ファイル"), fileRow);
        board_ = new QComboBox(this);
        board_->addItem(QStringLiteral("LED"), QStringLiteral("led"));
        board_->addItem(QStringLiteral("液晶"), QStringLiteral("lcd"));
        board_->setCurrentIndex(std::max(0, board_->findData(request.board)));
        form->addRow(QStringLiteral("表示器"), board_);
        size_ = new QComboBox(this);
        for (const QSize s : kSizes)
            size_->addItem(QStringLiteral("%1 × %2").arg(s.width()).arg(s.height()), s);
        form->addRow(QStringLiteral("大きさ"), size_);
        speed_ = new QSpinBox(this);
        speed_->setRange(1, 60);
        speed_->setSuffix(QStringLiteral("×"));
        speed_->setValue(int(request.speed));
        form->addRow(QStringLiteral("速度"), speed_);
        auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
        buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("録画"));
        buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
        form->addRow(buttons);
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        connect(file_, &QLineEdit::textChanged, this, [this, buttons](const QString &text) {
            buttons->button(QDialogButtonBox::Ok)->setEnabled(!text.trimmed().isEmpty());
        });
        connect(browse, &QPushButton::clicked, this, [this] {
            const QString chosen =
                QFileDialog::getSaveFileName(this, QStringLiteral("録画の保存先"), file_->text(),
                                             QStringLiteral("動画 (*.mp4 *.webm *.mkv)"), nullptr,
                                             QFileDialog::DontUseNativeDialog);
            if (!chosen.isEmpty())
                file_->setText(chosen);
        });
    }

    RecordingRequest request() const {
        RecordingRequest r = request_;
        r.file = file_->text().trimmed();
        if (QFileInfo(r.file).suffix().isEmpty())
            r.file += QStringLiteral(".mp4");
        r.board = board_->currentData().toString();
        r.size = size_->currentData().toSize();
        r.speed = speed_->value();
        return r;
    }

private:
    RecordingRequest request_;
    QLineEdit *file_ = nullptr;
    QComboBox *board_ = nullptr;
    QComboBox *size_ = nullptr;
    QSpinBox *speed_ = nullptr;
};

} // namespace

void recordRideAsked(QWidget *owner, RecordingRequest request, const QString &program,
                     PanelHost &host) {
    RecordingForm form(owner, request);
    if (form.exec() != QDialog::Accepted)
        return;
    request = form.request();

    RecordingProcess job(program);
    QProgressDialog progress(QStringLiteral("録画しています: %1").arg(request.file),
                             QStringLiteral("キャンセル"), 0, 100, owner);
    progress.setWindowTitle(QStringLiteral("録画"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    progress.setValue(0);
    QEventLoop wait;
    bool ok = false;
    QString failure;
    QObject::connect(&job, &RecordingProcess::progressed, &progress, &QProgressDialog::setValue);
    QObject::connect(&progress, &QProgressDialog::canceled, &job, &RecordingProcess::cancel);
    QObject::connect(&job, &RecordingProcess::finished, &wait, [&](bool done, const QString &why) {
        ok = done;
        failure = why;
        wait.quit();
    });
    job.start(request);
    wait.exec();
    progress.close();
    if (ok)
        host.message(QStringLiteral("録画しました: %1").arg(request.file));
    else if (!failure.isEmpty())
        host.error(QStringLiteral("録画"),
                   QStringLiteral("録画できませんでした。\n%1").arg(failure));
}

} // namespace q47
