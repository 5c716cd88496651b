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

using reports_test::ListDir;
using reports_test::ReadFile;
using reports_test::Record;
using reports_test::ScopedWorkDir;

namespace fs = std::filesystem;

namespace {

// --- the command line, in-process ---

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
    EXPECT_EQ(parsed.ok(), c.ok) << parsed.error;
    if (!c.ok) return;
    EXPECT_EQ(parsed.options.replayFile, c.replayFile);
    EXPECT_EQ(parsed.options.year.value_or(0), c.year);
    EXPECT_EQ(parsed.options.showHelp, c.help);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LoggerCommandLine,
    ::testing::Values(
        OptionsCase{"Replay", {"--replay", "rec.txt"}, true, "rec.txt", 0, false},
        OptionsCase{"ReplayWithEquals", {"--replay=rec.txt"}, true, "rec.txt", 0, false},
        OptionsCase{"ReplayAndYear", {"--year", "2002", "--replay", "a b.txt"}, true, "a b.txt",
                    2002, false},
        OptionsCase{"YearWithEquals", {"--replay", "r", "--year=1999"}, true, "r", 1999, false},
        OptionsCase{"Help", {"--help"}, true, "", 0, true},
        OptionsCase{"ShortHelp", {"-h"}, true, "", 0, true},
        OptionsCase{"Nothing", {}, false, "", 0, false},
        OptionsCase{"ReplayWithoutFile", {"--replay"}, false, "", 0, false},
        OptionsCase{"EmptyFile", {"--replay="}, false, "", 0, false},
        OptionsCase{"YearOnly", {"--year", "2002"}, false, "", 0, false},
        OptionsCase{"YearNotANumber", {"--replay", "r", "--year", "20x2"}, false, "", 0, false},
        OptionsCase{"YearZero", {"--replay", "r", "--year", "0"}, false, "", 0, false},
        OptionsCase{"YearTooLarge", {"--replay", "r", "--year", "10000"}, false, "", 0, false},
        OptionsCase{"YearNegative", {"--replay", "r", "--year", "-2002"}, false, "", 0, false},
        OptionsCase{"YearMissing", {"--replay", "r", "--year"}, false, "", 0, false},
        OptionsCase{"UnknownOption", {"--replay", "r", "--verbose"}, false, "", 0, false},
        OptionsCase{"StrayArgument", {"rec.txt"}, false, "", 0, false}),
    [](const auto& info) { return std::string(info.param.name); });

// --- the program itself ---

struct LoggerRun {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs nimbulo-logger in the current directory; its output is caught outside it.
LoggerRun RunLogger(const std::string& args) {
    const fs::path capture =
        fs::temp_directory_path() / ("nimbulo-logger-test-capture-" + std::to_string(getpid()));
    fs::create_directories(capture);
    const std::string command = std::string("'") + NIMBULO_LOGGER_PATH + "' " + args + " >'" +
                                (capture / "out").string() + "' 2>'" +
                                (capture / "err").string() + "' </dev/null";
    const int raw = std::system(command.c_str());
    LoggerRun run;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = ReadFile(capture / "out");
    run.err = ReadFile(capture / "err");
    fs::remove_all(capture);
    return run;
}

const fs::path kGolden = fs::path(NIMBULO_SOURCE_DIR) / "tests/data/multiday";

// Every regular file under dir, as paths relative to it.
std::vector<std::string> FilesUnder(const fs::path& dir) {
    std::vector<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        if (entry.is_regular_file()) files.push_back(fs::relative(entry.path(), dir).string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

TEST(NimbuloLogger, HelpPrintsTheUsageAndSucceeds) {
    ScopedWorkDir dir;
    const LoggerRun run = RunLogger("--help");
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("--replay FILE"), std::string::npos);
    EXPECT_NE(run.out.find("--year YYYY"), std::string::npos);
    EXPECT_TRUE(ListDir(".").empty());
}

struct UsageErrorCase {
    const char* name;
    const char* args;
    const char* message;
};

class NimbuloLoggerUsage : public ::testing::TestWithParam<UsageErrorCase> {};

TEST_P(NimbuloLoggerUsage, ExitsWithStatusTwoAndWritesNothing) {
    ScopedWorkDir dir;
    const LoggerRun run = RunLogger(GetParam().args);
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.out.empty());
    EXPECT_NE(run.err.find(GetParam().message), std::string::npos) << run.err;
    EXPECT_TRUE(ListDir(".").empty());
}

INSTANTIATE_TEST_SUITE_P(
    Errors, NimbuloLoggerUsage,
    ::testing::Values(
        UsageErrorCase{"NoArguments", "", "Usage:"},
        UsageErrorCase{"UnknownOption", "--replay x --colour", "unknown option '--colour'"},
        UsageErrorCase{"BadYear", "--replay x --year twenty", "--year"},
        UsageErrorCase{"MissingFile", "--replay no-such-recording.txt",
                       "cannot read 'no-such-recording.txt': No such file or directory"},
        UsageErrorCase{"DirectoryAsFile", "--replay /", "cannot read '/': Is a directory"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(NimbuloLogger, ReplaysTheMultiDayRecordingIntoTheExpectedFiles) {
    ScopedWorkDir dir;
    const LoggerRun run = RunLogger("--replay '" + (kGolden / "recording.txt").string() + "' --year 2002");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, ReadFile(kGolden / "summary.txt"));
    EXPECT_TRUE(run.err.empty());

    const fs::path expected = kGolden / "expected";
    ASSERT_EQ(FilesUnder("."), FilesUnder(expected));
    for (const std::string& file : FilesUnder(expected)) {
        EXPECT_EQ(ReadFile(file), ReadFile(expected / file)) << file;
    }
}

TEST(NimbuloLogger, YearOptionDatesTheWholeRecording) {
    ScopedWorkDir dir;
    const LoggerRun run = RunLogger("--replay '" + (kGolden / "recording.txt").string() + "' --year 2010");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ListDir("OutputData"),
              (std::vector<std::string>{"U2K201012302352.txt", "U2K201012310000.txt",
                                        "U2K201101010001.txt"}));
    EXPECT_NE(ReadFile("OutputData/U2K201101010001.txt").find("\r\n2011/01/01 00:05\t"),
              std::string::npos);
}

TEST(NimbuloLogger, ReplaysPastTheTestCommandsRecordLimit) {
    ScopedWorkDir dir;
    const fs::path recording =
        fs::temp_directory_path() / ("nimbulo-logger-test-long-" + std::to_string(getpid()));
    {
        std::ofstream out(recording, std::ios::binary);
        Record r;
        r.dayOfYear = 100;
        r.minuteOfDay = 601;  // one minute all along: no five-minute point
        const std::string line = r.Line() + "\r\n";
        for (int i = 0; i < 300005; ++i) out << line;
    }
    const LoggerRun run = RunLogger("--replay '" + recording.string() + "' --year 2002");
    fs::remove(recording);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "lines read: 300005\nrecords accepted: 300005\nlines rejected: 0\n"
              "five-minute points: 0\nlog files opened: 1\n");
}

}  // namespace
