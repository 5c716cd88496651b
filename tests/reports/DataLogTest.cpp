// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "DataLog.h"

namespace {

TEST(DataLogLineText, MatchesTheWorkedExample) {
    FivePointValues s;
    s.minuteOfDay = 14 * 60 + 40;
    s.windSpeedAvg = 90 * 0.062;
    s.compassIndex = 9;
    s.tempOutdoor = 453 * 0.1;
    s.tempIndoor = 682 * 0.1;
    s.pressure = 10132 * 0.002953;
    s.humidityOutdoor = 870 * 0.1;
    s.humidityIndoor = 415 * 0.1;
    s.rainToday = 12 * 0.01;
    EXPECT_EQ(DataLogLineText(s), "14:40\t5.6\t 9\t45.3\t68.2\t29.92\t87.0\t41.5\t0.12");
}

// The line is put together piece by piece for speed; it must equal what the
// C library makes of the documented format for every reading a record can
// produce (raw 16-bit fields times the unit multipliers), -1 minute included.
TEST(DataLogLineText, EqualsTheDocumentedPrintfFormatOverTheRecordRange) {
    FivePointValues s;
    for (int raw = -32768; raw <= 32767; raw += 7) {
        s.minuteOfDay = static_cast<int16_t>(raw % 1500);
        s.windSpeedAvg = raw * 0.062;
        s.compassIndex = (raw & 0xFFFF) % 19 - 2;  // also outside 0..15
        s.tempOutdoor = raw * 0.1;
        s.tempIndoor = -raw * 0.1;
        s.pressure = raw * 0.002953;
        s.humidityOutdoor = (raw / 3) * 0.1;
        s.humidityIndoor = (raw % 1000) * 0.1;
        s.rainToday = raw * 0.01;
        const int m = s.minuteOfDay;
        char expected[512];
        std::snprintf(expected, sizeof expected,
                      "%2.2d:%2.2d\t%3.1f\t%2d\t%3.1f\t%3.1f\t%2.2f\t%2.1f\t%2.1f\t%3.2f", m / 60,
                      m % 60, s.windSpeedAvg, s.compassIndex, s.tempOutdoor, s.tempIndoor,
                      s.pressure, s.humidityOutdoor, s.humidityIndoor, s.rainToday);
        ASSERT_EQ(DataLogLineText(s), expected) << "raw " << raw;
    }
}

}  // namespace
