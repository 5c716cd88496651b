// SPDX-License-Identifier: GPL-3.0-or-later
// The history window's source on a real small archive written through Archive.
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "ArchiveHistorySource.h"
#include "WeatherFormulas.h"

namespace {

namespace fs = std::filesystem;
using namespace ArchiveColumns;

ArchivePoint Point(const char* date, const char* time, double tempF, double humidity, double wind) {
    ArchivePoint p;
    p.date = date;
    p.time = time;
    p.values[kTempOutdoor] = tempF;
    p.values[kHumidityOutdoor] = humidity;
    p.values[kWindSpeedAvg] = wind;
    p.values[kPressure] = 29.92;
    p.values[kRainToday] = 0.12;
    return p;
}

class ArchiveHistorySourceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("nimbulo-history-" +
                std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                std::to_string(reinterpret_cast<std::uintptr_t>(this)));
        fs::create_directories(dir_);
        file_ = dir_ / Archive::kFileName;
    }
    void TearDown() override { fs::remove_all(dir_); }
    fs::path dir_;
    fs::path file_;
};

TEST_F(ArchiveHistorySourceTest, ReadsBackThePointsWrittenWithTheirDerivedReadings) {
    std::vector<ArchivePoint> points = {
        Point("2026-03-01", "23:55", 40.0, 80.0, 5.0),
        Point("2026-03-02", "00:00", 35.0, 90.0, 12.0),
        Point("2026-03-02", "00:05", 90.0, 60.0, 2.0),
    };
    // Degrees where the point has them, else the compass point of an
    // imported data log, else none.
    points[0].values[kDirectionDegrees] = 100;
    points[0].values[kCompass] = 4;
    points[1].values[kCompass] = 6;
    const float directions[] = {100, 135, -1};
    Archive(file_, Archive::Access::Write).Write(points, {});
    ArchiveHistorySource source(file_);

    CalendarDate march2;
    march2.FromDate(3, 2, 2026);
    const StationMinute midnight = ToStationMinute(march2, 0);
    ASSERT_EQ(source.Latest(), midnight + 5);

    std::vector<HistoryPoint> read;
    source.ForEachPoint(midnight - 5, midnight + 5,
                        [&](const HistoryPoint& p) { read.push_back(p); });
    ASSERT_EQ(read.size(), points.size());
    for (std::size_t i = 0; i < read.size(); ++i) {
        const auto& v = points[i].values;
        EXPECT_EQ(read[i].minute, midnight - 5 + StationMinute(5 * i));
        EXPECT_FLOAT_EQ(read[i][HistoryQuantity::TempOutdoor], float(*v[kTempOutdoor]));
        EXPECT_FLOAT_EQ(read[i][HistoryQuantity::Pressure], 29.92f);
        EXPECT_FLOAT_EQ(read[i][HistoryQuantity::DewPoint],
                        float(*DewPointF(*v[kTempOutdoor], *v[kHumidityOutdoor])));
        EXPECT_FLOAT_EQ(read[i][HistoryQuantity::FeelsLike],
                        float(FeelsLikeF(*v[kTempOutdoor], v[kWindSpeedAvg], v[kHumidityOutdoor])));
        EXPECT_FALSE(HistoryPoint::Has(read[i][HistoryQuantity::Gust]));
        if (directions[i] < 0) {
            EXPECT_FALSE(HistoryPoint::Has(read[i][HistoryQuantity::Direction]));
        } else {
            EXPECT_FLOAT_EQ(read[i][HistoryQuantity::Direction], directions[i]);
        }
    }
}

TEST_F(ArchiveHistorySourceTest, GivesTheDaysMadeFromImportedPoints) {
    const std::vector<ArchivePoint> points = {Point("2026-03-02", "06:10", 31.5, 80.0, 1.0),
                                              Point("2026-03-02", "14:00", 45.0, 50.0, 3.0)};
    Archive(file_, Archive::Access::Write).Import(points);
    ArchiveHistorySource source(file_);
    CalendarDate march2;
    march2.FromDate(3, 2, 2026);
    const auto days = source.Days(march2, march2);
    ASSERT_EQ(days.size(), 1u);
    EXPECT_DOUBLE_EQ(*days[0].tempOutdoor.low.value, 31.5);
    EXPECT_EQ(days[0].tempOutdoor.low.time, "06:10");
}

TEST_F(ArchiveHistorySourceTest, HasNoLatestPointInAnEmptyArchive) {
    Archive(file_, Archive::Access::Write);
    EXPECT_EQ(ArchiveHistorySource(file_).Latest(), std::nullopt);
}

}  // namespace
