// SPDX-License-Identifier: GPL-3.0-or-later
// What the networks are sent, and when: positions, ids, the schedule.
#include <gtest/gtest.h>

#include "CwopPacket.h"
#include "UploadSchedule.h"

namespace {
struct PositionCase {
    double latitude, longitude;
    const char* text;
};
}  // namespace

TEST(AprsPosition, WritesDegreesAndMinutesWithHemispheresAndRoundsUpIntoTheNextDegree) {
    const PositionCase cases[] = {
        {49.058333, -72.029167, "4903.50N/07201.75W"},  {0.0, 0.0, "0000.00N/00000.00E"},
        {-33.8688, 151.2093, "3352.13S/15112.56E"},     {5.5, -0.25, "0530.00N/00015.00W"},
        {42.99999, -71.99999, "4300.00N/07200.00W"},  // 59.9994 minutes: the next degree
        {-89.999999, 179.999999, "9000.00S/18000.00E"},
    };
    for (const PositionCase& c : cases) {
        EXPECT_EQ(AprsPosition(c.latitude, c.longitude), c.text)
            << c.latitude << "," << c.longitude;
    }
}

TEST(CwopId, IsCwDwOrEwAndDigitsOnly) {
    for (const char* id : {"CW1234", "DW9999", "EW0001", "CW1"}) EXPECT_TRUE(IsCwopId(id)) << id;
    for (const char* id : {"N0CALL", "CW", "CW12A", "cw1234", "FW1234", ""}) {
        EXPECT_FALSE(IsCwopId(id)) << id;
    }
}

TEST(AprsValues, AMissingHumidityAndPressureAreWrittenAsDots) {
    WeatherObservation o;
    o.temperature = -4.6;
    EXPECT_EQ(AprsValuesOf(o).humidity, 0);
    EXPECT_EQ(AprsValuesOf(o).pressure, -1);
    EXPECT_EQ(AprsValuesOf(o).temperature, -4);  // the report files' rounding
}

TEST(UploadSchedule, TakesOnePointPerIntervalAndPausesLongerAfterEachFailure) {
    using namespace std::chrono_literals;
    using T = UploadSchedule::Clock::time_point;
    UploadTiming timing;
    timing.interval = 600s;
    timing.firstRetryPause = 900s;
    timing.maxRetryPause = 1800s;
    UploadSchedule s(timing);
    const T t0{};
    ASSERT_TRUE(s.Due(t0));
    s.Took(t0);
    EXPECT_FALSE(s.Due(t0 + 300s)) << "a try under way";
    s.Succeeded();
    EXPECT_FALSE(s.Due(t0 + 300s));
    EXPECT_TRUE(s.Due(t0 + 598s)) << "a point a little early still counts";
    s.Took(t0 + 600s);
    s.Failed();
    EXPECT_FALSE(s.Due(t0 + 1200s));
    EXPECT_TRUE(s.Due(t0 + 1500s)) << "the first pause";
    s.Took(t0 + 1500s);
    s.Failed();
    EXPECT_FALSE(s.Due(t0 + 3000s));
    EXPECT_TRUE(s.Due(t0 + 3300s)) << "doubled";
    s.Took(t0 + 3300s);
    s.Failed();
    EXPECT_TRUE(s.Due(t0 + 5100s)) << "at its cap";
    s.Took(t0 + 5100s);
    s.Succeeded();
    EXPECT_TRUE(s.Due(t0 + 5700s)) << "back to the interval";
}
