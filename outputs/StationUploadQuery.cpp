// SPDX-License-Identifier: GPL-3.0-or-later
#include "StationUploadQuery.h"

#include <cctype>
#include <optional>

#include "TextFormat.h"

namespace {
void Add(std::string& query, const char* name, const std::string& value) {
    if (!query.empty()) query += '&';
    query += name;
    query += '=';
    query += UrlEncode(value);
}

void Add(std::string& query, const char* name, const std::optional<double>& value, int decimals) {
    if (value) Add(query, name, FormatText("%.*f", decimals, *value));
}

std::string DateUtc(std::time_t time) {
    std::tm utc{};
    gmtime_r(&time, &utc);
    return FormatText("%04d-%02d-%02d %02d:%02d:%02d", utc.tm_year + 1900, utc.tm_mon + 1,
                      utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec);
}
}  // namespace

std::string UrlEncode(const std::string& text) {
    std::string out;
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (std::isalnum(u) || c == '-' || c == '.' || c == '_' || c == '~') {
            out += c;
        } else {
            out += FormatText("%%%02X", u);
        }
    }
    return out;
}

std::string StationUploadQuery(const std::string& stationId, const std::string& key,
                               const WeatherObservation& o, const std::string& softwareVersion) {
    std::string query;
    Add(query, "ID", stationId);
    Add(query, "PASSWORD", key);
    Add(query, "dateutc", DateUtc(o.time));
    Add(query, "tempf", o.temperature, 1);
    Add(query, "humidity", o.humidity, 0);
    Add(query, "dewptf", o.dewPoint, 1);
    Add(query, "winddir", o.windDirection, 0);
    Add(query, "windspeedmph", o.windSpeed, 1);
    Add(query, "windgustmph", o.windGust, 1);
    Add(query, "baromin", o.pressure, 3);
    Add(query, "rainin", o.rainLastHour, 2);
    Add(query, "dailyrainin", o.rainToday, 2);
    Add(query, "softwaretype", "Nimbulo " + softwareVersion);
    Add(query, "action", "updateraw");
    return query;
}
