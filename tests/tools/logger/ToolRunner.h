// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

inline bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    using namespace std::chrono_literals;
    for (auto deadline = std::chrono::steady_clock::now() + limit; !done();
         std::this_thread::sleep_for(20ms))
        if (std::chrono::steady_clock::now() > deadline) return false;
    return true;
}

// A number from the logger's summary, -1 when it is not there.
inline long Summary(const std::string& text, const std::string& name) {
    std::smatch m;
    return std::regex_search(text, m, std::regex(name + ": (\\d+)")) ? std::stol(m[1]) : -1;
}

// Runs the tools ("sim", "logger") as processes in a scratch directory, their
// output and error streams going to <name>.out and <name>.err there; kills
// whatever still runs at the end.
class ToolRunner : public ::testing::Test {
  protected:
    ~ToolRunner() override {
        for (auto [name, pid] : running) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        std::filesystem::remove_all(work);
    }
    // asUser: a user id to run as (root only), -1 for this process's.
    void Start(const std::string& name, std::vector<std::string> args,
               std::vector<std::string> env = {}, uid_t asUser = uid_t(-1)) {
        std::string program = NIMBULO_BINARY_DIR "/tools/" + name + "/nimbulo-" + name;
        // Another user may not reach the build tree (a checkout in a 0700 home
        // folder), so it runs a copy in the scratch folder, which it can.
        if (asUser != uid_t(-1)) {
            const std::string copy = work + "/nimbulo-" + name;
            std::filesystem::copy_file(program, copy,
                                       std::filesystem::copy_options::overwrite_existing);
            program = copy;
        }
        args.insert(args.begin(), program);
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        std::string out = work + "/" + name + ".out", err = work + "/" + name + ".err";
        pid_t pid = fork();
        if (pid == 0) {
            if (dup2(open(out.c_str(), O_WRONLY | O_CREAT, 0644), 1) < 0 ||
                dup2(open(err.c_str(), O_WRONLY | O_CREAT, 0644), 2) < 0 ||
                chdir(work.c_str()) != 0)
                _exit(126);
            if (asUser != uid_t(-1) &&
                (setgroups(0, nullptr) != 0 || setgid(asUser) != 0 || setuid(asUser) != 0))
                _exit(125);
            for (auto& e : env) putenv(e.data());
            execv(argv[0], argv.data());
            _exit(127);
        }
        running[name] = pid;
    }
    std::string Out(const std::string& name, const char* stream = ".out") {
        std::ostringstream text;
        text << std::ifstream(work + "/" + name + stream).rdbuf();
        return text.str();
    }
    std::string Err(const std::string& name) { return Out(name, ".err"); }
    void Signal(const std::string& name, int signal) { kill(running[name], signal); }
    // Exit status, 128 + signal when killed, or -1 if it did not end in time.
    int Wait(const std::string& name, std::chrono::milliseconds limit) {
        int raw = 0;
        if (!WaitFor([&] { return waitpid(running[name], &raw, WNOHANG) == running[name]; }, limit))
            return -1;
        running.erase(name);
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    }
    // The lines of the log files under OutputData, none while there is none.
    std::vector<std::string> LogLines() {
        std::vector<std::string> lines;
        std::error_code ec;
        for (const auto& e : std::filesystem::directory_iterator(work + "/OutputData", ec)) {
            std::ifstream in(e.path());
            for (std::string line; std::getline(in, line);) lines.push_back(line);
        }
        return lines;
    }

    std::string work = [] {
        char p[] = "/tmp/nimbulo-live-XXXXXX";
        return std::string(mkdtemp(p));
    }();
    std::map<std::string, pid_t> running;
};
