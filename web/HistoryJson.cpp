// SPDX-License-Identifier: GPL-3.0-or-later
#include "HistoryJson.h"

#include <cmath>
#include <nlohmann/json.hpp>
#include <vector>

#include "HighsLows.h"
#include "HistoryBuckets.h"
#include "HistoryFill.h"
#include "RainBars.h"

using nlohmann::ordered_json;

namespace {

struct Series {
    const char* key;
    HistoryQuantity quantity;
    double scale;  // 10^decimals
};
constexpr Series kSeries[] = {
    {"temperature_outdoor_f", HistoryQuantity::TempOutdoor, 10},
    {"temperature_indoor_f", HistoryQuantity::TempIndoor, 10},
    {"dew_point_f", HistoryQuantity::DewPoint, 10},
    {"feels_like_f", HistoryQuantity::FeelsLike, 10},
    {"humidity_outdoor_pct", HistoryQuantity::HumidityOutdoor, 10},
    {"humidity_indoor_pct", HistoryQuantity::HumidityIndoor, 10},
    {"wind_speed_avg_mph", HistoryQuantity::WindAverage, 10},
    {"wind_gust_mph", HistoryQuantity::Gust, 10},
    {"pressure_inhg", HistoryQuantity::Pressure, 1000},
};

double Round(double value, double scale) {
    return std::round(value * scale) / scale;
}

std::string DateText(const CalendarDate& date) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", int(date.year), int(date.month),
                  int(date.day));
    return text;
}

ordered_json Value(const std::optional<double>& value, double scale) {
    return value ? ordered_json(Round(*value, scale)) : ordered_json();
}

ordered_json Time(const DayExtreme& extreme) {
    return extreme.value && !extreme.time.empty() ? ordered_json(extreme.time) : ordered_json();
}

ordered_json HighLow(const DayHighLow& day, double scale) {
    return {{"min", Value(day.low.value, scale)},
            {"min_time", Time(day.low)},
            {"max", Value(day.high.value, scale)},
            {"max_time", Time(day.high)}};
}

ordered_json Moment(const HighsLows::Moment& moment, double scale, const char* prefix) {
    const std::string p = prefix;
    ordered_json json;
    json[p] = Value(moment.value, scale);
    json[p + "_date"] = moment.value ? ordered_json(DateText(moment.date)) : ordered_json();
    json[p + "_time"] =
        moment.value && !moment.time.empty() ? ordered_json(moment.time) : ordered_json();
    return json;
}

}  // namespace

long long HistoryJson::StationMilliseconds(StationMinute minute) {
    CalendarDate epoch;
    epoch.FromDate(1, 1, 1970);
    return (minute - ToStationMinute(epoch, 0)) * 60000LL;
}

std::string HistoryJson::History(HistorySource& source, const CalendarDate& from,
                                 const CalendarDate& to, int buckets) {
    const StationMinute first = ToStationMinute(from, 0);
    const StationMinute last = ToStationMinute(to, int(kMinutesPerDay - kPointMinutes));
    HistoryBuckets cut(first, last, buckets);
    const StationMinute barMinutes = RainBars::BarMinutes(last - first);
    RainBars rain(first, last, barMinutes);
    // Whole hours or days from the archive's statistics, the rest streamed
    // from the points: all time is millions of them.
    FillFromSource(source, first, last, 0, cut, rain, barMinutes);

    ordered_json json;
    json["from"] = DateText(from);
    json["to"] = DateText(to);
    json["bucket_minutes"] = cut.width();
    ordered_json& series = json["series"] = ordered_json::object();
    for (const Series& s : kSeries) {
        ordered_json values = ordered_json::array();
        for (const HistoryBucket& b : cut.Series(s.quantity)) {
            if (b.count == 0) {
                values.push_back(nullptr);
            } else {
                values.push_back({StationMilliseconds(b.start), Round(b.min, s.scale),
                                  Round(b.avg, s.scale), Round(b.max, s.scale)});
            }
        }
        series[s.key] = std::move(values);
    }
    ordered_json bars = ordered_json::array();
    for (const RainBars::Bar& bar : rain.bars())
        bars.push_back(
            {StationMilliseconds(bar.start), Round(bar.amount, 100), Round(bar.total, 100)});
    json["rain"] = std::move(bars);
    return json.dump();
}

std::string HistoryJson::Days(HistorySource& source, const CalendarDate& from,
                              const CalendarDate& to) {
    ordered_json days = ordered_json::array();
    for (const DaySummary& day : source.Days(from, to)) {
        ordered_json row;
        row["date"] = DateText(day.date);
        row["temperature_outdoor_f"] = HighLow(day.tempOutdoor, 10);
        row["temperature_indoor_f"] = HighLow(day.tempIndoor, 10);
        row["humidity_outdoor_pct"] = HighLow(day.humidityOutdoor, 10);
        row["humidity_indoor_pct"] = HighLow(day.humidityIndoor, 10);
        row["pressure_inhg"] = HighLow(day.pressure, 1000);
        row["wind_speed_mph_max"] = Value(day.windSpeedMax.value, 10);
        row["wind_speed_mph_max_time"] = Time(day.windSpeedMax);
        row["rain_day_in"] = Value(day.rainDay, 100);
        days.push_back(std::move(row));
    }
    return ordered_json{{"days", std::move(days)}}.dump();
}

std::string HistoryJson::Records(HistorySource& source, const CalendarDate& today) {
    CalendarDate first;
    first.FromDate(1, 1, 1900);
    const std::vector<DaySummary> days = source.Days(first, today);
    const HighsLows panel(days, today);
    static const char* const kKeys[] = {"today", "yesterday", "month", "year", "all_time"};
    ordered_json json = ordered_json::object();
    std::size_t index = 0;
    for (const HighsLows::Period& period : panel.periods()) {
        if (index >= std::size(kKeys)) break;
        ordered_json temperature = Moment(period.low, 10, "min");
        temperature.update(Moment(period.high, 10, "max"));
        json[kKeys[index++]] = {{"temperature_outdoor_f", std::move(temperature)},
                                {"wind_speed_mph", Moment(period.windTop, 10, "max")},
                                {"rain_in", Value(period.rain, 100)}};
    }
    return json.dump();
}
