// SPDX-License-Identifier: GPL-3.0-or-later
// The summaries of a made-up archive whose figures are worked out here by
// hand: a month with missing days, a day with a day row and no points, a
// direction that wraps through north, a reading the sensor cannot give, the
// metric layout; each field cut out of its row at the documented columns.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "ArchiveColumns.h"
#include "ClimateReports.h"

namespace {
namespace fs = std::filesystem;
using namespace ArchiveColumns;

ArchivePoint Point(const char* date, const char* time, double tempF, double speed,
                   std::optional<double> degrees, std::optional<double> compass = std::nullopt) {
    ArchivePoint p;
    p.date = date;
    p.time = time;
    p.values[kTempOutdoor] = tempF;
    p.values[kWindSpeedAvg] = speed;
    p.values[kDirectionDegrees] = degrees;
    p.values[kCompass] = compass;
    return p;
}

DaySummary Day(int year, int month, int day, double low, const char* lowAt, double high,
               const char* highAt, double wind, const char* windAt, double rain) {
    DaySummary s;
    s.date.FromDate(month, day, year);
    s.tempOutdoor.low = {low, lowAt};
    s.tempOutdoor.high = {high, highAt};
    s.windSpeedMax = {wind, windAt};
    s.rainDay = rain;
    return s;
}

// The summaries' columns as docs/climate.md gives them: the last column of each field.
constexpr int kMonthEnds[] = {3, 10, 17, 24, 31, 38, 45, 52, 59, 66, 73, 80, 86};
constexpr int kTempEnds[] = {4, 7, 14, 21, 28, 36, 43, 50, 56, 63, 69, 75, 81, 87, 93};
constexpr int kRainEnds[] = {4, 7, 15, 22, 28, 34, 40, 46};
constexpr int kWindEnds[] = {4, 7, 14, 21, 27, 33};

// The fields of a row, cut at the columns and trimmed.
template <std::size_t N>
std::vector<std::string> Fields(const std::string& row, const int (&ends)[N]) {
    std::vector<std::string> fields;
    int start = 0;
    for (const int end : ends) {
        std::string field = start < int(row.size()) ? row.substr(start, end - start) : "";
        field.erase(0, field.find_first_not_of(' '));
        fields.push_back(field);
        start = end;
    }
    EXPECT_LE(row.size(), std::size_t(ends[N - 1])) << row;
    return fields;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// The line `skip` + 1 after the table title `title` (centred, so blanks before it).
std::string LineAfter(const std::string& text, const std::string& title, int skip) {
    const std::vector<std::string> lines = Lines(text);
    for (std::size_t i = 0; i + 1 + skip < lines.size(); ++i)
        if (lines[i].find_first_not_of(' ') != std::string::npos &&
            lines[i].substr(lines[i].find_first_not_of(' ')) == title)
            return lines[i + 1 + skip];
    return "(no line after " + title + ")";
}

class ClimateReportsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string name = (fs::temp_directory_path() / "nimbulo-climate-XXXXXX").string();
        dir_ = mkdtemp(name.data());
        Archive archive(dir_ / "nimbulo.db", Archive::Access::Write);
        const std::vector<ArchivePoint> points = {
            // 1 Nov: mean 55.0; 350° and 20° and north (a compass point only) at 4 mph
            // sum to 3.3° (north), where the angles' plain mean would be 123° (SE).
            Point("2026-11-01", "00:00", 40.0, 4.0, 350.0),
            Point("2026-11-01", "06:00", 50.0, 4.0, 20.0),
            Point("2026-11-01", "12:00", 60.0, 0.0, std::nullopt),
            Point("2026-11-01", "18:00", 70.0, 4.0, std::nullopt, 0.0),
            // 4 Nov: mean 70.0 (the sensor's -3276.8 takes no part), west at 10 mph.
            Point("2026-11-04", "10:00", 65.0, 10.0, 270.0),
            Point("2026-11-04", "11:00", -3276.8, 10.0, 270.0),
            Point("2026-11-04", "12:00", 75.0, 10.0, 270.0),
        };
        const std::vector<DaySummary> days = {
            Day(2026, 1, 10, -1.0, "06:40", 30.0, "14:00", 12.0, "11:00", 0.01),
            Day(2026, 1, 11, 32.0, "05:00", 40.0, "15:00", 8.0, "12:00", 0.10),
            Day(2026, 7, 20, 70.0, "05:30", 91.0, "16:10", 25.0, "17:00", 1.00),
            Day(2026, 11, 1, 39.5, "05:10", 71.0, "14:30", 20.0, "13:00", 0.20),
            // A day row and no points.
            Day(2026, 11, 2, 45.0, "03:00", 60.0, "12:00", 15.0, "09:15", 1.10),
            Day(2026, 11, 4, 60.0, "06:00", 80.0, "15:00", 25.0, "16:00", 0.00),
        };
        archive.Write(points, days);
    }
    void TearDown() override { fs::remove_all(dir_); }

