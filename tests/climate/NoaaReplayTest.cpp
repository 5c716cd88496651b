// SPDX-License-Identifier: GPL-3.0-or-later
// nimbulo-logger replays recordings across station midnights: NOAA/ gets the
// month and year of each day that ended, replaced whole, with the figures
// worked out here from the records; --noaa prints the same summaries.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "LoggerRun.h"
#include "ReportsTestSupport.h"

namespace {
namespace fs = std::filesystem;

// One record a minute from `day` (of the year) at minute `from` for `count`
// minutes; the outdoor temperature rises 0.2 °F a minute from 40.0 °F,
// starting again every hour.
std::string Records(int day, int from, int count) {
    std::string text;
    for (int k = 0; k < count; ++k) {
        const int minute = (from + k) % 1440;
        const int dayOfYear = day + (from + k) / 1440;
        const int fields[12] = {100, 64,  400 + 2 * (k % 60), 1234,   10132, 682,
                                870, 415, dayOfYear,          minute, 12,    90};
        text += "!!";
        for (const int f : fields) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "%04X", f & 0xFFFF);
            text += hex;
        }
        text += "\r\n";
    }
    return text;
}

// The file's text with LF line ends, as the logger prints it.
std::string AsPrinted(const fs::path& file) {
    std::string text = reports_test::ReadFile(file);
    std::string printed;
    for (const char c : text)
        if (c != '\r') printed += c;
    return printed;
}

class NoaaReplay : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string name = (fs::temp_directory_path() / "nimbulo-noaa-XXXXXX").string();
        dir_ = mkdtemp(name.data());
    }
    void TearDown() override { fs::remove_all(dir_); }

    LoggerRun Logger(const std::string& args) {
        return RunLogger(args + " --data-dir '" + dir_.string() + "'");
    }
    LoggerRun Replay(const std::string& records) {
        const fs::path file = dir_ / "recording.txt";
        reports_test::WriteFile(file, records);
        return Logger("--replay '" + file.string() +
                      "' --year 2026 --station-name Hilltop --elevation 312ft");
    }

    fs::path dir_;
};

TEST_F(NoaaReplay, FilesComeAfterAMidnightAndHoldTheDayThatEnded) {
    // 30 November (the instrument counts days from 0: 333) from 23:40, no midnight yet: no
    // summaries.
    ASSERT_EQ(Replay(Records(333, 23 * 60 + 40, 15)).status, 0);
    EXPECT_FALSE(fs::exists(dir_ / "NOAA"));

    // Again from 23:40 into 1 December: the midnight writes November and 2026.
    const LoggerRun run = Replay(Records(333, 23 * 60 + 40, 31));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(reports_test::Entries(dir_ / "NOAA"),
              (std::vector<std::string>{"NOAA-2026-11.txt", "NOAA-2026.txt"}));
    const std::string month = AsPrinted(dir_ / "NOAA" / "NOAA-2026-11.txt");
    // Points 23:40 to 23:55 at 40.0, 41.0, 42.0 and 43.0: mean 41.5, 23.5
    // below 65; every record counts for the high (23:59, 43.8) and low.
    EXPECT_NE(month.find("\n 30   41.5   43.8  23:59   40.0  23:40   23.5    0.0   0.12"),
              std::string::npos)
        << month;
    EXPECT_NE(month.find("NAME: Hilltop\nELEV: 312 ft"), std::string::npos) << month;

    // The command line prints the same summaries.
    const LoggerRun printed = Logger("--noaa 2026-11 --station-name Hilltop --elevation 312ft");
    EXPECT_EQ(printed.status, 0) << printed.err;
    EXPECT_EQ(printed.out, month);
    EXPECT_EQ(Logger("--noaa 2026 --station-name Hilltop --elevation 312ft").out,
              AsPrinted(dir_ / "NOAA" / "NOAA-2026.txt"));

    // On through the next midnight: December's file comes, the year's is
    // replaced with December in it, and no temporary file is left.
    ASSERT_EQ(Replay(Records(334, 0, 24 * 60 + 5)).status, 0);
    EXPECT_EQ(reports_test::Entries(dir_ / "NOAA"),
              (std::vector<std::string>{"NOAA-2026-11.txt", "NOAA-2026-12.txt", "NOAA-2026.txt"}));
    EXPECT_NE(AsPrinted(dir_ / "NOAA" / "NOAA-2026.txt").find("\n2026 12   "), std::string::npos);
}

TEST_F(NoaaReplay, CommandLineSaysWhatIsMissingAndWritesEveryPeriod) {
    EXPECT_EQ(Logger("--noaa 2026-11").status, 2);
    ASSERT_EQ(Replay(Records(333, 23 * 60 + 40, 31)).status, 0);
    const LoggerRun none = Logger("--noaa 2026-10");
    EXPECT_EQ(none.status, 2);
    EXPECT_NE(none.err.find("no data for 2026-10"), std::string::npos) << none.err;
    for (const char* bad :
         {"--noaa 2026-13", "--noaa 26", "--noaa 2026-1x", "--elevation 3yd --noaa 2026"}) {
        const LoggerRun run = Logger(bad);
        EXPECT_EQ(run.status, 2) << bad;
        EXPECT_TRUE(run.out.empty()) << bad;
    }
    fs::remove_all(dir_ / "NOAA");
    const LoggerRun all = Logger("--noaa-all --metric");
    EXPECT_EQ(all.status, 0) << all.err;
    // November and December (the 00:00 to 00:10 points) and the year.
    EXPECT_EQ(all.out, "summaries written: 3\n");
    EXPECT_NE(AsPrinted(dir_ / "NOAA" / "NOAA-2026-12.txt").find("WIND SPEED (km/h)"),
              std::string::npos);
}

}  // namespace
