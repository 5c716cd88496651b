// SPDX-License-Identifier: GPL-3.0-or-later
#include "CurrentConditionsJson.h"

#include "FivePointValues.h"
#include "JsonObject.h"
#include "TextFormat.h"

namespace {
constexpr int16_t kAbsent = -1;

// A reading, the record field it comes from (1..12) and its decimals.
struct JsonReading {
    const char* key;
    int field;
    double StationState::*reading;
    int decimals;
};
// The gust comes from the speed field: without a speed there is no gust either.
constexpr JsonReading kReadings[] = {
    {"temperature_outdoor_f", 3, &StationState::tempOutdoor, 1},
    {"temperature_indoor_f", 6, &StationState::tempIndoor, 1},
    {"humidity_outdoor_pct", 7, &StationState::humidityOutdoor, 1},
    {"humidity_indoor_pct", 8, &StationState::humidityIndoor, 1},
    {"wind_speed_mph", 1, &StationState::windSpeed, 1},
    {"wind_speed_avg_mph", 12, &StationState::windSpeedAvg, 1},
    {"wind_gust_mph", 1, &StationState::gust, 1},
    {"rain_today_in", 11, &StationState::rainToday, 2},
    {"rain_long_term_in", 4, &StationState::rainLongTerm, 2},
    // 0.1 mbar is 0.003 inHg: three decimals keep the station's resolution.
    {"pressure_inhg", 5, &StationState::pressure, 3},
};

// A derived reading; null while it has no value, so that Home Assistant
// shows it as unknown instead of failing on a missing key.
struct JsonDerived {
    const char* key;
    std::optional<double> DerivedReadings::*reading;
    int decimals;
};
constexpr JsonDerived kDerived[] = {
    {"dew_point_f", &DerivedReadings::dewPoint, 1},
    {"wind_chill_f", &DerivedReadings::windChill, 1},
    {"heat_index_f", &DerivedReadings::heatIndex, 1},
    {"feels_like_f", &DerivedReadings::feelsLike, 1},
    {"pressure_change_3h_inhg", &DerivedReadings::pressureChange3h, 3},
    {"rain_last_hour_in", &DerivedReadings::rainLastHour, 2},
    {"rain_yesterday_in", &DerivedReadings::rainYesterday, 2},
    {"rain_month_in", &DerivedReadings::rainMonth, 2},
    {"rain_year_in", &DerivedReadings::rainYear, 2},
    {"temperature_outdoor_f_max_today", &DerivedReadings::tempOutdoorMaxToday, 1},
    {"temperature_outdoor_f_min_today", &DerivedReadings::tempOutdoorMinToday, 1},
};

void AddDerived(JsonObject& json, const DerivedReadings& d) {
    for (const JsonDerived& r : kDerived) {
        if (const auto& value = d.*r.reading) {
            json.AddNumber(r.key, *value, r.decimals);
        } else {
            json.AddJson(r.key, "null");
        }
    }
    if (d.pressureTrend) {
        json.AddString("pressure_trend", PressureTrendWord(*d.pressureTrend));
    } else {
        json.AddJson("pressure_trend", "null");
    }
}
}  // namespace

std::string StationDateJsonText(int year, const CalendarDate& date) {
    return FormatText("%04d-%02d-%02d", year, date.month, date.day);
}

std::string StationTimeJsonText(int minuteOfDay) {
    return FormatText("%02d:%02d", minuteOfDay / 60, minuteOfDay % 60);
}

std::string CurrentConditionsJson(const StationState& s) {
    JsonObject json;
    // A reading the latest record did not carry is null, so that a reader
    // (Home Assistant) drops the stale value instead of keeping it.
    for (const JsonReading& r : kReadings) {
        if (s.raw.Field(r.field) != kAbsent) {
            json.AddNumber(r.key, s.*r.reading, r.decimals);
        } else {
            json.AddJson(r.key, "null");
        }
    }
    if (s.raw.windDirection != kAbsent) {
        // Only the low byte is the direction (0..255 for a full circle).
        json.AddInteger("wind_direction_deg", AverageDirectionDegrees(s.raw.windDirection & 0xFF));
    } else {
        json.AddJson("wind_direction_deg", "null");
    }
    AddDerived(json, s.derived);
    // The station date is known from the first record's day of the year on.
    if (s.currentYear > 0)
        json.AddString("station_date", StationDateJsonText(s.currentYear, s.currentDate));
    if (s.raw.minuteOfDay >= 0)
        json.AddString("station_time", StationTimeJsonText(s.raw.minuteOfDay));
    json.AddInteger("record_count", s.recordCount);
    return json.Text();
}