    ClimateReports Reports(bool metric) {
        archive_ = std::make_unique<Archive>(dir_ / "nimbulo.db", Archive::Access::Read);
        StationIdentity station;
        station.name = "Hilltop";
        station.latitude = 52.50333;
        station.longitude = -13.4;
        station.elevation = 312;
        return ClimateReports(*archive_, station, metric);
    }

    fs::path dir_;
    std::unique_ptr<Archive> archive_;
};

using Row = std::vector<std::string>;

TEST_F(ClimateReportsTest, MonthRowsHoldTheDaysFiguresInTheirColumns) {
    const auto text = Reports(false).MonthText(2026, 11);
    ASSERT_TRUE(text);
    const std::vector<std::string> lines = Lines(*text);
    EXPECT_EQ(lines[0].substr(lines[0].find_first_not_of(' ')),
              "MONTHLY CLIMATOLOGICAL SUMMARY for NOV. 2026");
    EXPECT_EQ(lines[2], "NAME: Hilltop");
    EXPECT_EQ(lines[3], "ELEV: 312 ft    LAT: 52\u00b0 30.20' N    LONG: 13\u00b0 24.00' W");
    EXPECT_NE(text->find("TEMPERATURE (\u00b0F), RAIN (in), WIND SPEED (mph)"), std::string::npos);
    const std::string rule(86, '-');
    const struct {
        int day;
        Row fields;
    } rows[] = {
        // Avg wind (4 + 4 + 0 + 4) / 4; 65 - 55 heating degree days.
        {1,
         {"1", "55.0", "71.0", "14:30", "39.5", "05:10", "10.0", "0.0", "0.20", "3.0", "20.0",
          "13:00", "N"}},
        {2, {"2", "", "60.0", "12:00", "45.0", "03:00", "", "", "1.10", "", "15.0", "09:15", ""}},
        {3, {"3", "", "", "", "", "", "", "", "", "", "", "", ""}},
        {4,
         {"4", "70.0", "80.0", "15:00", "60.0", "06:00", "0.0", "5.0", "0.00", "10.0", "25.0",
          "16:00", "W"}},
        {30, {"30", "", "", "", "", "", "", "", "", "", "", "", ""}},
    };
    const std::size_t first = std::find(lines.begin(), lines.end(), rule) - lines.begin() + 1;
    ASSERT_EQ(lines.size(), first + 30 + 2) << *text;
    EXPECT_EQ(Fields(lines[first - 3], kMonthEnds),
              (Row{"", "MEAN", "", "", "", "", "DEG", "DEG", "", "WIND", "", "", "DOM"}));
    EXPECT_EQ(Fields(lines[first - 2], kMonthEnds),
              (Row{"DAY", "TEMP", "HIGH", "TIME", "LOW", "TIME", "DAYS", "DAYS", "RAIN", "SPEED",
                   "HIGH", "TIME", "DIR"}));
    for (const auto& r : rows)
        EXPECT_EQ(Fields(lines[first + r.day - 1], kMonthEnds), r.fields) << "day " << r.day;
    EXPECT_EQ(lines[first + 30], rule);
    // Mean of the means (55 + 70) / 2; the month's high on the 4th, low on
    // the 1st; wind 42 mph over 7 points; the sum of all points' vectors
    // (0.67 east, 11.70 north from the 1st, 30 west from the 4th) points to
    // 291.8°, west-north-west.
    EXPECT_EQ(Fields(lines[first + 31], kMonthEnds),
              (Row{"", "62.5", "80.0", "4", "39.5", "1", "10.0", "5.0", "1.30", "6.0", "25.0", "4",
                   "WNW"}));
}

TEST_F(ClimateReportsTest, MetricMonthConvertsAndTakesDegreeDaysFromItsOwnBase) {
    const auto text = Reports(true).MonthText(2026, 11);
    ASSERT_TRUE(text);
    EXPECT_NE(text->find("TEMPERATURE (\u00b0C), RAIN (mm), WIND SPEED (km/h)"), std::string::npos);
    const std::vector<std::string> lines = Lines(*text);
    const std::size_t first =
        std::find(lines.begin(), lines.end(), std::string(86, '-')) - lines.begin() + 1;
    // 55 °F is 12.8 °C, 18.3 - 12.8 = 5.5; 70 °F is 21.1 °C, 2.8 above the
    // base; 0.20 in is 5.1 mm, 1.10 in 27.9 mm; 3 mph is 4.8 km/h (the
    // station's 0.62 mph per km/h), 20 mph 32.3 km/h.
    EXPECT_EQ(Fields(lines[first], kMonthEnds),
              (Row{"1", "12.8", "21.7", "14:30", "4.2", "05:10", "5.5", "0.0", "5.1", "4.8", "32.3",
                   "13:00", "N"}));
    EXPECT_EQ(Fields(lines[first + 31], kMonthEnds),
              (Row{"", "16.9", "26.7", "4", "4.2", "1", "5.5", "2.8", "33.0", "9.7", "40.3", "4",
                   "WNW"}));
}

