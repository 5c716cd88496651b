#include <gtest/gtest.h>

#include <string>

#include "AprsReport.h"
#include "MixwReport.h"
#include "ReportValues.h"
#include "ReportsTestSupport.h"

using reports_test::ReadFile;
using reports_test::ScopedWorkDir;
using reports_test::WriteFile;

namespace {

// The readings of the worked example: direction 180, speed 5.6 (raw 90),
// gust 12.4, 45.3 F, 0.12 in of rain, 87 % and a pressure field of 10132.
StationState ExampleState() {
    StationState s;
    s.windDirAvg = 180;
    s.windSpeedAvg = 90 * 0.062;
    s.gust = 200 * 0.062;
    s.tempOutdoor = 453 * 0.1;
    s.rainToday = 12 * 0.01;
    s.humidityOutdoor = 870 * 0.1;
    s.raw.pressure = 10132;
    s.raw.minuteOfDay = 14 * 60 + 40;
    s.compassIndex = 8;
    return s;
}

struct RoundingCase {
    double value;
    int expected;
};

class ReportRounding : public ::testing::TestWithParam<RoundingCase> {};

TEST_P(ReportRounding, AddsOneHalfAndTruncatesTowardZero) {
    EXPECT_EQ(RoundForReport(GetParam().value), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Values, ReportRounding,
                         ::testing::Values(RoundingCase{5.5, 6}, RoundingCase{5.4, 5},
                                           RoundingCase{-3.7, -3}, RoundingCase{-3.2, -2},
                                           RoundingCase{-0.6, 0}, RoundingCase{0.0, 0},
                                           RoundingCase{99.4, 99}, RoundingCase{99.5, 100}));

TEST(AprsWeatherLine, MatchesTheWorkedExample) {
    EXPECT_EQ(AprsWeatherLine(ReportValues::FromState(ExampleState())),
              "180/006g012t045r...p...P012h87b10132sU2k");
}

struct TemperatureCase {
    int temperature;
    const char* field;
};

class AprsTemperature : public ::testing::TestWithParam<TemperatureCase> {};

TEST_P(AprsTemperature, IsThreeCharactersWithTheSignBelowZero) {
    EXPECT_EQ(AprsTemperatureField(GetParam().temperature), GetParam().field);
}

INSTANTIATE_TEST_SUITE_P(Values, AprsTemperature,
                         ::testing::Values(TemperatureCase{45, "t045"}, TemperatureCase{0, "t000"},
                                           TemperatureCase{7, "t007"},
                                           TemperatureCase{100, "t100"},
                                           TemperatureCase{-1, "t-01"},
                                           TemperatureCase{-3, "t-03"},
                                           TemperatureCase{-15, "t-15"},
                                           TemperatureCase{-99, "t-99"},
                                           TemperatureCase{-100, "t-99"},
                                           TemperatureCase{-250, "t-99"}));

// One reading changed from the worked example, and the line it must give.
struct AprsCase {
    const char* name;
    void (*change)(StationState&);
    const char* line;
};

class AprsFromReadings : public ::testing::TestWithParam<AprsCase> {};

TEST_P(AprsFromReadings, GivesTheExpectedWeatherLine) {
    StationState s = ExampleState();
    GetParam().change(s);
    EXPECT_EQ(AprsWeatherLine(ReportValues::FromState(s)), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(
    Readings, AprsFromReadings,
    ::testing::Values(
        AprsCase{"Humidity99_4", [](StationState& s) { s.humidityOutdoor = 99.4; },
                 "180/006g012t045r...p...P012h99b10132sU2k"},
        AprsCase{"Humidity99_5", [](StationState& s) { s.humidityOutdoor = 99.5; },
                 "180/006g012t045r...p...P012h00b10132sU2k"},
        AprsCase{"Saturated", [](StationState& s) { s.humidityOutdoor = 100.0; },
                 "180/006g012t045r...p...P012h00b10132sU2k"},
        AprsCase{"Minus3_7", [](StationState& s) { s.tempOutdoor = -3.7; },
                 "180/006g012t-03r...p...P012h87b10132sU2k"},
        AprsCase{"Minus3_2", [](StationState& s) { s.tempOutdoor = -3.2; },
                 "180/006g012t-02r...p...P012h87b10132sU2k"},
        AprsCase{"Minus150", [](StationState& s) { s.tempOutdoor = -150.0; },
                 "180/006g012t-99r...p...P012h87b10132sU2k"},
        AprsCase{"Rain0_29", [](StationState& s) { s.rainToday = 29 * 0.01; },
                 "180/006g012t045r...p...P029h87b10132sU2k"},
        AprsCase{"Rain1_5", [](StationState& s) { s.rainToday = 150 * 0.01; },
                 "180/006g012t045r...p...P150h87b10132sU2k"},
        AprsCase{"Pressure9995", [](StationState& s) { s.raw.pressure = 9995; },
                 "180/006g012t045r...p...P012h87b09995sU2k"},
        AprsCase{"NoBarometer", [](StationState& s) { s.raw.pressure = -1; },
                 "180/006g012t045r...p...P012h87b.....sU2k"},
        AprsCase{"GarbledPressure", [](StationState& s) { s.raw.pressure = -32768; },
                 "180/006g012t045r...p...P012h87b.....sU2k"},
        AprsCase{"Calm",
                 [](StationState& s) {
                     s.windSpeedAvg = 0.0;
                     s.gust = 0.0;
                 },
                 "180/000g000t045r...p...P012h87b10132sU2k"},
        AprsCase{"North", [](StationState& s) { s.windDirAvg = 1; },
                 "001/006g012t045r...p...P012h87b10132sU2k"},
        AprsCase{"GustRoundsUp", [](StationState& s) { s.gust = 24.8; },
                 "180/006g025t045r...p...P012h87b10132sU2k"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MixwReportLines, MatchTheWorkedExample) {
    const StationState s = ExampleState();
    const auto lines = MixwReportLines(ReportValues::FromState(s), s.raw.minuteOfDay, 8);
    const std::array<std::string, 6> expected = {"[wxreport]",        "Time=14:40 ",
                                                 "TempOutdoor=45",    "HumidityOutdoor=87",
                                                 "WindSpeedAvg=6",    "WindDirAvg=S"};
    EXPECT_EQ(lines, expected);
}

struct MixwHumidityCase {
    double humidity;
    const char* line;
};

class MixwHumidity : public ::testing::TestWithParam<MixwHumidityCase> {};

TEST_P(MixwHumidity, IsThePlainRoundedPercent) {
    StationState s = ExampleState();
    s.humidityOutdoor = GetParam().humidity;
    EXPECT_EQ(MixwReportLines(ReportValues::FromState(s), 0, 0)[3], GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(Values, MixwHumidity,
                         ::testing::Values(MixwHumidityCase{99.4, "HumidityOutdoor=99"},
                                           MixwHumidityCase{99.5, "HumidityOutdoor=100"},
                                           MixwHumidityCase{100.0, "HumidityOutdoor=100"},
                                           MixwHumidityCase{0.4, "HumidityOutdoor=0"}));

TEST(MixwReportLines, WriteANegativeTemperatureRoundedUpward) {
    StationState s = ExampleState();
    s.tempOutdoor = -3.7;
    EXPECT_EQ(MixwReportLines(ReportValues::FromState(s), 0, 0)[2], "TempOutdoor=-3");
}

TEST(MixwReportLines, NameTheCompassPointAndKeepTheTimeBlank) {
    const ReportValues v = ReportValues::FromState(ExampleState());
    EXPECT_EQ(MixwReportLines(v, 0, 0)[5], "WindDirAvg=N");
    EXPECT_EQ(MixwReportLines(v, 0, 15)[5], "WindDirAvg=NNW");
    EXPECT_EQ(MixwReportLines(v, 605, 0)[1], "Time=10:05 ");
    EXPECT_EQ(MixwReportLines(v, 0, 0)[1], "Time=00:00 ");
}

TEST(WriteAprsReport, ReplacesTheFileWithTheRecordLineAndTheWeatherLine) {
    ScopedWorkDir dir;
    WriteFile(kAprsReportFile, std::string(500, 'x') + "\r\nold\r\nlines\r\n");
    const char* line = "!!006B005803500000----03E9--------002105140000005D";
    ASSERT_TRUE(WriteAprsReport(line, ExampleState()));
    EXPECT_EQ(ReadFile(kAprsReportFile),
              std::string(line) + "\r\n180/006g012t045r...p...P012h87b10132sU2k\r\n");
}

TEST(WriteMixwReport, ReplacesTheFileWithSixLines) {
    ScopedWorkDir dir;
    WriteFile(kMixwReportFile, std::string(300, 'y'));
    ASSERT_TRUE(WriteMixwReport(ExampleState()));
    EXPECT_EQ(ReadFile(kMixwReportFile),
              "[wxreport]\r\nTime=14:40 \r\nTempOutdoor=45\r\nHumidityOutdoor=87\r\n"
              "WindSpeedAvg=6\r\nWindDirAvg=S\r\n");
}

TEST(WriteAprsReport, CreatesTheFileWhenMissingAndLeavesNothingElse) {
    ScopedWorkDir dir;
    ASSERT_TRUE(WriteAprsReport("!!x", ExampleState()));
    EXPECT_EQ(reports_test::ListDir("."), std::vector<std::string>{kAprsReportFile});
    // A shorter second report leaves no tail of the first.
    StationState calm = ExampleState();
    calm.windDirAvg = 1;
    ASSERT_TRUE(WriteAprsReport("!!", calm));
    EXPECT_EQ(ReadFile(kAprsReportFile), "!!\r\n001/006g012t045r...p...P012h87b10132sU2k\r\n");
}

TEST(WriteReports, FailQuietlyWhenTheNameIsTaken) {
    ScopedWorkDir dir;
    std::filesystem::create_directory(kAprsReportFile);
    std::filesystem::create_directory(kMixwReportFile);
    EXPECT_FALSE(WriteAprsReport("!!", ExampleState()));
    EXPECT_FALSE(WriteMixwReport(ExampleState()));
}

}  // namespace
