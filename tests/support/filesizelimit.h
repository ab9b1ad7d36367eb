#pragma once

// A disk that fills up, without root: while a FileSizeLimit lives, no file this process writes
// grows past `bytes`, and a write past it fails with EFBIG ("File too large") instead of the
// signal that would end the process.

#include <csignal>

#include <sys/resource.h>

class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) : handler_(std::signal(SIGXFSZ, SIG_IGN)) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        limit(bytes);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, handler_);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

    // For good, as a child process starts (both calls are safe between fork and exec; the
    // ignored signal and the limit pass on to the program it runs).
    static void limit(rlim_t bytes) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit l{};
        getrlimit(RLIMIT_FSIZE, &l);
        l.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &l);
    }

private:
    rlimit saved_{};
    void (*handler_)(int);
};
