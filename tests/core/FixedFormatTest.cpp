// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>

#include "FixedFormat.h"

namespace {

std::string Printf(double value, int decimals) {
    char text[kFixedFormatMax];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::string Fast(double value, int decimals) {
    char text[kFixedFormatMax];
    const int length = FormatFixed(text, value, decimals);
    EXPECT_EQ(length, static_cast<int>(std::string(text).size()));
    return text;
}

TEST(FormatFixed, MatchesPrintfForEveryReadingARecordCanProduce) {
    // Every reading is a signed 16-bit field times one of these multipliers,
    // or a gust equal to such a speed.
    for (double multiplier : {0.062, 0.1, 0.01, 0.002953}) {
        for (int raw = INT16_MIN; raw <= INT16_MAX; ++raw) {
            const double value = raw * multiplier;
            for (int decimals : {1, 2}) {
                ASSERT_EQ(Fast(value, decimals), Printf(value, decimals))
                    << raw << " x " << multiplier << " with " << decimals << " decimals";
            }
        }
    }
}

TEST(FormatFixed, MatchesPrintfAtTiesSignsAndExtremes) {
    const double values[] = {0.0,
                             -0.0,
                             0.05,
                             0.15,
                             0.25,
                             2.5,
                             -0.04,
                             -0.05,
                             0.005,
                             0.125,
                             0.375,
                             99.95,
                             -99.95,
                             1e9,
                             1e9 - 0.05,
                             5e8,
                             1e300,
                             -1e300,
                             std::numeric_limits<double>::infinity(),
                             std::numeric_limits<double>::quiet_NaN(),
                             4.35,
                             1.005};
    for (double v : values) {
        for (int decimals : {1, 2}) {
            EXPECT_EQ(Fast(v, decimals), Printf(v, decimals)) << v << " " << decimals;
        }
    }
}

}  // namespace