TEST_F(ClimateReportsTest, YearCountsDaysAgainstTheThresholdsAndNamesTheMonths) {
    const auto text = Reports(false).YearText(2026);
    ASSERT_TRUE(text);
    EXPECT_EQ(Fields(LineAfter(*text, "TEMPERATURE (\u00b0F)", 3), kTempEnds),
              (Row{"YR", "MO", "MAX", "MIN", "MEAN", "DAYS", "DAYS", "HI", "DATE", "LOW", "DATE",
                   "90", "32", "32", "0"}));
    const auto temps = [&](int skip) {
        return Fields(LineAfter(*text, "TEMPERATURE (\u00b0F)", skip), kTempEnds);
    };
    // January: 30 and 40 high, -1 and 32 low; a high of 30 is at most 32,
    // both lows are (32 itself counts), one at most 0.
    EXPECT_EQ(temps(5), (Row{"2026", "01", "35.0", "15.5", "", "", "", "40.0", "11", "-1.0", "10",
                             "0", "1", "2", "1"}));
    // A month without data is a row without figures.
    EXPECT_EQ(temps(6), (Row{"2026", "02", "", "", "", "", "", "", "", "", "", "", "", "", ""}));
    EXPECT_EQ(temps(11), (Row{"2026", "07", "91.0", "70.0", "", "", "", "91.0", "20", "70.0", "20",
                              "1", "0", "0", "0"}));
    // The year: highs (30 + 40 + 91 + 71 + 60 + 80) / 6, lows 245.5 / 6.
    EXPECT_EQ(temps(18), (Row{"2026", "", "62.0", "40.9", "62.5", "10.0", "5.0", "91.0", "JUL",
                              "-1.0", "JAN", "1", "1", "2", "1"}));
    const auto rain = [&](int skip) {
        return Fields(LineAfter(*text, "PRECIPITATION (in)", skip), kRainEnds);
    };
    EXPECT_EQ(rain(3), (Row{"YR", "MO", "TOTAL", "DAY", "DATE", ".01", ".10", "1.00"}));
    EXPECT_EQ(rain(5), (Row{"2026", "01", "0.11", "0.10", "11", "2", "1", "0"}));
    EXPECT_EQ(rain(15), (Row{"2026", "11", "1.30", "1.10", "2", "2", "2", "1"}));
    EXPECT_EQ(rain(18), (Row{"2026", "", "2.41", "1.10", "NOV", "5", "4", "2"}));
    const auto wind = [&](int skip) {
        return Fields(LineAfter(*text, "WIND SPEED (mph)", skip), kWindEnds);
    };
    // 25 mph in July and in November: the first keeps the year's top.
    EXPECT_EQ(wind(17), (Row{"2026", "", "6.0", "25.0", "JUL", "WNW"}));
    EXPECT_EQ(wind(4), (Row{"2026", "01", "", "12.0", "10", ""}));
}

TEST_F(ClimateReportsTest, PeriodsWithoutDataHaveNoSummary) {
    ClimateReports reports = Reports(false);
    EXPECT_FALSE(reports.MonthText(2026, 2));
    EXPECT_FALSE(reports.MonthText(2026, 13));
    EXPECT_FALSE(reports.YearText(2025));
    EXPECT_EQ(reports.MonthsWithData(),
              (std::vector<std::pair<int, int>>{{2026, 1}, {2026, 7}, {2026, 11}}));
    const ClimateReports::YearTexts all = reports.AllOfYear(2026);
    ASSERT_EQ(all.months.size(), 3u);
    EXPECT_EQ(all.months[2].second, *reports.MonthText(2026, 11));
    EXPECT_EQ(all.year, reports.YearText(2026));
}

TEST(StationIdentity, ElevationAndPositionTextsParseAndPrint) {
    const struct {
        const char* text;
        bool ok;
        double value;
        StationIdentity::ElevationUnit unit;
    } cases[] = {
        {"312ft", true, 312, StationIdentity::ElevationUnit::Feet},
        {"95.5 m", true, 95.5, StationIdentity::ElevationUnit::Metres},
        {"-3 m", true, -3, StationIdentity::ElevationUnit::Metres},
        {"312", false, 0, {}},
        {"ft", false, 0, {}},
        {"312 yd", false, 0, {}},
        {"12e m", false, 0, {}},
    };
    for (const auto& c : cases) {
        StationIdentity station;
        EXPECT_EQ(ParseElevation(c.text, station), c.ok) << c.text;
        if (!c.ok) continue;
        EXPECT_EQ(station.elevation, c.value) << c.text;
        EXPECT_EQ(station.elevationUnit, c.unit) << c.text;
    }
    EXPECT_EQ(DegreesMinutesText(-33.8688, 'N', 'S'), "33\u00b0 52.13' S");
    // 59.9999' rounds into the next degree, not to 60.00'.
    EXPECT_EQ(DegreesMinutesText(10.999999, 'E', 'W'), "11\u00b0 00.00' E");
}

}  // namespace
