#include "recordingprocess.h"

#include <QRegularExpression>

namespace q47 {

QStringList RecordingRequest::arguments() const {
    QStringList args{
        QStringLiteral("--record"),   file,
        QStringLiteral("--route"),    route,
        QStringLiteral("--board"),    board,
        QStringLiteral("--speed"),    QString::number(speed),
        QStringLiteral("--size"),     QStringLiteral("%1x%2").arg(size.width()).arg(size.height()),
        QStringLiteral("--fps"),      QString::number(fps),
        QStringLiteral("--interval"), QString::number(interval)};
    if (!dataFolder.isEmpty())
        args << QStringLiteral("--data") << dataFolder;
    if (!soundFolder.isEmpty())
        args << QStringLiteral("--sound") << soundFolder;
    return args;
}

int recordingProgress(const QString &output) {
    static const QRegularExpression line(QStringLiteral(R"(recording .*: *(\d+)% )"));
    int percent = -1;
    // The lines are separated by carriage returns as the terminal shows them.
    for (const QString &part : output.split(QLatin1Char('\r')))
        if (const QRegularExpressionMatch m = line.match(part); m.hasMatch())
            percent = m.captured(1).toInt();
    return percent;
}

RecordingProcess::RecordingProcess(QString program, QObject *parent)
    : QObject(parent), program_(std::move(program)) {
    process_.setProcessChannelMode(QProcess::SeparateChannels);
    connect(&process_, &QProcess::readyReadStandardError, this, &RecordingProcess::readProgress);
    connect(&process_, &QProcess::finished, this, &RecordingProcess::ended);
    connect(&process_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            Q_EMIT finished(false, process_.errorString());
    });
}

RecordingProcess::~RecordingProcess() {
    if (running()) {
        cancel();
        process_.waitForFinished(5000);
    }
}

void RecordingProcess::start(const RecordingRequest &request) {
    output_.clear();
    cancelled_ = false;
    // Without a display of its own, whatever platform this run has.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process_.setProcessEnvironment(environment);
    process_.start(program_, request.arguments());
}

void RecordingProcess::cancel() {
    cancelled_ = true;
    process_.terminate();
}

void RecordingProcess::readProgress() {
    output_ += QString::fromLocal8Bit(process_.readAllStandardError());
    // Only the last line matters; the rest would grow with a long ride.
    if (const qsizetype cut = output_.lastIndexOf(QLatin1Char('\r')); cut > 0)
        output_ = output_.mid(cut);
    if (const int percent = recordingProgress(output_); percent >= 0)
        Q_EMIT progressed(percent);
}

void RecordingProcess::ended(int exitCode, QProcess::ExitStatus status) {
    readProgress();
    if (cancelled_) {
        Q_EMIT finished(false, {});
        return;
    }
    if (status == QProcess::NormalExit && exitCode == 0) {
        Q_EMIT finished(true, {});
        return;
    }
    // The run's own words, without its progress lines.
    QStringList words;
    for (const QString &part :
         output_.split(QRegularExpression(QStringLiteral("[\r\n]")), Qt::SkipEmptyParts))
        if (recordingProgress(QLatin1Char('\r') + part) < 0 && !part.trimmed().isEmpty())
            words << part.trimmed();
    QString said = words.join(QLatin1Char('\n'));
    if (said.isEmpty())
        said = QStringLiteral("終了コード %1").arg(exitCode);
    Q_EMIT finished(false, said);
}

} // namespace q47
