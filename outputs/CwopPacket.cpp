// SPDX-License-Identifier: GPL-3.0-or-later
#include "CwopPacket.h"

#include <cctype>
#include <cmath>

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

std::optional<int> RainLastHourField(const WeatherObservation& o) {
    if (!o.rainLastHour) return std::nullopt;
    return RoundForReport(*o.rainLastHour * 100.0);
}
}  // namespace

bool IsCwopId(const std::string& id) {
    if (id.size() < 3 || id[1] != 'W' || (id[0] != 'C' && id[0] != 'D' && id[0] != 'E')) {
        return false;
    }
    for (std::size_t i = 2; i < id.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(id[i]))) return false;
    }
    return true;
}

std::string AprsIsLogin(const std::string& id, const std::string& passcode,
                        const std::string& version) {
    return "user " + id + " pass " + passcode + " vers Nimbulo " + version;
}

std::string AprsPosition(double latitude, double longitude) {
    return Angle(latitude, 2) + (latitude < 0 ? "S" : "N") + "/" + Angle(longitude, 3) +
           (longitude < 0 ? "W" : "E");
}

ReportValues AprsValuesOf(const WeatherObservation& o) {
    ReportValues v;
    v.direction = RoundForReport(o.windDirection.value_or(0.0));
    v.speed = RoundForReport(o.windSpeed.value_or(0.0));
    v.gust = RoundForReport(o.windGust.value_or(0.0));
    v.temperature = RoundForReport(o.temperature.value_or(0.0));
    v.rain = RoundForReport(o.rainToday.value_or(0.0) * 100.0);
    v.humidity = o.humidity ? RoundForReport(*o.humidity) : 0;
    v.pressure = o.pressure ? RoundForReport(*o.pressure / kInHgPerTenthHpa) : -1;
    return v;
}

std::string CwopPacket(const std::string& id, double latitude, double longitude,
                       const WeatherObservation& observation) {
    std::tm utc{};
    gmtime_r(&observation.time, &utc);
    return id +
           ">APRS,TCPIP*:" + FormatText("@%02d%02d%02dz", utc.tm_mday, utc.tm_hour, utc.tm_min) +
           AprsPosition(latitude, longitude) + "_" +
           AprsWeatherFields(AprsValuesOf(observation), RainLastHourField(observation)) +
           kSoftwareTag;
}
