// SPDX-License-Identifier: GPL-3.0-or-later
// nimbulo-sim and nimbulo-logger joined by a pseudo-terminal: live logging
// through the real serial port, as a station computer would run it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "ToolRunner.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// nimbulo-sim and nimbulo-logger, each in its process.
class SimToLogger : public ToolRunner {
  protected:
    // Starts the simulator on a new pseudo-terminal and returns its path.
    std::string StartSim(std::vector<std::string> args) {
        Start("sim", std::move(args));
        EXPECT_TRUE(WaitFor([&] { return Out("sim").find('\n') != std::string::npos; }, 10s))
            << Err("sim");
        return Out("sim").substr(0, Out("sim").find('\n'));
    }
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
    EXPECT_EQ(Err("logger"), "nimbulo-logger: reading COM1 (" + pty + ")\n");
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

TEST_F(SimToLogger, WithoutRetriesADeviceThatGoesAwayIsReportedOnceAndEndsTheLoggerWithThree) {
    std::string pty = StartSim({"--burst", "--count", "3", "--settle", "0.3", "--linger", "1"});
    Start("logger", {"--device", pty, "--no-retry"});
    EXPECT_EQ(Wait("sim", 20s), 0) << Err("sim");
    ASSERT_EQ(Wait("logger", 10s), 3) << Err("logger");
    EXPECT_EQ(Summary(Out("logger"), "records accepted"), 3);
    EXPECT_EQ(Err("logger"),
              "nimbulo-logger: reading COM1 (" + pty +
                  ")\n"
                  "nimbulo-logger: Application Error: WARNING:  WaitCommEvent() Failed with the "
                  "following error: \nInput/output error\nPort: 1\n");
}

}  // namespace
