#include <gtest/gtest.h>

#include <string>

#include "AprsReport.h"
#include "MixwReport.h"
#include "ReportValues.h"

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
    return s;
}

// One reading changed from the worked example, and the APRS weather line and
// the MixW temperature and humidity it must give.
struct ReadingCase {
    const char* name;
    void (*change)(StationState&);
    const char* aprs;
    const char* mixwTemperature;
    const char* mixwHumidity;
};

class ReportsFromReadings : public ::testing::TestWithParam<ReadingCase> {};

TEST_P(ReportsFromReadings, RoundByAddingOneHalfAndTruncating) {
    StationState s = ExampleState();
    GetParam().change(s);
    const ReportValues values = ReportValues::FromState(s);
    EXPECT_EQ(AprsWeatherLine(values), GetParam().aprs);
    const auto mixw = MixwReportLines(values, 0, 0);
    EXPECT_EQ(mixw[2], std::string("TempOutdoor=") + GetParam().mixwTemperature);
    EXPECT_EQ(mixw[3], std::string("HumidityOutdoor=") + GetParam().mixwHumidity);
}

INSTANTIATE_TEST_SUITE_P(
    Readings, ReportsFromReadings,
    ::testing::Values(ReadingCase{"Humidity99_4", [](StationState& s) { s.humidityOutdoor = 99.4; },
                                  "180/006g012t045r...p...P012h99b10132sU2k", "45", "99"},
                      ReadingCase{"Humidity99_5", [](StationState& s) { s.humidityOutdoor = 99.5; },
                                  "180/006g012t045r...p...P012h00b10132sU2k", "45", "100"},
                      ReadingCase{"Minus3_7", [](StationState& s) { s.tempOutdoor = -3.7; },
                                  "180/006g012t-03r...p...P012h87b10132sU2k", "-3", "87"},
                      ReadingCase{"Minus3_2", [](StationState& s) { s.tempOutdoor = -3.2; },
                                  "180/006g012t-02r...p...P012h87b10132sU2k", "-2", "87"},
                      ReadingCase{"Minus0_6", [](StationState& s) { s.tempOutdoor = -0.6; },
                                  "180/006g012t000r...p...P012h87b10132sU2k", "0", "87"},
                      ReadingCase{"Minus99_6", [](StationState& s) { s.tempOutdoor = -99.6; },
                                  "180/006g012t-99r...p...P012h87b10132sU2k", "-99", "87"},
                      ReadingCase{"Minus100_6", [](StationState& s) { s.tempOutdoor = -100.6; },
                                  "180/006g012t-99r...p...P012h87b10132sU2k", "-100", "87"},
                      ReadingCase{"Rain0_29", [](StationState& s) { s.rainToday = 29 * 0.01; },
                                  "180/006g012t045r...p...P029h87b10132sU2k", "45", "87"},
                      ReadingCase{"Rain1_5", [](StationState& s) { s.rainToday = 150 * 0.01; },
                                  "180/006g012t045r...p...P150h87b10132sU2k", "45", "87"},
                      ReadingCase{"Pressure9995", [](StationState& s) { s.raw.pressure = 9995; },
                                  "180/006g012t045r...p...P012h87b09995sU2k", "45", "87"},
                      ReadingCase{"NoBarometer", [](StationState& s) { s.raw.pressure = -1; },
                                  "180/006g012t045r...p...P012h87b.....sU2k", "45", "87"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
