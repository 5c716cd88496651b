// SPDX-License-Identifier: GPL-3.0-or-later
// The live path of NOAA/: points handed to the writer one by one after the
// archive has them, as the pipeline does; a midnight rewrites the ended
// day's month and year, a month's end the month just over, and a file that
// cannot be written is a fault like any report's.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ClimateReports.h"
#include "NoaaFileWriter.h"
#include "NoaaFiles.h"
#include "ReportsTestSupport.h"

namespace {
namespace fs = std::filesystem;
using namespace ArchiveColumns;

ArchivePoint Point(const std::string& date, const char* time, double tempF) {
    ArchivePoint p;
    p.date = date;
    p.time = time;
    p.values[kTempOutdoor] = tempF;
    p.values[kWindSpeedAvg] = 5.0;
    p.values[kDirectionDegrees] = 90.0;
    return p;
}

FivePointValues Value(int month, int day) {
    FivePointValues point;
    point.date.FromDate(month, day, 2026);
    point.year = 2026;
    return point;
}

// The file as the summary's text: CR LF back to LF.
std::string Text(const fs::path& file) {
    std::string text;
    for (const char c : reports_test::ReadFile(file))
        if (c != '\r') text += c;
    return text;
}

class NoaaFileWriterTest : public ::testing::Test {
  protected:
    void Add(const std::vector<ArchivePoint>& points) {
        Archive(Archive::kFileName, Archive::Access::Write).Write(points, {});
    }
    std::string Month(int year, int month) {
        Archive archive(Archive::kFileName, Archive::Access::Read);
        return *ClimateReports(archive, station_, false).MonthText(year, month);
    }

    reports_test::ScopedWorkDir dir_;
    StationIdentity station_{"Hilltop", 52.5, -1.25, 312, StationIdentity::ElevationUnit::Feet};
    FileFaults faults_;
    NoaaFileWriter writer_{faults_, [this] { return NoaaFileWriter::Settings{station_, false}; }};
};

TEST_F(NoaaFileWriterTest, MidnightsRewriteTheEndedDaysMonthAndYear) {
    Add({Point("2026-11-30", "23:50", 50.0), Point("2026-11-30", "23:55", 52.0)});
    writer_.Write(Value(11, 30));
    EXPECT_FALSE(fs::exists(NoaaFiles::kFolder)) << "no midnight yet";

    Add({Point("2026-12-01", "00:00", 60.0)});
    writer_.Write(Value(12, 1));
    EXPECT_EQ(reports_test::Entries(NoaaFiles::kFolder),
              (std::vector<std::string>{"NOAA-2026-11.txt", "NOAA-2026.txt"}));
    EXPECT_EQ(Text(NoaaFiles::MonthFile(2026, 11)), Month(2026, 11));
    EXPECT_NE(Text(NoaaFiles::MonthFile(2026, 11)).find("\n 30   51.0"), std::string::npos);

    // December's first day whole, read at the next midnight with November kept.
    Add({Point("2026-12-01", "12:00", 70.0), Point("2026-12-02", "00:00", 40.0)});
    writer_.Write(Value(12, 2));
    EXPECT_EQ(Text(NoaaFiles::MonthFile(2026, 12)), Month(2026, 12));
    EXPECT_NE(Text(NoaaFiles::MonthFile(2026, 12)).find("\n  1   65.0"), std::string::npos);
    const std::string year = Text(NoaaFiles::YearFile(2026));
    EXPECT_NE(year.find("\n2026 11   "), std::string::npos);
    EXPECT_NE(year.find("\n2026 12   "), std::string::npos);
    EXPECT_EQ(faults_.failedWrites(), 0);
}

TEST_F(NoaaFileWriterTest, AFileThatCannotBeWrittenIsAFaultAndTriedAgain) {
    Add({Point("2026-11-30", "23:55", 50.0), Point("2026-12-01", "00:00", 60.0)});
    reports_test::WriteFile(NoaaFiles::kFolder, "in the way");
    writer_.Write(Value(11, 30));
    writer_.Write(Value(12, 1));
    EXPECT_EQ(faults_.failedWrites(), 2) << "the month's file and the year's";
    fs::remove(NoaaFiles::kFolder);
    Add({Point("2026-12-02", "00:00", 60.0)});
    writer_.Write(Value(12, 2));
    EXPECT_EQ(reports_test::Entries(NoaaFiles::kFolder),
              (std::vector<std::string>{"NOAA-2026-11.txt", "NOAA-2026-12.txt", "NOAA-2026.txt"}));
}

}  // namespace
