// SPDX-License-Identifier: GPL-3.0-or-later
// Reads our APRS weather lines back with a real APRS decoder (decode_aprs
// from the direwolf package), so the format is checked by something that
// was not written here.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <vector>

#include "AprsReport.h"
#include "ReportValues.h"

namespace {

// The decoder's reading of a position report carrying the weather line,
// without its colour codes.
std::string Decode(const std::string& weather) {
    const std::string command = "echo 'N0CALL>APRS:!4903.50N/07201.75W_" + weather +
                                "' | decode_aprs 2>&1 | sed 's/\\x1b\\[[0-9;]*m//g'";
    std::FILE* pipe = popen(command.c_str(), "r");
    std::string output;
    char buffer[512];
    while (pipe != nullptr && std::fgets(buffer, sizeof buffer, pipe) != nullptr) output += buffer;
    if (pipe != nullptr) pclose(pipe);
    return output;
}

TEST(AprsDecoder, ReadsBackTheReadingsAsWritten) {
    if (std::system("command -v decode_aprs >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "decode_aprs (package direwolf) is not installed";
    }
    struct Case {
        ReportValues values;  // direction, speed, gust, temperature, rain, humidity, pressure
        std::vector<std::string> readings;  // in the decoder's words; "!" first: must be absent
    };
    // The decoder shows the pressure in inHg to two places (1 inHg = 33.86 mbar).
    // clang-format off
    for (const Case& c : std::initializer_list<Case>{
             {{90, 3, 7, -3, 29, 55, 10132},
              {"gust 7,", "temperature -3,", "rain 0.29 since midnight", "humidity 55,", "barometer 29.92"}},
             {{270, 10, 25, -15, 150, 40, 9995},
              {"direction 270,", "gust 25,", "temperature -15,", "rain 1.50 since midnight", "humidity 40,", "barometer 29.52"}},
             {{1, 0, 0, -120, 0, 20, 9800}, {"direction 1,", "gust 0,", "temperature -99,", "barometer 28.94"}},
             {{45, 2, 4, 0, 0, 100, 10000}, {"temperature 0,", "humidity 100", "barometer 29.53"}},
             {{180, 6, 12, 45, 12, 87, -1}, {"humidity 87", "!barometer"}},
             {{180, 6, 12, 45, 12, 0, 10132}, {"!humidity", "barometer 29.92"}}}) {
        // clang-format on
        const std::string weather = AprsWeatherLine(c.values);
        const std::string decoded = Decode(weather);
        for (const std::string& reading : c.readings) {
            const bool absent = reading[0] == '!';
            EXPECT_EQ(decoded.find(reading.substr(absent ? 1 : 0)) == std::string::npos, absent)
                << "\"" << reading << "\" for " << weather << " in:\n"
                << decoded;
        }
    }
}

}  // namespace
