// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "LoggerRun.h"
#include "ReportsTestSupport.h"

using namespace reports_test;
namespace fs = std::filesystem;

namespace {

struct RunCase {
    const char* name;
    const char* args;
    int status;
    const char* output;  // expected in stdout for status 0, else in stderr
};

class NimbuloLogger : public ::testing::TestWithParam<RunCase> {};

TEST_P(NimbuloLogger, ExitsWithItsStatusSaysWhyAndWritesNoFile) {
    ScopedWorkDir dir;
    const LoggerRun run = RunLogger(GetParam().args);
    EXPECT_EQ(run.status, GetParam().status);
    const std::string& shown = GetParam().status == 0 ? run.out : run.err;
    EXPECT_NE(shown.find(GetParam().output), std::string::npos) << shown;
    EXPECT_TRUE(Entries(".").empty());
}

INSTANTIATE_TEST_SUITE_P(
    Runs, NimbuloLogger,
    ::testing::Values(
        RunCase{"Help", "--help", 0, "--replay FILE [--year YYYY]"},
        RunCase{"NoArguments", "", 2, "nothing to do"},
        RunCase{"YearWithoutReplay", "--year 2002", 2, "nothing to do"},
        RunCase{"ReplayWithoutFile", "--replay", 2, "--replay needs a FILE"},
        RunCase{"YearNotANumber", "--replay r --year 20x2", 2,
                "--year needs a year from 1 to 9999"},
        RunCase{"YearZero", "--replay r --year 0", 2, "--year needs a year"},
        RunCase{"YearTooLarge", "--replay r --year 10000", 2, "--year needs a year"},
        RunCase{"UnknownOption", "--replay r --verbose", 2, "unknown option '--verbose'"},
        RunCase{"PortOutsideOneToFour", "--port 5", 2, "--port needs a COM number from 1 to 4"},
        RunCase{"StaleAfterZero", "--device d --stale-after 0", 2,
                "--stale-after needs a number of seconds from 1 to 9999"},
        RunCase{"StrayArgument", "rec.txt", 2, "unknown option 'rec.txt'"},
        RunCase{"MissingFile", "--replay no-such-recording.txt", 2,
                "cannot read 'no-such-recording.txt': No such file or directory"},
        RunCase{"RainGaugeInCentimetres", "--replay r --rain-gauge cm", 2,
                "--rain-gauge needs mm or in"},
        RunCase{"DirectoryAsFile", "--replay /", 2, "cannot read '/': Is a directory"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(NimbuloLoggerReplay, WritesTheMultiDayRecordingIntoTheHandCheckedFiles) {
    ScopedWorkDir dir;
    const fs::path golden = fs::path(NIMBULO_SOURCE_DIR) / "tests/data/multiday";
    const LoggerRun run =
        RunLogger("--replay '" + (golden / "recording.txt").string() + "' --year 2002");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, ReadFile(golden / "summary.txt"));
    EXPECT_TRUE(run.err.empty());
    // The archive beside them is checked against these files in tests/archive,
    // the climate summaries the midnights wrote in tests/climate.
    std::vector<std::string> written = Entries(".");
    std::erase(written, "nimbulo.db");
    std::erase_if(written, [](const std::string& file) { return file.starts_with("NOAA"); });
    ASSERT_EQ(written, Entries(golden / "expected"));
    for (const std::string& file : written) {
        EXPECT_EQ(ReadFile(file), ReadFile(golden / "expected" / file)) << file;
    }
}

// 127 counts of today's rain: 12.7 mm = 0.50 in from a gauge that counts
// 0.1 mm, 1.27 in from one that counts 0.01 in; the files keep inches.
TEST(NimbuloLoggerReplay, AMillimetreRainGaugeCountsTenthsOfAMillimetre) {
    const std::tuple<const char*, const char*, const char*> runs[] = {
        {" --rain-gauge mm", "0.50", "P050"},
        {"", "1.27", "P127"},
        {" --rain-gauge=in", "1.27", "P127"}};
    for (const auto& [option, logRain, aprsRain] : runs) {
        SCOPED_TRACE(option);
        ScopedWorkDir dir;
        Record r;
        r.minuteOfDay = 600;
        r.rainToday = 127;
        WriteFile("recording.txt", r.Line() + "\r\n");
        const LoggerRun run = RunLogger(std::string("--replay recording.txt --year 2002") + option);
        ASSERT_EQ(run.status, 0) << run.err;
        const std::string log = ReadFile("OutputData/U2K200212051000.txt");
        const std::string line = "2002/12/05 10:00\t5.6\t 8\t45.3\t68.2\t29.92\t87.0\t41.5\t";
        EXPECT_NE(log.find("\r\n" + line + logRain + "\r\n"), std::string::npos) << log;
        const std::string aprs = ReadFile("wxreportaprs.txt");
        EXPECT_NE(aprs.find(std::string("180/006g006t045r...p...") + aprsRain + "h87b10132"),
                  std::string::npos)
            << aprs;
    }
}

// Worked out from the recording's README: three logs (set-up, midnight,
// missed midnight), each tried at its opening and at every point of its day
// (2 + 4 + 3 attempts), each reported once. The reports do not suffer.
TEST(NimbuloLoggerReplay, IntoAnUnwritableOutputDataSaysSoOncePerFileAndFails) {
    ScopedWorkDir dir;
    WriteFile("OutputData", "a plain file");
    const fs::path golden = fs::path(NIMBULO_SOURCE_DIR) / "tests/data/multiday";
    const LoggerRun run =
        RunLogger("--replay '" + (golden / "recording.txt").string() + "' --year 2002");
    EXPECT_EQ(run.status, 4);
    std::string summary = ReadFile(golden / "summary.txt");
    const std::string counts = "opened: 3\nfailed writes: 0";
    summary.replace(summary.find(counts), counts.size(), "opened: 0\nfailed writes: 9");
    EXPECT_EQ(run.out, summary);
    std::string expectedErr;
    for (const char* log : {"U2K200212302352", "U2K200212310000", "U2K200301010001"}) {
        expectedErr += "nimbulo-logger: cannot write 'OutputData/" + std::string(log) +
                       ".txt': Not a directory\n";
    }
    EXPECT_EQ(run.err, expectedErr);
    EXPECT_EQ(ReadFile("wxreportmixw.txt"), ReadFile(golden / "expected/wxreportmixw.txt"));
}

// A FIFO has one writer's data to give: the replay must open it only once.
TEST(NimbuloLoggerReplay, ReadsAFifoToItsEnd) {
    ScopedWorkDir dir;
    std::signal(SIGPIPE,
                SIG_IGN);  // a probe that closes the FIFO again must fail the test, not kill it
    ASSERT_EQ(::mkfifo("fifo", 0600), 0);
    LoggerRun run;
    std::thread logger([&] { run = RunLogger("--replay fifo --year 2002"); });
    {
        std::ofstream fifo("fifo", std::ios::binary);  // waits for the logger's open
        for (int minute = 0; minute < 10; ++minute) fifo << Record{1, minute}.Line() << "\r\n";
    }
    logger.join();
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.substr(0, 14), "lines read: 10");
}

TEST(NimbuloLoggerReplay, HasNoRecordLimit) {
    ScopedWorkDir dir;
    Record r;
    r.minuteOfDay = 601;  // one minute all along: no five-minute point
    std::ofstream recording("recording.txt", std::ios::binary);
    for (int i = 0; i < 300005; ++i) recording << r.Line() << "\r\n";
    recording.close();
    const LoggerRun run = RunLogger("--replay recording.txt --year 2002");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "lines read: 300005\nrecords accepted: 300005\nlines rejected: 0\n"
              "five-minute points: 0\nlog files opened: 1\nfailed writes: 0\n");
}

}  // namespace
