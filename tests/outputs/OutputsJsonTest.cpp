// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "CurrentConditionsJson.h"
#include "FivePointJson.h"
#include "HomeAssistantDiscovery.h"
#include "JsonMember.h"
#include "JsonObject.h"

namespace {
// One reading of the state: its record field, raw value, reading in display
// units (raw times the instrument's multiplier) and the JSON text expected.
struct Case {
    const char* key;
    int field;
    int16_t raw;
    double StationState::*reading;
    double value;
    const char* expected;
};
const Case kCases[] = {
    {"temperature_outdoor_f", 3, 453, &StationState::tempOutdoor, 45.3, "45.3"},
    {"temperature_indoor_f", 6, -37, &StationState::tempIndoor, -3.7, "-3.7"},
    {"humidity_outdoor_pct", 7, 870, &StationState::humidityOutdoor, 87.0, "87.0"},
    {"humidity_indoor_pct", 8, 415, &StationState::humidityIndoor, 41.5, "41.5"},
    {"wind_speed_mph", 1, 100, &StationState::windSpeed, 6.2, "6.2"},
    {"wind_gust_mph", 1, 100, &StationState::gust, 12.4, "12.4"},
    {"wind_speed_avg_mph", 12, 90, &StationState::windSpeedAvg, 5.58, "5.6"},
    {"rain_today_in", 11, 12, &StationState::rainToday, 0.12, "0.12"},
    {"rain_long_term_in", 4, 1234, &StationState::rainLongTerm, 12.34, "12.34"},
    {"pressure_inhg", 5, 10132, &StationState::pressure, 10132 * 0.002953, "29.920"},
    {"wind_direction_deg", 2, 128, nullptr, 0, "180"},  // 128 of 256 is south
};

// A derived reading, its value and the JSON text expected; the trend is a word.
struct DerivedCase {
    const char* key;
    std::optional<double> DerivedReadings::*reading;
    double value;
    const char* expected;
};
const DerivedCase kDerivedCases[] = {
    {"dew_point_f", &DerivedReadings::dewPoint, 41.66, "41.7"},
    {"wind_chill_f", &DerivedReadings::windChill, -3.04, "-3.0"},
    {"heat_index_f", &DerivedReadings::heatIndex, 96.15, "96.2"},
    {"feels_like_f", &DerivedReadings::feelsLike, 96.15, "96.2"},
    {"pressure_change_3h_inhg", &DerivedReadings::pressureChange3h, -0.0620, "-0.062"},
    {"pressure_trend", nullptr, 0, "falling"},
    {"rain_last_hour_in", &DerivedReadings::rainLastHour, 0.45, "0.45"},
    {"rain_yesterday_in", &DerivedReadings::rainYesterday, 0.7, "0.70"},
    {"rain_month_in", &DerivedReadings::rainMonth, 1.72, "1.72"},
    {"rain_year_in", &DerivedReadings::rainYear, 31.4, "31.40"},
    {"temperature_outdoor_f_max_today", &DerivedReadings::tempOutdoorMaxToday, 51.2, "51.2"},
    {"temperature_outdoor_f_min_today", &DerivedReadings::tempOutdoorMinToday, 38.4, "38.4"},
};

StationState Sample() {
    StationState s;
    for (const Case& c : kCases) {
        s.raw.Field(c.field) = c.raw;
        if (c.reading) s.*c.reading = c.value;
    }
    s.raw.minuteOfDay = 14 * 60 + 37;
    s.currentYear = 2002;
    s.currentDate.FromDate(12, 5, 2002);
    s.recordCount = 4321;
    for (const DerivedCase& c : kDerivedCases) {
        if (c.reading) s.derived.*c.reading = c.value;
    }
    s.derived.pressureTrend = PressureTrend::Falling;
    return s;
}
}  // namespace

TEST(CurrentConditionsJson, EveryReadingWithItsUnitInTheKey) {
    const std::string json = CurrentConditionsJson(Sample());
    for (const Case& c : kCases) EXPECT_EQ(JsonMember(json, c.key), c.expected) << c.key;
    for (const DerivedCase& c : kDerivedCases) EXPECT_EQ(JsonMember(json, c.key), c.expected);
    EXPECT_EQ(JsonMember(json, "station_date"), "2002-12-05");
    EXPECT_EQ(JsonMember(json, "station_time"), "14:37");
    EXPECT_EQ(JsonMember(json, "record_count"), "4321");
}

TEST(StationTimeJson, IsThereAtEveryMinuteOfTheDayMidnightIncluded) {
    const std::pair<int, const char*> cases[] = {
        {0, "00:00"}, {5, "00:05"}, {60, "01:00"}, {1439, "23:59"}};
    for (const auto& [minute, text] : cases) {
        StationState s = Sample();
        s.raw.minuteOfDay = static_cast<int16_t>(minute);
        FivePointValues point;
        point.minuteOfDay = minute;
        EXPECT_EQ(JsonMember(CurrentConditionsJson(s), "station_time"), text);
        EXPECT_EQ(JsonMember(FivePointJson(point), "station_time"), text);
    }
}

