// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "AprsReport.h"
#include "FivePointValues.h"
#include "MixwReport.h"
#include "ReportValues.h"

namespace {

TEST(Reports, RoundEachReadingByAddingOneHalfAndTruncating) {
    struct Case {
        double temperature, humidity;
        int rain, pressure;
        const char *aprs, *mixwTemperature, *mixwHumidity;
    };
    // Outdoor F, outdoor %, rain in 0.01 in, the pressure field in 0.1 mbar.
    // clang-format off
    for (const Case& c : std::initializer_list<Case>{
             {45.3, 99.4, 12, 10132, "180/006g012t045r...p...P012h99b10132sU2k", "45", "99"},
             {45.3, 99.5, 12, 10132, "180/006g012t045r...p...P012h00b10132sU2k", "45", "100"},
             {-3.7, 87.0, 12, 10132, "180/006g012t-03r...p...P012h87b10132sU2k", "-3", "87"},
             {-3.2, 87.0, 12, 10132, "180/006g012t-02r...p...P012h87b10132sU2k", "-2", "87"},
             {-0.6, 87.0, 12, 10132, "180/006g012t000r...p...P012h87b10132sU2k", "0", "87"},
             {-99.6, 87.0, 12, 10132, "180/006g012t-99r...p...P012h87b10132sU2k", "-99", "87"},
             {-100.6, 87.0, 12, 10132, "180/006g012t-99r...p...P012h87b10132sU2k", "-100", "87"},
             {45.3, 87.0, 29, 10132, "180/006g012t045r...p...P029h87b10132sU2k", "45", "87"},
             {45.3, 87.0, 150, 10132, "180/006g012t045r...p...P150h87b10132sU2k", "45", "87"},
             {45.3, 87.0, 12, 9995, "180/006g012t045r...p...P012h87b09995sU2k", "45", "87"},
             {45.3, 87.0, 12, -1, "180/006g012t045r...p...P012h87b.....sU2k", "45", "87"},
             {45.3, 0.4, 12, 10132, "180/006g012t045r...p...P012h..b10132sU2k", "45", "0"},
             {45.3, 0.5, 12, 10132, "180/006g012t045r...p...P012h01b10132sU2k", "45", "1"}}) {
        // clang-format on
        StationState s;  // otherwise the worked example: 180 degrees, 5.6 mph, gust 12.4
        s.windDirAvg = 128;
        s.windSpeedAvg = 90 * 0.062;
        s.gust = 200 * 0.062;
        s.tempOutdoor = c.temperature;
        s.humidityOutdoor = c.humidity;
        s.rainToday = c.rain * 0.01;
        s.raw.pressure = static_cast<int16_t>(c.pressure);
        const ReportValues values = FivePointValues::FromState(s, "").report;
        EXPECT_EQ(AprsWeatherLine(values), c.aprs);
        const auto mixw = MixwReportLines(values, 0, 0);
        EXPECT_EQ(mixw[2], std::string("TempOutdoor=") + c.mixwTemperature) << c.aprs;
        EXPECT_EQ(mixw[3], std::string("HumidityOutdoor=") + c.mixwHumidity) << c.aprs;
    }
}

}  // namespace
