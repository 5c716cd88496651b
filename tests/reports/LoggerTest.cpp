#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "LoggerOptions.h"
#include "ReportsTestSupport.h"

using namespace reports_test;
namespace fs = std::filesystem;

namespace {

struct OptionsCase {
    const char* name;
    std::vector<std::string> args;
    bool ok;
    std::string replayFile;
    int year;  // 0: none
    bool help;
};

class LoggerCommandLine : public ::testing::TestWithParam<OptionsCase> {};

TEST_P(LoggerCommandLine, IsReadAsExpected) {
    const OptionsCase& c = GetParam();
    const ParsedOptions parsed = ParseLoggerOptions(c.args);
    ASSERT_EQ(parsed.ok(), c.ok) << parsed.error;
    if (!c.ok) return;
    EXPECT_EQ(parsed.options.replayFile, c.replayFile);
    EXPECT_EQ(parsed.options.year.value_or(0), c.year);
    EXPECT_EQ(parsed.options.showHelp, c.help);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LoggerCommandLine,
    ::testing::Values(
        OptionsCase{"ReplayAndYear", {"--year", "2002", "--replay", "a b.txt"}, true, "a b.txt",
                    2002, false},
        OptionsCase{"YearWithEquals", {"--replay", "r", "--year=1999"}, true, "r", 1999, false},
        OptionsCase{"Help", {"--help"}, true, "", 0, true},
        OptionsCase{"ReplayWithoutFile", {"--replay"}, false, "", 0, false},
        OptionsCase{"YearOnly", {"--year", "2002"}, false, "", 0, false},
        OptionsCase{"YearNotANumber", {"--replay", "r", "--year", "20x2"}, false, "", 0, false},
        OptionsCase{"YearZero", {"--replay", "r", "--year", "0"}, false, "", 0, false},
        OptionsCase{"YearTooLarge", {"--replay", "r", "--year", "10000"}, false, "", 0, false},
        OptionsCase{"UnknownOption", {"--replay", "r", "--verbose"}, false, "", 0, false},
        OptionsCase{"StrayArgument", {"rec.txt"}, false, "", 0, false}),
    [](const auto& info) { return std::string(info.param.name); });

struct LoggerRun {
    int status = -1;
    std::string out, err;
};

// Runs nimbulo-logger in the current directory; its output is caught outside it.
LoggerRun RunLogger(const std::string& args) {
    const fs::path capture = fs::temp_directory_path() / ("nimbulo-logger-" + std::to_string(getpid()));
    fs::create_directories(capture);
    const std::string command = std::string("'") + NIMBULO_LOGGER_PATH + "' " + args + " >'" +
                                (capture / "out").string() + "' 2>'" +
                                (capture / "err").string() + "' </dev/null";
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

TEST_P(NimbuloLogger, ExitsWithItsStatusAndWritesNoFile) {
    ScopedWorkDir dir;
    const LoggerRun run = RunLogger(GetParam().args);
    EXPECT_EQ(run.status, GetParam().status);
    const std::string& shown = GetParam().status == 0 ? run.out : run.err;
    EXPECT_NE(shown.find(GetParam().output), std::string::npos) << shown;
    EXPECT_TRUE(ListDir(".").empty());
}

INSTANTIATE_TEST_SUITE_P(
    Runs, NimbuloLogger,
    ::testing::Values(
        RunCase{"Help", "--help", 0, "--replay FILE"},
        RunCase{"NoArguments", "", 2, "Usage:"},
        RunCase{"MissingFile", "--replay no-such-recording.txt", 2,
                "cannot read 'no-such-recording.txt': No such file or directory"},
        RunCase{"DirectoryAsFile", "--replay /", 2, "cannot read '/': Is a directory"}),
    [](const auto& info) { return std::string(info.param.name); });

// Every regular file under dir, as paths relative to it.
std::vector<std::string> FilesUnder(const fs::path& dir) {
    std::vector<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        if (entry.is_regular_file()) files.push_back(fs::relative(entry.path(), dir).string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

TEST(NimbuloLoggerReplay, WritesTheMultiDayRecordingIntoTheHandCheckedFiles) {
    ScopedWorkDir dir;
    const fs::path golden = fs::path(NIMBULO_SOURCE_DIR) / "tests/data/multiday";
    const LoggerRun run = RunLogger("--replay '" + (golden / "recording.txt").string() + "' --year 2002");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, ReadFile(golden / "summary.txt"));
    EXPECT_TRUE(run.err.empty());
    ASSERT_EQ(FilesUnder("."), FilesUnder(golden / "expected"));
    for (const std::string& file : FilesUnder(".")) {
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
