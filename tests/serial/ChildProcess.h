#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

// A program started for a test, with its output and error streams captured.
class ChildProcess {
public:
    using Clock = std::chrono::steady_clock;

    ChildProcess(const std::vector<std::string>& argv, const std::string& workDir,
                 const std::vector<std::string>& env = {}) {
        int out[2], err[2];
        if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(out[1], 1);
            dup2(err[1], 2);
            if (!workDir.empty() && chdir(workDir.c_str()) != 0) _exit(126);
            for (const auto& e : env) putenv(const_cast<char*>(e.c_str()));
            std::vector<char*> args;
            for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
            args.push_back(nullptr);
            execv(args[0], args.data());
            _exit(127);
        }
        close(out[1]);
        close(err[1]);
        outFd_ = out[0];
        errFd_ = err[0];
    }
    ~ChildProcess() {
        if (pid_ > 0 && status_ < 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (outFd_ >= 0) close(outFd_);
        if (errFd_ >= 0) close(errFd_);
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return pid_ > 0; }
    const std::string& out() const { return out_; }
    const std::string& err() const { return err_; }

    // Reads until the error stream contains text; false at the deadline.
    bool WaitForError(const std::string& text, std::chrono::milliseconds limit) {
        return ReadUntil([&] { return err_.find(text) != std::string::npos; }, limit);
    }
    // The first line of the output stream, without its line feed.
    bool FirstOutputLine(std::string& line, std::chrono::milliseconds limit) {
        bool ok = ReadUntil([&] { return out_.find('\n') != std::string::npos; }, limit);
        if (ok) line = out_.substr(0, out_.find('\n'));
        return ok;
    }

    void Signal(int signal) { kill(pid_, signal); }

    // Exit status, 128 + signal when killed, or -1 if it did not end in time.
    int Wait(std::chrono::milliseconds limit) {
        ReadUntil([] { return false; }, limit, true);
        return status_;
    }

private:
    template <typename Done>
    bool ReadUntil(Done done, std::chrono::milliseconds limit, bool untilExit = false) {
        auto deadline = Clock::now() + limit;
        while (!done()) {
            if (untilExit && Reap()) return true;
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0) return false;
            pollfd fds[2] = {{outFd_, POLLIN, 0}, {errFd_, POLLIN, 0}};
            poll(fds, 2, static_cast<int>(std::min<long>(left.count(), 20)));
            Drain(outFd_, fds[0].revents, out_);
            Drain(errFd_, fds[1].revents, err_);
            if (!untilExit && status_ < 0) Reap();
        }
        return true;
    }
    static void Drain(int& fd, short revents, std::string& into) {
        if (fd < 0 || !(revents & (POLLIN | POLLHUP))) return;
        char buffer[4096];
        ssize_t n = read(fd, buffer, sizeof buffer);
        if (n > 0) {
            into.append(buffer, static_cast<size_t>(n));
        } else {
            close(fd);
            fd = -1;
        }
    }
    bool Reap() {
        if (status_ >= 0) return true;
        int raw = 0;
        if (waitpid(pid_, &raw, WNOHANG) != pid_) return false;
        status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
        // Whatever is still in the pipes belongs to the result.
        pollfd fds[2] = {{outFd_, POLLIN, 0}, {errFd_, POLLIN, 0}};
        while (poll(fds, 2, 0) > 0 && (outFd_ >= 0 || errFd_ >= 0)) {
            Drain(outFd_, fds[0].revents, out_);
            Drain(errFd_, fds[1].revents, err_);
            fds[0].fd = outFd_;
            fds[1].fd = errFd_;
        }
        return true;
    }

    pid_t pid_ = -1;
    int outFd_ = -1;
    int errFd_ = -1;
    int status_ = -1;
    std::string out_;
    std::string err_;
};
