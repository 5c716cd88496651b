// SPDX-License-Identifier: GPL-3.0-or-later
// Files that cannot be written, disks that fill, and readers of the reports.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <atomic>
#include <csignal>
#include <fstream>
#include <functional>
#include <regex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "FileFaultReporter.h"
#include "ReportsTestSupport.h"
#include "StationPipeline.h"

using namespace reports_test;
namespace fs = std::filesystem;

namespace {

constexpr int kDec5 = 339;
const std::string kFirstLog = "OutputData/U2K200212050000.txt";

struct RecordingReporter : FileFaultReporter {
    void Report(const std::string& file, const std::string& cause) override {
        events.push_back(file + ": " + cause);
    }
    void Recovered(const std::string& file) override { events.push_back(file + " again"); }
    std::vector<std::string> events;
};

// A way to make the data log's file unwritable: set up returns false where
// the machine does not allow it; cure gives the room back, end cleans up.
struct Fault {
    const char* name;
    std::function<bool()> setUp;
    std::function<void()> cure, end;
    std::string cause;
};

bool MountTmpfs(unsigned long flags, const char* options) {
    fs::create_directory("OutputData");
    return ::mount("tmpfs", "OutputData", "tmpfs", flags, options) == 0;
}
void Unmount() {
    ::umount2("OutputData", MNT_DETACH);  // the log may still be open in it
}
// A file-size limit stops a write that crosses it part-way, as a full disk does.
void LimitFileSize(rlim_t bytes) {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

class PipelineFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        pipeline.options().saveData = 1;
        pipeline.SetFileFaultReporter(&reporter);
    }
    static std::string Time(int m) {
        char text[16];
        std::snprintf(text, sizeof text, "%02d:%02d", m / 60, m % 60);
        return text;
    }
    // Feeds the point at station minute m; returns its log line.
    std::string Point(int m) {
        pipeline.ProcessLine(Record{kDec5, m}.Line().c_str());
        return "2002/12/05 " + Time(m) + "\t5.6\t 8\t45.3\t68.2\t29.92\t87.0\t41.5\t0.12\r\n";
    }

    ScopedWorkDir dir;
    FakeStation view;
    RecordingReporter reporter;
    StationPipeline pipeline{view, view, [] {
                                 CalendarDate today;
                                 today.FromDate(7, 15, 2002);
                                 return today;
                             }};
    const std::string header = std::string(kDataLogHeader) + "\r\n";
};

class FaultyLog : public PipelineFiles, public ::testing::WithParamInterface<Fault> {
  protected:
    void SetUp() override {
        if (!GetParam().setUp()) GTEST_SKIP() << "cannot set up " << GetParam().name;
        PipelineFiles::SetUp();
    }
    void TearDown() override { GetParam().end(); }
};

