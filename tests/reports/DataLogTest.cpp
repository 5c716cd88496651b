#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "DataLog.h"
#include "ReportsTestSupport.h"

using reports_test::ReadFile;
using reports_test::ScopedWorkDir;

namespace {

const std::string kHeaderLine =
    "DateTime\tWindSpeedAvg\tWindDirAvg\tTempOutdoor\tTempIndoor\tPressure\tHumidityOutdoor\t"
    "HumidityIndoor\tRainTodaysTotal\r\n";

CalendarDate Date(int month, int day, int year) {
    CalendarDate date;
    date.FromDate(month, day, year);
    return date;
}

// The worked example of a log line: 14:40, 5.6 mph, compass point 9,
// 45.3 F / 68.2 F, 29.92 inHg, 87.0 % / 41.5 %, 0.12 in.
StationState ExampleState() {
    StationState s;
    s.raw.minuteOfDay = 14 * 60 + 40;
    s.windSpeedAvg = 90 * 0.062;
    s.compassIndex = 9;
    s.tempOutdoor = 453 * 0.1;
    s.tempIndoor = 682 * 0.1;
    s.pressure = 10132 * 0.002953;
    s.humidityOutdoor = 870 * 0.1;
    s.humidityIndoor = 415 * 0.1;
    s.rainToday = 12 * 0.01;
    return s;
}

TEST(DataLogFileName, IsNamedAfterTheDateAndTheOpeningMinute) {
    EXPECT_EQ(DataLogFileName(2002, Date(12, 5, 2002), 14 * 60 + 37),
              "OutputData/U2K200212051437.txt");
    EXPECT_EQ(DataLogFileName(2003, Date(1, 1, 2003), 0), "OutputData/U2K200301010000.txt");
}

TEST(DataLogDatePrefix, IsYearMonthDayAndABlank) {
    EXPECT_EQ(DataLogDatePrefix(2002, Date(12, 5, 2002)), "2002/12/05 ");
}

TEST(DataLogLineText, MatchesTheWorkedExample) {
    EXPECT_EQ(DataLogLineText(ExampleState()), "14:40\t5.6\t 9\t45.3\t68.2\t29.92\t87.0\t41.5\t0.12");
}

TEST(DataLogLineText, WritesTheCompassPointNotDegrees) {
    StationState s = ExampleState();
    s.compassIndex = 8;  // 180 degrees
    EXPECT_EQ(DataLogLineText(s), "14:40\t5.6\t 8\t45.3\t68.2\t29.92\t87.0\t41.5\t0.12");
    s.compassIndex = 15;
    EXPECT_EQ(DataLogLineText(s), "14:40\t5.6\t15\t45.3\t68.2\t29.92\t87.0\t41.5\t0.12");
}

TEST(DataLogLineText, WritesReadingsOutsideTheirRangeAtFullWidth) {
    StationState s = ExampleState();
    s.humidityOutdoor = -32768 * 0.1;
    s.tempOutdoor = -1000 * 0.1;
    s.raw.minuteOfDay = 0;
    EXPECT_EQ(DataLogLineText(s), "00:00\t5.6\t 9\t-100.0\t68.2\t29.92\t-3276.8\t41.5\t0.12");
}

TEST(DataLog, StartsNotOpen) {
    DataLog log;
    EXPECT_EQ(log.logFileName(), "NotOpen");
    EXPECT_FALSE(log.IsOpen());
    EXPECT_FALSE(log.AppendDataLogLine(ExampleState()));
}

TEST(DataLog, WritesTheHeaderThenOneLinePerCallWithCrLf) {
    ScopedWorkDir dir;
    std::filesystem::create_directory("OutputData");
    DataLog log;
    ASSERT_TRUE(log.OpenDataLog(2002, Date(12, 5, 2002), 14 * 60 + 37));
    EXPECT_EQ(ReadFile("OutputData/U2K200212051437.txt"), kHeaderLine);

    StationState s = ExampleState();
    ASSERT_TRUE(log.AppendDataLogLine(s));
    s.raw.minuteOfDay = 14 * 60 + 45;
    ASSERT_TRUE(log.AppendDataLogLine(s));
    // Every line is in the file as soon as the call returns.
    EXPECT_EQ(ReadFile("OutputData/U2K200212051437.txt"),
              kHeaderLine + "2002/12/05 14:40\t5.6\t 9\t45.3\t68.2\t29.92\t87.0\t41.5\t0.12\r\n" +
                  "2002/12/05 14:45\t5.6\t 9\t45.3\t68.2\t29.92\t87.0\t41.5\t0.12\r\n");
}

TEST(DataLog, AppendsASecondHeaderWhenTheSameFileIsOpenedAgain) {
    ScopedWorkDir dir;
    std::filesystem::create_directory("OutputData");
    {
        DataLog first;
        first.OpenDataLog(2002, Date(12, 5, 2002), 14 * 60 + 37);
        first.AppendDataLogLine(ExampleState());
    }
    DataLog second;
    second.OpenDataLog(2002, Date(12, 5, 2002), 14 * 60 + 37);
    EXPECT_EQ(ReadFile("OutputData/U2K200212051437.txt"),
              kHeaderLine + "2002/12/05 14:40\t5.6\t 9\t45.3\t68.2\t29.92\t87.0\t41.5\t0.12\r\n" +
                  kHeaderLine);
}

TEST(DataLog, ClosesThePreviousLogAndDatesLinesByTheNewDay) {
    ScopedWorkDir dir;
    std::filesystem::create_directory("OutputData");
    DataLog log;
    log.OpenDataLog(2002, Date(12, 31, 2002), 23 * 60 + 50);
    log.OpenDataLog(2003, Date(1, 1, 2003), 0);
    StationState s = ExampleState();
    s.raw.minuteOfDay = 0;
    log.AppendDataLogLine(s);
    EXPECT_EQ(log.logFileName(), "OutputData/U2K200301010000.txt");
    EXPECT_EQ(log.logDatePrefix(), "2003/01/01 ");
    EXPECT_EQ(ReadFile("OutputData/U2K200212312350.txt"), kHeaderLine);
    EXPECT_EQ(ReadFile("OutputData/U2K200301010000.txt"),
              kHeaderLine + "2003/01/01 00:00\t5.6\t 9\t45.3\t68.2\t29.92\t87.0\t41.5\t0.12\r\n");
}

TEST(DataLog, LosesLinesQuietlyWhenTheDirectoryIsMissing) {
    ScopedWorkDir dir;
    DataLog log;
    EXPECT_FALSE(log.OpenDataLog(2002, Date(12, 5, 2002), 0));
    EXPECT_EQ(log.logFileName(), "OutputData/U2K200212050000.txt");
    EXPECT_FALSE(log.IsOpen());
    EXPECT_FALSE(log.AppendDataLogLine(ExampleState()));
    EXPECT_FALSE(std::filesystem::exists("OutputData"));
}

}  // namespace

