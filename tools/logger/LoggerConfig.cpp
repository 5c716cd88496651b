// SPDX-License-Identifier: GPL-3.0-or-later
#include "LoggerConfig.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>

#include "PointDecimals.h"

namespace {
bool ParseNumber(const std::string& text, double& value) {
    const PointDecimals point;  // "49.5" in every locale
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return !text.empty() && end == text.c_str() + text.size() && std::isfinite(value);
}

bool ParseWhole(const std::string& text, int low, int high, int& value) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && !text.empty() && value >= low && value <= high;
}

// One group of the file: its values by key, and errors named "[Group] Key".
class Group {
  public:
    Group(const ConfigFile& config, std::string name, std::string& error)
        : config_(config), name_(std::move(name)), error_(error) {}

    bool Enabled() const { return Flag("Enabled"); }
    // 1 or 0, true or false (any case): how the display's settings and a
    // hand-written file say it; off when not there.
    bool Flag(const char* key) const {
        std::string value = config_.Value(name_, key).value_or("0");
        for (char& c : value) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (value == "1" || value == "true") return true;
        if (value != "0" && value != "false" && value != "" && error_.empty())
            error_ = "[" + name_ + "] " + key + " needs 1, 0, true or false";
        return false;
    }
    void Text(const char* key, std::string& out) const {
        if (auto value = config_.Value(name_, key); value && !value->empty()) out = *value;
    }
    template <typename Store>
    void Whole(const char* key, int low, int high, Store store) const {
        const auto value = config_.Value(name_, key);
        int number = 0;
        if (!value || value->empty()) return;
        if (ParseWhole(*value, low, high, number)) {
            store(number);
        } else if (error_.empty()) {
            error_ = "[" + name_ + "] " + key + " needs a whole number from " +
                     std::to_string(low) + " to " + std::to_string(high);
        }
    }

  private:
    const ConfigFile& config_;
    std::string name_;
    std::string& error_;
};

void ApplyStation(const Group& group, StationUploadOptions& station) {
    if (!group.Enabled()) return;
    group.Text("StationId", station.stationId);
    group.Text("KeyFile", station.keyFile);
    group.Text("Url", station.url);
    group.Whole("Interval", 1, 86400,
                [&](int s) { station.timing.interval = std::chrono::seconds(s); });
}

void ApplyCwop(const Group& group, CwopOptions& cwop) {
    if (!group.Enabled()) return;
    group.Text("Id", cwop.id);
    group.Text("PasscodeFile", cwop.passcodeFile);
    group.Text("Server", cwop.server);
    group.Whole("Interval", 1, 86400,
                [&](int s) { cwop.timing.interval = std::chrono::seconds(s); });
}

// [Station]: the name and elevation, and the position CWOP sends. A file
// from before [Station] keeps its position in [Cwop].
void ApplyStationIdentity(const ConfigFile& config, LoggerOptions& options, std::string& error) {
    StationIdentity& station = options.station;
    if (auto name = config.Value("Station", "Name")) station.name = *name;
    for (const char* group : {"Station", "Cwop"}) {
        const auto latitude = config.Value(group, "Latitude");
        const auto longitude = config.Value(group, "Longitude");
        if (!latitude && !longitude) continue;
        if (!ParsePosition(latitude.value_or("") + "," + longitude.value_or(""),
                           options.uploads.cwop) &&
            error.empty()) {
            error = std::string("[") + group +
                    "] Latitude and Longitude need decimal degrees (-90 to 90, -180 to 180)";
        }
        break;
    }
    const auto elevation = config.Value("Station", "Elevation");
    const auto unit = config.Value("Station", "ElevationUnit");
    if ((!elevation || elevation->empty()) && !unit) return;
    if (!ParseElevation(elevation.value_or("") + unit.value_or("ft"), station) && error.empty())
        error = "[Station] Elevation needs a number and ElevationUnit ft or m";
}
}  // namespace

bool ParsePosition(const std::string& text, CwopOptions& cwop) {
    const std::size_t comma = text.find(',');
    double latitude = 0.0;
    double longitude = 0.0;
    if (comma == std::string::npos || !ParseNumber(text.substr(0, comma), latitude) ||
        !ParseNumber(text.substr(comma + 1), longitude) || std::fabs(latitude) > 90.0 ||
        std::fabs(longitude) > 180.0) {
        return false;
    }
    cwop.latitude = latitude;
    cwop.longitude = longitude;
    cwop.havePosition = true;
    return true;
}

std::string ApplyConfigFile(const ConfigFile& config, LoggerOptions& options) {
    std::string error;
    const Group mqtt(config, "Mqtt", error);
    if (mqtt.Enabled()) {
        mqtt.Text("Host", options.mqtt.host);
        mqtt.Whole("Port", 1, 65535, [&](int port) { options.mqtt.port = port; });
        mqtt.Text("Prefix", options.mqtt.prefix);
        mqtt.Text("StationId", options.mqtt.stationId);
        mqtt.Text("User", options.mqtt.user);
        mqtt.Text("PasswordFile", options.mqtt.passwordFile);
        mqtt.Text("CaFile", options.mqtt.caFile);
        mqtt.Whole("StateInterval", 1, 86400,
                   [&](int s) { options.mqtt.stateInterval = std::chrono::seconds(s); });
    }
    const Group settings(config, "Settings", error);
    options.wxnow = settings.Flag("WxnowJson");
    settings.Whole("StaleAfter", 1, 9999, [&](int s) { options.staleAfterSeconds = s; });
    settings.Whole("RainGauge", 0, 1, [&](int gauge) { options.rainGaugeMillimetre = gauge == 1; });
    ApplyCwop(Group(config, "Cwop", error), options.uploads.cwop);
    ApplyStationIdentity(config, options, error);
    ApplyStation(Group(config, "Wunderground", error), options.uploads.wunderground);
    ApplyStation(Group(config, "Pwsweather", error), options.uploads.pwsweather);
    const Group web(config, "Web", error);
    if (web.Enabled()) {
        options.web.enabled = true;
        web.Text("Address", options.web.address);
        web.Whole("Port", 1, 65535, [&](int port) { options.web.port = port; });
        if (!IsNumericAddress(options.web.address) && error.empty())
            error = "[Web] Address needs an address in numbers, such as 127.0.0.1";
    }
    if (error.empty()) error = ApplyAlarmsConfig(config, options);
    return error;
}

std::string ApplyAlarmsConfig(const ConfigFile& config, LoggerOptions& options) {
    options.alarmsOn = config.Value("Alarms", "Enabled").value_or("0") == "1";
    if (!options.alarmsOn) return {};
    for (const std::string& key : AlarmSettingKeys()) {
        const auto value = config.Value("Alarms", key);
        if (!value) continue;
        if (std::string error = ApplyAlarmSetting(options.alarms, key, *value); !error.empty())
            return "[Alarms] " + error;
    }
    return {};
}