TEST(CurrentConditionsJson, AnAbsentFieldMakesItsReadingsNullAndOnlyThose) {
    for (int field = 1; field <= SampleRecord::kFieldCount; ++field) {
        StationState s = Sample();
        s.raw.Field(field) = -1;
        const std::string json = CurrentConditionsJson(s);
        for (const Case& c : kCases) {
            EXPECT_EQ(JsonMember(json, c.key), c.field == field ? "null" : c.expected)
                << field << c.key;
        }
        EXPECT_EQ(JsonMember(json, "station_time").has_value(), field != 10) << field;
    }
}

TEST(CurrentConditionsJson, ADerivedReadingWithoutAValueIsNull) {
    StationState s = Sample();
    s.derived = {};
    const std::string json = CurrentConditionsJson(s);
    for (const DerivedCase& c : kDerivedCases) EXPECT_EQ(JsonMember(json, c.key), "null") << c.key;
}

TEST(CurrentConditionsJson, NoDateBeforeTheFirstRecord) {
    StationState s = Sample();
    s.currentYear = 0;
    EXPECT_FALSE(JsonMember(CurrentConditionsJson(s), "station_date"));
}

TEST(JsonObject, EscapesQuotesBackslashesAndControlCharacters) {
    EXPECT_EQ(JsonObject().AddString("a\"b", "c\\d\n\x01°").Text(),
              "{\"a\\\"b\":\"c\\\\d\\u000a\\u0001°\"}");
}

TEST(HomeAssistantDiscovery, OneConfigPerStateReadingUnderOneDevice) {
    MqttOptions options;
    options.stationId = "back yard";
    const std::string state = CurrentConditionsJson(Sample());
    const auto configs = HomeAssistantDiscovery(options);
    // and the record count
    ASSERT_EQ(configs.size(), std::size(kCases) + std::size(kDerivedCases) + 1);
    for (const MqttMessage& m : configs) {
        const std::string& c = m.payload;
        const std::string id = *JsonMember(c, "unique_id");
        EXPECT_EQ(m.topic, "homeassistant/sensor/" + id + "/config");
        EXPECT_EQ(id.rfind("nimbulo_back_yard_", 0), 0u) << id;
        const std::string key = JsonMember(c, "value_template")->substr(14);  // "{{ value_json."
        EXPECT_TRUE(JsonMember(state, key.substr(0, key.size() - 3))) << key;
        EXPECT_EQ(JsonMember(c, "state_topic"), "nimbulo/back_yard/state");
        EXPECT_EQ(JsonMember(c, "availability_topic"), "nimbulo/back_yard/availability");
        EXPECT_NE(c.find("\"device\":{\"identifiers\":[\"nimbulo_back_yard\"]"), std::string::npos);
        EXPECT_NE(c.find("\"model\":\"Ultimeter 2000\",\"manufacturer\":\"Peet Bros.\""),
                  std::string::npos);
        EXPECT_EQ(JsonMember(c, "payload_available"), "online");
        EXPECT_EQ(JsonMember(c, "payload_not_available"), "offline");
        EXPECT_NE(c.find("\"origin\":{\"name\":\"Nimbulo\",\"sw_version\":\"" NIMBULO_VERSION
                         "\",\"support_url\":\"" NIMBULO_HOMEPAGE "\"}"),
                  std::string::npos)
            << c;
    }
    EXPECT_EQ(JsonMember(configs[0].payload, "device_class"), "temperature");
    EXPECT_EQ(JsonMember(configs[0].payload, "unit_of_measurement"), "°F");
    EXPECT_EQ(JsonMember(configs[0].payload, "state_class"), "measurement");
}

TEST(HomeAssistantDiscovery, DerivedReadingsHaveTheirClassesAndUnits) {
    struct Expected {
        const char* key;
        std::optional<std::string> deviceClass, unit, stateClass;
    };
    const Expected expected[] = {
        {"dew_point_f", "temperature", "°F", "measurement"},
        {"pressure_change_3h_inhg", std::nullopt, "inHg", "measurement"},
        {"pressure_trend", std::nullopt, std::nullopt, std::nullopt},
        {"rain_last_hour_in", "precipitation", "in", "measurement"},
        {"rain_year_in", "precipitation", "in", "total_increasing"},
        {"temperature_outdoor_f_min_today", "temperature", "°F", "measurement"},
    };
    const auto configs = HomeAssistantDiscovery(MqttOptions{});
    for (const Expected& e : expected) {
        const auto config =
            std::find_if(configs.begin(), configs.end(), [&e](const MqttMessage& m) {
                return m.topic.find(std::string("_") + e.key + "/config") != std::string::npos;
            });
        ASSERT_NE(config, configs.end()) << e.key;
        EXPECT_EQ(JsonMember(config->payload, "device_class"), e.deviceClass) << e.key;
        EXPECT_EQ(JsonMember(config->payload, "unit_of_measurement"), e.unit) << e.key;
        EXPECT_EQ(JsonMember(config->payload, "state_class"), e.stateClass) << e.key;
    }
}
