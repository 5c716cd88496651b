// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ReportsTestSupport.h"

using namespace reports_test;
namespace fs = std::filesystem;

namespace {

struct LoggerRun {
    int status = -1;
    std::string out, err;
};

// Runs nimbulo-logger in the current directory; its output is caught outside it.
LoggerRun RunLogger(const std::string& args) {
    const fs::path capture =
        fs::temp_directory_path() / ("nimbulo-logger-" + std::to_string(getpid()));
    fs::create_directories(capture);
    const std::string command = std::string("'") + NIMBULO_LOGGER_PATH + "' " + args + " >'" +
                                (capture / "out").string() + "' 2>'" + (capture / "err").string() +
                                "' </dev/null";
    const int raw = std::system(command.c_str());
    LoggerRun run{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadFile(capture / "out"),
                  ReadFile(capture / "err")};
    fs::remove_all(capture);
    return run;
}

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
        RunCase{"StaleAfterZero", "--device d --stale-after 0", 2,
                "--stale-after needs a number of seconds from 1 to 9999"},
        RunCase{"StrayArgument", "rec.txt", 2, "unknown option 'rec.txt'"},
        RunCase{"MissingFile", "--replay no-such-recording.txt", 2,
                "cannot read 'no-such-recording.txt': No such file or directory"},
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
    ASSERT_EQ(Entries("."), Entries(golden / "expected"));
    for (const std::string& file : Entries(".")) {
        EXPECT_EQ(ReadFile(file), ReadFile(golden / "expected" / file)) << file;
    }
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
              "five-minute points: 0\nlog files opened: 1\n");
}

}  // namespace
