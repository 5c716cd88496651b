// SPDX-License-Identifier: GPL-3.0-or-later
// nimbulo-logger on a device that comes and goes, as a USB adapter does: a
// symbolic link standing for its device name, re-pointed to a new
// pseudo-terminal at each replug. And devices that cannot be opened at all.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include "PtyPair.h"
#include "ReportsTestSupport.h"
#include "ToolRunner.h"

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

const std::string kLogger = NIMBULO_BINARY_DIR "/tools/logger/nimbulo-logger";
// Any report of a failed read or wait, whichever the loss met first.
const std::string kLossReport =
    "nimbulo-logger: Application Error: WARNING:  [^\n]* Failed with the following error: "
    "\n[^\n]*\nPort: 1\n";

class LoggerOnReplugs : public ToolRunner {
  protected:
    // A new terminal at the device's name.
    void Plug() {
        pty = std::make_unique<PtyPair>();
        ASSERT_TRUE(PointLinkAt(link, pty->slavePath));
    }
    long Count(const std::string& text) {
        const std::string err = Err("logger");
        long count = 0;
        for (auto at = err.find(text); at != std::string::npos; at = err.find(text, at + 1))
            ++count;
        return count;
    }
    bool WaitForLine(const std::string& text, long count) {
        return WaitFor([&] { return Count(text) >= count; }, 10s);
    }
    // Until segment k's last record is taken: its report carries its minute.
    bool WaitForSegment(int k) {
        const int minute = 596 + 10 * k + 9;
        char time[16];
        std::snprintf(time, sizeof time, "Time=%02d:%02d", minute / 60, minute % 60);
        return WaitFor(
            [&] {
                return reports_test::ReadFile(work + "/wxreportmixw.txt").find(time) !=
                       std::string::npos;
            },
            10s);
    }
    // Ten records a station minute apart from 09:56 + 10 k on 2026-04-10,
    // sent whole and kept for the replay; two five-minute points each.
    void SendSegment(int k) {
        for (int i = 0; i < 10; ++i) {
            reports_test::Record r;
            r.dayOfYear = 100;
            r.minuteOfDay = 596 + 10 * k + i;
            r.windSpeed = 40 + (17 * (10 * k + i)) % 90;
            r.direction = (37 * (10 * k + i)) % 360;
            r.tempOutdoor = 420 + 3 * (10 * k + i);
            const std::string line = r.Line() + "\r\n";
            ASSERT_TRUE(pty->Write(line));
            sent += line;
        }
    }

    std::string link = work + "/ttyUSB0";
    std::unique_ptr<PtyPair> pty;
    std::string sent;
};

