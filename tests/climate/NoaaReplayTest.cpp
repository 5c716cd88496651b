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

// The head from [Station] of --config, an older file's [Cwop] position, the
// options over the file, and the file's values that make no sense.
TEST_F(NoaaReplay, HeadNamesTheStationFromTheSettingsFileAndTheOptions) {
    ASSERT_EQ(Replay(Records(333, 23 * 60 + 40, 31)).status, 0);
    const struct {
        const char* file;
        const char* options;
        int status;
        const char* expected;  // in stdout, or in stderr for a refusal
    } cases[] = {
        {"[Station]\nName=Hilltop\nLatitude=52.5\nLongitude=-1.25\nElevation=95\n"
         "ElevationUnit=m\n",
         "", 0, "NAME: Hilltop\nELEV: 95 m    LAT: 52\u00b0 30.00' N    LONG: 1\u00b0 15.00' W\n"},
        {"[Cwop]\nLatitude=-10.5\nLongitude=20\n", "", 0,
         "LAT: 10\u00b0 30.00' S    LONG: 20\u00b0 00.00' E\n"},
        {"[Station]\nLatitude=1\nLongitude=2\n[Cwop]\nLatitude=-10.5\nLongitude=20\n", "", 0,
         "LAT: 1\u00b0 00.00' N    LONG: 2\u00b0 00.00' E\n"},
        {"[Station]\nName=Hilltop\nElevation=95\n", "--station-name Valley --elevation 30m", 0,
         "NAME: Valley\nELEV: 30 m"},
        {"[Station]\nLatitude=95\nLongitude=2\n", "", 2,
         "[Station] Latitude and Longitude need decimal degrees"},
        {"[Station]\nElevation=high\n", "", 2,
         "[Station] Elevation needs a number and ElevationUnit ft or m"},
    };
    for (const auto& c : cases) {
        reports_test::WriteFile(dir_ / "station.conf", c.file);
        const LoggerRun run = Logger(std::string("--noaa 2026-11 --config '") +
                                     (dir_ / "station.conf").string() + "' " + c.options);
        EXPECT_EQ(run.status, c.status) << c.file << run.err;
        EXPECT_NE((c.status == 0 ? run.out : run.err).find(c.expected), std::string::npos)
            << c.file << run.out << run.err;
    }
}

}  // namespace