namespace {

// The line is put together piece by piece for speed; it must equal what the
// C library makes of the documented format for every reading a record can
// produce (raw 16-bit fields times the unit multipliers).
TEST(DataLogLineText, EqualsTheDocumentedPrintfFormatOverTheRecordRange) {
    StationState s;
    int checked = 0;
    for (int raw = -32768; raw <= 32767; raw += 7) {
        s.raw.minuteOfDay = static_cast<int16_t>(raw % 1500);
        s.windSpeedAvg = raw * 0.062;
        s.compassIndex = (raw & 0xFFFF) % 19 - 2;  // also outside 0..15
        s.tempOutdoor = raw * 0.1;
        s.tempIndoor = -raw * 0.1;
        s.pressure = raw * 0.002953;
        s.humidityOutdoor = (raw / 3) * 0.1;
        s.humidityIndoor = (raw % 1000) * 0.1;
        s.rainToday = raw * 0.01;
        const int m = s.raw.minuteOfDay;
        char expected[512];
        std::snprintf(expected, sizeof expected,
                      "%2.2d:%2.2d\t%3.1f\t%2d\t%3.1f\t%3.1f\t%2.2f\t%2.1f\t%2.1f\t%3.2f", m / 60,
                      m % 60, s.windSpeedAvg, s.compassIndex, s.tempOutdoor, s.tempIndoor,
                      s.pressure, s.humidityOutdoor, s.humidityIndoor, s.rainToday);
        ASSERT_EQ(DataLogLineText(s), expected) << "raw " << raw;
        ++checked;
    }
    EXPECT_GT(checked, 9000);
}

TEST(DataLogLineText, ShowsAnUndecodableMinuteAsPrintfDoes) {
    StationState s;
    s.raw.minuteOfDay = -1;
    EXPECT_EQ(DataLogLineText(s).substr(0, 7), "00:-01\t");
}

}  // namespace