// The fault is reported once while it lasts, the reports go on, the log is
// tried at every point and comes back whole.
TEST_P(FaultyLog, IsReportedOnceAndWrittenAgainOnceCured) {
    std::string expected = header;
    int m = 0;
    for (; reporter.events.empty() && m < 1440; m += 5) {
        const std::string line = Point(m);
        if (reporter.events.empty()) expected += line;
    }
    ASSERT_EQ(reporter.events, std::vector<std::string>{kFirstLog + ": " + GetParam().cause});
    Point(m);
    EXPECT_EQ(reporter.events.size(), 1u);
    EXPECT_EQ(ReadFile("wxreportmixw.txt").substr(0, 22), "[wxreport]\r\nTime=" + Time(m));
    GetParam().cure();
    if (expected == header) expected = "";  // not even the header went in
    expected += (expected.empty() ? header : "") + Point(m + 5);
    EXPECT_EQ(ReadFile(kFirstLog), expected);
    EXPECT_EQ(reporter.events.back(), kFirstLog + " again");
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Faults, FaultyLog, ::testing::Values(
    Fault{"OutputDataIsAPlainFile", [] { return WriteFile("OutputData", "x"), true; },
          [] { fs::remove("OutputData"); }, [] {}, "Not a directory"},
    Fault{"OutputDataReadOnly", [] { return MountTmpfs(MS_RDONLY, "size=16k"); }, Unmount, Unmount,
          "Read-only file system"},
    // The log's line stops part-way: it is cut off again, and the next line
    // after the cure starts on a line of its own.
    Fault{"FileSizeLimitMidLine", [] { return LimitFileSize(4096), true; },
          [] { LimitFileSize(RLIM_INFINITY); }, [] { LimitFileSize(RLIM_INFINITY); },
          "File too large"},
    // 64 KiB, of which a filler takes all but the log's first page.
    Fault{"DiskFullMidLine", [] {
              return MountTmpfs(0, "size=64k") &&
                     (std::ofstream("OutputData/filler") << std::string(15 * 4096, 'x')).good();
          }, [] { fs::remove("OutputData/filler"); }, Unmount, "No space left on device"}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST_F(PipelineFiles, ASymlinkInAReportsPlaceIsReplacedNotWrittenThrough) {
    WriteFile("elsewhere.txt", "keep");
    fs::create_symlink("elsewhere.txt", "wxreportaprs.txt");
    fs::create_symlink("elsewhere.txt", ".wxreportmixw.txt.tmp");  // where the temporary goes
    Point(0);
    EXPECT_EQ(ReadFile("elsewhere.txt"), "keep");
    EXPECT_EQ(ReadFile("wxreportaprs.txt").substr(0, 52), (Record{kDec5, 0}.Line() + "\r\n"));
    EXPECT_EQ(Entries("."), (std::vector<std::string>{"OutputData", kFirstLog, "elsewhere.txt",
                                                      "wxreportaprs.txt", "wxreportmixw.txt"}));
}

// A replay holds report versions back and writes the one still waiting when
// it ends; so is one that failed, here the last: the reports are up to date.
TEST_F(PipelineFiles, AReportThatFailedDuringAReplayIsWrittenWhenTheReplayEnds) {
    ASSERT_EQ(::mkfifo("fifo", 0600), 0);
    fs::create_directory("wxreportaprs.txt");  // cannot be replaced
    std::thread replay([&] { pipeline.ReplayFile("fifo"); });
    {
        std::ofstream fifo("fifo", std::ios::binary);  // waits for the replay's open
        fifo << Record{kDec5, 0}.Line() << "\r\n" << std::flush;
        // The data log comes after the reports: with its line there, the report has failed.
        for (int i = 0; i < 1000 && ReadFile(kFirstLog).find("00:00\t") == std::string::npos; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        fs::remove("wxreportaprs.txt");
    }
    replay.join();
    EXPECT_EQ(ReadFile("wxreportaprs.txt").substr(0, 52), (Record{kDec5, 0}.Line() + "\r\n"));
    ASSERT_EQ(reporter.events.size(), 2u);
    EXPECT_EQ(reporter.events[1], "wxreportaprs.txt again");
}

// Readings that change the width of the values, so a reader catching a
// report half-replaced would see a line too many, too few or torn.
TEST_F(PipelineFiles, AReaderOfTheReportsDuringALongReplaySeesOnlyWholeVersions) {
    std::ofstream recording("recording.txt", std::ios::binary);
    for (int i = 0; i < 50000; ++i) {
        Record r{1 + i / 1440 % 365, i % 1440};
        r.tempOutdoor = i % 10 < 5 ? 5 : -1005;
        r.direction = i * 37 % 256;
        recording << r.Line() << "\r\n";
    }
    recording.close();
    std::atomic<bool> done = false;
    std::thread replay([&] {
        pipeline.ReplayFile("recording.txt");
        done = true;
    });
    const std::regex aprs(
        R"(!![0-9A-F]{48}\r\n\d{3}/\d{3}g\d{3}t(\d{3}|-\d\d)r\.{3}p\.{3}P\d{3}h\d\db\d{5}sU2k\r\n)");
    const std::regex mixw(
        R"(\[wxreport\]\r\nTime=\d\d:\d\d \r\nTempOutdoor=-?\d+\r\nHumidityOutdoor=\d+\r\n)"
        R"(WindSpeedAvg=\d+\r\nWindDirAvg=[NESW]{1,3}\r\n)");
    std::set<std::string> versions;
    std::string torn;
    while (!done) {
        for (const auto& [file, pattern] :
             {std::pair{"wxreportaprs.txt", &aprs}, {"wxreportmixw.txt", &mixw}}) {
            if (!fs::exists(file)) continue;  // before the first point
            const std::string text = ReadFile(file);
            if (!std::regex_match(text, *pattern)) torn = text;
            versions.insert(text);
        }
    }
    replay.join();
    EXPECT_EQ(torn, "");
    EXPECT_GE(versions.size(), 3u);
}

}  // namespace