// Started before the device exists; then four times plugged in, fed and
// pulled out, once in the middle of a record. What was sent while the device
// was there gives the same files as a replay of it.
TEST_F(LoggerOnReplugs, SurvivesTheDeviceGoingAndComingBackAndWritesWhatAReplayWould) {
    Start("logger", {"--device", link, "--year", "2026"});
    ASSERT_TRUE(WaitForLine("which cannot be opened", 1)) << Err("logger");
    for (int k = 0; k < 4; ++k) {
        if (k > 0) {
            Unplug(link, *pty);
            ASSERT_TRUE(WaitForLine("nimbulo-logger: lost COM1", k)) << Err("logger");
        }
        Plug();
        ASSERT_TRUE(WaitForLine("is back after", k + 1)) << Err("logger");
        SendSegment(k);
        ASSERT_TRUE(WaitFor([&] { return LogLines().size() == 1 + 2 * (k + 1u); }, 10s))
            << "segment " << k << "\n"
            << Err("logger");
        if (k == 1) {
            ASSERT_TRUE(pty->Write("!!0072001B02C2"));  // cut off by the loss
            std::this_thread::sleep_for(200ms);
        }
    }
    Signal("logger", SIGTERM);
    ASSERT_EQ(Wait("logger", 10s), 0) << Err("logger");
    EXPECT_EQ(Summary(Out("logger"), "records accepted"), 40);
    const std::string device = "COM1 \\(" + link + "\\)";
    EXPECT_TRUE(std::regex_match(
        Err("logger"),
        // Each change of the link first, then the report of its cause.
        std::regex("nimbulo-logger: waiting for " + device +
                   ", which cannot be opened\n"
                   "nimbulo-logger: Application Error: WARNING:  " +
                   device +
                   " cannot be opened: No such file or directory\nIs the adapter plugged in\\?\n"
                   "nimbulo-logger: " +
                   device + " is back after [0-9]+ s\n(nimbulo-logger: lost " + device +
                   " after [0-9]+ s; waiting for it to come back\n" + kLossReport +
                   "nimbulo-logger: " + device + " is back after [0-9]+ s\n){3}")))
        << Err("logger");

    const fs::path replay = work + "/replay";
    fs::create_directories(replay);
    std::ofstream(replay / "recording.txt", std::ios::binary) << sent;
    const std::string command = "cd '" + replay.string() + "' && '" + kLogger +
                                "' --replay recording.txt --year 2026 >/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const fs::path live = work;
    ASSERT_EQ(reports_test::Entries(live / "OutputData"),
              reports_test::Entries(replay / "OutputData"));
    EXPECT_EQ(reports_test::Entries(live / "OutputData"),
              std::vector<std::string>{"U2K202604100956.txt"});
    for (const fs::path& file : {fs::path("OutputData/U2K202604100956.txt"),
                                 fs::path("wxreportaprs.txt"), fs::path("wxreportmixw.txt")})
        EXPECT_EQ(reports_test::ReadFile(live / file), reports_test::ReadFile(replay / file))
            << file;
}

// One line when the records stop and one when they start again; none while
// the line stays quiet.
TEST_F(LoggerOnReplugs, SaysOnceWhenTheLinkFallsSilentAndOnceWhenRecordsComeAgain) {
    // Silent after 4 s: a loaded machine may stall the logger a second or two.
    Start("logger", {"--device", link, "--year", "2026", "--stale-after", "4"});
    ASSERT_TRUE(WaitForLine("which cannot be opened", 1)) << Err("logger");
    // Plugged in once it runs: a device that comes back is not purged, so no
    // record sent after this line is lost to a monitor thread starting late.
    Plug();
    ASSERT_TRUE(WaitForLine("is back after", 1)) << Err("logger");
    SendSegment(0);
    // The silence is waited for only once every record before it is taken.
    ASSERT_TRUE(WaitForSegment(0)) << Err("logger");
    ASSERT_TRUE(WaitForLine("no records from", 1)) << Err("logger");
    std::this_thread::sleep_for(5000ms);  // a silence longer than it, told once
    SendSegment(1);
    ASSERT_TRUE(WaitForLine("again after", 1)) << Err("logger");
    ASSERT_TRUE(WaitForSegment(1)) << Err("logger");
    Signal("logger", SIGTERM);
    ASSERT_EQ(Wait("logger", 10s), 0) << Err("logger");
    const std::string device = "COM1 \\(" + link + "\\)";
    EXPECT_TRUE(std::regex_match(
        Err("logger"),
        std::regex("nimbulo-logger: waiting for " + device +
                   ", which cannot be opened\n"
                   "nimbulo-logger: Application Error: WARNING:  " +
                   device +
                   " cannot be opened: No such file or directory\nIs the adapter plugged in\\?\n"
                   "nimbulo-logger: " +
                   device +
                   " is back after [0-9]+ s\n"
                   "nimbulo-logger: no records from " +
                   device +
                   " for 4 s \\(since [0-9]{2}:[0-9]{2}:[0-9]{2}\\)\n"
                   "nimbulo-logger: records from " +
                   device + " again after [0-9]+ s\n")))
        << Err("logger");
}

