// SPDX-License-Identifier: GPL-3.0-or-later
// The pipeline's day tracker: which records count for a day's highs and lows.
#include <gtest/gtest.h>

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

}  // namespace
