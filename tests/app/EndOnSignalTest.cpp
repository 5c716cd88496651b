// SPDX-License-Identifier: GPL-3.0-or-later
// nimbulo --demo as a process: it reads its simulator without a press of
// Read Weather Data; SIGTERM, SIGINT and SIGHUP end it with status 0, and its
// simulator ends with it however it ends, killed included.

#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>

#include "ToolRunner.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::string ReadText(const fs::path& path) {
    std::ostringstream text;
    text << std::ifstream(path).rdbuf();
    return text.str();
}

class EndOnSignal : public ::testing::Test {
  protected:
    ~EndOnSignal() override {
        if (window > 0) {
            kill(window, SIGKILL);
            waitpid(window, nullptr, 0);
        }
        if (simulator > 0) kill(simulator, SIGKILL);
        fs::remove_all(scratch);
    }
    // Starts the demo and waits until the window catches the signals to be
    // sent and the simulator runs.
    void StartDemo() {
        window = fork();
        if (window == 0) {
            setenv("XDG_CONFIG_HOME", (scratch + "/config").c_str(), 1);
            setenv("XDG_DATA_HOME", (scratch + "/data").c_str(), 1);
            setenv("QT_QPA_PLATFORM", "offscreen", 1);
            if (!freopen((scratch + "/nimbulo.out").c_str(), "w", stdout) ||
                !freopen((scratch + "/nimbulo.err").c_str(), "w", stderr))
                _exit(126);
            const char* program = NIMBULO_BINARY_DIR "/app/nimbulo";
            execl(program, program, "--demo", nullptr);
            _exit(127);
        }
        ASSERT_TRUE(WaitFor([&] { return CatchesExitSignals(); }, 20s))
            << ReadText(scratch + "/nimbulo.err");
        simulator = ChildOf(window);
        ASSERT_GT(simulator, 0);
    }
    bool CatchesExitSignals() const {
        std::istringstream status(ReadText("/proc/" + std::to_string(window) + "/status"));
        for (std::string line; std::getline(status, line);) {
            if (!line.starts_with("SigCgt:")) continue;
            const unsigned long long caught = std::stoull(line.substr(7), nullptr, 16);
            const unsigned long long wanted =
                (1ull << (SIGTERM - 1)) | (1ull << (SIGINT - 1)) | (1ull << (SIGHUP - 1));
            return (caught & wanted) == wanted;
        }
        return false;
    }
    static pid_t ChildOf(pid_t parent) {
        for (const auto& entry : fs::directory_iterator("/proc")) {
            std::istringstream stat(ReadText(entry.path() / "stat"));
            std::string pid, name, state;
            pid_t ppid = 0;
            // The name is in parentheses and has no spaces for our programs.
            if (stat >> pid >> name >> state >> ppid && ppid == parent) return std::stoi(pid);
        }
        return -1;
    }
    static bool Ended(pid_t pid) {
        return kill(pid, 0) != 0 ||
               ReadText("/proc/" + std::to_string(pid) + "/stat").find(") Z ") != std::string::npos;
    }
    // Exit status, 128 + signal when killed, -1 when it did not end in time.
    int WaitForWindow() {
        int raw = 0;
        if (!WaitFor([&] { return waitpid(window, &raw, WNOHANG) == window; }, 15s)) return -1;
        window = -1;
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    }

    std::string scratch = [] {
        char path[] = "/tmp/nimbulo-signal-XXXXXX";
        return std::string(mkdtemp(path));
    }();
    pid_t window = -1;
    pid_t simulator = -1;
};

TEST_F(EndOnSignal, TermIntAndHupEndTheWindowWithStatusZeroAndTheSimulatorWithIt) {
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(strsignal(signal));
        StartDemo();
        kill(window, signal);
        EXPECT_EQ(WaitForWindow(), 0);
        EXPECT_TRUE(WaitFor([&] { return Ended(simulator); }, 10s));
    }
}

// The terminal the demo names on its output is open in the window's process.
TEST_F(EndOnSignal, TheDemoReadsItsSimulatorWithoutAPressOfReadWeatherData) {
    StartDemo();
    std::string device;
    ASSERT_TRUE(WaitFor(
        [&] {
            const std::string out = ReadText(scratch + "/nimbulo.out");
            const auto start = out.find("/dev/pts/");
            if (start == std::string::npos) return false;
            device = out.substr(start, out.find(')', start) - start);
            return true;
        },
        10s));
    const auto opened = [&] {
        std::error_code error;
        for (const auto& fd : fs::directory_iterator("/proc/" + std::to_string(window) + "/fd"))
            if (fs::read_symlink(fd.path(), error) == device) return true;
        return false;
    };
    EXPECT_TRUE(WaitFor(opened, 10s)) << device;
}

TEST_F(EndOnSignal, AKilledWindowTakesItsSimulatorWithIt) {
    StartDemo();
    kill(window, SIGKILL);
    EXPECT_EQ(WaitForWindow(), 128 + SIGKILL);
    EXPECT_TRUE(WaitFor([&] { return Ended(simulator); }, 10s));
}

}  // namespace
