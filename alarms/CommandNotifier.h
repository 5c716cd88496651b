// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "AlarmNotice.h"

// Runs the owner's alarm command for each notice: the program itself, no
// shell and no arguments, so nothing in a value can become a command; the
// notice is in its environment (NIMBULO_ALARM, NIMBULO_ALARM_STATE,
// NIMBULO_ALARM_VALUE, NIMBULO_ALARM_TIME). Each run has a thread of its
// own that waits for it, so a command that hangs costs the caller nothing;
// it is killed (with everything it started) after the time-out. At most one
// runs per alarm: a notice meanwhile is reported and skipped. A failure is
// reported with the exit status and the first line of the error output; a
// test notice's run is reported when it worked too.
class CommandNotifier : public AlarmNotifier {
  public:
    using Reporter = std::function<void(const std::string& message)>;

    CommandNotifier(std::string program, Reporter reporter,
                    std::chrono::milliseconds timeout = std::chrono::seconds(30));
    // Kills what still runs and waits for its threads.
    ~CommandNotifier() override;
    CommandNotifier(const CommandNotifier&) = delete;
    CommandNotifier& operator=(const CommandNotifier&) = delete;

    void Notify(const AlarmNotice& notice) override;
    // Runs still going (for tests and the summary).
    int Running() const;

  private:
    struct Run {
        std::thread thread;
        bool done = false;
    };
    void Wait(const std::string& alarm, bool test, int pid, int pidFd, int errFd);
    void ReapFinished(std::unique_lock<std::mutex>& lock);

    const std::string program_;
    const Reporter reporter_;
    const std::chrono::milliseconds timeout_;
    int stopFd_ = -1;  // readable once the notifier goes
    mutable std::mutex mutex_;
    std::map<std::string, Run> runs_;  // by alarm
};