// A data log it may not write is reported live as in a replay of the same
// records: once per file and cause, counted in the summary, status 4.
TEST_F(LoggerOnReplugs, ReportsAFileItCannotWriteAsTheReplayDoesAndCountsTheFailedWrites) {
    std::ofstream(work + "/OutputData") << "a plain file";
    // Plugged in once it runs: a device that comes back is not purged.
    Start("logger", {"--device", link, "--year", "2026"});
    ASSERT_TRUE(WaitForLine("which cannot be opened", 1)) << Err("logger");
    Plug();
    ASSERT_TRUE(WaitForLine("is back after", 1)) << Err("logger");
    SendSegment(0);
    const fs::path replay = work + "/replay";
    fs::create_directories(replay);
    std::ofstream(replay / "recording.txt", std::ios::binary) << sent;
    std::ofstream(replay / "OutputData") << "a plain file";
    const std::string command = "cd '" + replay.string() + "' && '" + kLogger +
                                "' --replay recording.txt --year 2026 >summary 2>faults";
    ASSERT_EQ(WEXITSTATUS(std::system(command.c_str())), 4);
    // The last record's report tells that the logger has taken them all.
    const std::string report = reports_test::ReadFile(replay / "wxreportmixw.txt");
    ASSERT_TRUE(
        WaitFor([&] { return reports_test::ReadFile(work + "/wxreportmixw.txt") == report; }, 10s));
    Signal("logger", SIGTERM);
    ASSERT_EQ(Wait("logger", 10s), 4) << Err("logger");

    const std::string summary = reports_test::ReadFile(replay / "summary");
    EXPECT_GT(Summary(summary, "failed writes"), 0);
    EXPECT_EQ(Summary(Out("logger"), "failed writes"), Summary(summary, "failed writes"));
    EXPECT_EQ(Summary(Out("logger"), "records accepted"), 10);
    const std::string err = Err("logger");
    EXPECT_EQ(err.substr(err.find("nimbulo-logger: cannot write")),
              reports_test::ReadFile(replay / "faults"));
}

// A device that opens but is no serial line fails at once each time: one
// report and one loss, then quiet retries on the slow schedule.
TEST_F(LoggerOnReplugs, ADeviceThatIsNoSerialLineIsReportedOnceAndNotCalledBack) {
    for (const std::string device : {"/dev/null", "/dev/zero"}) {
        std::filesystem::remove(work + "/logger.err");
        Start("logger", {"--device", device});
        ASSERT_TRUE(WaitForLine("nimbulo-logger: lost COM1", 1)) << Err("logger");
        std::this_thread::sleep_for(3000ms);  // past the first early retry
        Signal("logger", SIGTERM);
        ASSERT_EQ(Wait("logger", 10s), 0) << Err("logger");
        EXPECT_EQ(Count("nimbulo-logger: lost COM1"), 1) << Err("logger");
        EXPECT_EQ(Count("is back"), 0) << Err("logger");
        EXPECT_EQ(Count("Application Error"), 2) << Err("logger");  // the set-up, the wait
    }
}

// Without retries the logger ends at once with status 3 and one message
// naming the device, the reason and what to do about it.
TEST_F(LoggerOnReplugs, ADeviceThatCannotBeOpenedIsOneMessageWithItsReasonAndHint) {
    Start("logger", {"--device", link, "--no-retry"});
    ASSERT_EQ(Wait("logger", 10s), 3);
    EXPECT_EQ(Err("logger"), "nimbulo-logger: Application Error: WARNING:  COM1 (" + link +
                                 ") cannot be opened: No such file or directory\n"
                                 "Is the adapter plugged in?\n");

    // Root opens whatever the mode says, so root tries it as nobody.
    const std::string locked = work + "/ttyLocked";
    std::ofstream(locked).put('x');
    chmod(locked.c_str(), 0600);
    chmod(work.c_str(), 0755);
    const bool root = geteuid() == 0;
    if (!root) chmod(locked.c_str(), 0);
    std::filesystem::remove(work + "/logger.err");
    Start("logger", {"--device", locked, "--no-retry"}, {}, root ? 65534 : uid_t(-1));
    ASSERT_EQ(Wait("logger", 10s), 3) << Err("logger");
    EXPECT_EQ(Err("logger"), "nimbulo-logger: Application Error: WARNING:  COM1 (" + locked +
                                 ") cannot be opened: Permission denied\n"
                                 "Add your user to the dialout group.\n");
}

}  // namespace
