// SPDX-License-Identifier: GPL-3.0-or-later
#include "CwopPacket.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <string_view>

#include "AprsReport.h"
#include "TextFormat.h"

namespace {
// The record's 0.002953 inHg per 0.1 hPa, back to the field's tenths of hPa.
constexpr double kInHgPerTenthHpa = 0.002953;
constexpr const char* kSoftwareTag = ".Nimbulo";

// "DDMM.mm" (or "DDDMM.mm"): counting whole hundredths of a minute first, so
// 59.996 minutes makes the next degree, not "60.00".
std::string Angle(double degrees, int degreeDigits) {
    const long hundredths = std::lround(std::fabs(degrees) * 6000.0);
    return FormatText("%0*ld%02ld.%02ld", degreeDigits, hundredths / 6000, hundredths % 6000 / 100,
                      hundredths % 100);
}

// CWOP rounds to the nearest whole unit, below zero too (-4.0 F is "t-04");
// the report files keep their own rounding.
std::optional<int> Nearest(const std::optional<double>& value, double scale = 1.0) {
    if (!value) return std::nullopt;
    return static_cast<int>(std::lround(*value * scale));
}

// A field of digits (at most all nines: a field never grows), or dots where
// the station gave no reading.
std::string Field(const char* name, const std::optional<int>& value, int digits) {
    if (!value) return name + std::string(static_cast<std::size_t>(digits), '.');
    const int most = digits == 2 ? 99 : digits == 3 ? 999 : 99999;
    return name + FormatText("%0*d", digits, std::clamp(*value, 0, most));
}

std::string Temperature(const std::optional<int>& value) {
    return value ? AprsTemperatureField(*value) : std::string("t...");
}

std::optional<int> Pressure(const WeatherObservation& o) {
    return o.pressure ? Nearest(*o.pressure / kInHgPerTenthHpa) : std::nullopt;
}

// APRS writes 100 percent as "h00".
std::optional<int> Humidity(const WeatherObservation& o) {
    const std::optional<int> h = Nearest(o.humidity);
    return h && *h > 99 ? 0 : h;
}
}  // namespace

bool IsCwopId(const std::string& id) {
    const std::string upper = CwopUpperCase(id);
    if (upper.size() < 3 || upper[1] != 'W' ||
        std::string_view("CDEF").find(upper[0]) == std::string_view::npos)
        return false;
    for (std::size_t i = 2; i < upper.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(upper[i]))) return false;
    }
    return true;
}

bool IsCwopServer(const std::string& server) {
    std::string host = CwopUpperCase(server.substr(0, server.rfind(':')));
    return host.find("CWOP") != std::string::npos;
}

std::chrono::seconds CwopSendOffset(const std::string& id) {
    unsigned hash = 0;
    for (const char c : CwopUpperCase(id)) hash = hash * 31u + static_cast<unsigned char>(c);
    return std::chrono::seconds(30 + hash % 240);
}

UploadTiming CwopTiming(const CwopOptions& options) {
    constexpr std::chrono::seconds kCwopSpacing{300};
    UploadTiming timing = options.timing;
    if (!IsCwopServer(options.server)) return timing;
    timing.interval = std::max(timing.interval, kCwopSpacing);
    timing.sendDelay = CwopSendOffset(options.id);
    timing.minSpacing = kCwopSpacing;
    return timing;
}

std::string CwopUpperCase(std::string id) {
    for (char& c : id) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return id;
}

std::string AprsIsLogin(const std::string& id, const std::string& passcode,
                        const std::string& version) {
    return "user " + CwopUpperCase(id) + " pass " + passcode + " vers Nimbulo " + version;
}

std::string AprsPosition(double latitude, double longitude) {
    return Angle(latitude, 2) + (latitude < 0 ? "S" : "N") + "/" + Angle(longitude, 3) +
           (longitude < 0 ? "W" : "E");
}

ReportValues AprsValuesOf(const WeatherObservation& o) {
    ReportValues v;
    v.direction = Nearest(o.windDirection).value_or(0);
    v.speed = Nearest(o.windSpeed).value_or(0);
    v.gust = Nearest(o.windGust).value_or(0);
    v.temperature = Nearest(o.temperature).value_or(0);
    v.rain = Nearest(o.rainToday, 100.0).value_or(0);
    v.humidity = Nearest(o.humidity).value_or(0);
    v.pressure = Pressure(o).value_or(-1);
    return v;
}

std::string CwopWeatherFields(const WeatherObservation& o) {
    return Field("", Nearest(o.windDirection), 3) + Field("/", Nearest(o.windSpeed), 3) +
           Field("g", Nearest(o.windGust), 3) + Temperature(Nearest(o.temperature)) +
           Field("r", Nearest(o.rainLastHour, 100.0), 3) + "p..." +
           Field("P", Nearest(o.rainToday, 100.0), 3) + Field("h", Humidity(o), 2) +
           Field("b", Pressure(o), 5);
}

std::string CwopPacket(const std::string& id, double latitude, double longitude,
                       const WeatherObservation& observation) {
    std::tm utc{};
    gmtime_r(&observation.time, &utc);
    return CwopUpperCase(id) +
           ">APRS,TCPIP*:" + FormatText("@%02d%02d%02dz", utc.tm_mday, utc.tm_hour, utc.tm_min) +
           AprsPosition(latitude, longitude) + "_" + CwopWeatherFields(observation) + kSoftwareTag;
}
