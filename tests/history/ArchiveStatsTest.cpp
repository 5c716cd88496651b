// SPDX-License-Identifier: GPL-3.0-or-later
// The archive's hour and day statistics give the buckets and rain bars that
// every point gives, on a made-up archive with gaps, a day boundary, rain
// set back, a wind around north and values missing; and a first-version
// archive gets them when opened for writing.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cmath>
#include <filesystem>
#include <vector>

#include "ArchiveHistorySource.h"
#include "HistoryBuckets.h"
#include "HistoryFill.h"
#include "RainBars.h"
#include "StatsCache.h"

namespace {

namespace fs = std::filesystem;
using namespace ArchiveColumns;

// 2026-03-01 20:00 to 2026-03-04 03:55; no points 03-02 02:00..05:35 nor 03-03 all day after 12:10.
std::vector<ArchivePoint> MadeUpPoints() {
    std::vector<ArchivePoint> points;
    CalendarDate first;
    first.FromDate(3, 1, 2026);
    for (int i = 20 * 12; i < (3 * 24 + 4) * 12; ++i) {
        const int day = i / 288, minute = (i % 288) * 5;
        if (day == 1 && minute >= 120 && minute < 340) continue;
        if (day == 2 && minute > 730) continue;
        CalendarDate date;
        date.SetFromDayNumber(first.ComputeDayNumber() + uint32_t(day));
        ArchivePoint p;
        p.date = ArchiveDateText(date);
        p.time = ArchiveTimeText(minute);
        auto& v = p.values;
        v[kTempOutdoor] = std::round(600 + 300 * std::sin(i / 40.0)) / 10;
        v[kHumidityOutdoor] = std::round(60 + 35 * std::cos(i / 23.0));
        v[kWindSpeedAvg] = std::round(40 + 38 * std::sin(i / 7.0)) / 10;
        v[kGust] = *v[kWindSpeedAvg] + (i % 5);
        v[kPressure] = std::round(2990 + 30 * std::sin(i / 90.0)) / 100;
        if (i % 3) v[kTempIndoor] = 68.5 + i % 4;
        // Around north, sometimes only as a compass point.
        if (i % 4)
            v[kDirectionDegrees] = double((350 + (i % 25)) % 360);
        else
            v[kCompass] = double(i % 2 ? 15 : 0);
        // Rising through the day, from 0 after midnight, set back by hand at 09:00.
        if (i % 7)
            v[kRainToday] =
                minute < 540 ? 0.01 * (minute / 30) : 0.02 + 0.01 * ((minute - 540) / 20);
        points.push_back(p);
    }
    return points;
}

class ArchiveStatsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ =
            fs::temp_directory_path() /
            ("nimbulo-stats-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "-" + std::to_string(reinterpret_cast<std::uintptr_t>(this)));
        fs::create_directories(dir_);
        file_ = dir_ / Archive::kFileName;
    }
    void TearDown() override { fs::remove_all(dir_); }
    fs::path dir_;
    fs::path file_;
};

StationMinute At(int day, int minute) {
    CalendarDate date;
    date.FromDate(3, day, 2026);
    return ToStationMinute(date, minute);
}

