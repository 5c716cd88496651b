// Reads our APRS weather lines back with a real APRS decoder (decode_aprs
// from the direwolf package), so the format is checked by something that
// was not written here.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <cctype>
#include <string>
#include <vector>

#include "AprsReport.h"
#include "ReportValues.h"

namespace {

std::filesystem::path FindDecoder() {
    const char* path = std::getenv("PATH");
    std::stringstream dirs(path ? path : "");
    std::string dir;
    while (std::getline(dirs, dir, ':')) {
        const auto candidate = std::filesystem::path(dir) / "decode_aprs";
        if (!dir.empty() && std::filesystem::exists(candidate)) return candidate;
    }
    return {};
}

std::string WithoutColourCodes(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\x1b') {
            while (i < text.size() && !std::isalpha(static_cast<unsigned char>(text[i]))) ++i;
            continue;
        }
        out += text[i];
    }
    return out;
}

// The decoder's reading of a position report carrying the weather line.
std::string Decode(const std::filesystem::path& decoder, const std::string& weather) {
    const std::string packet = "N0CALL>APRS:!4903.50N/07201.75W_" + weather;
    const std::string command = "echo '" + packet + "' | '" + decoder.string() + "' 2>&1";
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return {};
    std::string output;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) output += buffer;
    pclose(pipe);
    return WithoutColourCodes(output);
}

struct DecoderCase {
    const char* name;
    ReportValues values;
    // What the decoder must print back, in its own words; it shows the
    // pressure in inHg to two places (1 inHg = 33.86 mbar).
    std::vector<std::string> readings;
};

class AprsDecoderReadsBack : public ::testing::TestWithParam<DecoderCase> {};

TEST_P(AprsDecoderReadsBack, TheReadingsAsWritten) {
    const auto decoder = FindDecoder();
    if (decoder.empty()) GTEST_SKIP() << "decode_aprs (package direwolf) is not installed";
    const std::string weather = AprsWeatherLine(GetParam().values);
    const std::string decoded = Decode(decoder, weather);
    for (const std::string& reading : GetParam().readings) {
        EXPECT_NE(decoded.find(reading), std::string::npos)
            << "missing \"" << reading << "\" for " << weather << " in:\n" << decoded;
    }
}

// ReportValues: direction, speed, gust, temperature, rain, humidity, pressure.
INSTANTIATE_TEST_SUITE_P(
    Reports, AprsDecoderReadsBack,
    ::testing::Values(
        DecoderCase{"WorkedExample",
                    {180, 6, 12, 45, 12, 87, 10132},
                    {"direction 180,", "gust 12,", "temperature 45,",
                     "rain 0.12 since midnight", "humidity 87,", "barometer 29.92"}},
        DecoderCase{"MinusThree",
                    {90, 3, 7, -3, 29, 55, 10132},
                    {"gust 7,", "temperature -3,", "rain 0.29 since midnight", "humidity 55,"}},
        DecoderCase{"MinusFifteenLowPressure",
                    {270, 10, 25, -15, 150, 40, 9995},
                    {"direction 270,", "gust 25,", "temperature -15,",
                     "rain 1.50 since midnight", "humidity 40,", "barometer 29.52"}},
        DecoderCase{"BitterColdClamped",
                    {1, 0, 0, -120, 0, 20, 9800},
                    {"direction 1,", "gust 0,", "temperature -99,", "barometer 28.94"}},
        DecoderCase{"SaturatedAir",
                    {45, 2, 4, 0, 0, 100, 10000},
                    {"temperature 0,", "humidity 100", "barometer 29.53"}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace

namespace {

TEST(AprsDecoder, ReadsNoBarometerFromAStationWithoutOne) {
    const auto decoder = FindDecoder();
    if (decoder.empty()) GTEST_SKIP() << "decode_aprs (package direwolf) is not installed";
    const std::string decoded = Decode(decoder, AprsWeatherLine({180, 6, 12, 45, 12, 87, -1}));
    EXPECT_NE(decoded.find("humidity 87"), std::string::npos) << decoded;
    EXPECT_EQ(decoded.find("barometer"), std::string::npos) << decoded;
}

}  // namespace
