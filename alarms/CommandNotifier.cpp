// SPDX-License-Identifier: GPL-3.0-or-later
#include "CommandNotifier.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/eventfd.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <vector>

extern char** environ;

namespace {
// The environment of this program without any NIMBULO_ALARM* of its own,
// with the notice's.
std::vector<std::string> Environment(const AlarmNotice& notice) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        if (std::strncmp(*e, "NIMBULO_ALARM", 13) != 0) env.emplace_back(*e);
    }
    env.push_back("NIMBULO_ALARM=" + notice.alarm);
    env.push_back(std::string("NIMBULO_ALARM_STATE=") + AlarmStateWord(notice));
    env.push_back("NIMBULO_ALARM_VALUE=" + AlarmValueText(notice));
    env.push_back("NIMBULO_ALARM_TIME=" +
                  AlarmIsoTime(notice.kind == AlarmNotice::Kind::Ended ||
                                       notice.kind == AlarmNotice::Kind::Test
                                   ? notice.time
                                   : notice.since));
    return env;
}

std::string ExitText(int status) {
    if (WIFEXITED(status)) return "exit status " + std::to_string(WEXITSTATUS(status));
    if (WIFSIGNALED(status)) return std::string("killed by ") + strsignal(WTERMSIG(status));
    return "ended oddly";
}
}  // namespace

CommandNotifier::CommandNotifier(std::string program, Reporter reporter,
                                 std::chrono::milliseconds timeout)
    : program_(std::move(program)),
      reporter_(std::move(reporter)),
      timeout_(timeout),
      stopFd_(eventfd(0, EFD_CLOEXEC)) {}

CommandNotifier::~CommandNotifier() {
    const uint64_t one = 1;
    ssize_t written = write(stopFd_, &one, sizeof one);
    (void)written;
    std::map<std::string, Run> runs;
    {
        std::lock_guard lock(mutex_);
        runs.swap(runs_);
    }
    for (auto& [alarm, run] : runs) run.thread.join();
    close(stopFd_);
}

void CommandNotifier::ReapFinished(std::unique_lock<std::mutex>& lock) {
    std::vector<std::thread> finished;
    for (auto it = runs_.begin(); it != runs_.end();) {
        if (it->second.done) {
            finished.push_back(std::move(it->second.thread));
            it = runs_.erase(it);
        } else {
            ++it;
        }
    }
    lock.unlock();
    for (std::thread& t : finished) t.join();
    lock.lock();
}

int CommandNotifier::Running() const {
    std::lock_guard lock(mutex_);
    int n = 0;
    for (const auto& [alarm, run] : runs_) n += run.done ? 0 : 1;
    return n;
}

void CommandNotifier::Notify(const AlarmNotice& notice) {
    std::unique_lock lock(mutex_);
    ReapFinished(lock);
    if (runs_.count(notice.alarm)) {
        reporter_("alarm command for " + notice.alarm +
                  " still running; this notice is not passed to it");
        return;
    }
    int errPipe[2];
    if (pipe2(errPipe, O_CLOEXEC) != 0) {
        reporter_("alarm command: " + std::string(std::strerror(errno)));
        return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, errPipe[1], 2);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // A group of its own, so that a time-out ends what it started too; no
    // signal blocked, whatever this program's threads block.
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK);

    const std::vector<std::string> env = Environment(notice);
    std::vector<char*> envp;
    for (const std::string& e : env) envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    char* argv[] = {const_cast<char*>(program_.c_str()), nullptr};
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, program_.c_str(), &actions, &attributes, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    close(errPipe[1]);
    if (rc != 0) {
        close(errPipe[0]);
        reporter_("alarm command '" + program_ + "' for " + notice.alarm +
                  " cannot run: " + std::strerror(rc));
        return;
    }
    const int pidFd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
    Run& run = runs_[notice.alarm];
    const bool test = notice.kind == AlarmNotice::Kind::Test;
    run.thread = std::thread([this, alarm = notice.alarm, test, pid, pidFd, errFd = errPipe[0]] {
        Wait(alarm, test, pid, pidFd, errFd);
    });
}

// Collects the first line of the error output until the command ends, the
// time-out passes or the notifier goes; the command is reaped in any case.
void CommandNotifier::Wait(const std::string& alarm, bool test, int pid, int pidFd, int errFd) {
    const auto deadline = std::chrono::steady_clock::now() + timeout_;
    std::string errors;
    bool errOpen = true;
    bool exited = false;
    bool killed = false;
    while (!exited) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            killed = true;
            break;
        }
        pollfd fds[3] = {
            {pidFd, POLLIN, 0}, {stopFd_, POLLIN, 0}, {errOpen ? errFd : -1, POLLIN, 0}};
        if (poll(fds, 3, static_cast<int>(left.count())) < 0 && errno != EINTR) break;
        if (fds[1].revents) {
            killed = true;
            break;
        }
        if (fds[2].revents) {
            char buffer[512];
            const ssize_t n = read(errFd, buffer, sizeof buffer);
            if (n > 0 && errors.size() < 4096) errors.append(buffer, static_cast<std::size_t>(n));
            if (n <= 0) errOpen = false;
        }
        exited = (fds[0].revents & POLLIN) != 0;
    }
    // Not reaped yet, so the group's id is still this one.
    if (killed) kill(-pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    if (!killed && errOpen) {
        // What it wrote just before it ended.
        char buffer[512];
        fcntl(errFd, F_SETFL, O_NONBLOCK);
        for (ssize_t n; (n = read(errFd, buffer, sizeof buffer)) > 0 && errors.size() < 4096;)
            errors.append(buffer, static_cast<std::size_t>(n));
    }
    close(errFd);
    close(pidFd);
    const std::string firstLine = errors.substr(0, errors.find('\n'));
    const std::string what = "alarm command '" + program_ + "' for " + alarm;
    std::string outcome;
    if (killed) {
        outcome =
            what + " killed after " +
            std::to_string(std::chrono::duration_cast<std::chrono::seconds>(timeout_).count()) +
            " s";
    } else if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        outcome = what + " failed (" + ExitText(status) + ")" +
                  (firstLine.empty() ? "" : ": " + firstLine);
    } else if (test) {
        outcome = what + " ran (exit status 0)";
    }
    {
        std::lock_guard lock(mutex_);
        if (auto it = runs_.find(alarm); it != runs_.end()) it->second.done = true;
    }
    if (!outcome.empty()) reporter_(outcome);
}
