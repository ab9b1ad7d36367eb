#pragma once

#include <QObject>
#include <QProcess>
#include <QSize>
#include <QString>
#include <QStringList>

namespace q47 {

// What a recording of a ride is asked for: the program's own `--record` run.
struct RecordingRequest {
    QString file;
    QString route;
    QString board; // "led" or "lcd"
    double speed = 1;
    QSize size{1920, 1080};
    int fps = 30;
    int interval = 30;
    QString dataFolder;
    QString soundFolder;

    // The arguments of the program's run that makes it.
    QStringList arguments() const;
};

// The percentage the last progress line in `output` tells ("Q47: recording FILE:  42% ..."),
// or -1 when it tells none.
int recordingProgress(const QString &output);

// A recording made by the program itself in a process of its own, so the panel stays
// responsive and a cancel (SIGTERM: the run removes its unfinished file) leaves nothing.
class RecordingProcess : public QObject {
    Q_OBJECT
public:
    explicit RecordingProcess(QString program, QObject *parent = nullptr);
    ~RecordingProcess() override;

    void start(const RecordingRequest &request);
    void cancel();
    bool running() const { return process_.state() != QProcess::NotRunning; }

Q_SIGNALS:
    void progressed(int percent);
    // `ok` when the file is complete; otherwise what went wrong (empty when cancelled).
    void finished(bool ok, const QString &failure);

private:
    void readProgress();
    void ended(int exitCode, QProcess::ExitStatus status);

    QString program_;
    QProcess process_;
    QString output_;
    bool cancelled_ = false;
};

} // namespace q47
