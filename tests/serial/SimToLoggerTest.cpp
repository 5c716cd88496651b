// nimbulo-sim and nimbulo-logger joined by a pseudo-terminal: live logging
// through the real serial port, as a station computer would run it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <regex>

#include "ChildProcess.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    for (auto deadline = std::chrono::steady_clock::now() + limit; !done(); std::this_thread::sleep_for(20ms))
        if (std::chrono::steady_clock::now() > deadline) return false;
    return true;
}

long Summary(const std::string& text, const std::string& name) {
    std::smatch m;
    return std::regex_search(text, m, std::regex(name + ": (\\d+)")) ? std::stol(m[1]) : -1;
}

class SimToLogger : public ::testing::Test {
protected:
    ~SimToLogger() override {
        sim.reset();
        logger.reset();
        fs::remove_all(work);
    }
    // Starts the simulator on a new pseudo-terminal and returns its path.
    std::string StartSim(std::vector<std::string> args) {
        args.insert(args.begin(), NIMBULO_BINARY_DIR "/tools/sim/nimbulo-sim");
        sim = std::make_unique<ChildProcess>(args, work, "sim");
        EXPECT_TRUE(WaitFor([&] { return sim->out().find('\n') != std::string::npos; }, 10s)) << sim->err();
        return sim->out().substr(0, sim->out().find('\n'));
    }
    void StartLogger(std::vector<std::string> args, const std::vector<std::string>& env = {}) {
        args.insert(args.begin(), NIMBULO_BINARY_DIR "/tools/logger/nimbulo-logger");
        logger = std::make_unique<ChildProcess>(args, work, "logger", env);
    }
    // The lines of the one log file, empty while there is none.
    std::vector<std::string> LogLines(std::string* fileName = nullptr) {
        std::vector<std::string> lines;
        std::error_code ec;
        for (const auto& e : fs::directory_iterator(work + "/OutputData", ec)) {
            if (fileName != nullptr) *fileName = e.path().filename();
            std::ifstream in(e.path());
            for (std::string line; std::getline(in, line);) lines.push_back(line);
        }
        return lines;
    }

    std::string work = [] { char p[] = "/tmp/nimbulo-live-XXXXXX"; return std::string(mkdtemp(p)); }();
    std::unique_ptr<ChildProcess> sim, logger;
};

TEST_F(SimToLogger, ASimulatedDayAtHighSpeedLosesNoRecordAndWrites288LogLines) {
    std::string pty = StartSim({"--burst", "--speed", "60", "--count", "1440", "--date", "2026-04-10", "--time",
                                "00:00", "--settle", "0.5", "--linger", "60"});
    StartLogger({"--device", pty, "--year", "2026"});
    ASSERT_TRUE(WaitFor([&] { return sim->err().find("records sent") != std::string::npos; }, 60s)) << sim->err();
    ASSERT_TRUE(WaitFor([&] { return LogLines().size() == 289; }, 30s)) << LogLines().size() << logger->err();
    logger->Signal(SIGTERM);
    ASSERT_EQ(logger->Wait(10s), 0) << logger->err();
    EXPECT_EQ(sim->Wait(10s), 0) << sim->err();  // it stops once the reader has gone

    EXPECT_NE(sim->err().find("1440 records sent"), std::string::npos) << sim->err();
    EXPECT_EQ(Summary(logger->out(), "records accepted"), 1440) << logger->out();
    EXPECT_EQ(Summary(logger->out(), "five-minute points"), 288);
    EXPECT_EQ(logger->err(), "");
    std::string fileName;
    auto lines = LogLines(&fileName);
    EXPECT_EQ(fileName, "U2K202604100000.txt");
    ASSERT_EQ(lines.size(), 289u);  // a header, then one line every five minutes
    for (int k = 0; k < 288; ++k) {
        char stamp[32];
        std::snprintf(stamp, sizeof stamp, "2026/04/10 %02d:%02d\t", k * 5 / 60, k * 5 % 60);
        EXPECT_TRUE(lines[k + 1].starts_with(stamp)) << lines[k + 1];
    }
}

// Each record moves the station clock five minutes, so each is a log line.
TEST_F(SimToLogger, AnInterruptedLoggerStopsCleanlyWithEveryLineOnDisk) {
    std::string pty = StartSim({"--interval", "0.25", "--speed", "1200", "--date", "2026-06-01", "--time", "08:00",
                                "--settle", "0.3", "--linger", "30"});
    StartLogger({"--device", pty, "--year", "2026"});
    ASSERT_TRUE(WaitFor([&] { return LogLines().size() >= 5; }, 20s)) << logger->err();
    logger->Signal(SIGINT);
    ASSERT_EQ(logger->Wait(5s), 0) << logger->err();
    long accepted = Summary(logger->out(), "records accepted");
    EXPECT_GE(accepted, 4);
    EXPECT_EQ(static_cast<long>(LogLines().size()), accepted + 1);
}

TEST_F(SimToLogger, ThePortOptionOpensTheDeviceSetForThatComNumber) {
    std::string pty = StartSim({"--interval", "0.1", "--baud", "0", "--speed", "60", "--settle", "0.3", "--linger", "30"});
    fs::create_directories(work + "/config/Quillfen");
    std::ofstream(work + "/config/Quillfen/nimbulo.conf") << "[Ports]\nCOM2=" << pty << "\n";
    StartLogger({"--port", "2"}, {"XDG_CONFIG_HOME=" + work + "/config"});
    ASSERT_TRUE(WaitFor([&] { return !LogLines().empty(); }, 20s)) << logger->err();
    logger->Signal(SIGTERM);
    ASSERT_EQ(logger->Wait(5s), 0) << logger->err();
    EXPECT_GE(Summary(logger->out(), "records accepted"), 1);
}

TEST_F(SimToLogger, ADeviceThatGoesAwayIsReportedOnceAndEndsTheLoggerWithStatusThree) {
    std::string pty = StartSim({"--burst", "--count", "3", "--settle", "0.3", "--linger", "1"});
    StartLogger({"--device", pty});
    EXPECT_EQ(sim->Wait(20s), 0) << sim->err();
    ASSERT_EQ(logger->Wait(10s), 3) << logger->err();
    EXPECT_EQ(Summary(logger->out(), "records accepted"), 3);
    EXPECT_EQ(logger->err(), "nimbulo-logger: Application Error: WARNING:  WaitCommEvent() Failed with the "
                             "following error: \nInput/output error\nPort: 1\n");
}

TEST_F(SimToLogger, ADeviceThatCannotBeOpenedEndsTheLoggerWithStatusThree) {
    StartLogger({"--device", work + "/no-such-tty"});
    ASSERT_EQ(logger->Wait(10s), 3);
    EXPECT_NE(logger->err().find("No such file or directory"), std::string::npos) << logger->err();
}

}  // namespace
