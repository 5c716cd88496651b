// SPDX-License-Identifier: GPL-3.0-or-later
// Starts Nimbulo as the program does and ends it right after the main window
// was first painted, printing how long that took and the memory in use:
//   first-paint-ms=<since main> rss-kb=<resident set size>

#include <QApplication>
#include <QElapsedTimer>
#include <QMetaObject>
#include <cstdio>
#include <fstream>
#include <string>

#include "StationApp.h"
#include "StationWindow.h"

namespace {

long ResidentKilobytes() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

class FirstPaintWatch : public QObject {
  public:
    explicit FirstPaintWatch(const QElapsedTimer& clock) : clock_(clock) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !done_)
            if (auto* window = qobject_cast<StationWindow*>(watched)) {
                done_ = true;
                const double ms = clock_.nsecsElapsed() / 1e6;
                // After this paint has finished, report and leave.
                QMetaObject::invokeMethod(
                    window,
                    [window, ms] {
                        std::printf("first-paint-ms=%.1f rss-kb=%ld\n", ms, ResidentKilobytes());
                        std::fflush(stdout);
                        window->reject();
                    },
                    Qt::QueuedConnection);
            }
        return false;
    }

  private:
    const QElapsedTimer& clock_;
    bool done_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    QElapsedTimer clock;
    clock.start();
    QApplication application(argc, argv);
    FirstPaintWatch watch(clock);
    application.installEventFilter(&watch);
    StationApp app;
    return app.Run();
}
