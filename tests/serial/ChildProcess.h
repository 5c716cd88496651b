#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

// A program started for a test in workDir, its output and error streams going
// to <name>.out and <name>.err there.
class ChildProcess {
public:
    ChildProcess(std::vector<std::string> argv, const std::string& workDir, const std::string& name,
                 const std::vector<std::string>& env = {})
        : out_(workDir + "/" + name + ".out"), err_(workDir + "/" + name + ".err") {
        int out = open(out_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        int err = open(err_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        std::vector<char*> args;
        for (auto& a : argv) args.push_back(a.data());
        args.push_back(nullptr);
        pid_ = fork();
        if (pid_ == 0) {
            if (dup2(out, 1) < 0 || dup2(err, 2) < 0 || chdir(workDir.c_str()) != 0) _exit(126);
            for (const auto& e : env) putenv(const_cast<char*>(e.c_str()));
            execv(args[0], args.data());
            _exit(127);
        }
        close(out);
        close(err);
    }
    ~ChildProcess() {
        if (status_ >= 0) return;
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }

    std::string out() const { return Read(out_); }
    std::string err() const { return Read(err_); }
    void Signal(int signal) { kill(pid_, signal); }
    // Exit status, 128 + signal when killed, or -1 if it did not end in time.
    int Wait(std::chrono::milliseconds limit) {
        auto deadline = std::chrono::steady_clock::now() + limit;
        int raw = 0;
        while (status_ < 0 && std::chrono::steady_clock::now() < deadline) {
            if (waitpid(pid_, &raw, WNOHANG) == pid_) status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
            else std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return status_;
    }

private:
    static std::string Read(const std::string& path) {
        std::ostringstream text;
        text << std::ifstream(path).rdbuf();
        return text.str();
    }

    std::string out_, err_;
    pid_t pid_ = -1;
    int status_ = -1;
};
