// nimbulo-sim and nimbulo-logger joined by a pseudo-terminal: live logging
// through the real serial port, as a station computer would run it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>

#include "ChildProcess.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const std::string kSim = NIMBULO_BINARY_DIR "/tools/sim/nimbulo-sim";
const std::string kLogger = NIMBULO_BINARY_DIR "/tools/logger/nimbulo-logger";

class TempDir {
public:
    TempDir() {
        char pattern[] = "/tmp/nimbulo-live-XXXXXX";
        path_ = mkdtemp(pattern);
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

std::vector<std::string> ReadLines(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::vector<fs::path> LogFiles(const std::string& dir) {
    std::vector<fs::path> files;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(fs::path(dir) / "OutputData", ec)) files.push_back(e.path());
    std::sort(files.begin(), files.end());
    return files;
}

size_t LineCount(const std::string& dir) {
    auto files = LogFiles(dir);
    return files.size() == 1 ? ReadLines(files[0]).size() : 0;
}

bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

long Summary(const std::string& text, const std::string& name) {
    std::smatch m;
    if (!std::regex_search(text, m, std::regex(name + ": (\\d+)"))) return -1;
    return std::stol(m[1]);
}

class SimToLogger : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(fs::exists(kSim)) << kSim;
        ASSERT_TRUE(fs::exists(kLogger)) << kLogger;
    }
    // Starts the simulator on a new pseudo-terminal and returns its path.
    std::string StartSim(std::vector<std::string> args) {
        args.insert(args.begin(), kSim);
        sim = std::make_unique<ChildProcess>(args, work.path());
        std::string path;
        EXPECT_TRUE(sim->FirstOutputLine(path, 10s)) << sim->err();
        return path;
    }
    void StartLogger(std::vector<std::string> args, const std::vector<std::string>& env = {}) {
        args.insert(args.begin(), kLogger);
        logger = std::make_unique<ChildProcess>(args, work.path(), env);
    }

    TempDir work;
    std::unique_ptr<ChildProcess> sim;
    std::unique_ptr<ChildProcess> logger;
};

TEST_F(SimToLogger, ASimulatedDayAtHighSpeedLosesNoRecordAndWrites288LogLines) {
    std::string pty = StartSim({"--burst", "--speed", "60", "--count", "1440", "--date",
                                "2026-04-10", "--time", "00:00", "--settle", "0.5", "--linger",
                                "60"});
    ASSERT_FALSE(pty.empty());
    StartLogger({"--device", pty, "--year", "2026"});
    ASSERT_TRUE(sim->WaitForError("records sent", 60s)) << sim->err() << logger->err();
    ASSERT_TRUE(WaitFor([&] { return LineCount(work.path()) == 289; }, 30s))
        << LineCount(work.path()) << " log lines; " << logger->err();
    logger->Signal(SIGTERM);
    ASSERT_EQ(logger->Wait(10s), 0) << logger->err();
    EXPECT_EQ(sim->Wait(10s), 0) << sim->err();  // it stops once the reader has gone

    EXPECT_NE(sim->err().find("1440 records sent"), std::string::npos) << sim->err();
    EXPECT_EQ(Summary(logger->out(), "records accepted"), 1440) << logger->out();
    EXPECT_EQ(Summary(logger->out(), "five-minute points"), 288);
    EXPECT_EQ(logger->err(), "");

    auto files = LogFiles(work.path());
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].filename(), "U2K202604100000.txt");
    auto lines = ReadLines(files[0]);
    ASSERT_EQ(lines.size(), 289u);
    for (int k = 0; k < 288; ++k) {
        char stamp[32];
        std::snprintf(stamp, sizeof stamp, "2026/04/10 %02d:%02d\t", k * 5 / 60, k * 5 % 60);
        EXPECT_EQ(lines[k + 1].rfind(stamp, 0), 0u) << lines[k + 1];
    }
}

TEST_F(SimToLogger, InterruptingTheLoggerStopsItCleanlyWithEveryLineOnDisk) {
    // Each record moves the station clock five minutes, so each is a log line.
    std::string pty = StartSim({"--interval", "0.25", "--speed", "1200", "--date", "2026-06-01",
                                "--time", "08:00", "--settle", "0.3", "--linger", "30"});
    ASSERT_FALSE(pty.empty());
    StartLogger({"--device", pty, "--year", "2026"});
    ASSERT_TRUE(WaitFor([&] { return LineCount(work.path()) >= 5; }, 20s)) << logger->err();
    logger->Signal(SIGINT);
    ASSERT_EQ(logger->Wait(5s), 0) << logger->err();
    long accepted = Summary(logger->out(), "records accepted");
    EXPECT_GE(accepted, 4);
    EXPECT_EQ(static_cast<long>(LineCount(work.path())), accepted + 1);  // header + one per record
    sim->Signal(SIGTERM);
    sim->Wait(5s);
}

TEST_F(SimToLogger, ThePortOptionOpensTheDeviceSetForThatComNumber) {
    std::string pty = StartSim({"--interval", "0.1", "--baud", "0", "--speed", "60",
                                "--settle", "0.3", "--linger", "30"});
    ASSERT_FALSE(pty.empty());
    fs::create_directories(fs::path(work.path()) / "config/Quillfen");
    std::ofstream(fs::path(work.path()) / "config/Quillfen/nimbulo.conf")
        << "[Ports]\nCOM2=" << pty << "\n";
    StartLogger({"--port", "2"}, {"XDG_CONFIG_HOME=" + work.path() + "/config"});
    ASSERT_TRUE(WaitFor([&] { return LineCount(work.path()) >= 1; }, 20s)) << logger->err();
    logger->Signal(SIGTERM);
    ASSERT_EQ(logger->Wait(5s), 0) << logger->err();
    EXPECT_GE(Summary(logger->out(), "records accepted"), 1);
    sim->Signal(SIGTERM);
    sim->Wait(5s);
}

TEST_F(SimToLogger, TheLoggerReportsADeviceThatGoesAwayOnceAndEndsWithStatusThree) {
    std::string pty = StartSim({"--burst", "--count", "3", "--settle", "0.3", "--linger", "1"});
    ASSERT_FALSE(pty.empty());
    StartLogger({"--device", pty});
    EXPECT_EQ(sim->Wait(20s), 0) << sim->err();
    ASSERT_EQ(logger->Wait(10s), 3) << logger->err();
    EXPECT_EQ(Summary(logger->out(), "records accepted"), 3);
    const std::string& err = logger->err();
    EXPECT_EQ(err,
              "nimbulo-logger: Application Error: WARNING:  WaitCommEvent() Failed with the "
              "following error: \nInput/output error\nPort: 1\n");
}

TEST_F(SimToLogger, TheLoggerRefusesADeviceThatCannotBeOpened) {
    StartLogger({"--device", work.path() + "/no-such-tty"});
    ASSERT_EQ(logger->Wait(10s), 3);
    EXPECT_NE(logger->err().find("No such file or directory"), std::string::npos) << logger->err();
}

}  // namespace
