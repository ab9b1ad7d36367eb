#pragma once

// What the running benchmark process itself uses: CPU time and resident memory; and what a
// program run to its end takes: time and peak resident memory.
#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QList>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

extern char **environ;

namespace q47::bench {

// User and system CPU time of the whole process so far, in seconds.
inline double cpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    auto seconds = [](const timeval &t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(u.ru_utime) + seconds(u.ru_stime);
}

// Resident memory now, in MiB; 0 where /proc cannot tell.
inline double residentMiB() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * double(sysconf(_SC_PAGESIZE)) / 1048576.0 : 0;
}

struct ProcessRun {
    double seconds = 0;
    long maxRssKiB = 0;
    int status = -1; // the exit code; -1 when it did not exit by itself
};

// Runs args[0] with the rest as its arguments, output to /dev/null, from start to exit.
inline ProcessRun runProcess(const std::vector<QByteArray> &args) {
    std::vector<char *> argv;
    for (const QByteArray &a : args)
        argv.push_back(const_cast<char *>(a.constData()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    ProcessRun r;
    QElapsedTimer timer;
    timer.start();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        struct rusage usage {};
        int status = 0;
        wait4(pid, &status, 0, &usage);
        r.seconds = double(timer.nsecsElapsed()) / 1e9;
        r.maxRssKiB = usage.ru_maxrss;
        r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    return r;
}

} // namespace q47::bench
