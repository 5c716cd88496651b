// SPDX-License-Identifier: GPL-3.0-or-later
// The pipeline's day tracker: which records count for a day's highs and lows.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "Archive.h"
#include "ArchiveCsv.h"
#include "ArchiveWriter.h"
#include "ReportsTestSupport.h"
#include "StationPipeline.h"

namespace {
using reports_test::Record;

constexpr int kDec5 = 339;

struct NoiseCase {
    const char* name;
    std::vector<Record> before;  // fed first
    Record noisy;                // 99.9 F; counts only when `counts`
    bool counts;
};

Record Hot(int day, int minute) {
    Record r{day, minute};
    r.tempOutdoor = 999;
    return r;
}

const NoiseCase kNoise[] = {
    {"AMinuteThatIsNoTimeOfDay", {Record{kDec5, 600}}, Hot(kDec5, 0x5A5A), false},
    {"ADayThatIsNoDayBeforeAnyGoodDay", {}, Hot(0, 600), false},
    {"ADayThatIsNoDayAfterAGoodOneOnTheCurrentDay", {Record{kDec5, 600}}, Hot(0, 605), true},
    {"AGoodRecord", {Record{kDec5, 600}}, Hot(kDec5, 605), true},
};

class DayTrackerNoise : public ::testing::TestWithParam<NoiseCase> {};

TEST_P(DayTrackerNoise, CountsARecordOnlyWhenTheStationClockTookIt) {
    reports_test::FakeStation view;
    StationPipeline pipeline(view, view);
    for (const Record& r : GetParam().before) pipeline.ProcessLine(r.Line().c_str());
    pipeline.ProcessLine(GetParam().noisy.Line().c_str());
    const DayExtreme& high = pipeline.days().today().tempOutdoor.high;
    if (GetParam().counts) {
        ASSERT_TRUE(high.value.has_value());
        EXPECT_DOUBLE_EQ(*high.value, 99.9);
    } else {
        EXPECT_NE(high.value.value_or(0.0), 99.9);
    }
}

INSTANTIATE_TEST_SUITE_P(Records, DayTrackerNoise, ::testing::ValuesIn(kNoise),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DayTracker, HandsOutTheFinishedDayThenTheNewOneAfterMidnight) {
    reports_test::FakeStation view;
    StationPipeline pipeline(view, view);
    pipeline.ProcessLine(Record{kDec5, 1435}.Line().c_str());
    ASSERT_EQ(pipeline.days().TakeChangedDays().size(), 1u);
    EXPECT_TRUE(pipeline.days().TakeChangedDays().empty()) << "nothing changed since";

    pipeline.ProcessLine(Hot(kDec5, 1439).Line().c_str());
    pipeline.ProcessLine(Record{kDec5 + 1, 0}.Line().c_str());
    const std::vector<DaySummary> days = pipeline.days().TakeChangedDays();
    ASSERT_EQ(days.size(), 2u);
    EXPECT_EQ(days[0].date.day, 5);
    EXPECT_EQ(days[0].tempOutdoor.high.time, "23:59");
    EXPECT_EQ(days[1].date.day, 6);
    EXPECT_EQ(days[1].tempOutdoor.high.time, "00:00");
    EXPECT_DOUBLE_EQ(*days[1].tempOutdoor.high.value, 45.3);
}

// Pressures 29.9198 and 29.9227 inHg both print and are stored as 29.92.
struct PrecisionCase {
    const char* name;
    int first, second;  // pressure fields at 10:00 and 10:05
    const char* lowTime;
    const char* highTime;
};

const PrecisionCase kPrecision[] = {
    {"AHigherValueThatPrintsTheSameIsNoNewHigh", 10132, 10133, "10:00", "10:00"},
    {"ALowerValueThatPrintsTheSameIsNoNewLow", 10133, 10132, "10:00", "10:00"},
    {"AValueThatPrintsHigherIsANewHigh", 10132, 10134, "10:00", "10:05"},
};

class DayTrackerPrecision : public ::testing::TestWithParam<PrecisionCase> {};

TEST_P(DayTrackerPrecision, ComparesAsStoredSoTheFirstTimeWinsATie) {
    reports_test::FakeStation view;
    StationPipeline pipeline(view, view);
    Record r{kDec5, 600};
    r.pressure = GetParam().first;
    pipeline.ProcessLine(r.Line().c_str());
    r.minuteOfDay = 605;
    r.pressure = GetParam().second;
    pipeline.ProcessLine(r.Line().c_str());
    EXPECT_EQ(pipeline.days().today().pressure.low.time, GetParam().lowTime);
    EXPECT_EQ(pipeline.days().today().pressure.high.time, GetParam().highTime);
}

INSTANTIATE_TEST_SUITE_P(Ties, DayTrackerPrecision, ::testing::ValuesIn(kPrecision),
                         [](const auto& info) { return std::string(info.param.name); });

// Two days of records a minute apart whose pressure and temperatures wander
// within a few printed steps, so that ties at the stored precision abound.
std::vector<std::string> WanderingRecords() {
    std::vector<std::string> lines;
    unsigned seed = 12345;
    for (int minute = 0; minute < 2 * 1440; minute += 1) {
        seed = seed * 1103515245u + 12345u;
        Record r{kDec5 + minute / 1440, minute % 1440};
        r.pressure = 10120 + int(seed >> 16) % 25;
        r.tempOutdoor = 400 + int(seed >> 8) % 7;
        r.windSpeed = int(seed >> 4) % 40;
        lines.push_back(r.Line());
    }
    return lines;
}

// The day rows as exported, after the records came live or in a replay.
std::string DaysAfter(bool replay, const std::vector<std::string>& lines) {
    reports_test::ScopedWorkDir dir;
    reports_test::FakeStation view;
    {
        StationPipeline pipeline(view, view);
        pipeline.options().saveData = 1;
        pipeline.SetStartYear(2002);
        pipeline.AddFileWriter(
            std::make_unique<ArchiveWriter>(pipeline.fileFaults(), pipeline.days()));
        std::ofstream recording("recording.txt");
        for (const std::string& line : lines) {
            if (!replay) pipeline.ProcessLine(line.c_str());
            recording << line << "\r\n";
        }
        recording.close();
        if (replay) pipeline.ReplayFile("recording.txt");
    }
    Archive archive(Archive::kFileName, Archive::Access::Read);
    std::ostringstream csv;
    ArchiveCsv::WriteDays(archive, "2002-01-01", "2002-12-31", csv);
    return csv.str();
}

TEST(DayRows, AreTheSameWhetherTheRecordsCameLiveOrInAReplay) {
    const std::vector<std::string> lines = WanderingRecords();
    const std::string live = DaysAfter(false, lines);
    EXPECT_EQ(std::count(live.begin(), live.end(), '\n'), 1 + 2);
    EXPECT_EQ(DaysAfter(true, lines), live);
}

}  // namespace
