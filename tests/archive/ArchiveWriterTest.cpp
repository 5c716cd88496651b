// SPDX-License-Identifier: GPL-3.0-or-later
// The archive writer when the archive cannot be written: told once, tried
// again at the next point, nothing lost once it can be written again.
#include <gtest/gtest.h>

#include "ArchiveWriter.h"
#include "ReportsTestSupport.h"
#include "SqliteDatabase.h"

namespace {
using reports_test::ReadFile;

class NoDays : public DaySummarySource {
  public:
    std::vector<DaySummary> TakeChangedDays() override { return {}; }
};

class Reports : public FileFaultReporter {
  public:
    void Report(const std::string& file, const std::string& cause) override {
        told.push_back(file + ": " + cause);
    }
    void Recovered(const std::string& file) override { told.push_back(file + " again"); }
    std::vector<std::string> told;
};

FivePointValues Point(int minute) {
    FivePointValues p;
    p.year = 2002;
    p.date.FromDate(12, 5, 2002);
    p.minuteOfDay = minute;
    p.tempOutdoor = 45.25;
    p.fieldsReceived = 0xFFF;
    return p;
}

class ArchiveWriterFaults : public ::testing::Test {
  protected:
    std::vector<ArchivePoint> Points() {
        return Archive(Archive::kFileName, Archive::Access::Read)
            .ReadPoints("2002-12-05", "00:00", "2002-12-05", "23:59");
    }

    reports_test::ScopedWorkDir dir;
    Reports reports;
    FileFaults faults;
    NoDays days;
    ArchiveWriter writer{faults, days};
    void SetUp() override { faults.SetReporter(&reports); }
};

TEST_F(ArchiveWriterFaults, AFileThatIsNoArchiveIsToldOnceAndItsPointsWaitUntilItIsGone) {
    const std::string notes(3000, 'n');
    reports_test::WriteFile(Archive::kFileName, notes);
    for (int minute : {600, 605, 610}) {
        writer.Write(Point(minute));
        writer.WaitForWrites();
    }
    EXPECT_EQ(reports.told, std::vector<std::string>{"nimbulo.db: file is not a database"});
    EXPECT_EQ(ReadFile(Archive::kFileName), notes);
    EXPECT_EQ(faults.failedWrites(), 3);

    std::filesystem::rename(Archive::kFileName, "notes.txt");
    writer.Write(Point(615));
    writer.WaitForWrites();
    EXPECT_EQ(reports.told.back(), "nimbulo.db again");
    const std::vector<ArchivePoint> points = Points();
    ASSERT_EQ(points.size(), 4u);
    EXPECT_EQ(points[0].time, "10:00");
    EXPECT_EQ(points[0].values[ArchiveColumns::kTempOutdoor], 45.2) << "as the data log prints it";
    EXPECT_TRUE(points[0].writtenUtc.has_value()) << "written live";
}

TEST_F(ArchiveWriterFaults, AnArchiveLockedBeyondTheBusyTimeoutIsTriedAgainAtTheNextPoint) {
    writer.Write(Point(600));
    writer.WaitForWrites();
    {
        SqliteDatabase other(Archive::kFileName, SqliteDatabase::Mode::ReadWriteCreate);
        SqliteTransaction holding(other);
        writer.Write(Point(605));
        writer.WaitForWrites();
        ASSERT_EQ(reports.told, std::vector<std::string>{"nimbulo.db: database is locked"});
    }
    writer.Write(Point(610));
    writer.WaitForWrites();
    EXPECT_EQ(Points().size(), 3u);
}

// The point is handed over while another program holds the archive, and the
// record path goes on at once: nothing is told, and it goes in once the lock is gone.
TEST_F(ArchiveWriterFaults, APointNeverWaitsForAnotherProgramsLock) {
    writer.Write(Point(600));
    writer.WaitForWrites();
    {
        SqliteDatabase other(Archive::kFileName, SqliteDatabase::Mode::ReadWriteCreate);
        SqliteTransaction holding(other);
        writer.Write(Point(605));
        EXPECT_TRUE(reports.told.empty()) << "returned before the busy timeout";
        writer.Write(Point(610));
    }
    writer.WaitForWrites();
    writer.Write(Point(615));
    writer.WaitForWrites();
    EXPECT_EQ(Points().size(), 4u);
}

}  // namespace
