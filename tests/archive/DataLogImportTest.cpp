// SPDX-License-Identifier: GPL-3.0-or-later
// One data-log line into a point: the forms the data log prints, and values
// no sensor gives left out with the line named.
#include <gtest/gtest.h>

#include "DataLogImport.h"

namespace {
using namespace ArchiveColumns;

constexpr const char* kGood = "5.6\t 8\t45.3\t68.2\t29.92\t87.0\t41.5\t0.12";

struct LineCase {
    const char* name;
    std::string values;   // the eight values after "2002/12/05 14:00\t"
    const char* reason;   // part of the reason for a rejected line, nullptr when taken
    const char* leftOut;  // the value said to be left out, nullptr for none
    std::optional<std::size_t> absent{};  // the value left out of the point
};

const LineCase kLines[] = {
    {"ALineAsTheLogPrintsIt", kGood, nullptr, nullptr},
    {"TheStandInZeroOfAReadingNeverReceived", "0.0\t 0\t0.0\t0.0\t0.00\t0.0\t0.0\t0.00", nullptr,
     nullptr},
    {"AnExponent", "1e300\t 8\t45.3\t68.2\t29.92\t87.0\t41.5\t0.12", "wind_speed_avg_mph", nullptr},
    {"Infinity", "5.6\t 8\tinf\t68.2\t29.92\t87.0\t41.5\t0.12", "temperature_outdoor_f", nullptr},
    {"APlusSign", "5.6\t 8\t45.3\t68.2\t+29.92\t87.0\t41.5\t0.12", "pressure_inhg", nullptr},
    {"ACompassPointBeyond15", "5.6\t16\t45.3\t68.2\t29.92\t87.0\t41.5\t0.12",
     "wind_direction_avg_compass", nullptr},
    {"AWindNoAnemometerGives", "999.9\t 8\t45.3\t68.2\t29.92\t87.0\t41.5\t0.12", nullptr,
     "wind_speed_avg_mph 999.9", kWindSpeedAvg},
    {"AFrostNoThermometerGives", "5.6\t 8\t-99999.0\t68.2\t29.92\t87.0\t41.5\t0.12", nullptr,
     "temperature_outdoor_f -99999.0", kTempOutdoor},
    {"AHumidityBeyond100", "5.6\t 8\t45.3\t68.2\t29.92\t180.0\t41.5\t0.12", nullptr,
     "humidity_outdoor_pct 180.0", kHumidityOutdoor},
    {"ARainBelowNothing", "5.6\t 8\t45.3\t68.2\t29.92\t87.0\t41.5\t-5.00", nullptr,
     "rain_today_in -5.00", kRainToday},
    {"ALineLongerThanAnyDataLogLine", kGood + std::string(DataLogImport::kMaxLineLength, ' '),
     "longer than", nullptr},
};

class DataLogLine : public ::testing::TestWithParam<LineCase> {};

TEST_P(DataLogLine, IsTakenAsTheLogPrintedItOrNamedWithItsReason) {
    const LineCase& c = GetParam();
    std::string reason, leftOut;
    const auto point = ParseDataLogLine("2002/12/05 14:00\t" + c.values, reason, &leftOut);
    if (c.reason) {
        EXPECT_FALSE(point.has_value());
        EXPECT_NE(reason.find(c.reason), std::string::npos) << reason;
        return;
    }
    ASSERT_TRUE(point.has_value()) << reason;
    EXPECT_EQ(leftOut.empty(), c.leftOut == nullptr) << leftOut;
    if (c.leftOut) {
        EXPECT_NE(leftOut.find(c.leftOut), std::string::npos) << leftOut;
    }
    for (std::size_t k = 0; k < kDataLogCount; ++k)
        EXPECT_EQ(point->values[k].has_value(), k != c.absent) << kPoint[k].name;
}

INSTANTIATE_TEST_SUITE_P(Lines, DataLogLine, ::testing::ValuesIn(kLines),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
