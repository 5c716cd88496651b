// SPDX-License-Identifier: GPL-3.0-or-later
#include "StationIdentity.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

const char* ElevationUnitText(StationIdentity::ElevationUnit unit) {
    return unit == StationIdentity::ElevationUnit::Metres ? "m" : "ft";
}

std::optional<StationIdentity::ElevationUnit> ParseElevationUnit(const std::string& text) {
    if (text == "ft") return StationIdentity::ElevationUnit::Feet;
    if (text == "m") return StationIdentity::ElevationUnit::Metres;
    return std::nullopt;
}

std::optional<double> ParseDecimal(const std::string& text) {
    if (text.empty() || std::isspace(static_cast<unsigned char>(text[0]))) return std::nullopt;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

bool ParseElevation(const std::string& text, StationIdentity& station) {
    const std::size_t unitAt = text.find_first_of("fm");
    if (unitAt == std::string::npos) return false;
    std::string number = text.substr(0, unitAt);
    while (!number.empty() && number.back() == ' ') number.pop_back();
    const auto value = ParseDecimal(number);
    const auto unit = ParseElevationUnit(text.substr(unitAt));
    if (!value || !unit) return false;
    station.elevation = value;
    station.elevationUnit = *unit;
    return true;
}

std::string DegreesMinutesText(double degrees, char positive, char negative) {
    // Rounded to hundredths of a minute first, so 59.999' becomes the next degree.
    const long hundredths = std::lround(std::fabs(degrees) * 6000.0);
    char text[32];
    std::snprintf(text, sizeof text, "%ld\u00b0 %05.2f' %c", hundredths / 6000,
                  static_cast<double>(hundredths % 6000) / 100.0,
                  degrees < 0 && hundredths > 0 ? negative : positive);
    return text;
}
