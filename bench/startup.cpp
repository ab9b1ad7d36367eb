// Start-up as the operator sees it: from the process's launch (Q47_LAUNCH_NS, wall-clock
// nanoseconds taken by bench/startup.sh just before exec) to the first paint of the window.
//   startup_bare     a plain Qt window in a program that links Qt's widgets and nothing else,
//                    for comparison in the same run (this file built with Q47_BARE_ONLY)
//   startup board    the program's own start-up, to the board painted; then the first
//                    "設定..." from the click to the options dialog painted
#ifndef Q47_BARE_ONLY
#include "form1.h"
#include "frmctl.h"
#include "frmoption.h"
#include "q47app.h"
#endif

#include <QApplication>
#include <QPushButton>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

qint64 nowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// Calls `done` once, right after the first paint of `w` has been handed to the window system.
class FirstPaint : public QObject {
public:
    FirstPaint(QWidget *w, std::function<void()> done) : done_(std::move(done)) {
        w->installEventFilter(this);
    }
    bool eventFilter(QObject *, QEvent *e) override {
        if (e->type() == QEvent::Paint && done_) {
            auto done = std::move(done_);
            done_ = nullptr;
            QTimer::singleShot(0, done);
        }
        return false;
    }

private:
    std::function<void()> done_;
};

double msSince(qint64 start) {
    return double(nowNs() - start) / 1e6;
}

} // namespace

int main(int argc, char *argv[]) {
    const qint64 launch = qEnvironmentVariable("Q47_LAUNCH_NS").toLongLong();
#ifdef Q47_BARE_ONLY
    QApplication application(argc, argv);
    {
        QWidget w;
        w.resize(600, 260);
        FirstPaint paint(&w, [&] {
            std::printf("bare window painted: %.1f ms\n", msSince(launch));
            std::fflush(stdout);
            QApplication::quit();
        });
        w.show();
        return application.exec();
    }
#else
    q47::Q47App::preparePlatform();
    QApplication application(argc, argv);
    q47::Q47App::prepareApplication();
    q47::Q47App app;
    qint64 click = 0;
    std::unique_ptr<FirstPaint> dialogPaint;
    FirstPaint boardPaint(&app.board(), [&] {
        std::printf("board painted: %.1f ms\n", msSince(launch));
        std::fflush(stdout);
        // Let the start-up settle, as an operator's first click would.
        QTimer::singleShot(300, [&] {
            dialogPaint = std::make_unique<FirstPaint>(app.options(), [&] {
                std::printf("first options dialog painted: %.1f ms\n", msSince(click));
                std::fflush(stdout);
                app.options()->Command4_Click();
            });
            click = nowNs();
            app.controlPanel()->Command4()->click();
            // Measured; the program's own exit asks the operator first.
            std::_Exit(0);
        });
    });
    app.Form_Load();
    return application.exec();
#endif
}
