// SPDX-License-Identifier: GPL-3.0-or-later
#include "HomeAssistantDiscovery.h"

#include <nlohmann/json.hpp>

namespace {
// A sensor entity: the state key it shows and how Home Assistant should treat it.
struct Entity {
    const char* key;
    const char* name;
    const char* deviceClass;  // nullptr: none
    const char* unit;         // nullptr: none
    const char* stateClass;   // nullptr: none
};
// Rain only grows during the day (and over the long term) until it is reset,
// which is what total_increasing means. The direction gets no device or state
// class: Home Assistant versions before 2025 reject a wind_direction class,
// and averaging an angle as a plain measurement gives wrong statistics.
// The month's and year's rain grow until the month or year starts again; the
// last hour's and yesterday's go up and down. The pressure change is a
// difference, not a pressure (no device class), and the trend is a word.
constexpr Entity kEntities[] = {
    {"temperature_outdoor_f", "Outdoor temperature", "temperature", "°F", "measurement"},
    {"temperature_indoor_f", "Indoor temperature", "temperature", "°F", "measurement"},
    {"humidity_outdoor_pct", "Outdoor humidity", "humidity", "%", "measurement"},
    {"humidity_indoor_pct", "Indoor humidity", "humidity", "%", "measurement"},
    {"wind_speed_mph", "Wind speed", "wind_speed", "mph", "measurement"},
    {"wind_speed_avg_mph", "Wind speed one-minute average", "wind_speed", "mph", "measurement"},
    {"wind_gust_mph", "Wind gust", "wind_speed", "mph", "measurement"},
    {"wind_direction_deg", "Wind direction", nullptr, "°", nullptr},
    {"rain_today_in", "Rain today", "precipitation", "in", "total_increasing"},
    {"rain_long_term_in", "Rain long-term", "precipitation", "in", "total_increasing"},
    {"pressure_inhg", "Pressure", "atmospheric_pressure", "inHg", "measurement"},
    {"record_count", "Records received", nullptr, nullptr, "total_increasing"},
    {"dew_point_f", "Dew point", "temperature", "°F", "measurement"},
    {"wind_chill_f", "Wind chill", "temperature", "°F", "measurement"},
    {"heat_index_f", "Heat index", "temperature", "°F", "measurement"},
    {"feels_like_f", "Feels like", "temperature", "°F", "measurement"},
    {"pressure_change_3h_inhg", "Pressure change over three hours", nullptr, "inHg", "measurement"},
    {"pressure_trend", "Pressure trend", nullptr, nullptr, nullptr},
    {"rain_last_hour_in", "Rain last hour", "precipitation", "in", "measurement"},
    {"rain_yesterday_in", "Rain yesterday", "precipitation", "in", "measurement"},
    {"rain_month_in", "Rain this month", "precipitation", "in", "total_increasing"},
    {"rain_year_in", "Rain this year", "precipitation", "in", "total_increasing"},
    {"temperature_outdoor_f_max_today", "Outdoor temperature high today", "temperature", "°F",
     "measurement"},
    {"temperature_outdoor_f_min_today", "Outdoor temperature low today", "temperature", "°F",
     "measurement"},
};

using Json = nlohmann::ordered_json;  // members in the order they are added

Json DeviceJson(const std::string& deviceId, const std::string& stationId) {
    return {{"identifiers", Json::array({deviceId})},
            {"name", "Weather station " + stationId},
            {"model", "Ultimeter 2000"},
            {"manufacturer", "Peet Bros."}};
}

// Names the program that sent the config, as Home Assistant's documentation
// asks of every discovery message.
Json OriginJson() {
    return {
        {"name", "Nimbulo"}, {"sw_version", NIMBULO_VERSION}, {"support_url", NIMBULO_HOMEPAGE}};
}

std::string EntityConfig(const Entity& e, const std::string& uniqueId, const std::string& prefix,
                         const Json& device) {
    Json config = {{"name", e.name},
                   {"unique_id", uniqueId},
                   {"state_topic", prefix + "/state"},
                   {"value_template", std::string("{{ value_json.") + e.key + " }}"}};
    if (e.deviceClass) config["device_class"] = e.deviceClass;
    if (e.unit) config["unit_of_measurement"] = e.unit;
    if (e.stateClass) config["state_class"] = e.stateClass;
    config["availability_topic"] = prefix + "/availability";
    config["payload_available"] = "online";
    config["payload_not_available"] = "offline";
    config["device"] = device;
    config["origin"] = OriginJson();
    // Compact, UTF-8 as it is; bytes that are no UTF-8 (a prefix typed in
    // another encoding) become U+FFFD instead of ending the program.
    return config.dump(-1, ' ', false, Json::error_handler_t::replace);
}
}  // namespace

std::vector<MqttMessage> HomeAssistantDiscovery(const MqttOptions& options) {
    const std::string station = options.SafeStationId();
    const std::string deviceId = "nimbulo_" + station;
    const Json device = DeviceJson(deviceId, station);
    std::vector<MqttMessage> configs;
    for (const Entity& e : kEntities) {
        const std::string uniqueId = deviceId + "_" + e.key;
        configs.push_back({"homeassistant/sensor/" + uniqueId + "/config",
                           EntityConfig(e, uniqueId, options.TopicPrefix(), device)});
    }
    return configs;
}
