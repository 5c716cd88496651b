// SPDX-License-Identifier: GPL-3.0-or-later
// nimbulo-sim and nimbulo-logger joined by a pseudo-terminal: live logging
// through the real serial port, as a station computer would run it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <sstream>
#include <thread>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    for (auto deadline = std::chrono::steady_clock::now() + limit; !done();
         std::this_thread::sleep_for(20ms))
        if (std::chrono::steady_clock::now() > deadline) return false;
    return true;
}

long Summary(const std::string& text, const std::string& name) {
    std::smatch m;
    return std::regex_search(text, m, std::regex(name + ": (\\d+)")) ? std::stol(m[1]) : -1;
}

// Runs "sim" and "logger" in a scratch directory, their output and error
// streams going to sim.out, sim.err, logger.out and logger.err there.
class SimToLogger : public ::testing::Test {
  protected:
    ~SimToLogger() override {
        for (auto [name, pid] : running) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        fs::remove_all(work);
    }
    void Start(const std::string& name, std::vector<std::string> args,
               std::vector<std::string> env = {}) {
        args.insert(args.begin(), NIMBULO_BINARY_DIR "/tools/" + name + "/nimbulo-" + name);
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
            for (auto& e : env) putenv(e.data());
            execv(argv[0], argv.data());
            _exit(127);
        }
        running[name] = pid;
    }
    // Starts the simulator on a new pseudo-terminal and returns its path.
    std::string StartSim(std::vector<std::string> args) {
        Start("sim", std::move(args));
        EXPECT_TRUE(WaitFor([&] { return Out("sim").find('\n') != std::string::npos; }, 10s))
            << Err("sim");
        return Out("sim").substr(0, Out("sim").find('\n'));
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
    // The lines of the one log file, none while there is none.
    std::vector<std::string> LogLines() {
        std::vector<std::string> lines;
        std::error_code ec;
        for (const auto& e : fs::directory_iterator(work + "/OutputData", ec)) {
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

TEST_F(SimToLogger, ASimulatedDayAtHighSpeedLosesNoRecordAndWrites288LogLines) {
    std::string pty =
        StartSim({"--burst", "--speed", "60", "--count", "1440", "--date", "2026-04-10", "--time",
                  "00:00", "--settle", "0.5", "--linger", "60"});
    Start("logger", {"--device", pty, "--year", "2026"});
    ASSERT_TRUE(WaitFor([&] { return Err("sim").find("records sent") != std::string::npos; }, 60s))
        << Err("sim");
    ASSERT_TRUE(WaitFor([&] { return LogLines().size() == 289; }, 30s))
        << LogLines().size() << Err("logger");
    Signal("logger", SIGTERM);
    ASSERT_EQ(Wait("logger", 10s), 0) << Err("logger");
    EXPECT_EQ(Wait("sim", 10s), 0) << Err("sim");  // it stops once the reader has gone

    EXPECT_NE(Err("sim").find("1440 records sent"), std::string::npos) << Err("sim");
    EXPECT_EQ(Summary(Out("logger"), "records accepted"), 1440) << Out("logger");
    EXPECT_EQ(Err("logger"), "");
    EXPECT_TRUE(fs::exists(work + "/OutputData/U2K202604100000.txt"));
    auto lines = LogLines();
    ASSERT_EQ(lines.size(), 289u);  // a header, then one line every five minutes
    for (int k = 0; k < 288; ++k) {
        char stamp[32];
        std::snprintf(stamp, sizeof stamp, "2026/04/10 %02d:%02d\t", k * 5 / 60, k * 5 % 60);
        EXPECT_TRUE(lines[k + 1].starts_with(stamp)) << lines[k + 1];
    }
}

// Each record moves the station clock five minutes, so each is a log line.
TEST_F(SimToLogger,
       ThePortOptionReadsTheDeviceSetForThatComNumberAndAnInterruptLeavesEveryLineOnDisk) {
    std::string pty = StartSim({"--interval", "0.25", "--speed", "1200", "--date", "2026-06-01",
                                "--time", "08:00", "--settle", "0.3"});
    fs::create_directories(work + "/config/Quillfen");
    std::ofstream(work + "/config/Quillfen/nimbulo.conf") << "[Ports]\nCOM2=" << pty << "\n";
    Start("logger", {"--port", "2", "--year", "2026"}, {"XDG_CONFIG_HOME=" + work + "/config"});
    ASSERT_TRUE(WaitFor([&] { return LogLines().size() >= 5; }, 20s)) << Err("logger");
    Signal("logger", SIGINT);
    ASSERT_EQ(Wait("logger", 5s), 0) << Err("logger");
    long accepted = Summary(Out("logger"), "records accepted");
    EXPECT_GE(accepted, 4);
    EXPECT_EQ(static_cast<long>(LogLines().size()), accepted + 1);
}

TEST_F(SimToLogger, ADeviceThatGoesAwayIsReportedOnceAndEndsTheLoggerWithStatusThree) {
    std::string pty = StartSim({"--burst", "--count", "3", "--settle", "0.3", "--linger", "1"});
    Start("logger", {"--device", pty});
    EXPECT_EQ(Wait("sim", 20s), 0) << Err("sim");
    ASSERT_EQ(Wait("logger", 10s), 3) << Err("logger");
    EXPECT_EQ(Summary(Out("logger"), "records accepted"), 3);
    EXPECT_EQ(Err("logger"),
              "nimbulo-logger: Application Error: WARNING:  WaitCommEvent() Failed with the "
              "following error: \nInput/output error\nPort: 1\n");
}

}  // namespace