void ExpectSameAsPoints(ArchiveHistorySource& source) {
    struct Case {
        StationMinute from, to;
        int pixels;
        StationMinute stats;  // the statistics that fill its buckets and rain bars
    };
    const Case cases[] = {
        {At(1, 0), At(4, 1435), 100, 60},   // hour buckets from hour statistics
        {At(1, 0), At(4, 1435), 30, 60},    // four hours
        {At(1, 0), At(4, 1435), 5, 1440},   // a day from day statistics
        {At(1, 0), At(4, 1435), 3, 1440},   // two days
        {At(1, 1200), At(4, 239), 40, 60},  // from and to within days
        {At(1, 0), At(2, 1435), 40, 60},    // to the last point of a day with points
        {At(1, 0), At(2, 1435), 3, 1440},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.pixels << " pixels, statistics of " << c.stats);
        std::vector<HistoryPoint> points;
        source.ForEachPoint(c.from, c.to, [&](const HistoryPoint& p) { points.push_back(p); });
        const HistoryBuckets byPoints(points, c.from, c.to, c.pixels);
        const StationMinute barMinutes = c.stats;
        const RainBars rainByPoints(points, c.from, c.to, barMinutes);

        HistoryBuckets byStats(c.from, c.to, c.pixels);
        RainBars rainByStats(c.from, c.to, barMinutes);
        ASSERT_EQ(byStats.width() % c.stats, 0);
        ASSERT_TRUE(source.ForEachStats(c.from, c.to, c.stats, [](const HistoryStats&) {}));
        // The periods cut by from or to come from their points.
        FillFromSource(source, c.from, c.to, 0, byStats, rainByStats, barMinutes);

        int gaps = 0;
        for (std::size_t q = 0; q < kHistoryQuantityCount; ++q) {
            const auto& a = byPoints.Series(HistoryQuantity(q));
            const auto& b = byStats.Series(HistoryQuantity(q));
            ASSERT_EQ(a.size(), b.size());
            for (std::size_t i = 0; i < a.size(); ++i) {
                SCOPED_TRACE(::testing::Message() << "quantity " << q << " bucket " << i);
                ASSERT_EQ(a[i].count, b[i].count);
                gaps += a[i].count == 0;
                if (a[i].count == 0) continue;
                EXPECT_EQ(a[i].min, b[i].min);
                EXPECT_EQ(a[i].max, b[i].max);
                EXPECT_NEAR(a[i].avg, b[i].avg, 1e-9);
            }
        }
        if (byPoints.width() < 1440) {
            EXPECT_GT(gaps, 0);
        }
        ASSERT_EQ(rainByPoints.bars().size(), rainByStats.bars().size());
        for (std::size_t i = 0; i < rainByPoints.bars().size(); ++i)
            EXPECT_NEAR(rainByPoints.bars()[i].amount, rainByStats.bars()[i].amount, 1e-9) << i;
        EXPECT_GT(rainByPoints.total(), 0.1);
    }
}

TEST_F(ArchiveStatsTest, GiveTheBucketsAndRainOfEveryPointWrittenLiveOrImported) {
    const std::vector<ArchivePoint> points = MadeUpPoints();
    {
        Archive archive(file_, Archive::Access::Write);
        // The first half as the station writes them, one a transaction; the rest imported.
        const std::size_t half = points.size() / 2;
        for (std::size_t i = 0; i < half; ++i) archive.Write({&points[i], 1}, {});
        archive.Import(std::span(points).subspan(half));
        archive.Import(points);  // all there already: nothing changes
    }
    ArchiveHistorySource source(file_);
    ExpectSameAsPoints(source);
}

TEST_F(ArchiveStatsTest, AreMadeWhenAFirstVersionArchiveIsOpenedForWriting) {
    Archive(file_, Archive::Access::Write).Import(MadeUpPoints());
    // Made a first-version file: the statistics gone, the version 1.
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file_.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(
        sqlite3_exec(db, "DROP TABLE point_hours; DROP TABLE point_days; PRAGMA user_version = 1",
                     nullptr, nullptr, nullptr),
        SQLITE_OK);
    sqlite3_close(db);
    {
        // Read only: still readable from its points, nothing written.
        ArchiveHistorySource reader(file_);
        EXPECT_FALSE(reader.ForEachStats(At(1, 0), At(4, 1435), 60, [](const HistoryStats&) {}));
        std::size_t count = 0;
        reader.ForEachPoint(At(1, 0), At(4, 1435), [&](const HistoryPoint&) { ++count; });
        EXPECT_EQ(count, MadeUpPoints().size());
    }
    Archive(file_, Archive::Access::Write);
    ArchiveHistorySource source(file_);
    ExpectSameAsPoints(source);
}

TEST_F(ArchiveStatsTest, KeptByTheWindowUntilANewerPointComes) {
    std::vector<ArchivePoint> points = MadeUpPoints();
    const ArchivePoint last = points.back();
    points.pop_back();
    Archive(file_, Archive::Access::Write).Import(points);
    StatsCache cache(std::make_unique<ArchiveHistorySource>(file_));
    const auto gustOfLastHour = [&] {
        long long count = 0;
        cache.ForEachStats(At(4, 180), At(4, 239), 60, [&](const HistoryStats& s) {
            count += s.values[std::size_t(HistoryQuantity::Gust)].count;
        });
        return count;
    };
    cache.Latest();
    EXPECT_EQ(gustOfLastHour(), 11);
    Archive(file_, Archive::Access::Write).Write({&last, 1}, {});
    EXPECT_EQ(gustOfLastHour(), 11);  // kept
    cache.Latest();
    EXPECT_EQ(gustOfLastHour(), 12);
}

}  // namespace
